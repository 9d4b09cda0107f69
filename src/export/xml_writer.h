#pragma once
// A small writer for the record's XML document: one element per line, a tab
// per depth level, CR LF line ends, no declaration and no attributes. The
// whole text is built in memory (Windows-1252 in, UTF-8 out) and written in
// one piece by the caller.

#include <string>

#include "base/codepage.h"  // IsUtf8, for the callers that check names

namespace kova {

// Element text as the document carries it: control characters (tab
// included) dropped, the five XML specials escaped, converted to UTF-8.
std::string EscapeXmlText(const std::string& cp1252);

// A file name as the document carries it (UTF-8): the system's name bytes
// as they are when they are UTF-8, else read as Windows-1252 (the names of
// Windows, and of a folder made under an 8-bit locale).
std::string FileNameToUtf8(const std::string& name);

class XmlWriter {
 public:
  void OpenElement(const char* name);
  void CloseElement(const char* name);
  void TextElement(const char* name, const std::string& text);
  // A file name, converted by FileNameToUtf8 instead of as Windows-1252.
  void PathElement(const char* name, const std::string& path);
  // Text that is UTF-8 already (a text that is not is read as Windows-1252).
  void Utf8Element(const char* name, const std::string& utf8);
  void IntElement(const char* name, int value);
  // "%.4lf"; "N/A" for a value that is not finite.
  void RealElement(const char* name, double value);

  const std::string& Text() const { return out_; }
  int Depth() const { return depth_; }

 private:
  void Indent();

  std::string out_;
  int depth_ = 0;
};

}  // namespace kova

#include "export/xml_writer.h"

#include "analysis/display_rules.h"
#include "base/codepage.h"
#include "base/format.h"

#include <cstdint>

namespace kova {
namespace {

// ASCII letters, digits and punctuation, the blank, LF and CR stay; every
// other byte below 128 (tab, other controls, DEL, NUL) is dropped. Bytes
// from 128 up are Windows-1252 characters and stay.
bool KeptByte(unsigned char c) {
  if (c >= 128) return true;
  return (c >= 0x21 && c <= 0x7E) || c == ' ' || c == '\n' || c == '\r';
}

// The five specials escaped and control bytes dropped; bytes from 128 up
// kept as they are, whatever their encoding.
std::string EscapeBytes(const std::string& text) {
  std::string escaped;
  escaped.reserve(text.size() + 8);
  for (const char ch : text) {
    const unsigned char c = static_cast<unsigned char>(ch);
    if (!KeptByte(c)) continue;
    switch (ch) {
      case '&':
        escaped += "&amp;";
        break;
      case '<':
        escaped += "&lt;";
        break;
      case '>':
        escaped += "&gt;";
        break;
      case '\'':
        escaped += "&apos;";
        break;
      case '"':
        escaped += "&quot;";
        break;
      default:
        escaped += ch;
    }
  }
  return escaped;
}

}  // namespace

std::string FileNameToUtf8(const std::string& name) {
#ifdef _WIN32
  return Cp1252ToUtf8(name);
#else
  // The system's names are UTF-8 bytes; a name that is not (made under
  // another locale) is taken as Windows-1252 so the document stays UTF-8.
  return IsUtf8(name) ? name : Cp1252ToUtf8(name);
#endif
}

std::string EscapeXmlText(const std::string& cp1252) { return Cp1252ToUtf8(EscapeBytes(cp1252)); }

void XmlWriter::Indent() { out_.append(static_cast<size_t>(depth_ > 0 ? depth_ : 0), '\t'); }

void XmlWriter::OpenElement(const char* name) {
  Indent();
  out_ += '<';
  out_ += name;
  out_ += ">\r\n";
  ++depth_;
}

void XmlWriter::CloseElement(const char* name) {
  --depth_;
  Indent();
  out_ += "</";
  out_ += name;
  out_ += ">\r\n";
}

void XmlWriter::TextElement(const char* name, const std::string& text) {
  Indent();
  out_ += '<';
  out_ += name;
  out_ += '>';
  out_ += EscapeXmlText(text);
  out_ += "</";
  out_ += name;
  out_ += ">\r\n";
}

void XmlWriter::Utf8Element(const char* name, const std::string& utf8) {
  Indent();
  out_ += '<';
  out_ += name;
  out_ += '>';
  out_ += EscapeBytes(IsUtf8(utf8) ? utf8 : Cp1252ToUtf8(utf8));
  out_ += "</";
  out_ += name;
  out_ += ">\r\n";
}

void XmlWriter::PathElement(const char* name, const std::string& path) {
  Indent();
  out_ += '<';
  out_ += name;
  out_ += '>';
  out_ += EscapeBytes(FileNameToUtf8(path));
  out_ += "</";
  out_ += name;
  out_ += ">\r\n";
}

void XmlWriter::IntElement(const char* name, int value) { TextElement(name, Format("%d", value)); }

void XmlWriter::RealElement(const char* name, double value) {
  TextElement(name, NumberText("%.4lf", value));
}

}  // namespace kova

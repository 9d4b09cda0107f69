#pragma once
// The report template "kovareport.mrt": sections of line directives with
// {element} placeholders. The format is described in the file itself.

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace kova {

struct TemplateLine {
  std::string directive;           // logo, title, field, text, picture, columns, row, gap, ...
  std::vector<std::string> parts;  // the arguments, split at '|' and trimmed
  int line = 0;                    // line number in the file
  // For "each" and "if": the index of the matching "end" in the section.
  size_t end = 0;
};

// Tables laid out in at most this many side-by-side parts ("split N").
constexpr int kMaxTableSplit = 6;
// "each" and "if" blocks nested deeper than this are refused.
constexpr int kMaxBlockDepth = 8;

struct ReportTemplate {
  // Sections by name, in the order they are drawn.
  std::map<std::string, std::vector<TemplateLine>> sections;
};

// Parses the template text; false with `error` ("line N: ...") on a line
// that is not understood, or a block ("each", "if") without its "end".
bool ParseReportTemplate(const std::string& text, ReportTemplate& out, std::string& error);

// Replaces every {name} by lookup(name); an unknown name gives "".
std::string FillPlaceholders(const std::string& text,
                             const std::function<std::string(const std::string&)>& lookup);

// A condition of "if": NAME (the element has a text or elements),
// NAME=VALUE or NAME!=VALUE.
struct TemplateCondition {
  std::string name;
  enum Kind { kHasContent, kEquals, kDiffers } kind = kHasContent;
  std::string value;
};
TemplateCondition ParseCondition(const std::string& text);

// The sections in drawing order.
const std::vector<std::string>& ReportSectionOrder();

}  // namespace kova

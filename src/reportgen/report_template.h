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
};

struct ReportTemplate {
  // Sections by name, in the order they are drawn.
  std::map<std::string, std::vector<TemplateLine>> sections;
};

// Parses the template text; false with `error` ("line N: ...") on a line
// that is not understood.
bool ParseReportTemplate(const std::string& text, ReportTemplate& out, std::string& error);

// Replaces every {name} by lookup(name); an unknown name gives "".
std::string FillPlaceholders(const std::string& text,
                             const std::function<std::string(const std::string&)>& lookup);

// The sections in drawing order.
const std::vector<std::string>& ReportSectionOrder();

}  // namespace kova

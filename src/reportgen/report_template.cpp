#include "reportgen/report_template.h"

#include <algorithm>
#include <cstdlib>
#include <sstream>

namespace kova {
namespace {

std::string Trim(const std::string& s) {
  const size_t b = s.find_first_not_of(" \t\r");
  if (b == std::string::npos) return "";
  const size_t e = s.find_last_not_of(" \t\r");
  return s.substr(b, e - b + 1);
}

std::vector<std::string> SplitBars(const std::string& s) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (;;) {
    const size_t bar = s.find('|', start);
    parts.push_back(
        Trim(s.substr(start, bar == std::string::npos ? std::string::npos : bar - start)));
    if (bar == std::string::npos) break;
    start = bar + 1;
  }
  return parts;
}

// Directive name and how many '|' separated arguments it takes (-1: any
// number from one, 0: none).
const std::map<std::string, int>& Directives() {
  static const std::map<std::string, int> d = {
      {"logo", 0}, {"title", 1}, {"field", 2},   {"text", 1}, {"picture", 1}, {"columns", -1},
      {"row", -1}, {"gap", 0},   {"newpage", 0}, {"only", 1}, {"ifset", 1},   {"each", 1},
      {"if", 1},   {"end", 0},   {"split", 1},   {"mono", 1}};
  return d;
}

}  // namespace

const std::vector<std::string>& ReportSectionOrder() {
  static const std::vector<std::string> order = {
      "header",   "test",           "summary", "burden",     "insulation",
      "passfail", "classification", "notepad", "assessment", "details"};
  return order;
}

TemplateCondition ParseCondition(const std::string& text) {
  TemplateCondition c;
  const size_t eq = text.find('=');
  if (eq == std::string::npos) {
    c.name = text;
    return c;
  }
  const bool differs = eq > 0 && text[eq - 1] == '!';
  c.kind = differs ? TemplateCondition::kDiffers : TemplateCondition::kEquals;
  c.name = Trim(text.substr(0, differs ? eq - 1 : eq));
  c.value = Trim(text.substr(eq + 1));
  return c;
}

namespace {

bool IsPathName(const std::string& s) {
  if (s.empty() || s.front() == '/' || s.back() == '/' || s.find("//") != std::string::npos) {
    return false;
  }
  return s.find_first_of(" \t{}|=!") == std::string::npos;
}

// Checks a block directive's argument and keeps the open blocks; "" or the
// reason the line is refused.
std::string CheckBlock(const TemplateLine& tl, std::vector<TemplateLine>& lines,
                       std::vector<size_t>& open) {
  const std::string& arg = tl.parts.empty() ? std::string() : tl.parts[0];
  if (tl.directive == "each" || tl.directive == "if") {
    const std::string name = tl.directive == "if" ? ParseCondition(arg).name : arg;
    if (!IsPathName(name)) return "\"" + tl.directive + "\" needs an element name or path";
    if (open.size() >= static_cast<size_t>(kMaxBlockDepth)) return "blocks nested too deeply";
    open.push_back(lines.size());
  } else if (tl.directive == "end") {
    if (open.empty()) return "\"end\" without \"each\" or \"if\"";
    lines[open.back()].end = lines.size();
    open.pop_back();
  } else if (tl.directive == "split") {
    const int n = std::atoi(arg.c_str());
    if (arg.size() != 1 || n < 1 || n > kMaxTableSplit) {
      return "\"split\" needs a count from 1 to " + std::to_string(kMaxTableSplit);
    }
  }
  return "";
}

std::string Unclosed(const std::vector<TemplateLine>& lines, const std::vector<size_t>& open) {
  return "line " + std::to_string(lines[open.back()].line) + ": \"" + lines[open.back()].directive +
         "\" without \"end\"";
}

}  // namespace

bool ParseReportTemplate(const std::string& text, ReportTemplate& out, std::string& error) {
  std::istringstream in(text);
  std::string raw, section;
  int n = 0;
  const std::vector<std::string>& known = ReportSectionOrder();
  std::vector<size_t> open;  // "each" and "if" lines waiting for their "end"
  while (std::getline(in, raw)) {
    ++n;
    const std::string line = Trim(raw);
    if (line.empty() || line[0] == '#') continue;
    if (line.front() == '[') {
      if (!open.empty()) {
        error = Unclosed(out.sections[section], open);
        return false;
      }
      if (line.back() != ']') {
        error = "line " + std::to_string(n) + ": unclosed section name";
        return false;
      }
      section = line.substr(1, line.size() - 2);
      if (std::find(known.begin(), known.end(), section) == known.end()) {
        error = "line " + std::to_string(n) + ": unknown section [" + section + "]";
        return false;
      }
      out.sections[section];
      continue;
    }
    if (section.empty()) {
      error = "line " + std::to_string(n) + ": directive outside a section";
      return false;
    }
    const size_t space = line.find(' ');
    TemplateLine tl;
    tl.line = n;
    tl.directive = line.substr(0, space);
    const auto d = Directives().find(tl.directive);
    if (d == Directives().end()) {
      error = "line " + std::to_string(n) + ": unknown directive \"" + tl.directive + "\"";
      return false;
    }
    const std::string rest = space == std::string::npos ? "" : Trim(line.substr(space + 1));
    if (d->second == 1) {
      tl.parts.push_back(rest);  // one argument: bars are text
    } else if (d->second != 0) {
      tl.parts = SplitBars(rest);
    }
    const int want = d->second;
    const int got = static_cast<int>(tl.parts.size());
    const bool ok = want == 0  ? rest.empty()
                    : want < 0 ? !rest.empty()
                               : (want == 1 ? !rest.empty() : got == want);
    if (!ok) {
      error = "line " + std::to_string(n) + ": wrong arguments for \"" + tl.directive + "\"";
      return false;
    }
    if (tl.directive == "only" && tl.parts[0].find('=') == std::string::npos) {
      error = "line " + std::to_string(n) + ": \"only\" needs NAME=VALUE";
      return false;
    }
    const std::string refused = CheckBlock(tl, out.sections[section], open);
    if (!refused.empty()) {
      error = "line " + std::to_string(n) + ": " + refused;
      return false;
    }
    out.sections[section].push_back(tl);
  }
  if (!open.empty()) {
    error = Unclosed(out.sections[section], open);
    return false;
  }
  if (out.sections.empty()) {
    error = "no sections";
    return false;
  }
  return true;
}

std::string FillPlaceholders(const std::string& text,
                             const std::function<std::string(const std::string&)>& lookup) {
  std::string out;
  size_t pos = 0;
  while (pos < text.size()) {
    const size_t open = text.find('{', pos);
    const size_t close = open == std::string::npos ? open : text.find('}', open);
    if (close == std::string::npos) {
      out.append(text, pos, std::string::npos);
      break;
    }
    out.append(text, pos, open - pos);
    out += lookup(text.substr(open + 1, close - open - 1));
    pos = close + 1;
  }
  return out;
}

}  // namespace kova

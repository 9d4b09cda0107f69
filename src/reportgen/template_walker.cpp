#include "reportgen/template_walker.h"

#include <algorithm>
#include <cstdlib>
#include <functional>

namespace kova {
namespace {

// Where {name} is looked up: the innermost element first (a data point),
// then the ones around it (its test, the record).
class Scope {
 public:
  explicit Scope(const ReportData& data) : data_(data) { chain_.push_back(&data.record); }
  void Push(const ReportNode* n) { chain_.push_back(n); }
  void Pop() { chain_.pop_back(); }

  const ReportNode* Find(const std::string& path) const {
    for (auto n = chain_.rbegin(); n != chain_.rend(); ++n) {
      if (const ReportNode* found = (*n)->Find(path)) return found;
    }
    return nullptr;
  }
  std::string Text(const std::string& path) const {
    const ReportNode* n = Find(path);
    return n != nullptr ? n->text : std::string();
  }
  // The elements an "each" walks: those of the first scope outward that
  // has any; "test" at the record's level walks the tests.
  std::vector<const ReportNode*> All(const std::string& path) const {
    for (auto n = chain_.rbegin(); n != chain_.rend(); ++n) {
      std::vector<const ReportNode*> found = (*n)->FindAll(path);
      if (!found.empty()) return found;
    }
    std::vector<const ReportNode*> tests;
    if (path == "test") {
      for (const ReportNode& t : data_.tests) tests.push_back(&t);
    }
    return tests;
  }
  bool Holds(const TemplateCondition& c) const {
    const ReportNode* n = Find(c.name);
    const std::string text = n != nullptr ? n->text : std::string();
    switch (c.kind) {
      case TemplateCondition::kHasContent:
        return n != nullptr && n->HasContent();
      case TemplateCondition::kEquals:
        return text == c.value;
      case TemplateCondition::kDiffers:
        break;
    }
    return text != c.value;
  }
  std::string Fill(const std::string& text) const {
    return FillPlaceholders(text, [this](const std::string& name) { return Text(name); });
  }

 private:
  const ReportData& data_;
  std::vector<const ReportNode*> chain_;
};

class Walker {
 public:
  Walker(const ReportData& data, ReportSink& sink) : data_(data), sink_(sink) {}

  // One section; its last table goes out before it returns.
  void Section(const std::vector<TemplateLine>& lines, Scope& scope) {
    Block(lines, 0, lines.size(), scope, false);
    FlushTable();
  }

 private:
  void Block(const std::vector<TemplateLine>& lines, size_t begin, size_t end, Scope& scope,
             bool looped) {
    for (size_t i = begin; i < end; ++i) {
      const TemplateLine& l = lines[i];
      const std::string& arg = l.parts.empty() ? std::string() : l.parts[0];
      if (l.directive == "only") {
        if (!scope.Holds(ParseCondition(arg))) return;
      } else if (l.directive == "ifset") {
        // The rest only when its data exist: no heading over an empty note,
        // no burden results where none were measured.
        if (scope.Text(arg).empty()) return;
      } else if (l.directive == "if") {
        if (!scope.Holds(ParseCondition(arg))) i = l.end;
      } else if (l.directive == "each") {
        for (const ReportNode* n : scope.All(arg)) {
          scope.Push(n);
          Block(lines, i + 1, l.end, scope, true);
          scope.Pop();
        }
        i = l.end;
      } else if (l.directive == "end") {
        continue;
      } else if (l.directive == "row") {
        Rows(l, scope, looped);
      } else if (l.directive == "columns") {
        FlushTable();
        open_ = true;
        table_.split = next_split_;
        next_split_ = 1;
        for (const std::string& c : l.parts) table_.header.push_back(scope.Fill(c));
      } else if (l.directive == "split") {
        FlushTable();
        next_split_ = std::clamp(std::atoi(arg.c_str()), 1, kMaxTableSplit);
      } else {
        FlushTable();
        std::vector<std::string> args;
        if (l.directive == "logo") args.push_back(scope.Text("reportlogo"));
        for (const std::string& p : l.parts) args.push_back(scope.Fill(p));
        sink_.Directive(l.directive, args);
      }
    }
  }

  // A "row" inside an "each" is one row; outside, one row per test, as
  // templates made before loops expect.
  void Rows(const TemplateLine& l, Scope& scope, bool looped) {
    if (!open_) return;
    auto add = [&] {
      FilledTable::Row row;
      for (const std::string& c : l.parts) row.cells.push_back(scope.Fill(c));
      const auto& h = table_.header;
      if (std::find(h.begin(), h.end(), "swatch") != h.end()) {
        row.swatch = scope.Text("testimagecolorfile");
      }
      table_.rows.push_back(std::move(row));
    };
    if (looped) {
      add();
      return;
    }
    for (const ReportNode& test : data_.tests) {
      scope.Push(&test);
      add();
      scope.Pop();
    }
  }

  // A table goes out whole once its rows are collected; one without rows is
  // left out (no header row over nothing).
  void FlushTable() {
    if (open_ && !table_.rows.empty()) sink_.Table(table_);
    open_ = false;
    table_ = FilledTable();
  }

  const ReportData& data_;
  ReportSink& sink_;
  bool open_ = false;
  FilledTable table_;
  int next_split_ = 1;  // of the next table
};

}  // namespace

void WalkReport(const ReportTemplate& t, const ReportData& data, ReportSink& sink) {
  Walker walker(data, sink);
  for (const std::string& name : ReportSectionOrder()) {
    const auto s = t.sections.find(name);
    if (s == t.sections.end()) continue;
    Scope scope(data);
    if (name != "test") {
      walker.Section(s->second, scope);
      continue;
    }
    for (const ReportNode& test : data.tests) {
      scope.Push(&test);
      walker.Section(s->second, scope);
      scope.Pop();
    }
  }
}

}  // namespace kova

#pragma once
// Runs the report template over the record's XML document: walks the
// sections in drawing order, the tests, the "each" loops and the "if"
// blocks, fills every placeholder, collects each table whole, and hands the
// result to a sink that draws it. Knows nothing of drawing, so the template
// language is tested without a PDF.

#include <string>
#include <vector>

#include "reportgen/report_template.h"
#include "reportgen/report_xml.h"

namespace kova {

struct FilledTable {
  struct Row {
    std::vector<std::string> cells;
    std::string swatch;  // the colour picture of the row's test, if any
  };
  std::vector<std::string> header;  // a cell "swatch" marks the colour column
  std::vector<Row> rows;            // never empty: a table without rows is left out
  int split = 1;                    // parts side by side
};

class ReportSink {
 public:
  virtual ~ReportSink() = default;
  // A drawing directive with its arguments filled: "logo" (the logo's
  // path), "title", "field" (label, value), "text", "mono", "picture",
  // "gap", "newpage".
  virtual void Directive(const std::string& directive, const std::vector<std::string>& args) = 0;
  virtual void Table(const FilledTable& table) = 0;
};

void WalkReport(const ReportTemplate& t, const ReportData& data, ReportSink& sink);

}  // namespace kova

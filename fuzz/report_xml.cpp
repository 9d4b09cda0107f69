// XML documents of any content handed to the report generator: read without
// network or entity expansion into a tree of bounded depth, then walked by
// a template that loops over tests, points and nested sections.

#include <cstdint>
#include <cstdlib>
#include <string>

#include "reportgen/report_template.h"
#include "reportgen/report_xml.h"
#include "reportgen/template_walker.h"

namespace {

// Counts what reaches the drawing; a table is never handed over empty.
class CountingSink : public kova::ReportSink {
 public:
  void Directive(const std::string&, const std::vector<std::string>&) override { ++directives; }
  void Table(const kova::FilledTable& t) override {
    if (t.rows.empty() || t.header.empty()) std::abort();
    ++tables;
  }
  size_t directives = 0, tables = 0;
};

const char* const kTemplate =
    "[test]\ntitle {testnum} {testdata/datapoint/dpAmps}\n"
    "split 3\ncolumns P | A\neach testdata/datapoint\nrow {dpPoint} | {dpAmps}\nend\n"
    "if ratioerrortable\nmono {ratioerrortable}\nend\n"
    "[summary]\ncolumns T | swatch\nrow {testnum} | swatch\n"
    "[details]\neach calculationdetails\neach explainedtest\neach explained\n"
    "field {quantity} | {result}\nif extrapolated=yes\ntext x\nend\nend\nend\nend\n";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  kova::ReportData report;
  std::string error;
  if (!kova::ReadReportXml(reinterpret_cast<const char*>(data), size, report, error)) {
    if (error.empty()) std::abort();
    return 0;
  }
  static kova::ReportTemplate templ;
  static const bool parsed = kova::ParseReportTemplate(kTemplate, templ, error);
  if (!parsed) std::abort();
  CountingSink sink;
  kova::WalkReport(templ, report, sink);
  return 0;
}

// Report sections documents of any content beside a fixed XML document of
// two tests, as the report generator reads them: merged whole or refused
// whole with a reason, then walked by a template that loops over the
// classification, the tests' tables and the calculation details.

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "reportgen/report_sections.h"
#include "reportgen/report_template.h"
#include "reportgen/report_xml.h"
#include "reportgen/template_walker.h"

namespace {

class CountingSink : public kova::ReportSink {
 public:
  void Directive(const std::string&, const std::vector<std::string>&) override { ++directives; }
  void Table(const kova::FilledTable& t) override {
    if (t.rows.empty() || t.header.empty()) std::abort();
    ++tables;
  }
  size_t directives = 0, tables = 0;
};

const char* const kXml =
    "<helmarkreport><helmarkreport_Id>1</helmarkreport_Id>"
    "<reportinfo><filename>r.test</filename></reportinfo>"
    "<kovareport><reportdata><numtests>2</numtests></reportdata>"
    "<test><testnum>1</testnum><testorder>1</testorder><testdata/></test>"
    "<test><testnum>2</testnum><testorder>0</testorder><testdata/></test>"
    "</kovareport></helmarkreport>";

const char* const kTemplate =
    "[test]\ntitle {testnum}\nif ratioerrortable\nmono {ratioerrortable}\nend\n"
    "if meteringtrace\nmono {meteringtrace}\nend\n"
    "[classification]\neach classification\nif ctusage!=2\ntext {classificationstr}\n"
    "columns C | V\neach classrow\nrow {classrowname} | {classrowvsec}\nend\nend\nend\n"
    "[details]\neach calculationdetails\neach explainedtest\neach explained\n"
    "field {quantity} | {result}\nend\nend\nend\n";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static kova::ReportTemplate templ;
  static kova::ReportData base;
  static const bool ready = [] {
    std::string error;
    return kova::ParseReportTemplate(kTemplate, templ, error) &&
           kova::ReadReportXml(kXml, std::char_traits<char>::length(kXml), base, error);
  }();
  if (!ready) std::abort();
  kova::ReportData report = base;
  std::string error;
  if (!kova::MergeReportSections(reinterpret_cast<const char*>(data), size, report, error)) {
    // Refused whole: a reason, and the report as the XML gave it.
    if (error.empty()) std::abort();
    if (report.record.children.size() != base.record.children.size()) std::abort();
    for (size_t t = 0; t < report.tests.size(); ++t) {
      if (report.tests[t].children.size() != base.tests[t].children.size()) std::abort();
    }
    return 0;
  }
  if (report.tests.size() != base.tests.size()) std::abort();
  CountingSink sink;
  kova::WalkReport(templ, report, sink);
  return 0;
}

// The generator's work before drawing: the XML document of a 10-test record
// and its report sections with the calculation details (a profile kept
// beside it), read into one tree and walked by the shipped template.

#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "base/file_io.h"
#include "base/path.h"
#include "export/export_xml.h"
#include "export/xml_report_sections.h"
#include "reportgen/report_sections.h"
#include "reportgen/report_template.h"
#include "reportgen/report_xml.h"
#include "reportgen/template_walker.h"
#include "support/record_fixtures.h"

namespace kova {
namespace {

class CountingSink : public ReportSink {
 public:
  void Directive(const std::string&, const std::vector<std::string>& args) override {
    n += args.size();
  }
  void Table(const FilledTable& t) override { n += t.rows.size(); }
  size_t n = 0;
};

std::unique_ptr<TestRecord> RecordWithDetails() {
  const std::string dir = TempFolder("reportgen-bench");
  auto rec = MakeSampleRecord(2, 10, 3);
  rec->fullpath = PathJoin(dir, "r.test");
  WriteFileAtomically(PathJoin(dir, "r.assess.json"),
                      std::string(R"({"class":"5P","isr":5,"alf":20,"burden_va":10})"));
  return rec;
}

struct Documents {
  std::string xml, sections;
};

const Documents& TheDocuments() {
  static const Documents docs = [] {
    auto rec = RecordWithDetails();
    return Documents{BuildXmlExport(*rec, XmlExportContext{}), BuildReportSectionsBeside(*rec, {})};
  }();
  return docs;
}

bool ReadBoth(const Documents& d, ReportData& data, std::string& error) {
  return ReadReportXml(d.xml.data(), d.xml.size(), data, error) &&
         MergeReportSections(d.sections.data(), d.sections.size(), data, error);
}

void BM_XmlWithDetails(benchmark::State& state) {
  auto rec = RecordWithDetails();
  for (auto _ : state) {
    benchmark::DoNotOptimize(BuildXmlExport(*rec, XmlExportContext{}));
    benchmark::DoNotOptimize(BuildReportSectionsBeside(*rec, {}));
  }
}
BENCHMARK(BM_XmlWithDetails)->Unit(benchmark::kMillisecond);

void BM_ReadReportXml(benchmark::State& state) {
  const Documents& d = TheDocuments();
  for (auto _ : state) {
    ReportData data;
    std::string error;
    benchmark::DoNotOptimize(ReadBoth(d, data, error));
  }
  state.SetBytesProcessed(
      static_cast<int64_t>(state.iterations() * (d.xml.size() + d.sections.size())));
}
BENCHMARK(BM_ReadReportXml)->Unit(benchmark::kMillisecond);

void BM_WalkShippedTemplate(benchmark::State& state) {
  std::string text, error;
  ReadFileText(std::string(KOVA_SOURCE_DIR) + "/data/kovareport.mrt", text);
  ReportTemplate t;
  ParseReportTemplate(text, t, error);
  ReportData data;
  ReadBoth(TheDocuments(), data, error);
  for (auto _ : state) {
    CountingSink sink;
    WalkReport(t, data, sink);
    benchmark::DoNotOptimize(sink.n);
  }
}
BENCHMARK(BM_WalkShippedTemplate)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kova

BENCHMARK_MAIN();

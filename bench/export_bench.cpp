// The automatic export of a 10-test model 2 record with every export on,
// and each of its steps alone. The report generator runs as its own
// process, so wall-clock time is what counts.

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <memory>
#include <string>
#include <vector>

#include "app/app_settings.h"
#include "app/auto_export.h"
#include "app/output_rule.h"
#include "app/quiet_prompter.h"
#include "base/file_io.h"
#include "base/format.h"
#include "base/path.h"
#include "export/excel_export.h"
#include "export/export_images.h"
#include "export/export_path.h"
#include "export/export_xml.h"
#include "export/xml_report_sections.h"
#include "platform/large_buffer_heap.h"
#include "platform/qt_picture_canvas.h"
#include "platform/qt_process_runner.h"
#include "platform/xlsx_workbook_writer.h"
#include "support/record_fixtures.h"

namespace kova {
namespace {

constexpr int kTests = 10;

struct Rig {
  std::unique_ptr<TestRecord> rec = MakeSampleRecord(2, kTests, 1);
  AppSettings settings;
  QuietPrompter prompter;
  QtProcessRunner runner;
  QtPictureCanvasFactory canvases;
  ExportServices services;

  Rig() {
    const std::string dir = TempFolder("export_bench");
    rec->fullpath = PathJoin(dir, "bench.test");
    rec->WriteRecordFile(rec->fullpath);
    settings.InstallDir = WithTrailingSeparator(PathJoin(KOVA_BINARY_DIR, "bin"));
    settings.AppLogo = PathJoin(settings.InstallDir, "report_logo.bmp");
    settings.AutoExportXml = settings.AutoExportPdf = settings.AutoExportExcel = 1;
    services.prompter = &prompter;
    services.runner = &runner;
    services.new_workbook = [] { return std::make_unique<XlsxWorkbookWriter>(); };
    services.export_images = [this](TestRecord& r, const std::string& folder, std::string* why) {
      return ExportImages(r, canvases, ImageBasePath(r.fullpath, folder), why);
    };
  }
  std::string Xml() const { return ExportPath(rec->fullpath, ".xml", kXmlFolder); }
  XmlExportContext XmlContext() const { return {settings.InstallDir, settings.AppLogo, 0}; }
};

Rig& TheRig() {
  static Rig rig;
  return rig;
}

void Timed(benchmark::internal::Benchmark* b) {
  b->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
}

void BM_FullAutoExport(benchmark::State& state) {
  Rig& r = TheRig();
  for (auto _ : state) {
    if (!AutoExport(*r.rec, true, r.settings, r.services)) state.SkipWithError("export failed");
  }
}
BENCHMARK(BM_FullAutoExport)->Apply(Timed);

void BM_Pictures(benchmark::State& state) {
  Rig& r = TheRig();
  for (auto _ : state) {
    if (!r.services.export_images(*r.rec, "", nullptr)) state.SkipWithError("pictures failed");
  }
}
BENCHMARK(BM_Pictures)->Apply(Timed);

void BM_Xml(benchmark::State& state) {
  Rig& r = TheRig();
  for (auto _ : state) {
    if (!ExportXml(*r.rec, r.Xml(), r.XmlContext())) state.SkipWithError("XML failed");
  }
}
BENCHMARK(BM_Xml)->Apply(Timed);

// The generator on the XML, its report sections and the pictures of the
// steps before.
void BM_PdfThroughGenerator(benchmark::State& state) {
  Rig& r = TheRig();
  if (!r.services.export_images(*r.rec, "", nullptr) ||
      !ExportXml(*r.rec, r.Xml(), r.XmlContext()) ||
      !WriteFileAtomically(ReportSectionsPath(r.Xml()), BuildReportSectionsBeside(*r.rec, {}))) {
    state.SkipWithError("no XML");
    return;
  }
  const std::string pdf = ExportPath(r.rec->fullpath, ".pdf", kPdfFolder);
  for (auto _ : state) {
    std::string why;
    if (!GenerateReport(kReportTemplateName, kReportSchemaName, r.Xml(), pdf, r.settings,
                        r.services, why)) {
      state.SkipWithError(why.c_str());
    }
  }
}
BENCHMARK(BM_PdfThroughGenerator)->Apply(Timed);

void BM_Workbook(benchmark::State& state) {
  Rig& r = TheRig();
  if (!r.services.export_images(*r.rec, "", nullptr)) {
    state.SkipWithError("no pictures");
    return;
  }
  const std::string xlsx = ExportPath(r.rec->fullpath, ".xlsx", kExcelFolder);
  for (auto _ : state) {
    XlsxWorkbookWriter wb;
    if (!ExportExcel(*r.rec, xlsx, r.settings.InstallDir, wb)) state.SkipWithError("failed");
  }
}
BENCHMARK(BM_Workbook)->Apply(Timed);

// The names of one export run: n records of one name ("r.pdf", "r (2).pdf",
// ...), half of them also given as inputs to check against.
void BM_ClaimSameNames(benchmark::State& state) {
  const std::string dir = TempFolder("export_bench_names");
  const int n = static_cast<int>(state.range(0));
  std::vector<std::string> inputs;
  for (int i = 0; i < n / 2; ++i) inputs.push_back(PathJoin(dir, Format("in%d.test", i)));
  for (auto _ : state) {
    ExportNames names(inputs);
    for (int i = 0; i < n; ++i) benchmark::DoNotOptimize(names.Claim(PathJoin(dir, "r.pdf")));
  }
}
BENCHMARK(BM_ClaimSameNames)->Arg(500)->Arg(1000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kova

int main(int argc, char** argv) {
  // As the programs do: multi-megabyte pictures reuse warm heap memory.
  kova::KeepLargeBuffersInHeap();
  // Fonts and painting for the pictures.
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

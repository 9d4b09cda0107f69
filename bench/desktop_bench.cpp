// The desktop program's two waits a user notices: the "Open Test" browser
// filling from a folder of 500 records, and a 10-test record opened to its
// first drawn page (without the automatic export).

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <cstdlib>

#include "app/quiet_prompter.h"
#include "app/record_document.h"
#include "app/test_browser.h"
#include "base/file_io.h"
#include "base/format.h"
#include "base/path.h"
#include "gui/report_view.h"
#include "gui/test_browser_dialog.h"
#include "support/record_fixtures.h"

namespace kova {
namespace {

const std::string& FolderOf500() {
  static const std::string folder = [] {
    const std::string f = TempFolder("browser-500");
    auto rec = MakeSampleRecord(2, 4);
    const std::string first = PathJoin(f, "model.test");
    rec->WriteRecordFile(first);
    std::vector<uint8_t> bytes;
    ReadFileBytes(first, bytes);
    for (int i = 1; i < 500; ++i) WriteFileAtomically(PathJoin(f, Format("r%03d.test", i)), bytes);
    return f;
  }();
  return folder;
}

void BM_BrowserListing500(benchmark::State& state) {
  const std::string& folder = FolderOf500();
  for (auto _ : state) {
    RecordFolderScan scan(folder, RecordDefaults());
    scan.RunToEnd();
    auto rows = scan.SortedRows();
    benchmark::DoNotOptimize(rows.data());
  }
}
BENCHMARK(BM_BrowserListing500)->Unit(benchmark::kMillisecond);

void BM_BrowserDialogFill500(benchmark::State& state) {
  const std::string& folder = FolderOf500();
  QDir::setCurrent(QString::fromStdString(folder));
  MemorySettingsStore store;
  CAppInfo info;
  QuietPrompter prompter;
  TestBrowserDialog dialog(info, store, prompter, "", true);
  for (auto _ : state) {
    dialog.Fill();
    dialog.FinishFill();
  }
}
BENCHMARK(BM_BrowserDialogFill500)->Unit(benchmark::kMillisecond);

void BM_OpenTenTestRecordToFirstPage(benchmark::State& state) {
  const std::string path = PathJoin(TempFolder("open-10"), "ten.test");
  MakeSampleRecord(2, 10)->WriteRecordFile(path);
  for (auto _ : state) {
    auto doc = std::make_unique<RecordDocument>(RecordDocument::Services{});
    if (!doc->Open(path)) state.SkipWithError("cannot open the record");
    ReportView view(std::move(doc));
    view.resize(1200, 800);
    QPixmap page = view.grab();
    benchmark::DoNotOptimize(page.cacheKey());
  }
}
BENCHMARK(BM_OpenTenTestRecordToFirstPage)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kova

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

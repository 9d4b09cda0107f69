// A CT history report as a PDF from a SQLite library of 100,000 records
// (20,000 CTs x 5 tests): the CT found by its serial number, its taps'
// histories and verdict read, every page drawn into the PDF and written.

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <cstdlib>

#include "library/history_report.h"
#include "library_stores/open_library.h"
#include "library_support/library_records.h"
#include "platform/surface_pages_pdf.h"
#include "support/record_fixtures.h"

namespace kova {
namespace {

std::string BigLibrary() {
  static const std::string location = [] {
    const std::string path = TempFolder("history-report-big") + "/library.sqlite";
    StoreOutcome outcome;
    auto store = OpenLibrary(path, outcome);
    if (store) FillLibrary(*store, 20000, 5, TempFolder("history-report-sample"));
    return path;
  }();
  return location;
}

void EnsureApp() {
  static int argc = 1;
  static char name[] = "history_report_bench";
  static char* argv[] = {name, nullptr};
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  if (QGuiApplication::instance() == nullptr) new QGuiApplication(argc, argv);
}

void BM_CtHistoryReportPdf100k(benchmark::State& state) {
  EnsureApp();
  const std::string location = BigLibrary();
  const std::string pdf = TempFolder("history-report-out") + "/SN10077 history.pdf";
  StoreOutcome outcome;
  auto store = OpenLibrary(location, outcome, LibraryUse::kRead);
  if (!store) return state.SkipWithError("cannot open the library");
  size_t pages = 0;
  for (auto _ : state) {
    std::vector<CtInfo> found;
    CtInfo ct;
    std::string why;
    if (!store->FindCtsBySerial(LibrarySerial(10077), found).ok() ||
        !ChooseCtBySerial(found, LibrarySerial(10077), "", ct, why))
      return state.SkipWithError("no such CT");
    HistoryReport report;
    if (!GatherHistoryReport(*store, ct, "", TrendBands(), nullptr, report, why).ok())
      return state.SkipWithError("cannot read the history");
    report.printed_on = "Printed 12/10/26 16:30";
    const auto list = HistoryReportPages(report);
    pages = list.size();
    if (!SurfacePagesToPdf(
            pdf, static_cast<int>(list.size()), false,
            [&](Surface& s, const Rect& page, int i) {
              DrawHistoryReportPage(s, page, report, list, i);
            },
            "CT history", why))
      return state.SkipWithError("cannot write the PDF");
  }
  state.counters["pages"] = static_cast<double>(pages);
}
BENCHMARK(BM_CtHistoryReportPdf100k)->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace
}  // namespace kova

BENCHMARK_MAIN();

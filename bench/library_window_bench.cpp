// The Library window opening on a SQLite library of 100,000 records
// (20,000 CTs x 5 tests, states mixed): the fleet's first page, its
// summary and the states per station painted once; then a CT's history
// page with both plots.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTableWidget>
#include <cstdlib>

#include "gui/library/library_window.h"
#include "library_stores/open_library.h"
#include "library_support/library_records.h"
#include "support/record_fixtures.h"

namespace kova {
namespace {

std::string BigLibrary() {
  static const std::string location = [] {
    const std::string path = TempFolder("window-big") + "/library.sqlite";
    StoreOutcome outcome;
    auto store = OpenLibrary(path, outcome);
    if (store) FillLibrary(*store, 20000, 5, TempFolder("window-sample"), true);
    return path;
  }();
  return location;
}

void EnsureApp() {
  static int argc = 1;
  static char name[] = "library_window_bench";
  static char* argv[] = {name, nullptr};
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  if (QApplication::instance() == nullptr) new QApplication(argc, argv);
}

void BM_LibraryWindowOpen100k(benchmark::State& state) {
  EnsureApp();
  const std::string location = BigLibrary();
  for (auto _ : state) {
    StoreOutcome outcome;
    auto store = OpenLibrary(location, outcome);
    if (!store) return state.SkipWithError("cannot open the library");
    LibraryWindow window(std::move(store), location, TrendBands(), nullptr);
    window.resize(1200, 760);
    // Painted once, as on the screen.
    benchmark::DoNotOptimize(window.grab().size());
    if (window.CtTable()->rowCount() == 0) state.SkipWithError("no fleet shown");
  }
}
BENCHMARK(BM_LibraryWindowOpen100k)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_LibraryWindowOpenCt100k(benchmark::State& state) {
  EnsureApp();
  const std::string location = BigLibrary();
  StoreOutcome outcome;
  auto store = OpenLibrary(location, outcome);
  if (!store) return state.SkipWithError("cannot open the library");
  LibraryWindow window(std::move(store), location, TrendBands(), nullptr);
  window.resize(1200, 700);
  for (auto _ : state) {
    window.ChooseCt(0);
    benchmark::DoNotOptimize(window.grab().size());
    if (window.History().empty()) state.SkipWithError("no history shown");
    window.ShowFleet();
  }
}
BENCHMARK(BM_LibraryWindowOpenCt100k)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
}  // namespace kova

BENCHMARK_MAIN();

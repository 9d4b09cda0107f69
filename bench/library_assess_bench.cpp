// `kova library assess` over a SQLite library of 2,000 CTs tested five
// times (10,000 records), every CT with an assessment profile kept: the
// latest test of each assessed from the values the library holds.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>

#include "library/library_assess.h"
#include "library_stores/open_library.h"
#include "library_support/library_records.h"
#include "support/record_fixtures.h"

namespace kova {
namespace {

SqlRecordStore& ProfiledLibrary() {
  static std::unique_ptr<SqlRecordStore> store = [] {
    StoreOutcome outcome;
    auto s = OpenLibrary(TempFolder("assess-bench") + "/library.sqlite", outcome);
    if (!s) {
      std::fprintf(stderr, "%s\n", outcome.detail.c_str());
      std::abort();
    }
    FillLibrary(*s, 2000, 5, TempFolder("assess-bench-sample"));
    std::vector<CtInfo> cts;
    s->SearchCts("", 1000000, cts);
    // Half protection class, half PX: both rules run.
    for (size_t i = 0; i < cts.size(); ++i)
      s->KeepProfile(cts[i].key, i % 2 ? R"({"class":"5P","isr":1,"alf":20,"burden_va":10})"
                                       : R"({"class":"PX","isr":1,"kx":20,"rb":5,"ie_max":0.03})");
    return s;
  }();
  return *store;
}

void BM_LibraryAssess2000CtsSqlite(benchmark::State& state) {
  SqlRecordStore& store = ProfiledLibrary();
  std::vector<CtVerdict> verdicts;
  for (auto _ : state) {
    AssessLibrary(store, {}, nullptr, verdicts);
    benchmark::DoNotOptimize(verdicts.data());
  }
  if (verdicts.size() != 2000) state.SkipWithError("not 2,000 CTs assessed");
  state.counters["cts"] = static_cast<double>(verdicts.size());
}
BENCHMARK(BM_LibraryAssess2000CtsSqlite)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kova

BENCHMARK_MAIN();

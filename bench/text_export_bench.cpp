// The text export of a model 2 record: 64 data points and 21 graph points
// per test.

#include <benchmark/benchmark.h>

#include "export/text_export.h"
#include "support/record_fixtures.h"

namespace kova {
namespace {

void BM_BuildTextExportModel2(benchmark::State& state) {
  auto rec = MakeSampleRecord(2, static_cast<int>(state.range(0)), 1);
  for (auto _ : state) {
    std::string text = BuildTextExport(*rec);
    benchmark::DoNotOptimize(text.data());
  }
}
BENCHMARK(BM_BuildTextExportModel2)->Arg(1)->Arg(10);

void BM_ExportTextFileModel2(benchmark::State& state) {
  auto rec = MakeSampleRecord(2, 1, 1);
  const std::string path = TempFolder("text_export_bench") + "/bench.txt";
  for (auto _ : state) {
    if (!ExportText(*rec, path)) state.SkipWithError("cannot write the text file");
  }
}
BENCHMARK(BM_ExportTextFileModel2);

}  // namespace
}  // namespace kova

BENCHMARK_MAIN();

// ComputeDerived on a 10-tap metering record: every tap interpolates its
// curve twice for each of the five metering burdens.

#include <benchmark/benchmark.h>

#include "analysis/compute_derived.h"
#include "support/record_fixtures.h"

namespace kova {
namespace {

void BM_ComputeDerivedMetering10Taps(benchmark::State& state) {
  auto rec = MakeSampleRecord(2, 10, 1);
  rec->classsettings.ctusage = 2;
  for (auto _ : state) {
    ComputeDerived(*rec);
    benchmark::DoNotOptimize(rec->calctext.data());
  }
}
BENCHMARK(BM_ComputeDerivedMetering10Taps);

void BM_ComputeDerivedRelaying10Taps(benchmark::State& state) {
  auto rec = MakeSampleRecord(2, 10, 1);
  rec->classsettings.ctusage = 1;
  for (auto _ : state) {
    ComputeDerived(*rec);
    benchmark::DoNotOptimize(rec->classresult.data());
  }
}
BENCHMARK(BM_ComputeDerivedRelaying10Taps);

}  // namespace
}  // namespace kova

BENCHMARK_MAIN();

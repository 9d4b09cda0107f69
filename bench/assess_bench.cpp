// The working of every value of a 20-tap record, the page list of its
// report with the "Calculation details" pages (built once when the record
// is opened or changed, then drawn from the kept lines), and the three knee
// points of one 64-point curve found again.

#include <benchmark/benchmark.h>

#include "analysis/compute_derived.h"
#include "assess/explain.h"
#include "assess/knee_check.h"
#include "report/report_document.h"
#include "support/record_fixtures.h"

namespace kova {
namespace {

void BM_ExplainRecord20Taps(benchmark::State& state) {
  auto rec = MakeSampleRecord(2, 20, 1);
  ComputeDerived(*rec);
  for (auto _ : state) {
    const std::vector<std::string> lines =
        ExplanationLines(ExplainRecord(*rec, 0, nullptr, nullptr));
    benchmark::DoNotOptimize(lines.data());
  }
}
BENCHMARK(BM_ExplainRecord20Taps);

void BM_ReportPagesWithDetails20Taps(benchmark::State& state) {
  auto rec = MakeSampleRecord(2, 20, 1);
  ComputeDerived(*rec);
  ReportDocument doc;
  for (auto _ : state) {
    doc.SetRecords({*rec});
    benchmark::DoNotOptimize(doc.pagecount());
  }
}
BENCHMARK(BM_ReportPagesWithDetails20Taps);

void BM_FindThreeKnees64Points(benchmark::State& state) {
  auto rec = MakeSampleRecord(2, 1, 1);
  const ExcitationCurve curve = ExcitationCurve::FromTap(*rec, rec->taps[0]);
  for (auto _ : state) {
    for (KneeRule r : {KneeRule::kIeee30, KneeRule::kIeee45, KneeRule::kIec1050}) {
      const KneeCheck k = FindKnee(curve, r);
      benchmark::DoNotOptimize(k.volts);
    }
  }
}
BENCHMARK(BM_FindThreeKnees64Points);

}  // namespace
}  // namespace kova

BENCHMARK_MAIN();

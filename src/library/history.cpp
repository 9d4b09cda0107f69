#include "library/history.h"

#include <algorithm>
#include <cmath>

#include "assess/loglog_curve.h"

namespace kova {
namespace {

// Percent bands compare the rounded-to-0.1 % figure the user sees, so a
// change shown as "5.0 %" is never left unflagged by a hair.
ChangeFlag PercentFlag(double percent, double warn, double alarm) {
  return BandLevel(std::fabs(std::round(percent * 10.0) / 10.0), warn, alarm);
}

Change PercentChange(double from, double to, double warn, double alarm) {
  Change c;
  if (!(from > 0) || !std::isfinite(from) || !std::isfinite(to)) return c;
  c.valid = true;
  c.value = (to - from) / from * 100.0;
  c.flag = PercentFlag(c.value, warn, alarm);
  return c;
}

}  // namespace

const char* ChangeFlagText(ChangeFlag flag) { return BandFlagText(flag); }

CurvePoint RowKnee(const TestRow& t) {
  return KneeOf(KneeRuleOfType(t.kneetype), {t.knee30_v, t.knee30_i}, {t.knee45_v, t.knee45_i},
                {t.knee10_v, t.knee10_i});
}

double ComparisonCurrent(const TestRow& r) {
  const double by_type = RowKnee(r).amps;
  return by_type > 0 ? by_type : r.knee45_i;
}

ValueChanges CompareTests(const TestRow& ref, const TestRow& test, const TrendBands& bands) {
  ValueChanges out;
  if (ref.has_ratio && test.has_ratio && ref.measured_ratio > 0) {
    // N turns on the secondary: a ratio change of one turn moves the ratio
    // by ratio/N.
    const double turns_total = ref.nameplate_ratio > 0 ? ref.nameplate_ratio : ref.measured_ratio;
    out.ratio.valid = true;
    out.ratio.value = turns_total * (test.measured_ratio - ref.measured_ratio) / ref.measured_ratio;
    out.ratio.flag = BandLevel(std::fabs(out.ratio.value), bands.ratio_turns - 1e-9,
                               bands.ratio_alarm_turns - 1e-9);
  }
  // Both curves read at the same current, never beyond their points.
  const double amps = ComparisonCurrent(ref);
  const CurveReading v_ref = ExcitationCurve(ref.curve).VoltageAt(amps);
  const CurveReading v_test = ExcitationCurve(test.curve).VoltageAt(amps);
  if (v_ref.ok && !v_ref.extrapolated && v_test.ok && !v_test.extrapolated)
    out.excitation = PercentChange(v_ref.value, v_test.value, bands.excitation_warn_percent,
                                   bands.excitation_alarm_percent);
  if (ref.has_resistance && test.has_resistance)
    out.resistance = PercentChange(ref.rct75, test.rct75, bands.resistance_warn_percent,
                                   bands.resistance_alarm_percent);
  return out;
}

std::vector<HistoryEntry> BuildHistory(std::vector<TestRow> tests, const TrendBands& bands) {
  std::stable_sort(tests.begin(), tests.end(), [](const TestRow& a, const TestRow& b) {
    return a.test_date != b.test_date ? a.test_date < b.test_date : a.path < b.path;
  });
  size_t base = 0;
  for (size_t i = 0; i < tests.size(); ++i)
    if (tests[i].baseline) {
      base = i;
      break;
    }
  std::vector<HistoryEntry> out;
  out.reserve(tests.size());
  for (size_t i = 0; i < tests.size(); ++i) {
    HistoryEntry e;
    e.test = tests[i];
    if (i != base) e.vs_baseline = CompareTests(tests[base], tests[i], bands);
    if (i > 0) e.vs_previous = CompareTests(tests[i - 1], tests[i], bands);
    out.push_back(std::move(e));
  }
  return out;
}

}  // namespace kova

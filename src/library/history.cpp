#include "library/history.h"

#include <algorithm>
#include <cmath>

namespace kova {
namespace {

// Percent bands compare the rounded-to-0.1 % figure the user sees, so a
// change shown as "5.0 %" is never left unflagged by a hair.
ChangeFlag PercentFlag(double percent, double warn, double alarm) {
  const double shown = std::fabs(std::round(percent * 10.0) / 10.0);
  if (shown >= alarm) return ChangeFlag::kAlarm;
  if (shown >= warn) return ChangeFlag::kWarn;
  return ChangeFlag::kOk;
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

const char* ChangeFlagText(ChangeFlag flag) {
  switch (flag) {
    case ChangeFlag::kOk:
      return "OK";
    case ChangeFlag::kWarn:
      return "WARN";
    case ChangeFlag::kAlarm:
      return "ALARM";
    case ChangeFlag::kNone:
      break;
  }
  return "";
}

bool VoltageAtCurrent(const std::vector<ExcitationPoint>& curve, double amps, double& volts) {
  if (!(amps > 0) || curve.empty()) return false;
  for (size_t i = 0; i < curve.size(); ++i) {
    if (curve[i].amps == amps) {
      volts = curve[i].volts;
      return true;
    }
    if (i + 1 < curve.size() && curve[i].amps < amps && amps < curve[i + 1].amps) {
      const double x0 = std::log(curve[i].amps), x1 = std::log(curve[i + 1].amps);
      const double y0 = std::log(curve[i].volts), y1 = std::log(curve[i + 1].volts);
      volts = std::exp(y0 + (std::log(amps) - x0) * (y1 - y0) / (x1 - x0));
      return true;
    }
  }
  return false;
}

double ComparisonCurrent(const TestRow& r) {
  const double by_type = r.kneetype == 1 ? r.knee30_i : r.kneetype == 3 ? r.knee10_i : r.knee45_i;
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
    out.ratio.flag = std::fabs(out.ratio.value) >= bands.ratio_turns - 1e-9 ? ChangeFlag::kWarn
                                                                            : ChangeFlag::kOk;
  }
  const double amps = ComparisonCurrent(ref);
  double v_ref = 0, v_test = 0;
  if (VoltageAtCurrent(ref.curve, amps, v_ref) && VoltageAtCurrent(test.curve, amps, v_test))
    out.excitation =
        PercentChange(v_ref, v_test, bands.excitation_warn_percent, bands.excitation_alarm_percent);
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

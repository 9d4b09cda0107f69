#pragma once
// A CT's history at one tap: every test in date order, each value compared
// with the baseline (the first test, or the one the user marked) and with
// the previous test, and each change flagged by its band.

#include <string>
#include <vector>

#include "library/library_model.h"

namespace kova {

enum class ChangeFlag { kNone, kOk, kWarn, kAlarm };
// "", "OK", "WARN", "ALARM".
const char* ChangeFlagText(ChangeFlag flag);

// The bands; the application keeps them as settings.
struct TrendBands {
  double ratio_turns = 1.0;  // flag a ratio change of at least this many turns
  double excitation_warn_percent = 5.0;
  double excitation_alarm_percent = 10.0;
  double resistance_warn_percent = 2.0;
  double resistance_alarm_percent = 5.0;
};

// One value's change against a reference test.
struct Change {
  bool valid = false;
  double value = 0;  // turns for the ratio, percent otherwise
  ChangeFlag flag = ChangeFlag::kNone;
};

struct ValueChanges {
  Change ratio, excitation, resistance;
};

struct HistoryEntry {
  TestRow test;
  ValueChanges vs_baseline;
  ValueChanges vs_previous;
};

// The excitation voltage of `curve` at `amps`, interpolated on log-log axes
// between the bracketing points; false outside the curve.
bool VoltageAtCurrent(const std::vector<ExcitationPoint>& curve, double amps, double& volts);

// The current at which two tests' curves are compared: the reference test's
// knee current of its knee type (45 degrees when that one is missing).
double ComparisonCurrent(const TestRow& reference);

// Changes of `test` against `reference`.
ValueChanges CompareTests(const TestRow& reference, const TestRow& test, const TrendBands& bands);

// `tests` of one CT and tap in any order -> date order with the changes. The
// baseline is the test marked as such, else the first.
std::vector<HistoryEntry> BuildHistory(std::vector<TestRow> tests, const TrendBands& bands);

}  // namespace kova

#pragma once
// A CT's history at one tap: every test in date order, each value compared
// with the baseline (the first test, or the one the user marked) and with
// the previous test, and each change flagged by its band.

#include <string>
#include <vector>

#include "assess/bands.h"
#include "library/library_model.h"

namespace kova {

// The comparisons' flags: one set of words for both.
using ChangeFlag = BandFlag;
// "", "OK", "WARN", "ALARM".
const char* ChangeFlagText(ChangeFlag flag);

// The bands (TrendBands) are in assess/bands.h; the application keeps them
// as settings.

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

// The test's knee point of its knee type (KneeRuleOfType).
CurvePoint RowKnee(const TestRow& t);

// The current at which two tests' curves are compared: the reference test's
// knee current of its knee type (45 degrees when that one is missing). The
// curves are read there by ExcitationCurve, the program's one reading of a
// curve on log-log axes.
double ComparisonCurrent(const TestRow& reference);

// Changes of `test` against `reference`.
ValueChanges CompareTests(const TestRow& reference, const TestRow& test, const TrendBands& bands);

// `tests` of one CT and tap in any order -> date order with the changes. The
// baseline is the test marked as such, else the first.
std::vector<HistoryEntry> BuildHistory(std::vector<TestRow> tests, const TrendBands& bands);

}  // namespace kova

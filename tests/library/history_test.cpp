// The history and trend rules of the record library, without a database.

#include <gtest/gtest.h>

#include <cmath>

#include "assess/loglog_curve.h"
#include "library/curve_text.h"
#include "library/history.h"
#include "library/history_table.h"

namespace kova {
namespace {

// A test of one tap: a power-law excitation curve scaled so that the knee
// current of the baseline sees `knee_volts`.
TestRow MakeTest(const std::string& date, double knee_volts, double ratio, double rct75) {
  TestRow t;
  t.tap = "X1-X5";
  t.test_date = date;
  t.kneetype = 2;
  t.knee45_i = 0.05;
  t.knee45_v = knee_volts;
  for (double amps : {0.002, 0.01, 0.05, 0.2, 1.0, 4.0})
    t.curve.push_back({knee_volts * std::pow(amps / 0.05, 0.12), amps});
  t.has_ratio = true;
  t.nameplate_ratio = 400;
  t.measured_ratio = ratio;
  t.has_resistance = true;
  t.rct75 = rct75;
  return t;
}

// Given in date order on purpose out of order: the history sorts.
std::vector<TestRow> WorkedCase() {
  return {MakeTest("2021-05-04 10:00:00", 565.0, 400.0, 0.503),
          MakeTest("2018-03-01 09:00:00", 568.2, 400.0, 0.500),
          MakeTest("2024-06-11 14:30:00", 530.0, 399.0, 0.520)};
}

TEST(LibraryHistory, WorkedCaseAgainstTheFirstTest) {
  const auto h = BuildHistory(WorkedCase(), TrendBands());
  ASSERT_EQ(h.size(), 3u);
  EXPECT_EQ(h[0].test.test_date, "2018-03-01 09:00:00");
  EXPECT_FALSE(h[0].vs_baseline.excitation.valid);
  EXPECT_FALSE(h[0].vs_previous.ratio.valid);

  struct Expect {
    double excitation;
    ChangeFlag excitation_flag;
    double turns;
    ChangeFlag ratio_flag;
    double resistance;
    ChangeFlag resistance_flag;
  } expect[] = {
      {-0.563, ChangeFlag::kOk, 0.0, ChangeFlag::kOk, 0.6, ChangeFlag::kOk},
      {-6.723, ChangeFlag::kWarn, -1.0, ChangeFlag::kWarn, 4.0, ChangeFlag::kWarn},
  };
  for (int i = 0; i < 2; ++i) {
    SCOPED_TRACE(i + 1);
    const ValueChanges& c = h[i + 1].vs_baseline;
    ASSERT_TRUE(c.excitation.valid && c.ratio.valid && c.resistance.valid);
    EXPECT_NEAR(c.excitation.value, expect[i].excitation, 0.001);
    EXPECT_EQ(c.excitation.flag, expect[i].excitation_flag);
    EXPECT_NEAR(c.ratio.value, expect[i].turns, 1e-9);
    EXPECT_EQ(c.ratio.flag, expect[i].ratio_flag);
    EXPECT_NEAR(c.resistance.value, expect[i].resistance, 1e-9);
    EXPECT_EQ(c.resistance.flag, expect[i].resistance_flag);
  }
  // The last against the one before: -6.2 % and +3.4 %.
  EXPECT_NEAR(h[2].vs_previous.excitation.value, (530.0 - 565.0) / 565.0 * 100, 1e-9);
  EXPECT_EQ(h[2].vs_previous.resistance.flag, ChangeFlag::kWarn);
  // -0.25 % of the ratio is exactly one turn in 400.
  EXPECT_NEAR((399.0 - 400.0) / 400.0 * 100, -0.25, 1e-12);
}

// Each change lands in its own column of the history table: a worked case
// whose last test differs from the baseline otherwise than from the test
// before, in the excitation, the turns and Rct at 75 degC.
TEST(LibraryHistory, EachChangeHasItsOwnColumn) {
  const auto h = BuildHistory({MakeTest("2018-03-01 09:00:00", 568.2, 400.0, 0.500),
                               MakeTest("2021-05-04 10:00:00", 565.0, 400.5, 0.515),
                               MakeTest("2024-06-11 14:30:00", 530.0, 399.0, 0.520)},
                              TrendBands());
  ASSERT_EQ(h.size(), 3u);
  const struct {
    const char* column;
    const char* first;  // the baseline: nothing to compare
    const char* last;
  } cases[] = {
      {"Date", "2018-03-01", "2024-06-11"}, {"Knee V", "568.2", "530.0"},
      {"Exc. vs base", "", "-6.7 % WARN"},   // 530 / 568.2
      {"Exc. vs prev.", "", "-6.2 % WARN"},  // 530 / 565
      {"Ratio", "400.000", "399.000"},       //
      {"Turns vs base", "", "-1.00 WARN"},   // 400 x (399 - 400) / 400
      {"Turns vs prev.", "", "-1.50 WARN"},  // 400 x (399 - 400.5) / 400.5
      {"Rct vs base", "", "+4.0 % WARN"},    // 0.520 / 0.500
      {"Rct vs prev.", "", "+1.0 % OK"},     // 0.520 / 0.515
  };
  const auto& columns = HistoryColumns();
  const auto first = HistoryCells(h[0]);
  const auto last = HistoryCells(h[2]);
  ASSERT_EQ(first.size(), columns.size());
  for (const auto& c : cases) {
    SCOPED_TRACE(c.column);
    size_t i = 0;
    while (i < columns.size() && columns[i] != c.column) ++i;
    ASSERT_LT(i, columns.size());
    EXPECT_EQ(first[i].text, c.first);
    EXPECT_EQ(last[i].text, c.last);
  }
}

TEST(LibraryHistory, AMarkedBaselineReplacesTheFirstTest) {
  auto tests = WorkedCase();
  tests[0].baseline = true;  // the 2021 test
  const auto h = BuildHistory(tests, TrendBands());
  EXPECT_FALSE(h[1].vs_baseline.resistance.valid);  // the baseline itself
  EXPECT_NEAR(h[0].vs_baseline.resistance.value, (0.500 - 0.503) / 0.503 * 100, 1e-9);
  EXPECT_NEAR(h[2].vs_baseline.excitation.value, (530.0 - 565.0) / 565.0 * 100, 1e-9);
  EXPECT_FALSE(h[1].vs_previous.resistance.flag == ChangeFlag::kNone);
}

TEST(LibraryHistory, BandsFlagTheRoundedChange) {
  struct Case {
    double to;  // resistance from 1.0 ohm
    ChangeFlag flag;
  } cases[] = {{1.0194, ChangeFlag::kOk},    {1.0196, ChangeFlag::kWarn},
               {0.9800, ChangeFlag::kWarn},  {1.0494, ChangeFlag::kWarn},
               {1.0500, ChangeFlag::kAlarm}, {0.9000, ChangeFlag::kAlarm}};
  for (const Case& c : cases) {
    TestRow a = MakeTest("2020-01-01 00:00:00", 500, 100, 1.0);
    TestRow b = MakeTest("2021-01-01 00:00:00", 500, 100, c.to);
    EXPECT_EQ(CompareTests(a, b, TrendBands()).resistance.flag, c.flag) << c.to;
  }
  TrendBands tight;
  tight.ratio_turns = 0.5;
  TestRow a = MakeTest("2020-01-01 00:00:00", 500, 400.0, 1.0);
  TestRow b = MakeTest("2021-01-01 00:00:00", 500, 399.5, 1.0);
  EXPECT_EQ(CompareTests(a, b, TrendBands()).ratio.flag, ChangeFlag::kOk);
  EXPECT_EQ(CompareTests(a, b, tight).ratio.flag, ChangeFlag::kWarn);
  // A ratio change warns from one turn and alarms from the second level.
  struct RatioCase {
    double to;  // measured ratio from 400, 400 turns
    double alarm_turns;
    ChangeFlag flag;
  } ratios[] = {{400.9, 3, ChangeFlag::kOk},    {401.0, 3, ChangeFlag::kWarn},
                {397.1, 3, ChangeFlag::kWarn},  {397.0, 3, ChangeFlag::kAlarm},
                {419.0, 3, ChangeFlag::kAlarm}, {419.0, 20, ChangeFlag::kWarn}};
  for (const RatioCase& c : ratios) {
    TrendBands bands;
    bands.ratio_alarm_turns = c.alarm_turns;
    TestRow to = MakeTest("2021-01-01 00:00:00", 500, c.to, 1.0);
    const Change change = CompareTests(a, to, bands).ratio;
    EXPECT_NEAR(change.value, c.to - 400.0, 1e-9);
    EXPECT_EQ(change.flag, c.flag) << c.to;
  }
}

TEST(LibraryHistory, MissingValuesAreNotCompared) {
  TestRow a = MakeTest("2020-01-01 00:00:00", 500, 400, 1.0);
  TestRow b = a;
  b.has_ratio = false;
  b.has_resistance = false;
  b.curve.clear();
  const ValueChanges c = CompareTests(a, b, TrendBands());
  EXPECT_FALSE(c.ratio.valid);
  EXPECT_FALSE(c.resistance.valid);
  EXPECT_FALSE(c.excitation.valid);
  EXPECT_STREQ(ChangeFlagText(c.excitation.flag), "");
}

// A curve as records filed before store it (current first, in rising
// current) reads as it did: on a power law the log-log reading is exact, and
// nothing is read beyond the points.
TEST(LibraryHistory, StoredCurvesReadOnLogLogAxes) {
  std::vector<CurvePoint> stored;
  ASSERT_TRUE(CurveFromText("0.01 " + std::to_string(100 * std::pow(0.01, 0.2)) + ";1 100;10 " +
                                std::to_string(100 * std::pow(10.0, 0.2)),
                            stored));
  ASSERT_EQ(stored.size(), 3u);
  EXPECT_DOUBLE_EQ(stored[1].volts, 100.0);
  EXPECT_DOUBLE_EQ(stored[1].amps, 1.0);
  const ExcitationCurve curve(stored);
  struct Case {
    double amps;
    bool found;
    double volts;
  } cases[] = {{0.1, true, 100 * std::pow(0.1, 0.2)},
               {1.0, true, 100.0},
               {3.0, true, 100 * std::pow(3.0, 0.2)},
               {0.005, false, 0},
               {20.0, false, 0},
               {0.0, false, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.amps);
    const CurveReading r = curve.VoltageAt(c.amps);
    EXPECT_EQ(r.ok && !r.extrapolated, c.found);
    if (c.found) {
      EXPECT_NEAR(r.value, c.volts, 1e-4 * c.volts);
    }
  }
}

TEST(LibraryHistory, ComparisonCurrentFollowsTheKneeType) {
  TestRow t;
  t.knee10_i = 0.1, t.knee30_i = 0.3, t.knee45_i = 0.45;
  const std::pair<int, double> cases[] = {{1, 0.3}, {2, 0.45}, {3, 0.1}};
  for (auto [type, amps] : cases) {
    t.kneetype = type;
    EXPECT_EQ(ComparisonCurrent(t), amps) << type;
  }
  t.kneetype = 1;
  t.knee30_i = 0;
  EXPECT_EQ(ComparisonCurrent(t), 0.45);
}

}  // namespace
}  // namespace kova

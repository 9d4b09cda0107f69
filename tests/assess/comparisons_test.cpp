#include "assess/comparisons.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "assess/explain.h"
#include "assess/reference_curve.h"
#include "assess_fixtures.h"

namespace kova {
namespace {

TEST(Reference, WorkedTapScaling) {
  const double predicted = ScaleVoltageToTurns(568.15, 400, 300.02);
  EXPECT_NEAR(predicted, 426.14, 0.005);
  EXPECT_NEAR(DeviationPercent(425.41, predicted), -0.17, 0.005);
  EXPECT_NEAR(ScaleCurrentToTurns(0.3, 400, 300.02), 0.3 * 400 / 300.02, 1e-15);
}

// The reference: I = 0.1 (V / 568.15)^8 on 400 turns. The record: the
// same core on 300.02 turns, its voltages off by `factor`.
std::unique_ptr<TestRecord> TappedRecord(double factor) {
  const double k = 300.02 / 400;
  auto rec = CurveRecord(
      [k, factor](double v) { return 0.1 / k * std::pow(v / factor / (568.15 * k), 8.0); }, 200,
      520, 40);
  rec->kneetype = 3;
  TapTest& tap = rec->taps[0];
  tap.fTestRatio = 300.02;
  tap.fKneeCur10 = 0.1 / k;
  tap.fKneeVtg10 = 568.15 * k * factor;
  return rec;
}

ReferenceCurve Reference(bool average) {
  ReferenceCurve ref;
  ref.turns = 400;
  ref.average_rectified = average;
  const double form = average ? kSineFormFactor : 1.0;
  for (double v = 250; v <= 720; v += 10) {
    ref.points.push_back({v / form, 0.1 * std::pow(v / 568.15, 8.0)});
  }
  return ref;
}

TEST(Reference, LargestDeviationWithinTheKneeWindow) {
  struct Case {
    double factor;
    bool average;
    bool flagged;
  } cases[] = {{1 - 0.0017, false, false},
               {1 - 0.0017, true, false},
               {1.06, false, true},
               {0.94, true, true}};
  for (const Case& c : cases) {
    const auto rec = TappedRecord(c.factor);
    const ReferenceComparison cmp = CompareWithReference(*rec, 1, Reference(c.average), 5.0);
    ASSERT_TRUE(cmp.done) << cmp.problem;
    EXPECT_GT(cmp.compared, 3);
    EXPECT_NEAR(cmp.largest_deviation, (c.factor - 1) * 100, 1e-6) << c.factor;
    const double ik = rec->taps[0].fKneeCur10;
    EXPECT_GE(cmp.at_amps, 0.5 * ik);
    EXPECT_LE(cmp.at_amps, 1.5 * ik);
    EXPECT_EQ(cmp.flagged, c.flagged) << c.factor;
  }
  auto no_knee = TappedRecord(1.0);
  no_knee->taps[0].fKneeCur10 = 0;
  EXPECT_EQ(CompareWithReference(*no_knee, 1, Reference(false), 5).problem,
            "the test has no knee point");
}

TEST(ReferenceCsv, ReadsWritesAndRefuses) {
  ReferenceCurve ref;
  std::string error;
  ASSERT_TRUE(ParseReferenceCsv(
      "# maker's curve\r\ntap,X1-X5\r\nturns,400\r\nvoltmeter,average\r\nvolts,amps\r\n"
      "100,0.01\r\n\r\n568.15,0.1\r\n",
      ref, error))
      << error;
  EXPECT_EQ(ref.tap, "X1-X5");
  EXPECT_TRUE(ref.average_rectified);
  ASSERT_EQ(ref.points.size(), 2u);
  ReferenceCurve again;
  ASSERT_TRUE(ParseReferenceCsv(ReferenceCsv(ref), again, error));
  EXPECT_EQ(again.points[1].volts, 568.15);
  struct Case {
    const char* text;
    const char* error;
  } cases[] = {
      {"voltmeter,rms\n1,1\n2,2\n", "the turns of the reference tap are missing"},
      {"turns,400\n1,1\n2,2\n", "the voltmeter (rms or average) is missing"},
      {"turns,400\nvoltmeter,rms\n1,1\n", "the curve needs at least two points"},
      {"turns,400\nvoltmeter,peak\n", "line 2: the voltmeter is rms or average"},
      {"turns,0\n", "line 1: the turns must be a number above 0"},
      {"turns,400\n1,2,3\n", "line 2: two fields separated by a comma expected"},
      {"turns,400\n1,-2\n", "line 2: a point is two numbers above 0"},
      {"turns,400\n1,nan\n", "line 2: a point is two numbers above 0"},
      {"turns,400\n1e999,1\n", "line 2: a point is two numbers above 0"},
      {"turns,400\n1x,1\n", "line 2: a point is two numbers above 0"},
  };
  for (const Case& c : cases) {
    EXPECT_FALSE(ParseReferenceCsv(c.text, ref, error)) << c.text;
    EXPECT_EQ(error, c.error) << c.text;
  }
  EXPECT_FALSE(ParseReferenceCsv("turns,4\n" + std::string(300, '1') + ",1\n", ref, error));
  EXPECT_EQ(error, "line 2: the line is too long");
  EXPECT_FALSE(ParseReferenceCsv(std::string(kMaxReferenceBytes + 1, '#'), ref, error));
}

// Three taps of one CT; a knee per turn 3 % low on one of them.
TEST(Taps, KneeVoltagePerTurn) {
  auto rec = CurveRecord(PowerLaw(100, 0.01, 8), 10, 200);
  rec->numtests = 3;
  rec->kneetype = 1;
  const double turns[] = {400, 200, 300};
  const double per_turn[] = {1.4, 1.4, 1.4 * 0.97};
  for (int t = 0; t < 3; ++t) {
    rec->taps[t].uTestType = kRatioTest;
    rec->taps[t].fTestRatio = turns[t];
    rec->taps[t].fKneeVtg30 = per_turn[t] * turns[t];
  }
  const std::vector<TapComparison> taps = CompareTaps(*rec, 2.0);
  ASSERT_EQ(taps.size(), 3u);
  EXPECT_NEAR(taps[0].deviation, DeviationPercent(1.4, 1.4 * 0.985), 1e-9);
  EXPECT_FALSE(taps[0].flagged);
  EXPECT_FALSE(taps[1].flagged);
  EXPECT_NEAR(taps[2].deviation, -3.0, 1e-9);
  EXPECT_TRUE(taps[2].flagged);
  // Each tap's working names the comparison and its result.
  RecordExplanation working = ExplainRecord(*rec, 0, nullptr, nullptr);
  AddComparisonWorking(nullptr, taps, working);
  ASSERT_EQ(working.tests.size(), 3u);
  const Explanation& last = working.tests[2].items.back();
  EXPECT_EQ(last.quantity, "knee voltage per turn against the other taps");
  EXPECT_EQ(last.result, "-3.00 %, flagged");
  rec->taps[1].fKneeVtg30 = 0;  // one tap without a knee leaves two
  EXPECT_EQ(CompareTaps(*rec, 2.0).size(), 2u);
  rec->numtests = 1;
  EXPECT_TRUE(CompareTaps(*rec, 2.0).empty());
}

TEST(Sisters, PhaseOutsideTheOthers) {
  std::vector<std::unique_ptr<TestRecord>> phases;
  const double rct_mohm[] = {2000, 2010, 2180, 2000};  // phase C +8.5 %
  const int nameplate[] = {400, 400, 400, 600};        // the fourth is another ratio
  for (int i = 0; i < 4; ++i) {
    phases.push_back(CurveRecord(PowerLaw(100, 0.01, 8), 10, 200));
    TapTest& tap = phases.back()->taps[0];
    tap.fWindingRes = rct_mohm[i];
    tap.nNamePlateNum = nameplate[i];
    tap.fTestRatio = nameplate[i] * 1.001;
    tap.fKneeCur10 = 0.01;
    phases.back()->kneetype = 3;
  }
  const std::vector<const TestRecord*> records{phases[0].get(), phases[1].get(), phases[2].get(),
                                               phases[3].get()};
  const SisterComparison c = CompareSisters(records, {"A", "B", "C", "D"}, 4, 5.0);
  ASSERT_EQ(c.rows.size(), 4u);
  EXPECT_EQ(c.rows[3].test, 0);
  EXPECT_FALSE(c.rows[0].flagged);
  EXPECT_FALSE(c.rows[1].flagged);
  EXPECT_TRUE(c.rows[2].flagged);
  EXPECT_TRUE(c.rows[2].rct75.flagged);
  EXPECT_FALSE(c.rows[2].ratio.flagged);
  EXPECT_NEAR(c.rows[2].rct75.deviation, DeviationPercent(2180, 2005), 1e-9);
  EXPECT_NEAR(c.rows[0].knee_at_current.value, 100, 1e-9);
}

}  // namespace
}  // namespace kova

#include "assess/comparisons.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "assess/explain.h"
#include "assess/reference_curve.h"
#include "assess_fixtures.h"
#include "base/format.h"

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
  EXPECT_NEAR(taps[0].deviation, 0.0, 1e-9);  // the median is a sound tap
  EXPECT_FALSE(taps[0].flagged);
  EXPECT_FALSE(taps[1].flagged);
  EXPECT_NEAR(taps[2].deviation, -3.0, 1e-9);
  EXPECT_TRUE(taps[2].flagged);
  // Each tap's working names the comparison and its result.
  RecordExplanation working = ExplainRecord(*rec, 0, nullptr, nullptr);
  AddComparisonWorking(nullptr, taps, working);
  ASSERT_EQ(working.tests.size(), 3u);
  const Explanation& last = working.tests[2].items.back();
  EXPECT_EQ(last.quantity, "knee voltage per turn against the median of the taps");
  EXPECT_EQ(last.result, "-3.00 %, WARN");
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
  const SisterComparison c = CompareSisters(
      {{records[0], "A"}, {records[1], "B"}, {records[2], "C"}, {records[3], "D"}}, 4, {});
  ASSERT_EQ(c.rows.size(), 4u);
  EXPECT_EQ(c.rows[3].test, 0);
  EXPECT_FALSE(c.rows[0].flagged);
  EXPECT_FALSE(c.rows[1].flagged);
  EXPECT_TRUE(c.rows[2].flagged);
  EXPECT_TRUE(c.rows[2].rct75.flagged);
  EXPECT_FALSE(c.rows[2].ratio.flagged);
  EXPECT_NEAR(c.rows[2].rct75.deviation, DeviationPercent(2180, 2010), 1e-9);
  EXPECT_EQ(c.rows[2].flag, BandFlag::kWarn);
  EXPECT_NEAR(c.rows[0].knee_at_current.value, 100, 1e-9);
}

// One tap out of line is blamed alone: each against the median of the taps;
// two taps only differ, blaming neither.
TEST(Taps, TheMedianBlamesTheOneOutOfLine) {
  struct Case {
    const char* what;
    std::vector<double> per_turn;  // factor of 1.4 V/turn, one tap each
    std::vector<BandFlag> flags;
    std::vector<double> deviations;
  };
  using F = BandFlag;
  const Case cases[] = {
      {"five taps, one 5 % low",
       {1, 1, 1, 0.95, 1},
       {F::kOk, F::kOk, F::kOk, F::kAlarm, F::kOk},
       {0, 0, 0, -5, 0}},
      {"three taps, one 3 % low", {1, 1, 0.97}, {F::kOk, F::kOk, F::kWarn}, {0, 0, -3}},
      {"four taps: the median between the middle two",
       {1, 1.01, 0.9, 1},
       {F::kOk, F::kOk, F::kAlarm, F::kOk},
       {0, 1, -10, 0}},
      {"two taps 3 % apart: the pair",
       {1, 0.97},
       {F::kWarn, F::kWarn},
       {100.0 * 0.03 / 0.97, 100.0 * 0.03 / 0.97}},
      {"two taps alike", {1, 1.001}, {F::kOk, F::kOk}, {0.1, 0.1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto rec = CurveRecord(PowerLaw(100, 0.01, 8), 10, 200);
    rec->numtests = static_cast<int>(c.per_turn.size());
    rec->kneetype = 1;
    for (size_t t = 0; t < c.per_turn.size(); ++t) {
      const double turns = 100.0 * (t + 1);
      rec->taps[t].uTestType = kRatioTest;
      rec->taps[t].nTapConnection = static_cast<int>(t + 1);
      rec->taps[t].fTestRatio = turns;
      rec->taps[t].fKneeVtg30 = 1.4 * c.per_turn[t] * turns;
    }
    const std::vector<TapComparison> taps = CompareTaps(*rec, 2.0);
    ASSERT_EQ(taps.size(), c.flags.size());
    const bool pair = taps.size() == 2;
    for (size_t t = 0; t < taps.size(); ++t) {
      EXPECT_EQ(taps[t].flag, c.flags[t]) << t;
      EXPECT_NEAR(taps[t].deviation, c.deviations[t], 1e-6) << t;
      EXPECT_EQ(taps[t].pair, pair);
    }
    const std::vector<std::string> lines = TapLines(taps, 2.0);
    const std::string last = lines.back();
    if (pair) {
      EXPECT_NE(last.find(Format("differ by %.2f %%, ", c.deviations[0])), std::string::npos)
          << last;
    } else {
      EXPECT_EQ(last.find("differ"), std::string::npos) << last;
    }
  }
}

// A phase: its knee voltage at 0.01 A, its measured ratio on 400 turns, its
// winding resistance; the serial names it.
std::unique_ptr<TestRecord> Phase(const std::string& serial, double knee, double ratio,
                                  double rct_mohm) {
  auto rec = CurveRecord(PowerLaw(knee, 0.01, 8), 10, 300);
  rec->kneetype = 3;
  rec->serialnumber = serial;
  rec->circuit = "LINE 4";
  rec->testdatetime = "03/01/26 10:00:00";
  TapTest& tap = rec->taps[0];
  tap.fWindingRes = rct_mohm;
  tap.nNamePlateNum = 400;
  tap.fNamePlateDen = 1;
  tap.fTestRatio = ratio;
  tap.fKneeCur10 = 0.01;
  tap.fKneeVtg10 = knee;
  return rec;
}

// Sister phases: each against the median of three or more, so one faulty
// phase is blamed alone (against the mean of the others, one 12 % high put
// each sound phase at -5.66 % and flagged all three); two phases differ,
// blaming neither; the ratio by turns, with a warning and an alarm level.
TEST(Sisters, TheMedianBlamesTheOneOutOfLine) {
  struct Phase3 {
    double knee, ratio, rct;
  };
  struct Case {
    const char* what;
    std::vector<Phase3> phases;
    std::vector<BandFlag> blamed;  // per phase
    BandFlag overall;
    const char* line;  // in the lines
  };
  using F = BandFlag;
  const Case cases[] = {
      {"three phases, one knee 12 % high",
       {{100, 400, 2000}, {100, 400, 2000}, {112, 400, 2000}},
       {F::kOk, F::kOk, F::kAlarm},
       F::kAlarm,
       "knee 112.00 V (+12.00 %, ALARM)"},
      {"three phases, one Rct 6 % high",
       {{100, 400, 2000}, {101, 400, 2000}, {100, 400, 2120}},
       {F::kOk, F::kOk, F::kWarn},
       F::kWarn,
       "Rct75 "},
      {"four phases, one ratio 19 turns up",
       {{100, 400, 2000}, {100, 400, 2000}, {100, 419, 2000}, {101, 400, 2010}},
       {F::kOk, F::kOk, F::kAlarm, F::kOk},
       F::kAlarm,
       "ratio 419.0000 (+4.75 %, +19.00 turns, ALARM)"},
      {"three phases, one ratio 2 turns down",
       {{100, 400, 2000}, {100, 398, 2000}, {100, 400, 2000}},
       {F::kOk, F::kWarn, F::kOk},
       F::kWarn,
       "ratio 398.0000 (-0.50 %, -2.00 turns, WARN)"},
      {"two phases 8 % apart: neither blamed",
       {{100, 400, 2000}, {108, 400, 2000}},
       {F::kOk, F::kOk},
       F::kWarn,
       "  knee: serial P1, LINE 4, tested 03/01/26 and serial P2, LINE 4, tested 03/01/26 "
       "differ by 8.00 %, WARN"},
      {"two phases alike",
       {{100, 400, 2000}, {100.5, 400, 2000}},
       {F::kOk, F::kOk},
       F::kOk,
       "  ratio: serial P1, LINE 4, tested 03/01/26 and serial P2, LINE 4, tested 03/01/26 "
       "differ by 0.00 % (0.00 turns), OK"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<std::unique_ptr<TestRecord>> recs;
    std::vector<SisterMember> members;
    for (const Phase3& p : c.phases) {
      recs.push_back(Phase("P" + std::to_string(recs.size() + 1), p.knee, p.ratio, p.rct));
      members.push_back({recs.back().get(), "p.test", 1});
    }
    const SisterComparison cmp = CompareSisters(members, 4, ComparisonBands());
    ASSERT_EQ(cmp.rows.size(), c.blamed.size());
    for (size_t i = 0; i < cmp.rows.size(); ++i) {
      EXPECT_EQ(cmp.rows[i].flag, c.blamed[i]) << i;
      EXPECT_EQ(cmp.rows[i].flagged, c.blamed[i] >= F::kWarn) << i;
    }
    EXPECT_EQ(cmp.flag, c.overall);
    EXPECT_EQ(cmp.rows[0].name, "serial P1, LINE 4, tested 03/01/26");
    std::string all;
    for (const std::string& l : SisterLines(cmp)) all += l + "\n";
    EXPECT_NE(all.find(c.line), std::string::npos) << all;
    EXPECT_EQ(all.find("FLAGGED"), std::string::npos) << all;
  }
}

// A record that holds the tap twice is compared by the test chosen for it,
// else by its last test of the tap (the retest); a chosen test of another
// tap falls back to that one too. Its first try here has a knee 30 % low.
TEST(Sisters, TheRetestChosenIsTheOneCompared) {
  auto a = Phase("P1", 100, 400, 2000);
  auto b = Phase("P2", 100, 400, 2000);
  auto c = Phase("P3", 100, 400, 2000);
  c->numtests = 3;
  c->taps[2] = c->taps[0];  // the retest: sound
  c->taps[1] = c->taps[0];  // another tap
  c->taps[1].nTapConnection = 2;
  for (int i = 0; i < 64; ++i) c->taps[0].dpVolts[i] *= 0.7;  // the first try
  c->taps[0].fKneeVtg10 = 70;
  struct Case {
    int chosen;
    int compared;
    BandFlag flag;
  } cases[] = {{0, 3, BandFlag::kOk},
               {3, 3, BandFlag::kOk},
               {1, 1, BandFlag::kAlarm},
               {2, 3, BandFlag::kOk},
               {9, 3, BandFlag::kOk}};
  for (const Case& k : cases) {
    const SisterComparison cmp =
        CompareSisters({{a.get(), "a", 1}, {b.get(), "b", 0}, {c.get(), "c", k.chosen}}, 4, {});
    ASSERT_EQ(cmp.rows.size(), 3u);
    EXPECT_EQ(cmp.rows[2].test, k.compared) << k.chosen;
    EXPECT_EQ(cmp.rows[2].label, Format("Test %d (tap X1-X5)", k.compared)) << k.chosen;
    EXPECT_EQ(cmp.rows[2].flag, k.flag) << k.chosen;
    EXPECT_EQ(cmp.rows[0].flag, BandFlag::kOk) << k.chosen;
  }
}

}  // namespace
}  // namespace kova

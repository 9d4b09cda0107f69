// A quantity the user reads in several places reads the same in each: the
// knee of a knee type, the signed turns ratio error and Rct at 75 degC, in
// the report, the library, the assessment, the comparisons and the working.

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "analysis/compute_derived.h"
#include "analysis/display_rules.h"
#include "assess/comparisons.h"
#include "assess/explain.h"
#include "assess/iec_assessment.h"
#include "assess/knee_check.h"
#include "base/format.h"
#include "library/history.h"
#include "library/history_table.h"
#include "library/record_entry.h"
#include "report/display_test.h"
#include "report/recording_surface.h"

namespace kova {
namespace {

// Knees at whole decades, so that the plot's mark lands on exact places of
// a 1024-unit plot: a decade is 226 units, 1 mA at x = 108, 1 V at y = 916.
constexpr CurvePoint kKnee10{1000, 0.01};
constexpr CurvePoint kKnee30{100, 0.1};
constexpr CurvePoint kKnee45{10, 1.0};

// Two X1-X5 and X1-X2 tests of a 400/1 CT measured at 20 degC, with a
// power-law curve, the given knee type and the first test's measured ratio.
std::unique_ptr<TestRecord> QuantityRecord(int kneetype, double ratio) {
  auto rec = std::make_unique<TestRecord>();
  rec->filename = "Q.test";
  rec->numtests = 2;
  rec->testdatetime = "03/01/26 10:00:00";
  rec->classsettings.tempcelsius = 20.0;
  rec->classsettings.ratedcurrent = 1.0;
  rec->kneetype = kneetype;  // as it is held in memory, not through the decoder's names
  for (int t = 0; t < 2; ++t) {
    TapTest& tap = rec->taps[t];
    tap.nTapConnection = t == 0 ? 4 : 1;
    tap.uTestType = kRatioTest | kResistanceTest | kExcitationTest;
    tap.nNamePlateNum = t == 0 ? 400 : 200;
    tap.fNamePlateDen = 1.0;
    tap.fTestRatio = t == 0 ? ratio : 200.0;
    tap.fWindingRes = t == 0 ? 2500.0 : 1250.0;  // milliohms
    tap.fTestPhase = 0.5;
    for (int i = 0; i < 32; ++i) {
      const double v = 2000.0 * std::pow(0.8, i) / (t + 1);
      tap.dpVolts[i] = v;
      tap.dpAmps[i] = 0.001 * std::pow(v / 100.0, 3.0);
    }
    const double per_turn = t == 0 ? 1.0 : 0.5;
    tap.fKneeVtg10 = kKnee10.volts * per_turn, tap.fKneeCur10 = kKnee10.amps;
    tap.fKneeVtg30 = kKnee30.volts * per_turn, tap.fKneeCur30 = kKnee30.amps;
    tap.fKneeVtg45 = kKnee45.volts * per_turn, tap.fKneeCur45 = kKnee45.amps;
  }
  return rec;
}

// The centre of the plot's one knee mark for the record's first test.
bool PlottedKnee(const TestRecord& rec, int& x, int& y) {
  RecordingSurface s;
  CDisplayTest painter;
  painter.Setup(&s, rec, false, nullptr);
  painter.DrawPlot({0, 0, 1024, 1024}, 0, false);
  int marks = 0;
  for (const DrawOp& op : s.ops()) {
    if (op.kind != DrawOp::kFill) continue;
    x = (op.rect.left + op.rect.right) / 2;
    y = (op.rect.top + op.rect.bottom) / 2;
    ++marks;
  }
  return marks == 1;
}

TestRow LibraryRow(const TestRecord& rec) {
  RecordEntry entry;
  EntryFromRecord(rec, entry);
  return entry.tests.at(0);
}

// The working's item of `quantity` for the first test, from its JSON; null
// when there is none.
JsonValue ExplainedItem(const TestRecord& rec, const std::string& quantity) {
  const JsonValue json = ExplanationJson(ExplainRecord(rec, 1, nullptr, nullptr));
  const JsonValue& items = *json.Find("tests")->At(0).Find("items");
  for (size_t i = 0; i < items.Size(); ++i)
    if (items.At(i).Find("quantity")->AsString() == quantity) return items.At(i);
  return JsonValue::Null();
}

AssessmentProfile PxProfile() {
  AssessmentProfile p;
  p.iec_class = IecClass::kPX;
  p.isr = 1.0;
  p.ek_rated = 500;
  p.ie_max = 1.0;
  p.turns_tolerance_percent = 0.25;
  p.test = 1;
  return p;
}

std::string HistoryCell(const HistoryEntry& e, const std::string& column) {
  const auto& columns = HistoryColumns();
  const auto cells = HistoryCells(e);
  for (size_t i = 0; i < columns.size(); ++i)
    if (columns[i] == column) return cells.at(i).text;
  ADD_FAILURE() << "no column " << column;
  return "";
}

TEST(Quantities, EveryViewTakesTheKneeOfTheKneeType) {
  const struct {
    int kneetype;
    CurvePoint knee;
    int x, y;  // where the plot marks it
  } cases[] = {
      {0, kKnee10, 108 + 226, 916 - 3 * 226}, {1, kKnee30, 108 + 2 * 226, 916 - 2 * 226},
      {2, kKnee45, 108 + 3 * 226, 916 - 226}, {3, kKnee10, 108 + 226, 916 - 3 * 226},
      {7, kKnee10, 108 + 226, 916 - 3 * 226},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.kneetype);
    const auto rec = QuantityRecord(c.kneetype, 400.0);
    // The report's plot.
    int x = 0, y = 0;
    ASSERT_TRUE(PlottedKnee(*rec, x, y));
    EXPECT_EQ(x, c.x);
    EXPECT_EQ(y, c.y);
    // The library's history, its JSON and the current its curves are read at.
    const TestRow row = LibraryRow(*rec);
    EXPECT_EQ(KneeVoltage(row), c.knee.volts);
    EXPECT_EQ(ComparisonCurrent(row), c.knee.amps);
    const HistoryEntry entry{row, {}, {}};
    EXPECT_EQ(HistoryJson({entry}).At(0).Find("knee_volts")->AsNumber(), c.knee.volts);
    EXPECT_EQ(HistoryCell(entry, "Knee V"), Format("%.1f", c.knee.volts));
    // The assessment's comparisons: the taps' knee per turn and the knee
    // the reference is compared at.
    EXPECT_EQ(RecordKnee(*rec, rec->taps[0]).volts, c.knee.volts);
    EXPECT_EQ(RecordKnee(*rec, rec->taps[0]).amps, c.knee.amps);
    const std::vector<TapComparison> taps = CompareTaps(*rec, kTapBandPercent);
    ASSERT_EQ(taps.size(), 2u);
    EXPECT_EQ(taps[0].knee, c.knee.volts);
    EXPECT_EQ(taps[1].knee, c.knee.volts / 2);
  }
}

TEST(Quantities, TheTurnsRatioErrorIsSignedAlikeEverywhere) {
  const struct {
    double ratio;
    double turns_error;  // (N - Nn) / Nn x 100
  } cases[] = {{398.0, -0.5}, {402.0, 0.5}, {400.4, 0.1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.ratio);
    const auto rec = QuantityRecord(1, c.ratio);
    const std::string shown = Format("%+.3f %%", c.turns_error);
    // The printed report keeps its unsigned "% ERROR".
    EXPECT_NEAR(PercentRatioError(rec->taps[0]).percent, std::fabs(c.turns_error), 1e-9);
    // The library: its row, history cell, JSON.
    const TestRow row = LibraryRow(*rec);
    EXPECT_NEAR(row.ratio_error, c.turns_error, 1e-9);
    const HistoryEntry entry{row, {}, {}};
    EXPECT_EQ(HistoryCell(entry, "Turns ratio error"), shown);
    EXPECT_NEAR(HistoryJson({entry}).At(0).Find("turns_ratio_error_percent")->AsNumber(),
                c.turns_error, 1e-9);
    // The assessment, its lines and JSON.
    const AssessmentProfile p = PxProfile();
    const AssessmentResult r = AssessRecord(*rec, p);
    ASSERT_TRUE(r.turns_measured);
    EXPECT_NEAR(r.turns_error_percent, c.turns_error, 1e-9);
    const JsonValue aj = AssessmentJson(r, p);
    EXPECT_NEAR(aj.Find("turns_ratio_error_percent")->AsNumber(), c.turns_error, 1e-9);
    bool checked = false;
    for (const AssessCheck& check : r.checks) {
      if (check.name != "turns ratio error") continue;
      checked = true;
      EXPECT_EQ(check.value, shown);
      EXPECT_EQ(check.verdict, std::fabs(c.turns_error) <= 0.25 ? Verdict::kPass : Verdict::kFail);
    }
    EXPECT_TRUE(checked);
    // The sister comparison and the working.
    const auto other = QuantityRecord(1, 400.0);
    const SisterComparison sisters =
        CompareSisters({{rec.get(), "A"}, {other.get(), "B"}}, 4, ComparisonBands());
    ASSERT_EQ(sisters.rows.size(), 2u);
    EXPECT_NEAR(sisters.rows[0].turns_error_percent, c.turns_error, 1e-9);
    EXPECT_NE(SisterLines(sisters)[1].find("turns ratio error " + shown), std::string::npos);
    const JsonValue explained = ExplainedItem(*rec, "turns ratio error");
    ASSERT_FALSE(explained.IsNull());
    EXPECT_EQ(explained.Find("result")->AsString(), shown);
  }
}

TEST(Quantities, RctAt75IsTheSameEverywhere) {
  auto rec = QuantityRecord(1, 400.0);
  const double want = 2.5 * 309.5 / (20.0 + 234.5);
  ComputeDerived(*rec);  // the report's class figures: X1-X5 is the tap used
  EXPECT_DOUBLE_EQ(rec->Rct75, want);
  EXPECT_DOUBLE_EQ(LibraryRow(*rec).rct75, want);
  const AssessmentResult r = AssessRecord(*rec, PxProfile());
  EXPECT_DOUBLE_EQ(r.rct75, want);
  EXPECT_DOUBLE_EQ(AssessmentJson(r, PxProfile()).Find("rct75")->AsNumber(), want);
  const auto other = QuantityRecord(1, 400.0);
  const SisterComparison sisters =
      CompareSisters({{rec.get(), "A"}, {other.get(), "B"}}, 4, ComparisonBands());
  EXPECT_DOUBLE_EQ(sisters.rows[0].rct75.value, want);
  const JsonValue explained = ExplainedItem(*rec, "winding resistance at 75 degC");
  ASSERT_FALSE(explained.IsNull());
  EXPECT_EQ(explained.Find("result")->AsString(), Format("%.4f ohm", want));
}

}  // namespace
}  // namespace kova

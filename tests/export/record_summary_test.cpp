#include "export/record_summary.h"
#include "analysis/compute_derived.h"

#include <gtest/gtest.h>

#include <memory>

#include "analysis/taps.h"
#include "support/record_fixtures.h"

namespace kova {
namespace {

// Tests X1-X5, X1-X4, X1-X3 with known values.
std::unique_ptr<TestRecord> ThreeTaps() {
  auto rec = MakeSampleRecord(1, 3, 2);
  for (int t = 0; t < 3; ++t) {
    TapTest& tap = rec->taps[t];
    tap.nNamePlateNum = 600;
    tap.fNamePlateDen = 5.0;
    tap.fTestRatio = 121.2;  // 1 %
    tap.fTestPhase = 0.25;
    tap.fWindingRes = 1500;
    tap.fKneeVtg30 = 200;
  }
  rec->taps[1].fTestPhase = 180;
  rec->taps[2].fWindingRes = 800;
  rec->taporder = "X1-X3,X1-X5,X1-X4";
  ComputeDerived(*rec);
  return rec;
}

TEST(RecordSummary, TapsInTapOrderWithTheirValues) {
  auto rec = ThreeTaps();
  const std::string text = RecordSummaryText(*rec);
  const size_t x13 = text.find("Test 3 (tap X1-X3)");
  const size_t x15 = text.find("Test 1 (tap X1-X5)");
  const size_t x14 = text.find("Test 2 (tap X1-X4)");
  ASSERT_NE(x13, std::string::npos) << text;
  EXPECT_LT(x13, x15);
  EXPECT_LT(x15, x14);
  EXPECT_NE(text.find("  Knee voltage:  IEEE 30 200.000 V / "), std::string::npos);
  EXPECT_NE(text.find("  Ratio:         nameplate 600/5.0, measured 121.200, error 1.0000 %\n"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("  Phase:         0.25\xB0, In Phase\n"), std::string::npos);
  EXPECT_NE(text.find("  Phase:         180.00\xB0, Out of Phase\n"), std::string::npos);
  EXPECT_NE(text.find("  Winding res:   1.50 ohms\n"), std::string::npos);
  EXPECT_NE(text.find("  Winding res:   800.00 milliohms\n"), std::string::npos);
  EXPECT_EQ(text.find("[P]"), std::string::npos);
  EXPECT_EQ(text.find("[F]"), std::string::npos);
  EXPECT_EQ(text.find("Knee judged"), std::string::npos);
}

TEST(RecordSummary, MarksWhenPassFailIsEnabled) {
  auto rec = ThreeTaps();
  rec->passfail.pfenable = 1;
  rec->passfail.pfturnsratiodeviation = 1;  // 5 %: the 1 % error passes
  rec->passfail.pfkneepointdeviation = 1;
  rec->passfail.pfkneevoltage[TapPosition(4)] = 210;
  rec->resistance.pfresistance[TapPosition(2)] = 1.5;
  const std::string text = RecordSummaryText(*rec);
  EXPECT_NE(text.find("Pass/fail:     ratio Protection: 5%, knee 10%, resistance 5%\n"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("error 1.0000 % [P]\n"), std::string::npos);
  EXPECT_NE(text.find("In Phase [P]\n"), std::string::npos);
  EXPECT_NE(text.find("Out of Phase [F]\n"), std::string::npos);
  EXPECT_NE(text.find("  Knee judged:   IEEE 30 200.000 V (nominal 210 V) [P]\n"),
            std::string::npos);
  EXPECT_NE(text.find("  Winding res:   800.00 milliohms [F]\n"), std::string::npos);
  // No nominal for X1-X5's resistance: no mark.
  EXPECT_NE(text.find("  Winding res:   1.50 ohms\n"), std::string::npos);
}

TEST(RecordSummary, TestsOutsideTheTapOrderAreStillShown) {
  auto rec = ThreeTaps();
  rec->taporder = "X1-X4";
  const std::string text = RecordSummaryText(*rec);
  EXPECT_NE(text.find("Test 2 (tap X1-X4)  note \"TAP 2\"\n"), std::string::npos);
  EXPECT_NE(text.find("Test 1 (tap X1-X5), not in the tap order"), std::string::npos);
  EXPECT_NE(text.find("Test 3 (tap X1-X3), not in the tap order"), std::string::npos);
  EXPECT_EQ(text.find("Test 2 (tap X1-X4)"), text.rfind("Test 2 (tap X1-X4)"));
}

TEST(RecordSummary, ClassificationLine) {
  auto rec = ThreeTaps();
  std::string text = RecordSummaryText(*rec);
  EXPECT_NE(text.find("Classification: " + rec->classresult + " for Multi Tap: X1-X5\n"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("IRated: 5.00 Tmeas: 25.00 C Rmeas: 1.5000 Ohm Rct75: "), std::string::npos);

  rec->taps[0].nTapConnection = 5;  // neither X1-X5 nor X1-X2 left
  ComputeDerived(*rec);
  text = RecordSummaryText(*rec);
  EXPECT_NE(text.find("Classification: N/A\n"), std::string::npos);
  EXPECT_EQ(text.find("IRated"), std::string::npos);

  rec->classsettings.ctusage = 2;
  ComputeDerived(*rec);
  text = RecordSummaryText(*rec);
  EXPECT_NE(text.find("Classification: metering\n"), std::string::npos);
  EXPECT_NE(text.find("  X2-X3   B-0.1 "), std::string::npos) << text;
  EXPECT_NE(text.find("  X1-X3   B-0.1 "), std::string::npos);
  EXPECT_NE(text.find(" B-1.8 "), std::string::npos);
}

TEST(RecordSummary, NameplatePrimaryZeroIsExplained) {
  auto rec = ThreeTaps();
  rec->taps[0].nNamePlateNum = 0;
  const std::string text = RecordSummaryText(*rec);
  EXPECT_NE(text.find("nameplate 0/5.0, measured 121.200, error N/A (nameplate primary 0)"),
            std::string::npos);
}

}  // namespace
}  // namespace kova

#include "analysis/pass_fail.h"

#include <gtest/gtest.h>

#include <limits>

#include "analysis/display_rules.h"
#include "analysis/taps.h"

namespace kova {
namespace {

class PassFail : public ::testing::Test {
 protected:
  void SetUp() override {
    rec_.passfail.pfenable = 1;
    tap_.nTapConnection = TapCodeFromName("X1-X3");  // position 2
    tap_.uTestType = kRatioTest | kResistanceTest;
  }
  TestRecord rec_;
  TapTest tap_;
};

TEST_F(PassFail, RatioErrorMustBeBelowTheLimit) {
  tap_.nNamePlateNum = 100;
  tap_.fNamePlateDen = 1.0;
  tap_.fTestRatio = 101;  // exactly 1 %
  ASSERT_EQ(PercentRatioError(tap_).percent, 1.0);
  rec_.passfail.pfturnsratiodeviation = 0;
  EXPECT_EQ(RatioMark(rec_, tap_), Mark::kFail);
  tap_.fTestRatio = 100.99;
  EXPECT_EQ(RatioMark(rec_, tap_), Mark::kPass);

  tap_.nNamePlateNum = 600;
  tap_.fNamePlateDen = 5.0;
  tap_.fTestRatio = 121.2;
  EXPECT_EQ(RatioMark(rec_, tap_), Mark::kFail);
  rec_.passfail.pfturnsratiodeviation = 1;
  EXPECT_EQ(RatioMark(rec_, tap_), Mark::kPass);
  rec_.passfail.pfturnsratiodeviation = 2;
  rec_.passfail.pfcustomdeviation = 1;
  EXPECT_EQ(RatioMark(rec_, tap_), Mark::kFail);
  rec_.passfail.pfcustomdeviation = 2;
  EXPECT_EQ(RatioMark(rec_, tap_), Mark::kPass);
}

TEST_F(PassFail, RatioWithoutANameplateIsNotJudged) {
  tap_.fTestRatio = 121.2;
  tap_.nNamePlateNum = 0;  // error cannot be formed: no pass either
  tap_.fNamePlateDen = 5.0;
  EXPECT_EQ(RatioMark(rec_, tap_), Mark::kNone);
  tap_.nNamePlateNum = 600;
  tap_.fNamePlateDen = 0;
  EXPECT_EQ(RatioMark(rec_, tap_), Mark::kNone);
  tap_.fNamePlateDen = 5.0;
  tap_.uTestType = 0;
  EXPECT_EQ(RatioMark(rec_, tap_), Mark::kNone);
}

TEST_F(PassFail, KneeVoltageWithinTheTolerance) {
  rec_.passfail.pfkneepointtype = 1;  // IEEE 45 is judged
  rec_.passfail.pfkneepointdeviation = 1;
  rec_.passfail.pfkneevoltage[2] = 200;
  tap_.fKneeVtg30 = 1000;  // not the judged one
  for (double v : {180.0, 220.0, 200.0}) {
    tap_.fKneeVtg45 = v;
    EXPECT_EQ(KneeMark(rec_, tap_), Mark::kPass) << v;
  }
  for (double v : {179.9, 220.1, 0.0}) {
    tap_.fKneeVtg45 = v;
    EXPECT_EQ(KneeMark(rec_, tap_), Mark::kFail) << v;
  }
  rec_.passfail.pfkneepointdeviation = 0;  // 20 %
  tap_.fKneeVtg45 = 160;
  EXPECT_EQ(KneeMark(rec_, tap_), Mark::kPass);
  rec_.passfail.pfkneepointdeviation = 5;  // 5 %
  tap_.fKneeVtg45 = 189;
  EXPECT_EQ(KneeMark(rec_, tap_), Mark::kFail);
  tap_.fKneeVtg45 = 190;
  EXPECT_EQ(KneeMark(rec_, tap_), Mark::kPass);

  rec_.passfail.pfkneevoltage[2] = 0;  // no nominal: no mark
  EXPECT_EQ(KneeMark(rec_, tap_), Mark::kNone);
  rec_.passfail.pfkneevoltage[3] = 200;  // X1-X2's place is not ours
  EXPECT_EQ(KneeMark(rec_, tap_), Mark::kNone);
}

TEST_F(PassFail, ResistanceIsJudgedInTheShownUnit) {
  rec_.resistance.pfresistance[2] = 1.5;
  tap_.fWindingRes = 1500;  // shown as 1.50 ohms
  EXPECT_EQ(ResistanceMark(rec_, tap_), Mark::kPass);
  tap_.fWindingRes = 800;  // shown as 800 milliohms
  EXPECT_EQ(ResistanceMark(rec_, tap_), Mark::kFail);

  rec_.resistance.pfresistance[2] = 1000;
  tap_.fWindingRes = 999.99;  // 999.99 milliohms
  EXPECT_EQ(ResistanceMark(rec_, tap_), Mark::kPass);
  tap_.fWindingRes = 1000;  // 1.00 ohms against 1000
  EXPECT_EQ(ResistanceMark(rec_, tap_), Mark::kFail);

  rec_.resistance.pfresistance[2] = 100;
  rec_.resistance.pfresdeviation = 1;  // 10 %
  tap_.fWindingRes = 109.9;
  EXPECT_EQ(ResistanceMark(rec_, tap_), Mark::kPass);
  rec_.resistance.pfresdeviation = 0;  // 5 %
  EXPECT_EQ(ResistanceMark(rec_, tap_), Mark::kFail);
  rec_.resistance.pfresdeviation = 7;
  rec_.resistance.pfcustomresdeviation = 12.5;
  tap_.fWindingRes = 112.4;
  EXPECT_EQ(ResistanceMark(rec_, tap_), Mark::kPass);
  rec_.resistance.pfcustomresdeviation = std::numeric_limits<double>::quiet_NaN();
  EXPECT_EQ(ResistanceMark(rec_, tap_), Mark::kNone);

  rec_.resistance.pfcustomresdeviation = 12.5;
  tap_.uTestType = kRatioTest;  // not measured
  EXPECT_EQ(ResistanceMark(rec_, tap_), Mark::kNone);
  tap_.uTestType = kResistanceTest;
  rec_.resistance.pfresistance[2] = 0;
  EXPECT_EQ(ResistanceMark(rec_, tap_), Mark::kNone);
}

TEST_F(PassFail, PolarityMarks) {
  const struct {
    double phase;
    Mark page;
    Mark summary;
  } cases[] = {
      {-175, Mark::kFail, Mark::kFail}, {355, Mark::kPass, Mark::kPass},
      {-5, Mark::kPass, Mark::kPass},   {90, Mark::kNone, Mark::kFail},
      {10, Mark::kNone, Mark::kFail},   {999, Mark::kNone, Mark::kNone},
  };
  for (const auto& c : cases) {
    tap_.fTestPhase = c.phase;
    EXPECT_EQ(PolarityMark(rec_, tap_), c.page) << c.phase;
    EXPECT_EQ(SummaryPolarityMark(rec_, tap_), c.summary) << c.phase;
  }
}

TEST_F(PassFail, DisabledGivesNoMarkAnywhere) {
  rec_.passfail.pfenable = 0;
  rec_.passfail.pfkneevoltage[2] = 200;
  rec_.resistance.pfresistance[2] = 1.5;
  tap_.fKneeVtg30 = 500;
  tap_.fWindingRes = 800;
  tap_.fTestRatio = 2;
  tap_.fTestPhase = 180;
  EXPECT_EQ(RatioMark(rec_, tap_), Mark::kNone);
  EXPECT_EQ(KneeMark(rec_, tap_), Mark::kNone);
  EXPECT_EQ(ResistanceMark(rec_, tap_), Mark::kNone);
  EXPECT_EQ(PolarityMark(rec_, tap_), Mark::kNone);
  EXPECT_EQ(SummaryPolarityMark(rec_, tap_), Mark::kNone);
  EXPECT_STREQ(MarkText(Mark::kNone), "");
  EXPECT_STREQ(MarkText(Mark::kPass), "[P]");
  EXPECT_STREQ(MarkText(Mark::kFail), "[F]");
}

TEST(PassFailLabels, TolerancesAndTheirLabels) {
  PassFailBlock pf;
  pf.pfcustomdeviation = 3;
  const char* ratio[] = {"Metering 1%", "Protection: 5%", "User defined: 3%"};
  const double ratio_pct[] = {1, 5, 3};
  const char* knee[] = {"20%", "10%", "5%"};
  const double knee_f[] = {0.20, 0.10, 0.05};
  for (int v = 0; v < 3; ++v) {
    pf.pfturnsratiodeviation = v;
    pf.pfkneepointdeviation = v;
    EXPECT_EQ(RatioToleranceLabel(pf), ratio[v]);
    EXPECT_EQ(RatioTolerancePercent(pf), ratio_pct[v]);
    EXPECT_EQ(KneeToleranceLabel(pf), knee[v]);
    EXPECT_EQ(KneeToleranceFraction(pf), knee_f[v]);
  }
  ResistanceBlock res;
  res.pfcustomresdeviation = 2.5;
  const char* resistance[] = {"5%", "10%", "User defined: 2.50%"};
  const double res_f[] = {0.05, 0.10, 0.025};
  for (int v = 0; v < 3; ++v) {
    res.pfresdeviation = v;
    EXPECT_EQ(ResistanceToleranceLabel(res), resistance[v]);
    EXPECT_DOUBLE_EQ(ResistanceToleranceFraction(res), res_f[v]);
  }
  res.pfcustomresdeviation = std::numeric_limits<double>::infinity();
  EXPECT_EQ(ResistanceToleranceLabel(res), "User defined: N/A");
}

}  // namespace
}  // namespace kova

#include "analysis/display_rules.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace kova {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

TapTest Phase(double degrees) {
  TapTest tap;
  tap.fTestPhase = degrees;
  return tap;
}

TEST(DisplayRules, PolarityWindows) {
  EXPECT_EQ(PolarityOf(Phase(-175)), Polarity::kOutOfPhase);
  EXPECT_DOUBLE_EQ(NormalisedPhase(-175), 185);
  EXPECT_EQ(PolarityOf(Phase(355)), Polarity::kInPhase);
  EXPECT_EQ(PolarityOf(Phase(-5)), Polarity::kInPhase);
  EXPECT_EQ(PolarityOf(Phase(0)), Polarity::kInPhase);
  EXPECT_EQ(PolarityOf(Phase(9.99)), Polarity::kInPhase);
  EXPECT_EQ(PolarityOf(Phase(10)), Polarity::kNeither);
  EXPECT_EQ(PolarityOf(Phase(349.99)), Polarity::kNeither);
  EXPECT_EQ(PolarityOf(Phase(350)), Polarity::kInPhase);
  EXPECT_EQ(PolarityOf(Phase(360)), Polarity::kInPhase);
  EXPECT_EQ(PolarityOf(Phase(169.99)), Polarity::kNeither);
  EXPECT_EQ(PolarityOf(Phase(170)), Polarity::kOutOfPhase);
  EXPECT_EQ(PolarityOf(Phase(190)), Polarity::kOutOfPhase);
  EXPECT_EQ(PolarityOf(Phase(190.01)), Polarity::kNeither);
  EXPECT_EQ(PolarityOf(Phase(90)), Polarity::kNeither);
  EXPECT_EQ(PolarityOf(Phase(360.01)), Polarity::kNotMeasured);
  EXPECT_EQ(PolarityOf(Phase(999)), Polarity::kNotMeasured);
  EXPECT_EQ(PolarityOf(Phase(kNaN)), Polarity::kNotMeasured);
  EXPECT_STREQ(PolarityWord(Polarity::kInPhase), "In Phase");
  EXPECT_STREQ(PolarityWord(Polarity::kOutOfPhase), "Out of Phase");
  EXPECT_STREQ(PolarityWord(Polarity::kNeither), "N/A");
  EXPECT_STREQ(PolarityWord(Polarity::kNotMeasured), "N/A");
}

TEST(DisplayRules, SummaryWindowIsWiderAtTheTop) {
  EXPECT_TRUE(InPhaseSummaryWindow(Phase(-5)));
  EXPECT_TRUE(InPhaseSummaryWindow(Phase(360)));
  EXPECT_FALSE(InPhaseSummaryWindow(Phase(10)));
  EXPECT_FALSE(InPhaseSummaryWindow(Phase(185)));
  EXPECT_FALSE(InPhaseSummaryWindow(Phase(999)));
}

TEST(DisplayRules, ResistanceSwitchesToOhmsAt1000Milliohms) {
  TapTest tap;
  tap.uTestType = kResistanceTest;
  tap.fWindingRes = 999.99;
  ShownResistance r = ShowResistance(tap);
  ASSERT_TRUE(r.shown);
  EXPECT_FALSE(r.in_ohms);
  EXPECT_DOUBLE_EQ(r.value, 999.99);
  EXPECT_STREQ(ResistanceUnitWord(r, ResistanceUnits::kLong), "milliohms");
  EXPECT_STREQ(ResistanceUnitWord(r, ResistanceUnits::kShort), "m-ohms");

  tap.fWindingRes = 1000.0;
  r = ShowResistance(tap);
  EXPECT_TRUE(r.in_ohms);
  EXPECT_DOUBLE_EQ(r.value, 1.0);
  EXPECT_STREQ(ResistanceUnitWord(r, ResistanceUnits::kShort), "ohms");

  tap.uTestType = kRatioTest;  // resistance not measured
  EXPECT_FALSE(ShowResistance(tap).shown);
  tap.uTestType = kResistanceTest;
  tap.fWindingRes = kInf;
  EXPECT_FALSE(ShowResistance(tap).shown);
}

TEST(DisplayRules, PercentRatioError) {
  TapTest tap;
  tap.uTestType = kRatioTest;
  tap.nNamePlateNum = 1200;
  tap.fNamePlateDen = 5.0;
  tap.fTestRatio = 241.2;
  EXPECT_DOUBLE_EQ(NameplateRatio(tap), 240);
  EXPECT_EQ(NameplateRatioText(tap), "1200/5.0");
  RatioError e = PercentRatioError(tap);
  ASSERT_EQ(e.state, RatioErrorState::kValue);
  EXPECT_NEAR(e.percent, 0.5, 1e-12);

  tap.fTestRatio = 239.4;  // below the nameplate: shown positive
  EXPECT_NEAR(PercentRatioError(tap).percent, 0.25, 1e-12);

  tap.uTestType = 0;
  EXPECT_EQ(PercentRatioError(tap).state, RatioErrorState::kNotAvailable);
  tap.uTestType = kRatioTest;
  tap.fNamePlateDen = 0;
  EXPECT_EQ(PercentRatioError(tap).state, RatioErrorState::kNotAvailable);
  EXPECT_DOUBLE_EQ(NameplateRatio(tap), 0);

  // A nameplate primary of 0 cannot give an error, measured ratio or not.
  tap.fNamePlateDen = 5.0;
  tap.nNamePlateNum = 0;
  EXPECT_EQ(PercentRatioError(tap).state, RatioErrorState::kNameplateZero);
  tap.fTestRatio = 0;
  EXPECT_EQ(PercentRatioError(tap).state, RatioErrorState::kNameplateZero);

  tap.nNamePlateNum = 600;
  tap.fTestRatio = kNaN;
  EXPECT_EQ(PercentRatioError(tap).state, RatioErrorState::kNotAvailable);
  tap.fNamePlateDen = kNaN;
  EXPECT_EQ(NameplateRatioText(tap), "600/N/A");
}

TEST(DisplayRules, PointImpedanceIsEmptyWithoutCurrent) {
  double z = -1;
  EXPECT_FALSE(PointImpedance(10, 0, z));
  EXPECT_EQ(z, -1);
  EXPECT_EQ(PointImpedanceText(10, 0), "");
  EXPECT_EQ(PointImpedanceText(0, 0), "");
  EXPECT_EQ(PointImpedanceText(10, 0.5), "20.00");
  EXPECT_EQ(PointImpedanceText(1e300, 1e-300), "");  // overflows
  EXPECT_EQ(PointImpedanceText(kNaN, 1), "");
}

TEST(DisplayRules, NumbersThatAreNotFiniteReadNotAvailable) {
  EXPECT_EQ(NumberText("%3.2lf", 1.005), "1.00");
  EXPECT_EQ(NumberText("%3.2lf", kNaN), "N/A");
  EXPECT_EQ(NumberText("%3.2lf", -kInf), "N/A");
  EXPECT_EQ(WholeNumberText(5.9), "5");
  EXPECT_EQ(WholeNumberText(1e12), "N/A");
  EXPECT_EQ(WholeNumberText(kNaN), "N/A");
  // Above the instrument's 1,000 MΩ range the value is not shown.
  EXPECT_EQ(InsulationResistanceText(0.5), "0.50 MEG-OHMS");
  EXPECT_EQ(InsulationResistanceText(1000), "1000.00 MEG-OHMS");
  EXPECT_EQ(InsulationResistanceText(1000.01), ">1,000 MEG-OHMS");
  EXPECT_EQ(InsulationResistanceText(kNaN), "N/A MEG-OHMS");
}

TEST(DisplayRules, KneeVoltageForJudgingFollowsThePlanSetting) {
  TestRecord rec;
  TapTest tap;
  tap.fKneeVtg30 = 30;
  tap.fKneeVtg45 = 45;
  tap.fKneeVtg10 = 10;
  const struct {
    int type;
    double volts;
    const char* label;
  } cases[] = {{0, 30, "IEEE 30"}, {1, 45, "IEEE 45"}, {2, 10, "IEC 10/50"}, {-1, 10, "IEC 10/50"}};
  for (const auto& c : cases) {
    rec.passfail.pfkneepointtype = c.type;
    EXPECT_EQ(KneeVoltageForJudging(rec, tap), c.volts) << c.type;
    EXPECT_STREQ(KneeJudgingLabel(rec), c.label) << c.type;
  }
}

TEST(DisplayRules, DataPointSlotsDifferBetweenReportAndExports) {
  TestRecord rec;
  const int report[5] = {32, 32, 64, 32, 52};
  const int exports[5] = {32, 32, 64, 32, 32};
  for (int model = 1; model <= 4; ++model) {
    rec.deviceversion = model;
    EXPECT_EQ(ReportDataPointSlots(rec), report[model]) << model;
    EXPECT_EQ(ExportDataPointSlots(rec), exports[model]) << model;
  }
}

}  // namespace
}  // namespace kova

namespace kova {
namespace {

TEST(DisplayRules, PlanSettingNamesAndTheNotAvailableRatio) {
  struct Case {
    std::string got, want;
  } cases[] = {
      {CtTypeName(0), "C100"},
      {CtTypeName(3), "C800"},
      {CtTypeName(4), " "},
      {CtTypeName(-1), " "},
      {CtLocationName(0), "Circuit Breaker"},
      {CtLocationName(2), "Auto-Bank"},
      {CtLocationName(3), "Other"},
      {CtLocationName(200), "Other"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.got, c.want);
  TapTest tap;
  tap.nNamePlateNum = 0;
  tap.fNamePlateDen = 5;
  EXPECT_EQ(NameplateRatioOrNA(tap), "N/A");
  EXPECT_EQ(NameplateRatioText(tap), "0/5.0");
  tap.nNamePlateNum = 1200;
  EXPECT_EQ(NameplateRatioOrNA(tap), "1200/5.0");
}

}  // namespace
}  // namespace kova

#include "assess/iec_assessment.h"

#include <gtest/gtest.h>

#include <cmath>

#include "assess/profile_json.h"
#include "assess_fixtures.h"
#include "records/test_label.h"

namespace kova {
namespace {

// 400/1 A, 10 VA at the usual power factor 0.8: Zb = 8 + j6 ohm.
AssessmentProfile FiveP20() {
  AssessmentProfile p;
  p.iec_class = IecClass::k5P;
  p.isr = 1;
  p.alf = 20;
  p.burden_va = 10;
  return p;
}

TEST(IecRules, WorkedFigures) {
  EXPECT_NEAR(AccuracyLimitEmf(20, 1, 2.0, 8, 6), 233.2, 0.05);
  EXPECT_DOUBLE_EQ(CompositeErrorPercent(0.60, 20, 1), 3.0);
  EXPECT_DOUBLE_EQ(CompositeErrorPercent(1.20, 20, 1), 6.0);
  EXPECT_DOUBLE_EQ(RequiredKneeEmf(20, 1, 2.5, 5), 150.0);
  const Burden b = RatedBurden(FiveP20());
  EXPECT_NEAR(b.r, 8.0, 1e-12);
  EXPECT_NEAR(b.x, 6.0, 1e-12);
  EXPECT_TRUE(b.default_power_factor);
}

TEST(IecRules, DefaultPowerFactorAndBurdenForms) {
  struct Case {
    double va, pf, isr, r, x;
  } cases[] = {
      {10, 0, 1, 8, 6},      // 0.8 at 5 VA and above
      {5, 0, 1, 4, 3},       // 5 VA is not below 5 VA
      {2.5, 0, 1, 2.5, 0},   // unity below 5 VA
      {15, 1.0, 5, 0.6, 0},  // given power factor, 5 A: Z = VA / Isr^2
      {30, 0.6, 5, 0.72, 0.96},
  };
  for (const Case& c : cases) {
    AssessmentProfile p = FiveP20();
    p.burden_va = c.va;
    p.power_factor = c.pf;
    p.isr = c.isr;
    const Burden b = RatedBurden(p);
    EXPECT_NEAR(b.r, c.r, 1e-9) << c.va;
    EXPECT_NEAR(b.x, c.x, 1e-9) << c.va;
  }
  AssessmentProfile rx = FiveP20();
  rx.burden_as_va = false;
  rx.burden_r = 8;
  rx.burden_x = 6;
  EXPECT_NEAR(RatedBurden(rx).power_factor, 0.8, 1e-12);
}

// Rct75 = 2.0 ohm (2000 milliohm at 75 degC), a curve through Ie at E_ALF.
struct PCase {
  double ie_at_ealf;
  IecClass cls;
  double error;
  Verdict verdict;
};

TEST(IecAssessment, ProtectionClassesByCompositeError) {
  const double e_alf = 20 * std::hypot(10.0, 6.0);
  const PCase cases[] = {
      {0.60, IecClass::k5P, 3.0, Verdict::kPass},   {1.20, IecClass::k5P, 6.0, Verdict::kFail},
      {1.20, IecClass::k10P, 6.0, Verdict::kPass},  {1.20, IecClass::k10PR, 6.0, Verdict::kPass},
      {2.40, IecClass::k10P, 12.0, Verdict::kFail},
  };
  for (const PCase& c : cases) {
    auto rec = CurveRecord(PowerLaw(e_alf, c.ie_at_ealf, 6.0), 20, 400);
    rec->taps[0].fWindingRes = 2000;
    AssessmentProfile p = FiveP20();
    p.iec_class = c.cls;
    const AssessmentResult r = AssessRecord(*rec, p);
    ASSERT_TRUE(r.usable) << r.problem;
    EXPECT_NEAR(r.rct75, 2.0, 1e-12);
    EXPECT_NEAR(r.e_alf, 233.2, 0.05);
    EXPECT_TRUE(r.curve_reached);
    EXPECT_NEAR(r.composite_error, c.error, 1e-9) << IecClassName(c.cls);
    EXPECT_EQ(r.verdict, c.verdict) << IecClassName(c.cls) << " " << c.ie_at_ealf;
    EXPECT_EQ(r.remanence.empty(), !HasRemanenceLimit(c.cls));
  }
}

TEST(IecAssessment, CurveEndingBelowTheEmfIsNeverGuessed) {
  // The curve stops at 200 V, below E_ALF = 233.2 V.
  auto rec = CurveRecord(PowerLaw(200, 0.5, 6.0), 20, 200);
  rec->taps[0].fWindingRes = 2000;
  const AssessmentResult r = AssessRecord(*rec, FiveP20());
  ASSERT_TRUE(r.usable);
  EXPECT_FALSE(r.curve_reached);
  EXPECT_EQ(r.verdict, Verdict::kNotAssessed);
  ASSERT_EQ(r.checks.size(), 1u);
  EXPECT_EQ(r.checks[0].value, "> 2.50 %, not assessed");
}

// A record whose file ends early is never assessed: its later values are
// reset, and a verdict on them would be a verdict on nothing.
TEST(IecAssessment, ADamagedRecordIsNotAssessed) {
  auto rec = CurveRecord(PowerLaw(200, 0.5, 6.0), 20, 400);
  rec->taps[0].fWindingRes = 2000;
  ASSERT_TRUE(AssessRecord(*rec, FiveP20()).usable);
  rec->fileend.ended_at = 5000;
  rec->fileend.needed = 8204;
  const AssessmentResult r = AssessRecord(*rec, FiveP20());
  EXPECT_FALSE(r.usable);
  EXPECT_EQ(r.verdict, Verdict::kNotAssessed);
  EXPECT_EQ(r.problem, "the record is damaged: its file ends at byte 5000 of 8204");
}

struct PxCase {
  const char* name;
  double knee;       // the record's IEC knee voltage
  double ie_at_150;  // excitation current at 150 V
  double ratio;      // measured ratio against 400/1
  double rct_max;
  Verdict verdict;
};

TEST(IecAssessment, PxChecks) {
  const PxCase cases[] = {
      {"worked case", 180, 0.020, 400.4, 0, Verdict::kPass},
      {"with a maximum Rct", 180, 0.020, 400.4, 2.5, Verdict::kPass},
      {"Rct above its maximum", 180, 0.020, 400.4, 2.4, Verdict::kFail},
      {"knee below Ek", 140, 0.020, 400.4, 0, Verdict::kFail},
      {"too much current", 180, 0.040, 400.4, 0, Verdict::kFail},
      {"turns error 0.3 %", 180, 0.020, 401.2, 0, Verdict::kFail},
  };
  for (const PxCase& c : cases) {
    auto rec = CurveRecord(PowerLaw(150, c.ie_at_150, 4.0), 10, 250);
    TapTest& tap = rec->taps[0];
    tap.fWindingRes = 2500;
    tap.fKneeVtg10 = c.knee;
    tap.nNamePlateNum = 400;
    tap.fNamePlateDen = 1;
    tap.fTestRatio = c.ratio;
    AssessmentProfile p;
    p.iec_class = IecClass::kPXR;
    p.isr = 1;
    p.kx = 20;
    p.rb = 5;
    p.ie_max = 0.030;
    p.rct_max = c.rct_max;
    const AssessmentResult r = AssessRecord(*rec, p);
    ASSERT_TRUE(r.usable) << c.name;
    // With a maximum Rct the rated Ek uses it; 2.5 ohm gives 150 V either way.
    if (c.rct_max != 2.4) {
      EXPECT_NEAR(r.ek_required, 150.0, 1e-9) << c.name;
      EXPECT_NEAR(r.ie_at_ek, c.ie_at_150, 1e-12) << c.name;
    }
    EXPECT_EQ(r.verdict, c.verdict) << c.name;
    EXPECT_EQ(r.remanence, "not determinable from this test");
  }
}

TEST(IecAssessment, RecordsWithoutAUsableTest) {
  auto rec = CurveRecord(PowerLaw(100, 0.1, 4), 10, 200, 1);  // one point only
  AssessmentResult r = AssessRecord(*rec, FiveP20());
  EXPECT_FALSE(r.usable);
  EXPECT_EQ(r.problem, "the record has no excitation curve");
}

// A profile's test past the record's is refused with the record's range,
// never assessed as "test 0".
TEST(IecAssessment, ATestTheRecordHasNotNamesItsRange) {
  struct Case {
    int tests, wanted;
    const char* problem;
  } cases[] = {
      {5, 9, "the record has no test 9: its tests are 1 to 5"},
      {5, 6, "the record has no test 6: its tests are 1 to 5"},
      {1, 2, "the record has no test 2: its only test is 1"},
      {0, 1, "the record has no test 1: it has no tests"},
  };
  for (const Case& c : cases) {
    auto rec = CurveRecord(PowerLaw(100, 0.1, 4), 10, 200);
    rec->numtests = c.tests;
    AssessmentProfile p = FiveP20();
    p.test = c.wanted;
    const AssessmentResult r = AssessRecord(*rec, p);
    EXPECT_FALSE(r.usable) << c.problem;
    EXPECT_EQ(r.problem, c.problem);
    EXPECT_EQ(MissingTestText(c.wanted, c.tests), c.problem);
  }
  EXPECT_EQ(MissingTestText(5, 5), "");
  EXPECT_EQ(MissingTestText(1, 5), "");
}

TEST(ProfileJson, AcceptsEachFormAndReadsBack) {
  const char* texts[] = {
      R"({"class":"5P","isr":1,"alf":20,"burden_va":10})",
      R"({"class":"10PR","isr":5,"alf":10,"burden_va":15,"power_factor":0.9,"test":2})",
      R"({"class":"5P","isr":1,"alf":20,"burden_va":10,"test":20})",  // the last test there is
      R"({"class":"5P","isr":1,"alf":20,"burden_r":8,"burden_x":6})",
      R"({"class":"PX","isr":1,"kx":20,"rb":5,"ie_max":0.03})",
      R"({"class":"PXR","isr":1,"ek":150,"ie_max":0.03,"rct_max":2.5,"turns_tolerance":0.5})",
  };
  for (const char* text : texts) {
    AssessmentProfile p;
    std::string error;
    ASSERT_TRUE(ParseAssessmentProfile(text, p, error)) << text << ": " << error;
    AssessmentProfile again;
    ASSERT_TRUE(ParseAssessmentProfile(AssessmentProfileToJson(p), again, error)) << error;
    EXPECT_EQ(AssessmentProfileToJson(again), AssessmentProfileToJson(p));
  }
}

TEST(ProfileJson, RefusesWhatCannotBeAssessed) {
  struct Case {
    const char* text;
    const char* error;
  } cases[] = {
      {"[1]", "the profile must be a JSON object"},
      {R"({"isr":1})", "\"class\" is required"},
      {R"({"class":"5Q","isr":1})", "\"class\" must be one of 5P, 10P, 5PR, 10PR, PX, PXR"},
      {R"({"class":"5P","alf":20,"burden_va":10})", "\"isr\" is required for this class"},
      {R"({"class":"5P","isr":0,"alf":20,"burden_va":10})",
       "\"isr\" (rated secondary current) must be above 0 and at most 100 A"},
      {R"({"class":"5P","isr":"1","alf":20,"burden_va":10})", "\"isr\" must be a number"},
      {R"({"class":"5P","isr":1,"alf":1e999,"burden_va":10})", nullptr},
      {R"({"class":"5P","isr":1,"alf":20})",
       "give the burden either as \"burden_va\" or as \"burden_r\""},
      {R"({"class":"5P","isr":1,"alf":20,"burden_va":10,"burden_r":8})",
       "give the burden either as \"burden_va\" or as \"burden_r\""},
      {R"({"class":"5P","isr":1,"alf":20,"burden_va":10,"power_factor":1.5})",
       "\"power_factor\" (power factor of the burden) must be above 0 and at most 1"},
      {R"({"class":"5P","isr":1,"alf":20,"burden_va":10,"test":1.5})",
       "\"test\" must be a whole number"},
      {R"({"class":"5P","isr":1,"alf":20,"burden_va":10,"test":21})",
       "\"test\" (the test's number) must be from 1 to 20"},
      {R"({"class":"5P","isr":1,"alf":20,"burden_va":10,"alpha":1})", "unknown member \"alpha\""},
      {R"({"class":"PX","isr":1,"rb":5,"ie_max":0.03})", "\"kx\" is required for this class"},
      {R"({"class":"PX","isr":1,"kx":20,"rb":5})", "\"ie_max\" is required for this class"},
      {R"({"class":"5P","isr":1,"isr":2,"alf":20,"burden_va":10})", nullptr},
  };
  for (const Case& c : cases) {
    AssessmentProfile p;
    std::string error;
    EXPECT_FALSE(ParseAssessmentProfile(c.text, p, error)) << c.text;
    if (c.error) {
      EXPECT_EQ(error, c.error) << c.text;
    } else {
      EXPECT_FALSE(error.empty()) << c.text;
    }
  }
  AssessmentProfile p;
  std::string error;
  EXPECT_FALSE(ParseAssessmentProfile(std::string(kMaxProfileBytes + 1, ' '), p, error));
}

// Every burden member has a range a real burden lies in; past it the
// profile is refused with the member, what it is and its range.
TEST(ProfileJson, RefusesABurdenNoCtCarries) {
  const std::string p5 = R"({"class":"5P","isr":1,"alf":20,)";
  const std::string px = R"({"class":"PX","isr":1,"kx":20,"ie_max":0.03,)";
  struct Case {
    std::string text;
    const char* error;  // nullptr: accepted
  } cases[] = {
      {p5 + R"("burden_r":0,"burden_x":-100000})",
       "\"burden_x\" (burden reactance) must be from -1000 to 1000 ohm"},
      {p5 + R"("burden_r":0,"burden_x":1000.5})",
       "\"burden_x\" (burden reactance) must be from -1000 to 1000 ohm"},
      {p5 + R"("burden_r":-1,"burden_x":0})",
       "\"burden_r\" (burden resistance) must be from 0 to 1000 ohm"},
      {p5 + R"("burden_r":1000,"burden_x":1000})", nullptr},
      {p5 + R"("burden_r":2,"burden_x":-1000})", nullptr},
      {p5 + R"("burden_va":0})",
       "\"burden_va\" (rated burden) must be above 0 and at most 1000 VA"},
      {p5 + R"("burden_va":5000})",
       "\"burden_va\" (rated burden) must be above 0 and at most 1000 VA"},
      {p5 + R"("burden_va":10,"power_factor":0})",
       "\"power_factor\" (power factor of the burden) must be above 0 and at most 1"},
      {R"({"class":"5P","isr":0.01,"alf":20,"burden_va":1})",
       "\"burden_va\" of 1 VA at an \"isr\" of 0.01 A is a burden of 10000 ohm: at most 1000 ohm"},
      {R"({"class":"5P","isr":5,"alf":20,"burden_va":1000})", nullptr},
      {px + R"("rb":-5})", "\"rb\" (rated resistive burden) must be from 0 to 1000 ohm"},
      {px + R"("rb":2000})", "\"rb\" (rated resistive burden) must be from 0 to 1000 ohm"},
  };
  for (const Case& c : cases) {
    AssessmentProfile p;
    std::string error;
    EXPECT_EQ(ParseAssessmentProfile(c.text, p, error), c.error == nullptr) << c.text << error;
    EXPECT_EQ(error, c.error ? c.error : "") << c.text;
  }
}

}  // namespace
}  // namespace kova

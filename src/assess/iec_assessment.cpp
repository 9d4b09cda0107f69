#include "assess/iec_assessment.h"

#include <cmath>

#include "analysis/class_calc.h"
#include "analysis/display_rules.h"
#include "assess/loglog_curve.h"
#include "base/format.h"
#include "records/test_label.h"

namespace kova {

namespace {

struct ClassName {
  IecClass c;
  const char* name;
};
constexpr ClassName kClassNames[] = {{IecClass::k5P, "5P"},   {IecClass::k10P, "10P"},
                                     {IecClass::k5PR, "5PR"}, {IecClass::k10PR, "10PR"},
                                     {IecClass::kPX, "PX"},   {IecClass::kPXR, "PXR"}};

// The temperature every record and plan carries when none was entered.
constexpr double kDefaultTemperature = 25.0;

Verdict Judge(bool pass) { return pass ? Verdict::kPass : Verdict::kFail; }

}  // namespace

const char* IecClassName(IecClass c) {
  for (const ClassName& n : kClassNames) {
    if (n.c == c) return n.name;
  }
  return "";
}

bool IecClassFromName(const std::string& name, IecClass& out) {
  for (const ClassName& n : kClassNames) {
    if (name == n.name) {
      out = n.c;
      return true;
    }
  }
  return false;
}

bool IsPxClass(IecClass c) { return c == IecClass::kPX || c == IecClass::kPXR; }
bool HasRemanenceLimit(IecClass c) {
  return c == IecClass::k5PR || c == IecClass::k10PR || c == IecClass::kPXR;
}

double DefaultPowerFactor(double va) { return va < 5.0 ? 1.0 : 0.8; }

Burden RatedBurden(const AssessmentProfile& p) {
  Burden b;
  if (!p.burden_as_va) {
    b.r = p.burden_r;
    b.x = p.burden_x;
    const double z = std::hypot(b.r, b.x);
    b.power_factor = z > 0 ? b.r / z : 1.0;
    return b;
  }
  b.default_power_factor = !(p.power_factor > 0);
  b.power_factor = b.default_power_factor ? DefaultPowerFactor(p.burden_va) : p.power_factor;
  const double z = p.isr > 0 ? p.burden_va / (p.isr * p.isr) : 0;
  b.r = z * b.power_factor;
  b.x = z * std::sqrt(std::fmax(0.0, 1.0 - b.power_factor * b.power_factor));
  return b;
}

const char* VerdictWord(Verdict v) {
  switch (v) {
    case Verdict::kPass:
      return "pass";
    case Verdict::kFail:
      return "fail";
    case Verdict::kNotAssessed:
      return "not assessed";
  }
  return "";
}

const char* VerdictCaps(Verdict v) {
  switch (v) {
    case Verdict::kPass:
      return "PASS";
    case Verdict::kFail:
      return "FAIL";
    case Verdict::kNotAssessed:
      return "NOT ASSESSED";
  }
  return "";
}

bool TemperatureIsDefault(const TestRecord& rec) {
  return rec.classsettings.tempcelsius == kDefaultTemperature;
}

double AccuracyLimitEmf(double alf, double isr, double rct, double rb, double xb) {
  return alf * isr * std::hypot(rct + rb, xb);
}

double CompositeErrorPercent(double ie, double alf, double isr) { return 100.0 * ie / (alf * isr); }

double RequiredKneeEmf(double kx, double isr, double rct, double rb) {
  return kx * isr * (rct + rb);
}

double CompositeErrorLimit(IecClass c) {
  return (c == IecClass::k5P || c == IecClass::k5PR) ? 5.0 : 10.0;
}

namespace {

int ChooseTest(const TestRecord& rec, int wanted) {
  const int n = rec.UsableTests();
  if (wanted > 0) return wanted <= n ? wanted : 0;
  for (int t = 0; t < n; ++t) {
    if (ExcitationCurve::FromTap(rec, rec.taps[t]).Usable()) return t + 1;
  }
  return 0;
}

void AssessP(const ExcitationCurve& curve, const AssessmentProfile& p, AssessmentResult& r) {
  r.e_alf = AccuracyLimitEmf(p.alf, p.isr, r.rct75, r.burden.r, r.burden.x);
  const double limit = CompositeErrorLimit(p.iec_class);
  const CurveReading ie = curve.CurrentAt(r.e_alf);
  AssessCheck check{"composite error", "", Format("%.1f %%", limit), Verdict::kNotAssessed};
  r.curve_reached = ie.ok && !ie.extrapolated;
  if (r.curve_reached) {
    r.ie_at_e_alf = ie.value;
    r.composite_error = CompositeErrorPercent(ie.value, p.alf, p.isr);
    check.value = Format("%.2f %%", r.composite_error);
    check.verdict = Judge(r.composite_error <= limit);
  } else if (r.e_alf > curve.points().back().volts) {
    // Never a guess beyond the curve: only the bound the last point gives.
    r.ie_at_e_alf = curve.points().back().amps;
    r.composite_error = CompositeErrorPercent(r.ie_at_e_alf, p.alf, p.isr);
    check.value = Format("> %.2f %%, not assessed", r.composite_error);
  } else {
    check.value = "below the first point, not assessed";
  }
  r.checks.push_back(check);
  r.verdict = check.verdict;
}

void AssessPx(const AssessedTest& test, const ExcitationCurve& curve, const AssessmentProfile& p,
              AssessmentResult& r) {
  r.ek_from_kx = !(p.ek_rated > 0);
  const double rct_for_ek = p.rct_max > 0 ? p.rct_max : r.rct75;
  r.ek_required = r.ek_from_kx ? RequiredKneeEmf(p.kx, p.isr, rct_for_ek, p.rb) : p.ek_rated;
  r.knee_volts = test.knee10_volts;
  r.checks.push_back(
      {"knee e.m.f.", Format("%.2f V", r.knee_volts), Format(">= %.2f V", r.ek_required),
       r.knee_volts > 0 ? Judge(r.knee_volts >= r.ek_required) : Verdict::kNotAssessed});
  const CurveReading ie = curve.CurrentAt(r.ek_required);
  AssessCheck ie_check{"excitation current at Ek", "", Format("<= %.4f A", p.ie_max),
                       Verdict::kNotAssessed};
  if (ie.ok && !ie.extrapolated) {
    r.ie_at_ek = ie.value;
    ie_check.value = Format("%.4f A", ie.value);
    ie_check.verdict = Judge(ie.value <= p.ie_max);
  } else {
    r.ie_extrapolated = true;
    ie_check.value = "outside the curve, not assessed";
  }
  r.checks.push_back(ie_check);
  if (p.rct_max > 0) {
    r.checks.push_back({"winding resistance at 75 degC", Format("%.4f ohm", r.rct75),
                        Format("<= %.4f ohm", p.rct_max), Judge(r.rct75 <= p.rct_max)});
  }
  r.turns_measured = test.turns_measured;
  r.turns_error_percent = test.turns_error_percent;
  AssessCheck turns{"turns ratio error", "not measured",
                    Format("within +/-%.2f %%", p.turns_tolerance_percent), Verdict::kNotAssessed};
  if (r.turns_measured) {
    turns.value = Format("%+.3f %%", r.turns_error_percent);
    turns.verdict = Judge(std::fabs(r.turns_error_percent) <= p.turns_tolerance_percent);
  }
  r.checks.push_back(turns);
  // Every check that could be made must pass; a check that could not be
  // made leaves the class not assessed unless another one failed.
  bool any_fail = false;
  bool all_pass = true;
  for (const AssessCheck& c : r.checks) {
    any_fail = any_fail || c.verdict == Verdict::kFail;
    all_pass = all_pass && c.verdict == Verdict::kPass;
  }
  r.verdict = any_fail ? Verdict::kFail : all_pass ? Verdict::kPass : Verdict::kNotAssessed;
}

}  // namespace

AssessmentResult AssessTest(const AssessedTest& test, const AssessmentProfile& profile) {
  AssessmentResult r;
  r.iec_class = profile.iec_class;
  r.test = test.number;
  r.label = test.label;
  const ExcitationCurve curve(test.curve);
  if (!curve.Usable()) {
    r.problem = "the test has no excitation curve";
    return r;
  }
  r.usable = true;
  r.rct75 = test.rct75;
  r.default_temperature = test.default_temperature;
  r.burden = RatedBurden(profile);
  if (HasRemanenceLimit(profile.iec_class)) r.remanence = "not determinable from this test";
  if (IsPxClass(profile.iec_class)) {
    AssessPx(test, curve, profile, r);
  } else {
    AssessP(curve, profile, r);
  }
  return r;
}

AssessmentResult AssessRecord(const TestRecord& rec, const AssessmentProfile& profile) {
  // Past the end of a damaged file the values are reset, not measured: a
  // verdict on them would pass or fail a CT on nothing.
  if (rec.fileend.Early()) {
    AssessmentResult r;
    r.iec_class = profile.iec_class;
    r.problem = Format("the record is damaged: its file ends at byte %zu of %zu",
                       rec.fileend.ended_at, rec.fileend.needed);
    return r;
  }
  const int number = ChooseTest(rec, profile.test);
  if (number == 0) {
    AssessmentResult r;
    r.iec_class = profile.iec_class;
    r.problem = profile.test > 0 ? MissingTestText(profile.test, rec.UsableTests())
                                 : "the record has no excitation curve";
    return r;
  }
  const TapTest& tap = rec.taps[number - 1];
  AssessedTest test;
  test.number = number;
  test.label = ReportTestLabel(rec, number - 1);
  test.curve = ExcitationCurve::FromTap(rec, tap).points();
  test.rct75 = TapRct75(rec, tap);
  test.default_temperature = TemperatureIsDefault(rec);
  test.knee10_volts = tap.fKneeVtg10;
  test.turns_measured = TurnsRatioError(tap, test.turns_error_percent);
  return AssessTest(test, profile);
}

}  // namespace kova

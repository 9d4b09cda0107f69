#include "assess/explain.h"

#include <cctype>
#include <cmath>
#include <utility>

#include "analysis/class_calc.h"
#include "analysis/display_rules.h"
#include "assess/comparisons.h"
#include "assess/knee_check.h"
#include "base/codepage.h"
#include "base/format.h"
#include "base/program_version.h"
#include "records/tap_names.h"
#include "records/test_label.h"

namespace kova {

const char* OriginWord(Origin o) {
  switch (o) {
    case Origin::kMeasured:
      return "measured";
    case Origin::kPlan:
      return "plan";
    case Origin::kSetting:
      return "setting";
    case Origin::kDefault:
      return "default";
    case Origin::kProfile:
      return "profile";
    case Origin::kComputed:
      return "computed";
    case Origin::kConstant:
      return "constant";
  }
  return "";
}

namespace {

constexpr const char* kLogLog = "linear in log-log";

// An explanation's words: what, by which rule and formula, read how.
Explanation Working(std::string quantity, std::string rule, std::string formula,
                    std::string interpolation) {
  Explanation e;
  e.quantity = std::move(quantity);
  e.rule = std::move(rule);
  e.formula = std::move(formula);
  e.interpolation = std::move(interpolation);
  return e;
}

Origin TemperatureOrigin(const TestRecord& rec) {
  return TemperatureIsDefault(rec) ? Origin::kDefault : Origin::kPlan;
}

Explanation ExplainKnee(const ExcitationCurve& curve, KneeRule rule, double inst_v, double inst_i) {
  Explanation e;
  e.quantity = std::string(KneeRuleName(rule)) + " knee point";
  const KneeCheck k = FindKnee(curve, rule);
  e.interpolation = kLogLog;
  e.inputs.push_back({"instrument knee voltage", inst_v, "V", Origin::kMeasured});
  e.inputs.push_back({"instrument knee current", inst_i, "A", Origin::kMeasured});
  if (rule == KneeRule::kIec1050) {
    e.rule = "the voltage at which 10 % more voltage needs 50 % more excitation current";
    e.formula = "I(1.1 Vk) = 1.5 I(Vk); I(V) = I1 (V/V1)^(ln(I2/I1)/ln(V2/V1))";
  } else {
    const double deg = rule == KneeRule::kIeee30 ? 30.0 : 45.0;
    e.rule = Format(
        "the point where the tangent on log-log axes of equal decades rises at %.0f degrees", deg);
    e.formula =
        "f = ln V - tan a ln I largest at the middle point; ln Ik = vertex of the parabola "
        "f(ln I) through the three points; Vk read off the curve at Ik";
    e.inputs.push_back({"tan a", std::tan(deg * 3.141592653589793 / 180.0), "", Origin::kConstant});
  }
  e.points = k.points;
  if (!k.found) {
    e.result = Format("instrument %.2f V at %.4f A; the curve gives no point by this rule", inst_v,
                      inst_i);
    return e;
  }
  e.inputs.push_back({"recomputed knee voltage", k.volts, "V", Origin::kComputed});
  e.inputs.push_back({"recomputed knee current", k.amps, "A", Origin::kComputed});
  e.result = Format("instrument %.2f V at %.4f A; recomputed %.4g V at %.4g A", inst_v, inst_i,
                    k.volts, k.amps);
  return e;
}

Explanation ExplainRct75(const TestRecord& rec, const TapTest& tap) {
  Explanation e = Working("winding resistance at 75 degC",
                          "copper: resistance rises in proportion to (234.5 + temperature)",
                          "Rct75 = Rmeas x (75 + 234.5) / (T + 234.5)", "none");
  e.inputs.push_back({"Rmeas", tap.fWindingRes / 1000.0, "ohm", Origin::kMeasured});
  e.inputs.push_back({"T", rec.classsettings.tempcelsius, "degC", TemperatureOrigin(rec)});
  e.inputs.push_back({"234.5", 234.5, "degC", Origin::kConstant});
  const double r = TapRct75(rec, tap);
  e.result = (tap.uTestType & kResistanceTest) ? Format("%.4f ohm", r) : "not measured";
  return e;
}

// Signed, as the library and the assessment show it; the printed report's
// "% ERROR" is its size.
Explanation ExplainRatio(const TapTest& tap) {
  Explanation e = Working(
      "turns ratio error",
      std::string("the measured turns ratio against the nameplate ratio; ") + kTurnsRatioErrorSign,
      "error = (N - Nn) / Nn x 100 %", "none");
  e.inputs.push_back({"N", tap.fTestRatio, "", Origin::kMeasured});
  e.inputs.push_back({"Nn", NameplateRatio(tap), "", Origin::kPlan});
  double percent = 0;
  e.result = TurnsRatioError(tap, percent) ? Format("%+.3f %%", percent) : "N/A";
  return e;
}

Explanation ExplainPhase(const TapTest& tap) {
  Explanation e = Working(
      "phase", "in phase for 0 <= a < 10 or 350 <= a <= 360 degrees, out of phase for 170..190",
      "a = phase, plus 360 when negative", "none");
  e.inputs.push_back({"phase", tap.fTestPhase, "deg", Origin::kMeasured});
  e.result = PhaseMeasured(tap) ? Format("%.2f deg, %s", NormalisedPhase(tap.fTestPhase),
                                         PolarityWord(PolarityOf(tap)))
                                : "not measured";
  return e;
}

// The relaying class: the highest standard burden whose secondary voltage
// at 20 x rated current a measured point still exceeds below 2 A.
Explanation ExplainClass(const TestRecord& rec) {
  Explanation e;
  e.quantity = "relaying class";
  e.rule =
      "the highest standard burden whose secondary voltage a data point exceeds with less "
      "than 2 A";
  e.formula = "Vsec = 20 x Irated x sqrt((Rb + Rct75)^2 + Xb^2)";
  e.interpolation = "none";
  e.inputs.push_back({"Irated", rec.IRated, "A",
                      rec.classsettings.ratedcurrent == 5.0 ? Origin::kPlan : Origin::kDefault});
  e.inputs.push_back({"Rct75", rec.Rct75, "ohm", Origin::kComputed});
  for (int i = kBurdenRows - 1; i >= 0; --i) {
    const BurdenRow& row = rec.rows[i];
    if (row.name == rec.classresult) {
      e.inputs.push_back({"Rb", row.Rb, "ohm", Origin::kConstant});
      e.inputs.push_back({"Xb", row.Xb, "ohm", Origin::kConstant});
      e.inputs.push_back({"Vsec", row.Vsec, "V", Origin::kComputed});
      break;
    }
  }
  e.result = rec.classresult.empty() ? "N/A" : rec.classresult;
  return e;
}

Explanation ExplainRcf(const BurdenRow& row, const RcfPoint& p, int percent) {
  Explanation e;
  e.quantity = Format("RCF at %d %% rated current, burden %s", percent, row.name.c_str());
  e.rule = "excitation current and phase read linearly between the points around Vsec";
  e.formula =
      "I = I1 + (I2 - I1)(V - V1)/(V2 - V1); theta = phase - atan(Rb/Xb); RCF = (5K + I cos "
      "theta) / 5K";
  e.interpolation = "linear";
  e.inputs.push_back({"Vsec", percent == 100 ? row.Vsec : row.Vsec10, "V", Origin::kComputed});
  e.inputs.push_back({"K", percent == 100 ? 1.0 : 0.1, "", Origin::kConstant});
  if (p.found) {
    e.points = {{p.V1, p.I1}, {p.V2, p.I2}};
    e.inputs.push_back({"I", p.I, "A", Origin::kComputed});
    e.inputs.push_back({"theta", p.theta, "deg", Origin::kComputed});
  }
  e.result = p.rcftext.empty() ? "N/A" : p.rcftext;
  return e;
}

void AddAssessment(const AssessmentResult& r, const AssessmentProfile& p, const TestRecord& rec,
                   TestExplanation& out) {
  const Origin t_origin = TemperatureOrigin(rec);
  if (IsPxClass(r.iec_class)) {
    Explanation ek =
        Working("required knee e.m.f. Ek",
                r.ek_from_kx ? "the rated dimensioning factor times the loop at rated current"
                             : "the rated knee e.m.f. of the profile",
                r.ek_from_kx ? "Ek = Kx x Isr x (Rct + Rb)" : "Ek = rated Ek", "none");
    ek.inputs.push_back({"Kx", p.kx, "", Origin::kProfile});
    ek.inputs.push_back({"Isr", p.isr, "A", Origin::kProfile});
    ek.inputs.push_back({"Rct", p.rct_max > 0 ? p.rct_max : r.rct75, "ohm",
                         p.rct_max > 0 ? Origin::kProfile : Origin::kComputed});
    ek.inputs.push_back({"Rb", p.rb, "ohm", Origin::kProfile});
    ek.result = Format("%.2f V", r.ek_required);
    out.items.push_back(ek);
    Explanation ie = Working("excitation current at Ek", "read off the measured curve",
                             "I = I1 (V/V1)^(ln(I2/I1)/ln(V2/V1))", kLogLog);
    ie.extrapolated = r.ie_extrapolated;
    const ExcitationCurve curve = ExcitationCurve::FromTap(rec, rec.taps[r.test - 1]);
    const CurveReading reading = curve.CurrentAt(r.ek_required);
    if (reading.ok) ie.points = {reading.p1, reading.p2};
    ie.inputs.push_back({"Ek", r.ek_required, "V", Origin::kComputed});
    ie.inputs.push_back({"maximum", p.ie_max, "A", Origin::kProfile});
    ie.result =
        r.ie_extrapolated ? "outside the curve, not assessed" : Format("%.4f A", r.ie_at_ek);
    out.items.push_back(ie);
    return;
  }
  Explanation ealf =
      Working("accuracy-limit e.m.f. E_ALF",
              "the e.m.f. the core must support at ALF x rated current into its rated burden",
              "E_ALF = ALF x Isr x |Rct75 + Rb + jXb|", "none");
  ealf.inputs.push_back({"ALF", p.alf, "", Origin::kProfile});
  ealf.inputs.push_back({"Isr", p.isr, "A", Origin::kProfile});
  ealf.inputs.push_back({"Rct75", r.rct75, "ohm", Origin::kComputed});
  ealf.inputs.push_back({"T", rec.classsettings.tempcelsius, "degC", t_origin});
  ealf.inputs.push_back({"Rb", r.burden.r, "ohm", Origin::kProfile});
  ealf.inputs.push_back({"Xb", r.burden.x, "ohm", Origin::kProfile});
  if (p.burden_as_va) {
    ealf.inputs.push_back({"burden", p.burden_va, "VA", Origin::kProfile});
    ealf.inputs.push_back({"power factor", r.burden.power_factor, "",
                           r.burden.default_power_factor ? Origin::kDefault : Origin::kProfile});
  }
  ealf.result = Format("%.1f V", r.e_alf);
  out.items.push_back(ealf);

  Explanation ec;
  ec.quantity = "composite error (indirect method)";
  ec.rule =
      "the excitation current at E_ALF over ALF x rated current; holds for low-leakage designs";
  ec.formula = "ec = 100 x Ie(E_ALF) / (ALF x Isr); Ie = I1 (V/V1)^(ln(I2/I1)/ln(V2/V1))";
  ec.interpolation = kLogLog;
  const ExcitationCurve curve = ExcitationCurve::FromTap(rec, rec.taps[r.test - 1]);
  const CurveReading reading = curve.CurrentAt(r.e_alf);
  if (reading.ok) ec.points = {reading.p1, reading.p2};
  ec.extrapolated = !r.curve_reached;
  ec.inputs.push_back({"E_ALF", r.e_alf, "V", Origin::kComputed});
  ec.inputs.push_back({"Ie", r.ie_at_e_alf, "A", Origin::kMeasured});
  ec.inputs.push_back({"limit", CompositeErrorLimit(r.iec_class), "%", Origin::kConstant});
  ec.result = r.checks.empty() ? "" : r.checks.front().value;
  out.items.push_back(ec);
}

}  // namespace

TestExplanation ExplainTest(const TestRecord& rec, int test, const AssessmentResult* assessment,
                            const AssessmentProfile* profile) {
  TestExplanation out;
  out.test = test;
  out.label = ReportTestLabel(test - 1, std::string());
  if (test < 1 || test > rec.UsableTests()) return out;
  const TapTest& tap = rec.taps[test - 1];
  out.tap = TapNameFromCode(tap.nTapConnection);
  out.label = ReportTestLabel(rec, test - 1);
  const ExcitationCurve curve = ExcitationCurve::FromTap(rec, tap);
  if (tap.uTestType & kExcitationTest) {
    for (KneeRule rule : {KneeRule::kIeee30, KneeRule::kIeee45, KneeRule::kIec1050}) {
      const CurvePoint knee = TapKneeByRule(rule, tap);
      out.items.push_back(ExplainKnee(curve, rule, knee.volts, knee.amps));
    }
  }
  out.items.push_back(ExplainRct75(rec, tap));
  out.items.push_back(ExplainRatio(tap));
  out.items.push_back(ExplainPhase(tap));
  if (rec.classsettings.ctusage == 2) {
    for (int j = 0; j < kMeteringRows; ++j) {
      const BurdenRow& row = tap.taprows[j];
      out.items.push_back(ExplainRcf(row, row.rcf10, 10));
      out.items.push_back(ExplainRcf(row, row.rcf100, 100));
    }
  } else if (rec.classdone && rec.classtap == out.tap) {
    out.items.push_back(ExplainClass(rec));
  }
  if (assessment && profile && assessment->usable && assessment->test == test) {
    AddAssessment(*assessment, *profile, rec, out);
  }
  return out;
}

RecordExplanation ExplainRecord(const TestRecord& rec, int only_test,
                                const AssessmentResult* assessment,
                                const AssessmentProfile* profile) {
  RecordExplanation e;
  e.program_version = kProgramVersion;
  for (int t = 1; t <= rec.UsableTests(); ++t) {
    if (only_test > 0 && t != only_test) continue;
    e.tests.push_back(ExplainTest(rec, t, assessment, profile));
  }
  return e;
}

namespace {

TestExplanation* TestOf(RecordExplanation& e, int test) {
  for (TestExplanation& t : e.tests) {
    if (t.test == test) return &t;
  }
  return nullptr;
}

}  // namespace

void AddComparisonWorking(const ReferenceComparison* ref, const std::vector<TapComparison>& taps,
                          RecordExplanation& e) {
  TestExplanation* t = ref && ref->done ? TestOf(e, ref->test) : nullptr;
  if (t != nullptr) {
    Explanation x;
    x.quantity = "deviation from the reference curve";
    x.rule = Format(
        "voltage at equal current against the reference moved to this tap, over 0.5-1.5 x the "
        "knee current; outside +/-%.1f %% is a warning, outside +/-%.1f %% an alarm",
        ref->band_percent, ref->band_percent * kComparisonAlarmMultiple);
    x.formula = "Vref = V (N / Nref) read at I (Nref / N); deviation = (V - Vref) / Vref x 100 %";
    x.interpolation = kLogLog;
    x.inputs.push_back({"N (measured ratio, else nameplate)", ref->turns, "", Origin::kMeasured});
    x.inputs.push_back(
        {"band", ref->band_percent, "%",
         ref->band_percent == kReferenceBandPercent ? Origin::kDefault : Origin::kSetting});
    if (ref->compared > 0) {
      x.inputs.push_back({"V", ref->at_volts, "V", Origin::kMeasured});
      x.inputs.push_back({"I", ref->at_amps, "A", Origin::kMeasured});
      x.inputs.push_back({"Vref", ref->reference_volts, "V", Origin::kComputed});
      x.points = {ref->reference_p1, ref->reference_p2};
      x.result = Format("%+.2f %%, %s", ref->largest_deviation, BandFlagText(ref->flag));
    } else {
      x.result = "no point to compare";
    }
    t->items.push_back(x);
  }
  for (const TapComparison& c : taps) {
    TestExplanation* tt = TestOf(e, c.test);
    if (tt == nullptr) continue;
    Explanation x;
    x.quantity = c.pair ? "knee voltage per turn against the other tap"
                        : "knee voltage per turn against the median of the taps";
    x.rule =
        "a shorted turn or a wrong tap connection moves one tap's knee per turn; the median "
        "leaves the sound taps where they are";
    x.formula = c.pair ? "v = Vk / N; difference = |v1 - v2| / smaller x 100 %"
                       : "v = Vk / N; deviation = (v - median of the taps) / median x 100 %";
    x.interpolation = "none";
    x.inputs.push_back({"Vk", c.knee, "V", Origin::kMeasured});
    x.inputs.push_back({"N (measured ratio, else nameplate)", c.turns, "", Origin::kMeasured});
    x.inputs.push_back({"v", c.per_turn, "V", Origin::kComputed});
    x.result = Format(c.pair ? "differ by %.2f %%, %s" : "%+.2f %%, %s", c.deviation,
                      BandFlagText(c.flag));
    tt->items.push_back(x);
  }
}

std::vector<std::string> ExplanationLines(const RecordExplanation& e) {
  std::vector<std::string> lines;
  lines.push_back("Calculation details, program version " + e.program_version);
  for (const TestExplanation& t : e.tests) {
    lines.push_back("");
    lines.push_back(t.label);
    for (const Explanation& x : t.items) {
      lines.push_back("  " + x.quantity + ": " + x.result);
      lines.push_back("    rule: " + x.rule);
      lines.push_back("    formula: " + x.formula);
      for (const ExplainInput& in : x.inputs) {
        const std::string unit = in.unit.empty() ? "" : " " + in.unit;
        lines.push_back(Format("    %s = %.6g%s (%s)", in.name.c_str(), in.value, unit.c_str(),
                               OriginWord(in.origin)));
      }
      for (const CurvePoint& p : x.points) {
        lines.push_back(Format("    point %.6g V, %.6g A", p.volts, p.amps));
      }
      lines.push_back("    interpolation: " + x.interpolation +
                      (x.extrapolated ? ", extrapolated" : ", not extrapolated"));
    }
  }
  return lines;
}

namespace {

JsonValue Text(const std::string& cp1252) { return JsonValue::String(Cp1252ToUtf8(cp1252)); }

JsonValue PointJson(const CurvePoint& p) {
  JsonValue j = JsonValue::Object();
  j.Set("volts", JsonValue::Number(p.volts));
  j.Set("amps", JsonValue::Number(p.amps));
  return j;
}

}  // namespace

JsonValue ExplanationJson(const RecordExplanation& e) {
  JsonValue root = JsonValue::Object();
  root.Set("program_version", Text(e.program_version));
  JsonValue tests = JsonValue::Array();
  for (const TestExplanation& t : e.tests) {
    JsonValue tj = JsonValue::Object();
    tj.Set("test", JsonValue::Integer(t.test));
    tj.Set("tap", Text(t.tap));
    JsonValue items = JsonValue::Array();
    for (const Explanation& x : t.items) {
      JsonValue xj = JsonValue::Object();
      xj.Set("quantity", Text(x.quantity));
      xj.Set("result", Text(x.result));
      xj.Set("rule", Text(x.rule));
      xj.Set("formula", Text(x.formula));
      JsonValue inputs = JsonValue::Array();
      for (const ExplainInput& in : x.inputs) {
        JsonValue ij = JsonValue::Object();
        ij.Set("name", Text(in.name));
        ij.Set("value", JsonValue::Number(in.value));
        ij.Set("unit", Text(in.unit));
        ij.Set("origin", JsonValue::String(OriginWord(in.origin)));
        inputs.Push(ij);
      }
      xj.Set("inputs", inputs);
      JsonValue points = JsonValue::Array();
      for (const CurvePoint& p : x.points) points.Push(PointJson(p));
      xj.Set("points", points);
      xj.Set("interpolation", Text(x.interpolation));
      xj.Set("extrapolated", JsonValue::Bool(x.extrapolated));
      items.Push(xj);
    }
    tj.Set("items", items);
    tests.Push(tj);
  }
  root.Set("tests", tests);
  return root;
}

std::vector<std::string> AssessmentLines(const AssessmentResult& r, const AssessmentProfile& p) {
  std::vector<std::string> lines;
  lines.push_back(Format("IEC 61869-2 class %s, %s", IecClassName(p.iec_class),
                         r.label.empty() ? "no such test" : r.label.c_str()));
  if (!r.usable) {
    lines.push_back("  not assessed: " + r.problem);
    return lines;
  }
  lines.push_back(Format("  Rct at 75 degC %.4f ohm%s", r.rct75,
                         r.default_temperature ? " (temperature: default)" : ""));
  if (!IsPxClass(p.iec_class)) {
    lines.push_back(Format("  burden %.4g + j%.4g ohm%s", r.burden.r, r.burden.x,
                           r.burden.default_power_factor ? " (power factor: default)" : ""));
    lines.push_back(Format("  E_ALF %.1f V", r.e_alf));
    lines.push_back("  indirect method: holds for low-leakage designs");
  } else {
    lines.push_back(Format("  required Ek %.2f V", r.ek_required));
  }
  for (const AssessCheck& c : r.checks) {
    lines.push_back("  " + c.name + ": " + c.value + " (limit " + c.limit + ") " +
                    VerdictWord(c.verdict));
  }
  if (!r.remanence.empty()) lines.push_back("  remanence: " + r.remanence);
  lines.push_back(std::string("  result: ") + VerdictWord(r.verdict));
  return lines;
}

JsonValue AssessmentJson(const AssessmentResult& r, const AssessmentProfile& p) {
  JsonValue j = JsonValue::Object();
  j.Set("class", JsonValue::String(IecClassName(p.iec_class)));
  j.Set("test", JsonValue::Integer(r.test));
  j.Set("usable", JsonValue::Bool(r.usable));
  if (!r.usable) {
    j.Set("problem", Text(r.problem));
    return j;
  }
  j.Set("rct75", JsonValue::Number(r.rct75));
  j.Set("temperature_default", JsonValue::Bool(r.default_temperature));
  if (IsPxClass(p.iec_class)) {
    j.Set("ek_required", JsonValue::Number(r.ek_required));
    j.Set("knee_volts", JsonValue::Number(r.knee_volts));
    if (!r.ie_extrapolated) j.Set("ie_at_ek", JsonValue::Number(r.ie_at_ek));
    if (r.turns_measured) {
      j.Set("turns_ratio_error_percent", JsonValue::Number(r.turns_error_percent));
    }
  } else {
    j.Set("burden_r", JsonValue::Number(r.burden.r));
    j.Set("burden_x", JsonValue::Number(r.burden.x));
    j.Set("e_alf", JsonValue::Number(r.e_alf));
    j.Set("curve_reached", JsonValue::Bool(r.curve_reached));
    j.Set(r.curve_reached ? "composite_error" : "composite_error_above",
          JsonValue::Number(r.composite_error));
  }
  JsonValue checks = JsonValue::Array();
  for (const AssessCheck& c : r.checks) {
    JsonValue cj = JsonValue::Object();
    cj.Set("name", Text(c.name));
    cj.Set("value", Text(c.value));
    cj.Set("limit", Text(c.limit));
    cj.Set("verdict", JsonValue::String(VerdictWord(c.verdict)));
    checks.Push(cj);
  }
  j.Set("checks", checks);
  if (!r.remanence.empty()) j.Set("remanence", Text(r.remanence));
  j.Set("verdict", JsonValue::String(VerdictWord(r.verdict)));
  return j;
}

namespace {

bool WordChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_'; }

std::string LineWithoutNonFinite(const std::string& line) {
  std::string out;
  size_t i = 0;
  while (i < line.size()) {
    if (!WordChar(line[i])) {
      out += line[i++];
      continue;
    }
    size_t end = i;
    while (end < line.size() && WordChar(line[end])) ++end;
    std::string word = line.substr(i, end - i);
    for (char& c : word) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (word == "nan" || word == "inf" || word == "infinity") {
      if (!out.empty() && (out.back() == '-' || out.back() == '+')) out.pop_back();
      out += "N/A";
    } else {
      out.append(line, i, end - i);
    }
    i = end;
  }
  return out;
}

}  // namespace

std::vector<std::string> WithoutNonFinite(std::vector<std::string> lines) {
  for (std::string& line : lines) line = LineWithoutNonFinite(line);
  return lines;
}

}  // namespace kova

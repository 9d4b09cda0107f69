#include "assess/comparisons.h"

#include <algorithm>
#include <cmath>

#include "analysis/class_calc.h"
#include "analysis/display_rules.h"
#include "assess/iec_assessment.h"
#include "assess/knee_check.h"
#include "base/format.h"
#include "records/tap_names.h"
#include "records/test_label.h"

namespace kova {

double DeviationPercent(double measured, double reference) {
  return (measured - reference) / reference * 100.0;
}

double TapTurns(const TapTest& tap) {
  const double n = (tap.uTestType & kRatioTest) ? tap.fTestRatio : NameplateRatio(tap);
  return n > 0 && std::isfinite(n) ? n : 0;
}

double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double DifferencePercent(double a, double b) {
  return std::fabs(a - b) / std::min(std::fabs(a), std::fabs(b)) * 100.0;
}

namespace {

double AlarmOf(double band) { return band * kComparisonAlarmMultiple; }

// A member's value: `has` false leaves it out of its group.
struct Judged {
  bool has = false;
  double value = 0;
  bool pair = false;
  double deviation = 0;  // percent
};

// Each member against the median of the group; two by their difference;
// none judged with fewer, or where the group's reference value is 0.
void JudgeGroup(std::vector<Judged>& group) {
  std::vector<double> values;
  for (const Judged& j : group)
    if (j.has) values.push_back(j.value);
  if (values.size() < 2) {
    for (Judged& j : group) j.has = false;
    return;
  }
  const bool pair = values.size() == 2;
  const double median = Median(values);
  if (pair ? std::min(std::fabs(values[0]), std::fabs(values[1])) == 0 : median == 0) {
    for (Judged& j : group) j.has = false;
    return;
  }
  for (Judged& j : group) {
    if (!j.has) continue;
    j.pair = pair;
    j.deviation =
        pair ? DifferencePercent(values[0], values[1]) : DeviationPercent(j.value, median);
  }
}

}  // namespace

ReferenceComparison CompareWithReference(const TestRecord& rec, int test, const ReferenceCurve& ref,
                                         double band_percent) {
  ReferenceComparison c;
  c.test = test;
  c.band_percent = band_percent;
  if (test < 1 || test > rec.UsableTests()) {
    c.label = ReportTestLabel(test - 1, std::string());
    c.problem = MissingTestText(test, rec.UsableTests());
    return c;
  }
  c.label = ReportTestLabel(rec, test - 1);
  const TapTest& tap = rec.taps[test - 1];
  c.turns = TapTurns(tap);
  if (!(c.turns > 0)) {
    c.problem = "the turns of the tested tap are not known";
    return c;
  }
  const ExcitationCurve measured = ExcitationCurve::FromTap(rec, tap);
  c.scaled = ScaledReference(ref, c.turns);
  if (!measured.Usable() || !c.scaled.Usable()) {
    c.problem = "a curve has fewer than two points";
    return c;
  }
  const double ik = RecordKnee(rec, tap).amps;
  if (!(ik > 0)) {
    c.problem = "the test has no knee point";
    return c;
  }
  c.done = true;
  const KneeCheck ref_knee = FindKnee(c.scaled, RecordKneeRule(rec));
  c.knee_measured = RecordKnee(rec, tap).volts;
  if (ref_knee.found && c.knee_measured > 0) {
    c.has_knee = true;
    c.knee_reference = ref_knee.volts;
    c.knee_deviation = DeviationPercent(c.knee_measured, c.knee_reference);
  }
  for (const CurvePoint& p : measured.points()) {
    if (p.amps < kCompareFromKneeMultiple * ik || p.amps > kCompareToKneeMultiple * ik) continue;
    const CurveReading r = c.scaled.VoltageAt(p.amps);
    if (!r.ok || r.extrapolated) continue;
    const double dev = DeviationPercent(p.volts, r.value);
    ++c.compared;
    if (c.compared == 1 || std::fabs(dev) > std::fabs(c.largest_deviation)) {
      c.largest_deviation = dev;
      c.at_volts = p.volts;
      c.at_amps = p.amps;
      c.reference_volts = r.value;
      c.reference_p1 = r.p1;
      c.reference_p2 = r.p2;
    }
  }
  c.flag = BandFlag::kOk;
  if (c.compared > 0)
    c.flag = BandLevel(std::fabs(c.largest_deviation), band_percent, AlarmOf(band_percent));
  if (c.has_knee)
    c.flag =
        Worse(c.flag, BandLevel(std::fabs(c.knee_deviation), band_percent, AlarmOf(band_percent)));
  c.flagged = c.flag >= BandFlag::kWarn;
  return c;
}

std::vector<TapComparison> CompareTaps(const TestRecord& rec, double band_percent) {
  std::vector<TapComparison> taps;
  for (int t = 0; t < rec.UsableTests(); ++t) {
    const TapTest& tap = rec.taps[t];
    TapComparison c;
    c.test = t + 1;
    c.tap = TapNameFromCode(tap.nTapConnection);
    c.label = ReportTestLabel(rec, t);
    c.knee = RecordKnee(rec, tap).volts;
    c.turns = TapTurns(tap);
    if (!(c.knee > 0) || !(c.turns > 0) || !std::isfinite(c.knee)) continue;
    c.per_turn = c.knee / c.turns;
    taps.push_back(c);
  }
  if (taps.size() < 2) return {};
  std::vector<Judged> group;
  for (const TapComparison& t : taps) group.push_back({true, t.per_turn});
  JudgeGroup(group);
  for (size_t i = 0; i < taps.size(); ++i) {
    taps[i].pair = group[i].pair;
    taps[i].deviation = group[i].deviation;
    taps[i].flag = BandLevel(std::fabs(taps[i].deviation), band_percent, AlarmOf(band_percent));
    taps[i].flagged = taps[i].flag >= BandFlag::kWarn;
  }
  return taps;
}

std::string SisterName(const TestRecord& rec, const std::string& file) {
  std::string name = rec.serialnumber.empty() ? file : "serial " + rec.serialnumber;
  if (!rec.circuit.empty()) name += ", " + rec.circuit;
  const std::string date = rec.testdatetime.substr(0, rec.testdatetime.find(' '));
  if (!date.empty()) name += ", tested " + date;
  return name;
}

namespace {

// The test of `rec` compared: the one chosen when it is of the tap and
// ratio, else the last one that is (a retest comes after the first test);
// 0 for none. A `nameplate` of 0 takes any ratio.
int ChosenTest(const TestRecord& rec, int chosen, int tap_code, double nameplate) {
  auto fits = [&](int t) {
    const TapTest& tap = rec.taps[t];
    return tap.nTapConnection == tap_code && (nameplate == 0 || NameplateRatio(tap) == nameplate);
  };
  if (chosen >= 1 && chosen <= rec.UsableTests() && fits(chosen - 1)) return chosen;
  for (int t = rec.UsableTests() - 1; t >= 0; --t)
    if (fits(t)) return t + 1;
  return 0;
}

// Judges one quantity of every row; the ratio by its turns.
template <typename Get>
void JudgeSisters(SisterComparison& c, Get get, bool by_turns, double nameplate) {
  std::vector<Judged> group;
  for (SisterRow& r : c.rows) group.push_back({get(r).has, get(r).value});
  JudgeGroup(group);
  const ComparisonBands& b = c.bands;
  for (size_t i = 0; i < c.rows.size(); ++i) {
    SisterQuantity& q = get(c.rows[i]);
    if (!group[i].has) continue;
    q.pair = group[i].pair;
    q.deviation = group[i].deviation;
    if (by_turns) q.turns = (nameplate > 0 ? nameplate : q.value) * q.deviation / 100.0;
    q.flag = by_turns
                 ? BandLevel(std::fabs(q.turns), b.ratio_warn_turns, b.ratio_alarm_turns)
                 : BandLevel(std::fabs(q.deviation), b.sister_percent, AlarmOf(b.sister_percent));
    q.flagged = q.flag >= BandFlag::kWarn;
    c.flag = Worse(c.flag, q.flag);
    if (q.pair) continue;
    c.rows[i].flag = Worse(c.rows[i].flag, q.flag);
    c.rows[i].flagged = c.rows[i].flag >= BandFlag::kWarn;
  }
}

}  // namespace

SisterComparison CompareSisters(const std::vector<SisterMember>& members, int tap_code,
                                const ComparisonBands& bands) {
  SisterComparison c;
  c.tap = TapNameFromCode(tap_code);
  c.bands = bands;
  double nameplate = 0;
  for (const SisterMember& m : members) {
    const TestRecord& rec = *m.record;
    SisterRow row;
    row.file = m.file;
    row.name = SisterName(rec, m.file);
    row.serial = rec.serialnumber;
    row.circuit = rec.circuit;
    row.tested = rec.testdatetime;
    row.test = ChosenTest(rec, m.test, tap_code, nameplate);
    if (row.test > 0) {
      const TapTest& tap = rec.taps[row.test - 1];
      if (nameplate == 0) nameplate = NameplateRatio(tap);
      row.label = ReportTestLabel(rec, row.test - 1);
      if (c.current == 0) c.current = RecordKnee(rec, tap).amps;
      const CurveReading v = ExcitationCurve::FromTap(rec, tap).VoltageAt(c.current);
      row.knee_at_current.has = v.ok && !v.extrapolated;
      row.knee_at_current.value = v.value;
      row.ratio.has = (tap.uTestType & kRatioTest) && tap.fTestRatio > 0;
      row.ratio.value = tap.fTestRatio;
      row.has_turns_error = TurnsRatioError(tap, row.turns_error_percent);
      const double rct = TapRct75(rec, tap);
      row.rct75.has = (tap.uTestType & kResistanceTest) && rct > 0;
      row.rct75.value = rct;
    }
    c.rows.push_back(row);
  }
  // A difference of ratios counts in turns as the library's trend does: N
  // turns on the secondary, one turn moves the ratio by 1/N of it.
  JudgeSisters(
      c, [](SisterRow& r) -> SisterQuantity& { return r.knee_at_current; }, false, nameplate);
  JudgeSisters(
      c, [](SisterRow& r) -> SisterQuantity& { return r.ratio; }, true, nameplate);
  JudgeSisters(
      c, [](SisterRow& r) -> SisterQuantity& { return r.rct75; }, false, nameplate);
  for (SisterRow& r : c.rows)
    if (r.test > 0 && r.flag == BandFlag::kNone) r.flag = BandFlag::kOk;
  if (c.flag == BandFlag::kNone && !c.rows.empty()) c.flag = BandFlag::kOk;
  return c;
}

namespace {

std::string Quantity(const char* name, const SisterQuantity& q, const char* format) {
  if (!q.has) return std::string(name) + " N/A";
  std::string text = std::string(name) + " " + Format(format, q.value);
  if (q.pair || q.flag == BandFlag::kNone) return text;  // a pair's difference is stated once
  return text + Format(" (%+.2f %%, ", q.deviation) + BandFlagText(q.flag) + ")";
}

std::string RatioQuantity(const SisterQuantity& q) {
  if (!q.has || q.pair || q.flag == BandFlag::kNone) return Quantity("ratio", q, "%.4f");
  return "ratio " + Format("%.4f (%+.2f %%, %+.2f turns, ", q.value, q.deviation, q.turns) +
         BandFlagText(q.flag) + ")";
}

std::string Bands(double band) {
  return Format("WARN from %.1f %%, ALARM from %.1f %%", band, AlarmOf(band));
}

}  // namespace

std::vector<std::string> ReferenceLines(const ReferenceComparison& c) {
  std::vector<std::string> lines;
  lines.push_back(Format("Reference curve, %s, band +/-%.1f %% (ALARM from %.1f %%)",
                         c.label.c_str(), c.band_percent, AlarmOf(c.band_percent)));
  if (!c.done) {
    lines.push_back("  not compared: " + c.problem);
    return lines;
  }
  lines.push_back(Format("  scaled to %.2f turns", c.turns));
  if (c.has_knee) {
    lines.push_back(Format("  knee: reference %.2f V, measured %.2f V, %+.2f %%", c.knee_reference,
                           c.knee_measured, c.knee_deviation));
  }
  if (c.compared > 0) {
    lines.push_back(Format(
        "  largest deviation %+.2f %% at %.2f V, %.4f A (%d points within 0.5-1.5 x knee current)",
        c.largest_deviation, c.at_volts, c.at_amps, c.compared));
  } else {
    lines.push_back("  no measured point within 0.5-1.5 x knee current lies on the reference");
  }
  lines.push_back(std::string("  result: ") + BandFlagText(c.flag));
  return lines;
}

std::vector<std::string> TapLines(const std::vector<TapComparison>& taps, double band_percent) {
  std::vector<std::string> lines;
  const bool pair = !taps.empty() && taps[0].pair;
  lines.push_back(
      Format("Taps of this CT: knee voltage per turn, %s, ",
             pair ? "the two taps' difference" : "each against the median of the taps") +
      Bands(band_percent));
  if (taps.empty()) lines.push_back("  fewer than two taps with a knee and known turns");
  for (const TapComparison& t : taps) {
    std::string line = Format("  %s: %.2f V / %.2f turns = %.5f V/turn", t.label.c_str(), t.knee,
                              t.turns, t.per_turn);
    if (!t.pair) line += Format(", %+.2f %%, ", t.deviation) + BandFlagText(t.flag);
    lines.push_back(line);
  }
  if (pair) {
    lines.push_back(Format("  %s and %s differ by %.2f %%, ", taps[0].label.c_str(),
                           taps[1].label.c_str(), taps[0].deviation) +
                    BandFlagText(taps[0].flag));
  }
  return lines;
}

std::vector<std::string> SisterLines(const SisterComparison& c) {
  std::vector<std::string> lines;
  const ComparisonBands& b = c.bands;
  lines.push_back(Format("Sister phases, tap %s, knee voltage read at %.4f A; knee and Rct75 ",
                         c.tap.c_str(), c.current) +
                  Bands(b.sister_percent) +
                  Format("; ratio WARN from %.2f turns, ALARM from %.2f turns", b.ratio_warn_turns,
                         b.ratio_alarm_turns));
  for (const SisterRow& r : c.rows) {
    if (r.test == 0) {
      lines.push_back("  " + r.name + ": no test of this tap and ratio");
      continue;
    }
    lines.push_back("  " + r.name + ", " + r.label + ": " +
                    Quantity("knee", r.knee_at_current, "%.2f V") + "; " + RatioQuantity(r.ratio) +
                    (r.has_turns_error
                         ? Format(", turns ratio error %+.3f %%", r.turns_error_percent)
                         : std::string()) +
                    "; " + Quantity("Rct75", r.rct75, "%.4f ohm"));
  }
  // A quantity two phases have: how far they differ, blaming neither.
  struct Named {
    const char* name;
    SisterQuantity SisterRow::*q;
  };
  for (const Named& n : {Named{"knee", &SisterRow::knee_at_current},
                         Named{"ratio", &SisterRow::ratio}, Named{"Rct75", &SisterRow::rct75}}) {
    std::vector<const SisterRow*> two;
    for (const SisterRow& r : c.rows)
      if ((r.*n.q).has && (r.*n.q).pair) two.push_back(&r);
    if (two.size() != 2) continue;
    const SisterQuantity& q = two[0]->*n.q;
    std::string line = Format("  %s: %s and %s differ by %.2f %%", n.name, two[0]->name.c_str(),
                              two[1]->name.c_str(), q.deviation);
    if (n.q == &SisterRow::ratio) line += Format(" (%.2f turns)", q.turns);
    lines.push_back(line + ", " + BandFlagText(q.flag));
  }
  return lines;
}

}  // namespace kova

#include "assess/comparisons.h"

#include <cmath>

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

namespace {

bool Outside(double deviation, double band) { return std::fabs(deviation) > band; }

// Each value against the mean of the others.
template <typename Get>
void AgainstOthers(std::vector<SisterRow>& rows, Get get, double band) {
  for (size_t i = 0; i < rows.size(); ++i) {
    SisterQuantity& q = get(rows[i]);
    if (!q.has) continue;
    double sum = 0;
    int n = 0;
    for (size_t j = 0; j < rows.size(); ++j) {
      if (j != i && get(rows[j]).has) {
        sum += get(rows[j]).value;
        ++n;
      }
    }
    if (n == 0 || sum == 0) continue;
    q.deviation = DeviationPercent(q.value, sum / n);
    q.flagged = Outside(q.deviation, band);
    rows[i].flagged = rows[i].flagged || q.flagged;
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
    c.problem = "the record has no such test";
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
  c.flagged = (c.compared > 0 && Outside(c.largest_deviation, band_percent)) ||
              (c.has_knee && Outside(c.knee_deviation, band_percent));
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
  for (size_t i = 0; i < taps.size(); ++i) {
    double sum = 0;
    for (size_t j = 0; j < taps.size(); ++j) {
      if (j != i) sum += taps[j].per_turn;
    }
    taps[i].deviation = DeviationPercent(taps[i].per_turn, sum / (taps.size() - 1));
    taps[i].flagged = Outside(taps[i].deviation, band_percent);
  }
  return taps;
}

SisterComparison CompareSisters(const std::vector<const TestRecord*>& records,
                                const std::vector<std::string>& names, int tap_code,
                                double band_percent) {
  SisterComparison c;
  c.tap = TapNameFromCode(tap_code);
  double nameplate = 0;
  for (size_t i = 0; i < records.size(); ++i) {
    const TestRecord& rec = *records[i];
    SisterRow row;
    row.name = i < names.size() ? names[i] : std::string();
    for (int t = 0; t < rec.UsableTests(); ++t) {
      const TapTest& tap = rec.taps[t];
      if (tap.nTapConnection != tap_code) continue;
      const double np = NameplateRatio(tap);
      if (nameplate == 0) nameplate = np;
      if (np != nameplate) continue;
      row.test = t + 1;
      row.label = ReportTestLabel(rec, t);
      break;
    }
    if (row.test > 0) {
      const TapTest& tap = rec.taps[row.test - 1];
      if (c.current == 0) c.current = RecordKnee(rec, tap).amps;
      const CurveReading v = ExcitationCurve::FromTap(rec, tap).VoltageAt(c.current);
      row.knee_at_current = {v.ok && !v.extrapolated, v.value, 0, false};
      row.ratio = {(tap.uTestType & kRatioTest) && tap.fTestRatio > 0, tap.fTestRatio, 0, false};
      const double rct = TapRct75(rec, tap);
      row.rct75 = {(tap.uTestType & kResistanceTest) && rct > 0, rct, 0, false};
    }
    c.rows.push_back(row);
  }
  AgainstOthers(
      c.rows, [](SisterRow& r) -> SisterQuantity& { return r.knee_at_current; }, band_percent);
  AgainstOthers(
      c.rows, [](SisterRow& r) -> SisterQuantity& { return r.ratio; }, band_percent);
  AgainstOthers(
      c.rows, [](SisterRow& r) -> SisterQuantity& { return r.rct75; }, band_percent);
  return c;
}

namespace {

const char* Flag(bool flagged) { return flagged ? "FLAGGED" : "inside"; }

std::string Quantity(const char* name, const SisterQuantity& q, const char* format) {
  if (!q.has) return std::string(name) + " N/A";
  return std::string(name) + " " + Format(format, q.value) +
         Format(" (%+.2f %%, %s)", q.deviation, Flag(q.flagged));
}

}  // namespace

std::vector<std::string> ReferenceLines(const ReferenceComparison& c) {
  std::vector<std::string> lines;
  lines.push_back(Format("Reference curve, %s, band +/-%.1f %%", c.label.c_str(), c.band_percent));
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
  lines.push_back(std::string("  result: ") + Flag(c.flagged));
  return lines;
}

std::vector<std::string> TapLines(const std::vector<TapComparison>& taps, double band_percent) {
  std::vector<std::string> lines;
  lines.push_back(Format("Taps of this CT: knee voltage per turn, band +/-%.1f %%", band_percent));
  if (taps.empty()) lines.push_back("  fewer than two taps with a knee and known turns");
  for (const TapComparison& t : taps) {
    lines.push_back(Format("  %s: %.2f V / %.2f turns = %.5f V/turn, %+.2f %%, %s", t.label.c_str(),
                           t.knee, t.turns, t.per_turn, t.deviation, Flag(t.flagged)));
  }
  return lines;
}

std::vector<std::string> SisterLines(const SisterComparison& c, double band_percent) {
  std::vector<std::string> lines;
  lines.push_back(Format("Sister phases, tap %s, band +/-%.1f %%, knee voltage read at %.4f A",
                         c.tap.c_str(), band_percent, c.current));
  for (const SisterRow& r : c.rows) {
    if (r.test == 0) {
      lines.push_back("  " + r.name + ": no test of this tap and ratio");
      continue;
    }
    lines.push_back(
        "  " + r.name + ", " + r.label + ": " + Quantity("knee", r.knee_at_current, "%.2f V") +
        "; " + Quantity("ratio", r.ratio, "%.4f") + "; " + Quantity("Rct75", r.rct75, "%.4f ohm"));
  }
  return lines;
}

}  // namespace kova

#include "export/record_summary.h"

#include "analysis/display_rules.h"
#include "analysis/pass_fail.h"
#include "analysis/taps.h"
#include "base/codepage.h"
#include "base/format.h"
#include "records/record_header.h"
#include "records/test_label.h"

namespace kova {
namespace {

// " [P]" / " [F]" after a value, nothing without a mark.
std::string WithMark(Mark m) {
  const std::string text = MarkText(m);
  return text.empty() ? text : " " + text;
}

std::string KneeText(double volts, double amps) {
  return NumberText("%.3lf", volts) + " V / " + NumberText("%.4lf", amps) + " A";
}

std::string RatioText(const TestRecord& rec, const TapTest& tap) {
  std::string text = "nameplate " + NameplateRatioText(tap) + ", measured ";
  text += (tap.uTestType & kRatioTest) ? NumberText("%.3lf", tap.fTestRatio) : "N/A";
  const RatioError e = PercentRatioError(tap);
  switch (e.state) {
    case RatioErrorState::kValue:
      text += ", error " + Format("%.4lf %%", e.percent);
      break;
    case RatioErrorState::kNameplateZero:
      text += ", error N/A (nameplate primary 0)";
      break;
    default:
      text += ", error N/A";
      break;
  }
  return text + WithMark(RatioMark(rec, tap));
}

std::string PhaseText(const TestRecord& rec, const TapTest& tap) {
  if (!PhaseMeasured(tap)) return "N/A";
  return NumberText("%.2lf", tap.fTestPhase) + "\xB0, " + PolarityWord(PolarityOf(tap)) +
         WithMark(PolarityMark(rec, tap));
}

std::string ResistanceText(const TestRecord& rec, const TapTest& tap) {
  const ShownResistance r = ShowResistance(tap);
  if (!r.shown) return "N/A";
  return Format("%.2lf %s", r.value, ResistanceUnitWord(r, ResistanceUnits::kLong)) +
         WithMark(ResistanceMark(rec, tap));
}

void TapBlock(std::string& out, const TestRecord& rec, int t, bool in_order) {
  const TapTest& tap = rec.taps[t];
  out += ReportTestLabel(rec, t);
  if (!in_order) out += ", not in the tap order";
  if (!tap.szTestNote.empty()) out += "  note \"" + tap.szTestNote + "\"";
  out += '\n';
  out += "  Knee voltage:  IEEE 30 " + KneeText(tap.fKneeVtg30, tap.fKneeCur30) + ", IEEE 45 " +
         KneeText(tap.fKneeVtg45, tap.fKneeCur45) + ", IEC 10/50 " +
         KneeText(tap.fKneeVtg10, tap.fKneeCur10) + "\n";
  if (PassFailEnabled(rec)) {
    out += Format("  Knee judged:   %s ", KneeJudgingLabel(rec)) +
           NumberText("%.3lf", KneeVoltageForJudging(rec, tap)) + " V";
    const int nominal = NominalKneeVoltage(rec, tap);
    if (nominal != 0) out += Format(" (nominal %d V)", nominal);
    out += WithMark(KneeMark(rec, tap)) + "\n";
  }
  out += "  Ratio:         " + RatioText(rec, tap) + "\n";
  out += "  Phase:         " + PhaseText(rec, tap) + "\n";
  out += "  Winding res:   " + ResistanceText(rec, tap) + "\n";
}

void Classification(std::string& out, const TestRecord& rec) {
  if (rec.classsettings.ctusage != 2) {
    if (!rec.classdone) {
      out += "Classification: N/A\n";
      return;
    }
    out += Format("Classification: %s for %s: %s\n", rec.classresult.c_str(), rec.tapmode.c_str(),
                  rec.classtap.c_str());
    out += "IRated: " + NumberText("%.2lf", rec.IRated) +
           " Tmeas: " + NumberText("%.2lf", rec.Tmeas) +
           " C Rmeas: " + NumberText("%.4lf", rec.Rmeas) +
           " Ohm Rct75: " + NumberText("%.4lf", rec.Rct75) + " Ohm\n";
    return;
  }
  out += "Classification: metering\n";
  const int n = rec.UsableTests();
  for (int t = 0; t < n; ++t) {
    const TapTest& tap = rec.taps[t];
    out += Format("  %-6s", TapNameFromCode(tap.nTapConnection).c_str());
    for (int j = 0; j < 5; ++j) {
      const BurdenRow& row = tap.taprows[j];
      out += Format("  %s %s (RCF %s / %s)", row.name.c_str(), row.meteringclass.c_str(),
                    row.rcf10.rcftext.c_str(), row.rcf100.rcftext.c_str());
    }
    out += '\n';
  }
}

}  // namespace

std::string RecordSummaryText(const TestRecord& rec) {
  std::string out;
  for (const HeaderFieldRow& row : HeaderFieldTable()) {
    if (row.summary_label != nullptr) out += row.summary_label + row.value(rec) + "\n";
  }
  if (!rec.testnote.empty()) out += "Note:          " + rec.testnote + "\n";
  if (PassFailEnabled(rec)) {
    out += "Pass/fail:     ratio " + RatioToleranceLabel(rec.passfail) + ", knee " +
           KneeToleranceLabel(rec.passfail) + ", resistance " +
           ResistanceToleranceLabel(rec.resistance) + "\n";
  }

  int order[kTapCodes];
  const int ordered = OrderedTests(rec, order);
  bool listed[kMaxTaps] = {};
  for (int i = 0; i < ordered; ++i) {
    TapBlock(out, rec, order[i], true);
    listed[order[i]] = true;
  }
  const int n = rec.UsableTests();
  for (int t = 0; t < n; ++t) {
    if (!listed[t]) TapBlock(out, rec, t, false);
  }
  Classification(out, rec);
  return out;
}

}  // namespace kova

#include "analysis/pass_fail.h"

#include <cmath>

#include "analysis/display_rules.h"
#include "analysis/taps.h"
#include "base/format.h"

namespace kova {
namespace {

bool Within(double value, double nominal, double fraction) {
  return nominal * (1 - fraction) <= value && value <= nominal * (1 + fraction);
}

}  // namespace

const char* MarkText(Mark m) {
  switch (m) {
    case Mark::kPass:
      return "[P]";
    case Mark::kFail:
      return "[F]";
    default:
      return "";
  }
}

bool PassFailEnabled(const TestRecord& rec) { return rec.passfail.pfenable != 0; }

double RatioTolerancePercent(const PassFailBlock& pf) {
  switch (pf.pfturnsratiodeviation) {
    case 0:
      return 1;
    case 1:
      return 5;
    default:
      return pf.pfcustomdeviation;
  }
}

std::string RatioToleranceLabel(const PassFailBlock& pf) {
  switch (pf.pfturnsratiodeviation) {
    case 0:
      return "Metering 1%";
    case 1:
      return "Protection: 5%";
    default:
      return Format("User defined: %d%%", pf.pfcustomdeviation);
  }
}

double KneeToleranceFraction(const PassFailBlock& pf) {
  switch (pf.pfkneepointdeviation) {
    case 0:
      return 0.20;
    case 1:
      return 0.10;
    default:
      return 0.05;
  }
}

std::string KneeToleranceLabel(const PassFailBlock& pf) {
  switch (pf.pfkneepointdeviation) {
    case 0:
      return "20%";
    case 1:
      return "10%";
    default:
      return "5%";
  }
}

double ResistanceToleranceFraction(const ResistanceBlock& res) {
  switch (res.pfresdeviation) {
    case 0:
      return 0.05;
    case 1:
      return 0.10;
    default:
      return res.pfcustomresdeviation / 100;
  }
}

std::string ResistanceToleranceLabel(const ResistanceBlock& res) {
  switch (res.pfresdeviation) {
    case 0:
      return "5%";
    case 1:
      return "10%";
    default:
      if (!std::isfinite(res.pfcustomresdeviation)) return "User defined: N/A";
      return Format("User defined: %2.2lf%%", res.pfcustomresdeviation);
  }
}

int NominalKneeVoltage(const TestRecord& rec, const TapTest& tap) {
  return rec.passfail.pfkneevoltage[TapPosition(tap.nTapConnection)];
}

double NominalResistance(const TestRecord& rec, const TapTest& tap) {
  return rec.resistance.pfresistance[TapPosition(tap.nTapConnection)];
}

Mark RatioMark(const TestRecord& rec, const TapTest& tap) {
  if (!PassFailEnabled(rec)) return Mark::kNone;
  const RatioError e = PercentRatioError(tap);
  if (e.state != RatioErrorState::kValue) return Mark::kNone;
  return RatioTolerancePercent(rec.passfail) > e.percent ? Mark::kPass : Mark::kFail;
}

Mark KneeMark(const TestRecord& rec, const TapTest& tap) {
  if (!PassFailEnabled(rec)) return Mark::kNone;
  const int nominal = NominalKneeVoltage(rec, tap);
  const double knee = KneeVoltageForJudging(rec, tap);
  if (nominal == 0 || !std::isfinite(knee)) return Mark::kNone;
  return Within(knee, nominal, KneeToleranceFraction(rec.passfail)) ? Mark::kPass : Mark::kFail;
}

Mark ResistanceMark(const TestRecord& rec, const TapTest& tap) {
  if (!PassFailEnabled(rec)) return Mark::kNone;
  const ShownResistance shown = ShowResistance(tap);
  const double nominal = NominalResistance(rec, tap);
  const double fraction = ResistanceToleranceFraction(rec.resistance);
  if (!shown.shown || nominal == 0 || !std::isfinite(nominal) || !std::isfinite(fraction)) {
    return Mark::kNone;
  }
  return Within(shown.value, nominal, fraction) ? Mark::kPass : Mark::kFail;
}

Mark PolarityMark(const TestRecord& rec, const TapTest& tap) {
  if (!PassFailEnabled(rec)) return Mark::kNone;
  switch (PolarityOf(tap)) {
    case Polarity::kInPhase:
      return Mark::kPass;
    case Polarity::kOutOfPhase:
      return Mark::kFail;
    default:
      return Mark::kNone;
  }
}

Mark SummaryPolarityMark(const TestRecord& rec, const TapTest& tap) {
  if (!PassFailEnabled(rec) || !PhaseMeasured(tap)) return Mark::kNone;
  return InPhaseSummaryWindow(tap) ? Mark::kPass : Mark::kFail;
}

}  // namespace kova

#include "analysis/display_rules.h"

#include <climits>
#include <cmath>
#include <limits>

#include "base/format.h"

namespace kova {

std::string NumberText(const char* format, double value) {
  if (!std::isfinite(value)) return "N/A";
  return Format(format, value);
}

std::string WholeNumberText(double value) {
  if (!std::isfinite(value) || value <= INT_MIN - 1.0 || value >= INT_MAX + 1.0) return "N/A";
  return Format("%d", static_cast<int>(value));
}

std::string InsulationResistanceText(double megohms) {
  if (megohms > 1000) return ">1,000 MEG-OHMS";
  return NumberText("%3.2lf", megohms) + " MEG-OHMS";
}

double NameplateRatio(const TapTest& tap) {
  if (tap.fNamePlateDen == 0 || !std::isfinite(tap.fNamePlateDen)) return 0;
  return tap.nNamePlateNum / tap.fNamePlateDen;
}

std::string NameplateRatioText(const TapTest& tap) {
  return Format("%d/%s", tap.nNamePlateNum, NumberText("%.1lf", tap.fNamePlateDen).c_str());
}

std::string NameplateRatioOrNA(const TapTest& tap) {
  return tap.nNamePlateNum == 0 ? "N/A" : NameplateRatioText(tap);
}

const char* CtTypeName(int pfcttype) {
  static const char* const kNames[] = {"C100", "C200", "C400", "C800"};
  return pfcttype >= 0 && pfcttype < 4 ? kNames[pfcttype] : " ";
}

const char* CtLocationName(int pfkneepointlocation) {
  static const char* const kNames[] = {"Circuit Breaker", "Transformer", "Auto-Bank"};
  return pfkneepointlocation >= 0 && pfkneepointlocation < 3 ? kNames[pfkneepointlocation]
                                                             : "Other";
}

RatioError PercentRatioError(const TapTest& tap) {
  RatioError e;
  if (!(tap.uTestType & kRatioTest) || tap.fNamePlateDen == 0 ||
      !std::isfinite(tap.fNamePlateDen)) {
    return e;
  }
  const double np = NameplateRatio(tap);
  if (np == 0) {
    e.state = RatioErrorState::kNameplateZero;
    return e;
  }
  const double turns_percent = (tap.fTestRatio - np) / np * 100.0;
  if (!std::isfinite(turns_percent)) return e;
  e.state = RatioErrorState::kValue;
  e.turns_percent = turns_percent;
  e.percent = std::fabs(turns_percent);
  return e;
}

bool TurnsRatioError(const TapTest& tap, double& percent) {
  const RatioError e = PercentRatioError(tap);
  percent = e.turns_percent;
  return e.state == RatioErrorState::kValue;
}

bool NameplateSecondaryGiven(const TapTest& tap) {
  return tap.fNamePlateDen != 0 && std::isfinite(tap.fNamePlateDen);
}

double RatioErrorNumber(const TapTest& tap) {
  const RatioError e = PercentRatioError(tap);
  switch (e.state) {
    case RatioErrorState::kValue:
      return e.percent;
    case RatioErrorState::kNameplateZero:
      return tap.fTestRatio != 0 ? std::numeric_limits<double>::infinity()
                                 : std::numeric_limits<double>::quiet_NaN();
    default:
      return std::numeric_limits<double>::quiet_NaN();
  }
}

ShownResistance ShowResistance(const TapTest& tap) {
  ShownResistance r;
  if (!(tap.uTestType & kResistanceTest) || !std::isfinite(tap.fWindingRes)) return r;
  r.shown = true;
  if (tap.fWindingRes >= 1000) {
    r.value = tap.fWindingRes / 1000;
    r.in_ohms = true;
  } else {
    r.value = tap.fWindingRes;
  }
  return r;
}

const char* ResistanceUnitWord(const ShownResistance& r, ResistanceUnits units) {
  if (!r.shown) return "";
  if (r.in_ohms) return "ohms";
  return units == ResistanceUnits::kLong ? "milliohms" : "m-ohms";
}

bool PhaseMeasured(const TapTest& tap) {
  return std::isfinite(tap.fTestPhase) && !(tap.fTestPhase > 360);
}

double NormalisedPhase(double phase) { return phase < 0 ? phase + 360 : phase; }

Polarity PolarityOf(const TapTest& tap) {
  if (!PhaseMeasured(tap)) return Polarity::kNotMeasured;
  const double a = NormalisedPhase(tap.fTestPhase);
  if ((a >= 0 && a < 10) || (a >= 350 && a <= 360)) return Polarity::kInPhase;
  if (a >= 170 && a <= 190) return Polarity::kOutOfPhase;
  return Polarity::kNeither;
}

const char* PolarityWord(Polarity p) {
  switch (p) {
    case Polarity::kInPhase:
      return "In Phase";
    case Polarity::kOutOfPhase:
      return "Out of Phase";
    default:
      return "N/A";
  }
}

bool InPhaseSummaryWindow(const TapTest& tap) {
  if (!PhaseMeasured(tap)) return false;
  const double a = NormalisedPhase(tap.fTestPhase);
  return (a >= 0 && a < 10) || (a >= 350 && a <= 365);
}

bool PointImpedance(double volts, double amps, double& ohms) {
  if (amps == 0) return false;
  const double z = volts / amps;
  if (!std::isfinite(z)) return false;
  ohms = z;
  return true;
}

std::string PointImpedanceText(double volts, double amps) {
  double z = 0;
  if (!PointImpedance(volts, amps, z)) return std::string();
  return Format("%2.2f", z);
}

double KneeVoltageForJudging(const TestRecord& rec, const TapTest& tap) {
  switch (rec.passfail.pfkneepointtype) {
    case 0:
      return tap.fKneeVtg30;
    case 1:
      return tap.fKneeVtg45;
    default:
      return tap.fKneeVtg10;
  }
}

const char* KneeJudgingLabel(const TestRecord& rec) {
  switch (rec.passfail.pfkneepointtype) {
    case 0:
      return "IEEE 30";
    case 1:
      return "IEEE 45";
    default:
      return "IEC 10/50";
  }
}

int ReportDataPointSlots(const TestRecord& rec) {
  if (rec.deviceversion == 2) return 64;
  if (rec.deviceversion == 4) return 52;
  return 32;
}

int ExportDataPointSlots(const TestRecord& rec) { return rec.deviceversion == 2 ? 64 : 32; }

}  // namespace kova

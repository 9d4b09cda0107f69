#pragma once
// How a tap test's values are derived for display, and when a value gives
// way to a "not available" text. The report, the text, XML and workbook
// exports all call these so that every output words a test the same way.
//
// Values that are not finite (a damaged file can hold them) are treated as
// not available: no "nan" or "inf" ever reaches an output.

#include <string>

#include "records/test_record.h"

namespace kova {

// Printf-style text of one number, or "N/A" when it is not finite.
std::string NumberText(const char* format, double value);
// A number shown as a whole number (truncated), or "N/A" when it is not
// finite or does not fit an int.
std::string WholeNumberText(double value);
// The insulation resistance as every report and export shows it: above the
// instrument's range of 1,000 MΩ, ">1,000 MEG-OHMS".
std::string InsulationResistanceText(double megohms);

// Nameplate ratio primary / secondary; 0 when no nameplate ratio was given
// (a secondary of 0).
double NameplateRatio(const TapTest& tap);
// "%d/%.1lf" of primary and secondary.
std::string NameplateRatioText(const TapTest& tap);
// The same, or "N/A" for a nameplate primary of 0 (the summary table's and
// the exports' ratio cells).
std::string NameplateRatioOrNA(const TapTest& tap);

// Names of the plan's relay class `pfcttype`: "C100", "C200", "C400",
// "C800"; 4 (none) and any other value give " ".
const char* CtTypeName(int pfcttype);
// Names of the CT location `pfkneepointlocation`: "Circuit Breaker",
// "Transformer", "Auto-Bank"; any other value gives "Other".
const char* CtLocationName(int pfkneepointlocation);

enum class RatioErrorState {
  kNotAvailable,   // ratio not measured, or no nameplate ratio
  kNameplateZero,  // a nameplate primary of 0: the error cannot be formed
  kValue,          // `percent` holds the absolute error
};
struct RatioError {
  RatioErrorState state = RatioErrorState::kNotAvailable;
  double percent = 0;  // |turns_percent|: the report's unsigned "% ERROR"
  // The turns ratio error (N - Nn) / Nn x 100 of the measured ratio N
  // against the nameplate ratio Nn: negative when the measured ratio is
  // below the nameplate. Every view that shows a signed ratio error shows
  // this one.
  double turns_percent = 0;
};
RatioError PercentRatioError(const TapTest& tap);
// The turns ratio error of the tap when it can be formed (state kValue).
bool TurnsRatioError(const TapTest& tap, double& percent);
// How the sign of the turns ratio error reads, for column tips and the
// working of a value.
constexpr const char* kTurnsRatioErrorSign =
    "negative when the measured ratio N is below the nameplate ratio Nn";
// A nameplate secondary that is neither 0 nor non-finite: the workbook
// leaves its error cells empty without one.
bool NameplateSecondaryGiven(const TapTest& tap);
// The error as one number: infinite for a nameplate primary of 0 against a
// measured ratio, NaN wherever there is no error at all.
double RatioErrorNumber(const TapTest& tap);

enum class ResistanceUnits {
  kLong,   // "milliohms": test page and exports
  kShort,  // "m-ohms": summary and pass/fail tables
};
// The winding resistance as shown: in ohms from 1000 milliohms up, else in
// milliohms. Not shown when the resistance was not measured.
struct ShownResistance {
  bool shown = false;
  double value = 0;
  bool in_ohms = false;
};
ShownResistance ShowResistance(const TapTest& tap);
// "ohms", or "milliohms" / "m-ohms"; empty when not shown.
const char* ResistanceUnitWord(const ShownResistance& r, ResistanceUnits units);

// Phase above 360 degrees means not measured.
bool PhaseMeasured(const TapTest& tap);
// A negative angle plus 360.
double NormalisedPhase(double phase);

enum class Polarity { kNotMeasured, kInPhase, kOutOfPhase, kNeither };
// In phase for 0 <= a < 10 or 350 <= a <= 360, out of phase for
// 170 <= a <= 190, of the normalised angle a.
Polarity PolarityOf(const TapTest& tap);
// "In Phase", "Out of Phase", or "N/A" for the others.
const char* PolarityWord(Polarity p);
// The summary page's wider in-phase window: 0 <= a < 10 or 350 <= a <= 365.
bool InPhaseSummaryWindow(const TapTest& tap);

// Impedance volts / amps of a data or graph point; false when amps is 0 (or
// the quotient is not finite).
bool PointImpedance(double volts, double amps, double& ohms);
// "%2.2f" of the impedance, or empty.
std::string PointImpedanceText(double volts, double amps);

// The knee voltage that pass/fail judges, chosen by `pfkneepointtype`, and
// its label "IEEE 30", "IEEE 45" or "IEC 10/50".
double KneeVoltageForJudging(const TestRecord& rec, const TapTest& tap);
const char* KneeJudgingLabel(const TestRecord& rec);

// Data point slots in use: the report and plot use 32, 64 (model 2) or 52
// (model 4); the exports 64 for model 2 and 32 for every other model.
// Points are listed from the last slot down to slot 0.
int ReportDataPointSlots(const TestRecord& rec);
int ExportDataPointSlots(const TestRecord& rec);

}  // namespace kova

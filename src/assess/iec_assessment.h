#pragma once
// Protection classes of IEC 61869-2 assessed from a stored record: P and PR
// by the composite error of the indirect method (the excitation current at
// the accuracy-limit e.m.f., which holds for low-leakage designs), PX and
// PXR by knee voltage, excitation current at the rated knee, winding
// resistance and turns ratio. Remanence cannot come from an r.m.s. record.

#include <string>
#include <vector>

#include "analysis/excitation.h"
#include "records/test_record.h"

namespace kova {

enum class IecClass { k5P, k10P, k5PR, k10PR, kPX, kPXR };

// "5P", "10P", "5PR", "10PR", "PX", "PXR".
const char* IecClassName(IecClass c);
bool IecClassFromName(const std::string& name, IecClass& out);
bool IsPxClass(IecClass c);
bool HasRemanenceLimit(IecClass c);

// What the user states about the CT and its burden, per record and tap.
struct AssessmentProfile {
  IecClass iec_class = IecClass::k5P;
  double isr = 1.0;  // rated secondary current, A
  double alf = 0;    // accuracy limit factor (P, PR)
  // The rated burden: as VA with a power factor (0 = the usual one: 0.8,
  // 1.0 below 5 VA), or as R + jX ohms.
  bool burden_as_va = true;
  double burden_va = 0;
  double power_factor = 0;
  double burden_r = 0, burden_x = 0;
  // PX, PXR.
  double kx = 0;
  double rb = 0;        // rated resistive burden, ohms
  double ek_rated = 0;  // rated knee e.m.f., V; 0 = Kx x Isr x (Rct + Rb)
  double ie_max = 0;    // maximum excitation current at the rated Ek, A
  double rct_max = 0;   // maximum winding resistance at 75 degC, ohms; 0 = none
  double turns_tolerance_percent = 0.25;
  int test = 0;  // 1-based test of the record; 0 = the first with a curve
};

// The burden as R + jX ohms, and whether its power factor was the default.
struct Burden {
  double r = 0, x = 0;
  double power_factor = 0;
  bool default_power_factor = false;
};
Burden RatedBurden(const AssessmentProfile& p);
// The power factor of a burden given in VA without one: 0.8, 1.0 below 5 VA.
double DefaultPowerFactor(double va);

enum class Verdict { kPass, kFail, kNotAssessed };
// "pass", "fail", "not assessed".
const char* VerdictWord(Verdict v);
// "PASS", "FAIL", "NOT ASSESSED": the words of tables and the report's page.
const char* VerdictCaps(Verdict v);

// One check of the assessment with its working.
struct AssessCheck {
  std::string name;   // "composite error", "knee e.m.f.", ...
  std::string value;  // the measured or computed side, as shown
  std::string limit;  // the limit it is held against
  Verdict verdict = Verdict::kNotAssessed;
};

struct AssessmentResult {
  bool usable = false;  // false: `problem` says why nothing was assessed
  std::string problem;
  int test = 0;       // 1-based
  std::string label;  // the test as the report names it, "Test 1 (tap X1-X5)"
  IecClass iec_class = IecClass::k5P;
  double rct75 = 0;
  bool default_temperature = false;
  Burden burden;
  // P, PR.
  double e_alf = 0;
  double ie_at_e_alf = 0;
  double composite_error = 0;  // percent; a lower bound when not reached
  bool curve_reached = false;  // false: the curve ends below E_ALF
  // PX, PXR.
  double ek_required = 0;
  bool ek_from_kx = false;
  double knee_volts = 0;  // the record's IEC 10/50 knee
  double ie_at_ek = 0;
  bool ie_extrapolated = false;
  double turns_error_percent = 0;  // signed: TurnsRatioError
  bool turns_measured = false;
  std::vector<AssessCheck> checks;
  Verdict verdict = Verdict::kNotAssessed;
  std::string remanence;  // "not determinable from this test" for PR, PXR
};

// True when the record carries no temperature of its own (0 degC is what an
// instrument without a reading stores).
bool TemperatureIsDefault(const TestRecord& rec);

// The worked rules on explicit figures, so they can be checked alone.
// E_ALF = ALF x Isr x |Rct + Zb|.
double AccuracyLimitEmf(double alf, double isr, double rct, double rb, double xb);
// Composite error of the indirect method, percent: 100 x Ie / (ALF x Isr).
double CompositeErrorPercent(double ie, double alf, double isr);
// Required knee e.m.f. of PX: Kx x Isr x (Rct + Rb).
double RequiredKneeEmf(double kx, double isr, double rct, double rb);
// 5 for 5P/5PR, 10 for 10P/10PR.
double CompositeErrorLimit(IecClass c);

// What the assessment reads of one test: taken from a record, or from the
// values the record library keeps of it.
struct AssessedTest {
  int number = 0;                 // 1-based, as the report numbers it
  std::string label;              // "Test 1 (tap X1-X5)"
  std::vector<CurvePoint> curve;  // positive points in rising voltage
  double rct75 = 0;               // ohms at 75 degC; 0 when not measured
  bool default_temperature = false;
  double knee10_volts = 0;  // the record's IEC 10/50 knee
  bool turns_measured = false;
  double turns_error_percent = 0;  // signed: TurnsRatioError
};

AssessmentResult AssessTest(const AssessedTest& test, const AssessmentProfile& profile);
// Chooses the profile's test of the record (or the first with a curve).
AssessmentResult AssessRecord(const TestRecord& rec, const AssessmentProfile& profile);

}  // namespace kova

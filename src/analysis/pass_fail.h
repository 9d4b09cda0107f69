#pragma once
// Pass/fail judgements of a tap test against the limits the record carries
// from its test plan. Evaluated each time a value is shown; nothing is
// stored. With pass/fail disabled no judgement gives a mark.

#include <string>

#include "records/test_record.h"

namespace kova {

enum class Mark { kNone, kPass, kFail };
// "[P]", "[F]" or empty.
const char* MarkText(Mark m);

bool PassFailEnabled(const TestRecord& rec);

// Ratio tolerance in percent: 1, 5 or the user's whole percent, and its
// label "Metering 1%", "Protection: 5%" or "User defined: N%".
double RatioTolerancePercent(const PassFailBlock& pf);
std::string RatioToleranceLabel(const PassFailBlock& pf);
// Knee tolerance as a fraction: 0.20, 0.10 or 0.05; label "20%", "10%", "5%".
double KneeToleranceFraction(const PassFailBlock& pf);
std::string KneeToleranceLabel(const PassFailBlock& pf);
// Resistance tolerance as a fraction: 0.05, 0.10 or the user's percent / 100;
// label "5%", "10%" or "User defined: 2.50%".
double ResistanceToleranceFraction(const ResistanceBlock& res);
std::string ResistanceToleranceLabel(const ResistanceBlock& res);

// Nominal values of the tap from the per-tap tables (0: none given).
int NominalKneeVoltage(const TestRecord& rec, const TapTest& tap);
double NominalResistance(const TestRecord& rec, const TapTest& tap);

// Pass when the tolerance exceeds the absolute ratio error. No mark when the
// error is not available or the nameplate primary is 0.
Mark RatioMark(const TestRecord& rec, const TapTest& tap);
// Pass when the judged knee voltage lies within nominal x (1 -/+ f); no mark
// without a nominal.
Mark KneeMark(const TestRecord& rec, const TapTest& tap);
// The shown resistance (ohms from 1000 milliohms up) against the nominal.
Mark ResistanceMark(const TestRecord& rec, const TapTest& tap);
// In phase passes, out of phase fails, any other angle gives no mark.
Mark PolarityMark(const TestRecord& rec, const TapTest& tap);
// The summary page: the wider in-phase window passes, every other measured
// angle fails.
Mark SummaryPolarityMark(const TestRecord& rec, const TapTest& tap);

}  // namespace kova

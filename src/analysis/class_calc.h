#pragma once
// Standard burdens of the accuracy class calculation (IEEE C57.13) and the
// correction of the winding resistance to 75 degC.

#include "records/test_record.h"

namespace kova {

// Burden impedance in ohms of row 0..6 for a rated current of 5 A (any other
// rated current uses the 1 A line).
double StandardBurdenOhms(double irated, int row);
// "C10".."C800" for 5 A, "C50".."C4000" for 1 A.
const char* RelayingClassName(double irated, int row);
// "B-0.1".."B-1.8"; rows 5 and 6 have no metering burden (empty name).
const char* MeteringBurdenName(int row);
constexpr int kMeteringRows = 5;

// A winding resistance measured at `celsius` referred to 75 degC (copper,
// 234.5 degC): ohms x 309.5 / (celsius + 234.5). Fails, leaving `at75` 0,
// when the temperature is at or below -234.5 degC or a value is not finite:
// no correction can be formed. The report's class figures, the assessment,
// the comparisons and the library all take Rct at 75 degC from here.
bool ResistanceAt75(double ohms, double celsius, double& at75);
// The tap's fWindingRes (milliohms) at the record's temperature, at 75 degC;
// 0 when it cannot be formed.
double TapRct75(const TestRecord& rec, const TapTest& tap);

// Rmeas := fWindingRes / 1000 and Rct75 := Rmeas at 75 degC from Tmeas.
// Fails, leaving Rct75 0, when no correction can be formed.
bool CorrectTo75(TestRecord& rec, const TapTest& tap);

// The metering accuracy class ("0.3", "0.6", "1.2" or "N/A") from the RCF at
// 100 % (b) and at 10 % (c) of rated current.
const char* MeteringClass(double rcf100, double rcf10);

}  // namespace kova

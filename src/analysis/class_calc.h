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

// Rmeas := fWindingRes / 1000 and Rct75 := Rmeas x 309.5 / (Tmeas + 234.5)
// (copper). Fails, leaving Rct75 0, when the temperature is at or below
// -234.5 degC or a value is not finite: no correction can be formed.
bool CorrectTo75(TestRecord& rec, const TapTest& tap);

// The metering accuracy class ("0.3", "0.6", "1.2" or "N/A") from the RCF at
// 100 % (b) and at 10 % (c) of rated current.
const char* MeteringClass(double rcf100, double rcf10);

}  // namespace kova

#pragma once
// The figures a record's reports show beside its measurements: the winding
// resistance corrected to 75 degC and the accuracy class (relaying or
// metering). They are computed after every read; the one read in
// analysis/read_record.h does it.

#include "records/test_record.h"

namespace kova {

// Clears the derived fields and computes them again: running twice gives
// the same figures.
void ComputeDerived(TestRecord& rec);

}  // namespace kova

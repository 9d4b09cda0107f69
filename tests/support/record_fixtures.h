#pragma once
// Records for tests, made through the encoder: named fields are set, the
// binary record is encoded from them, and the record is decoded again so
// that every field holds what the instrument would have sent.

#include <memory>
#include <string>

#include "records/test_record.h"

namespace kova {

// A record of `tests` taps on `model` (1..4) with plausible values: taps in
// code order starting at X1-X5, a falling excitation curve, nameplate
// ratios, knee points, graph points and, for model 2, burden results.
std::unique_ptr<TestRecord> MakeSampleRecord(int model, int tests, unsigned seed = 1);

// Encodes the named fields into rawrecord and decodes them again.
void Reencode(TestRecord& rec);

// A fresh temporary folder for one test, removed at exit of the process.
std::string TempFolder(const std::string& name);

}  // namespace kova

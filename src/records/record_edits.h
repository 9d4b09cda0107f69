#pragma once
// Edits of a record written back into its binary record (`rawrecord`), one
// field at a time, before the record is decoded again: the record file keeps
// rawrecord, so what is shown after an edit is what a reload shows.
//
// Unlike the whole-record encoder, which rounds and saturates, an edit
// truncates as the instrument's fields do, and refuses a value that its field
// cannot hold: nothing is ever stored as another number. A refused edit
// leaves rawrecord untouched and says why in `error`.

#include <cstddef>
#include <cstdint>
#include <string>

namespace kova {

struct TestRecord;
struct TapTest;

// Converts `value` × `scale` toward zero into an unsigned field of `max`.
// A product a hair below a whole number because of binary fractions (1.15 ×
// 5000) counts as that whole number. False when the value is not a number,
// is negative or does not fit.
bool TruncatedField(double value, double scale, uint32_t max, uint32_t& out);

// The eight header texts (space-filled 20-byte fields) and the knee type.
bool EncodeHeaderEdits(const TestRecord& rec, uint8_t* raw, size_t size, std::string& error);

// One test's note, nameplate ratio, test type and ratio error values at their
// block offsets in the layout of rec.deviceversion (the note NUL-filled on
// model 4, space-filled elsewhere).
bool EncodeTestEdits(const TestRecord& rec, int test, uint8_t* raw, size_t size,
                     std::string& error);

// Decodes rec.rawrecord into the named fields again after an edit. The
// test date keeps the form the record was read with (the user's day-first
// preference): edits never change it.
void DecodeEditedRaw(TestRecord& rec);

// All header and test edits of `rec` into rec.rawrecord, then decodes the
// record again. Nothing is written when any value does not fit.
bool WriteEditsToRaw(TestRecord& rec, std::string& error);

// Data points an override can name, and whether a record's layout takes one.
constexpr int kOverridePoints = 32;
bool OverrideAllowed(int deviceversion);

// Replaces data point `point` (1..32; 0 counts as 1) of test `test` in the
// 32-point layout: current × 5000 and voltage × 25, truncated, into the
// point's slot (the table is kept in reverse, point 1 is the last slot).
bool EncodeDataPointOverride(int deviceversion, int test, int point, double amps, double volts,
                             uint8_t* raw, size_t size, std::string& error);
// The same on a record's rawrecord, which is then decoded again.
bool OverrideDataPoint(TestRecord& rec, int test, int point, double amps, double volts,
                       std::string& error);

}  // namespace kova

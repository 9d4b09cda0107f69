#include "records/record_edits.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "base/fixed_text.h"
#include "base/format.h"
#include "base/le_bytes.h"
#include "records/record_layout.h"
#include "records/tap_names.h"
#include "records/test_label.h"
#include "records/test_record.h"

namespace kova {
namespace {

// Slack for products such as 1.15 × 5000 = 5749.999…: far below one step of
// any field, far above the error of a double.
constexpr double kTruncationSlack = 1e-6;

std::string TestName(const TestRecord& rec, int test) {
  const std::string tap = TapNameFromCode(rec.taps[test].nTapConnection);
  const int number = ReportTestNumber(test);
  if (tap.empty()) return Format("test %d", number);
  return Format("test %d (%s)", number, tap.c_str());
}

// One scaled field of a test, checked before anything is written.
struct Field {
  const char* what;
  double value;
  double scale;
  uint32_t max;
  const char* unit;
  size_t offset;
  int bytes;  // 1 or 2
};

bool CheckField(const Field& f, const std::string& who, uint32_t& out, std::string& error) {
  if (TruncatedField(f.value, f.scale, f.max, out)) return true;
  const double top = f.max / f.scale;
  error = Format("%s of %s must be from 0 to %s%s.", f.what, who.c_str(),
                 Format("%.10g", std::floor(top * 1e4) / 1e4).c_str(), f.unit);
  return false;
}

bool WriteField(const Field& f, uint32_t value, uint8_t* raw, size_t size) {
  return f.bytes == 1 ? WriteU8(raw, size, f.offset, value)
                      : WriteU16LE(raw, size, f.offset, value);
}

size_t UsedBytes(int deviceversion, size_t size) {
  return std::min(size, std::min(LayoutFor(deviceversion).length, kRawRecordSize));
}

}  // namespace

bool TruncatedField(double value, double scale, uint32_t max, uint32_t& out) {
  const double product = value * scale;
  if (!std::isfinite(product) || product < 0) return false;
  const double whole = std::floor(product + kTruncationSlack);
  if (whole > static_cast<double>(max)) return false;
  out = static_cast<uint32_t>(whole);
  return true;
}

bool EncodeHeaderEdits(const TestRecord& rec, uint8_t* raw, size_t size, std::string& error) {
  if (rec.kneetype < 0 || rec.kneetype > 255) {
    error = Format("Knee type %d does not fit the record.", rec.kneetype);
    return false;
  }
  const size_t used = UsedBytes(rec.deviceversion, size);
  if (used < hdr::kKneeType + 1) {
    error = "The record is too short for its header.";
    return false;
  }
  const struct {
    size_t offset;
    const std::string& text;
  } texts[] = {{hdr::kCompany, rec.company}, {hdr::kStation, rec.station},
               {hdr::kCircuit, rec.circuit}, {hdr::kManufacturer, rec.manufacturer},
               {hdr::kModel, rec.model},     {hdr::kSerialNumber, rec.serialnumber},
               {hdr::kComment, rec.comment}, {hdr::kOperatorName, rec.operatorname}};
  for (const auto& t : texts) PadText(t.text, raw + t.offset, hdr::kTextWidth);
  raw[hdr::kKneeType] = static_cast<uint8_t>(rec.kneetype);
  return true;
}

bool EncodeTestEdits(const TestRecord& rec, int test, uint8_t* raw, size_t size,
                     std::string& error) {
  const RecordLayout& lay = LayoutFor(rec.deviceversion);
  if (test < 0 || test >= std::min(rec.UsableTests(), lay.maxtests)) {
    error = Format("The record has no test %d.", test + 1);
    return false;
  }
  const TapTest& tap = rec.taps[test];
  const bool model4 = rec.deviceversion == 4;
  const size_t block = lay.base + static_cast<size_t>(test) * lay.stride;
  const size_t used = UsedBytes(rec.deviceversion, size);
  if (block + lay.stride > used) {
    error = Format("The record has no room for test %d.", test + 1);
    return false;
  }
  const size_t f = block + lay.fixed;
  // Ratio error values that are switched off are stored as zeros, which is
  // how the record says the calculation is off.
  const bool burden = tap.bDoBurdenTest != 0;
  const Field fields[] = {
      {"Nameplate primary", static_cast<double>(tap.nNamePlateNum), 1, 0xFFFF, "",
       model4 ? block + m4::kNamePlateNum : f + fix::kNamePlateNum, 2},
      {"Nameplate secondary", tap.fNamePlateDen, 10, 0xFFFF, "",
       model4 ? block + m4::kNamePlateDen : f + fix::kNamePlateDen, 2},
      {"Test type", static_cast<double>(tap.uTestType), 1, 0xFF, "",
       model4 ? block + m4::kTestType : f + fix::kTestType, 1},
      {"Max burden", burden ? tap.fBurdenVA : 0, model4 ? 1.0 : 100.0, 0xFFFF, " VA",
       model4 ? block + m4::kBurdenVA : f + fix::kBurdenVA, 2},
      {"Power factor", burden ? tap.fCosPhi : 0, 100, 0xFF, "",
       model4 ? block + m4::kCosPhi : f + fix::kCosPhi, 1},
      {"Rated secondary current", burden ? tap.fSecCurrent : 0, 10, 0xFF, " A",
       model4 ? block + m4::kSecCurrent : f + fix::kSecCurrent, 1},
  };
  uint32_t values[sizeof fields / sizeof fields[0]];
  const std::string who = TestName(rec, test);
  for (size_t i = 0; i < sizeof fields / sizeof fields[0]; ++i) {
    if (!CheckField(fields[i], who, values[i], error)) return false;
  }
  for (size_t i = 0; i < sizeof fields / sizeof fields[0]; ++i) {
    WriteField(fields[i], values[i], raw, used);
  }
  uint8_t* note = raw + block + lay.note;
  if (model4) {
    // Model 4 keeps the rest of its note field NUL.
    std::memset(note, 0, hdr::kTextWidth);
    std::memcpy(note, tap.szTestNote.data(), std::min(tap.szTestNote.size(), hdr::kTextWidth));
  } else {
    PadText(tap.szTestNote, note, hdr::kTextWidth);
  }
  return true;
}

void DecodeEditedRaw(TestRecord& rec) {
  const std::string date = rec.testdatetime;
  rec.DecodeRawRecord(rec.rawrecord, RecordDefaults());
  rec.testdatetime = date;
}

bool WriteEditsToRaw(TestRecord& rec, std::string& error) {
  uint8_t copy[kRawRecordSize];
  std::memcpy(copy, rec.rawrecord, kRawRecordSize);
  if (!EncodeHeaderEdits(rec, copy, kRawRecordSize, error)) return false;
  const int tests = std::min(rec.UsableTests(), LayoutFor(rec.deviceversion).maxtests);
  for (int t = 0; t < tests; ++t) {
    if (!EncodeTestEdits(rec, t, copy, kRawRecordSize, error)) return false;
  }
  std::memcpy(rec.rawrecord, copy, kRawRecordSize);
  DecodeEditedRaw(rec);
  return true;
}

bool OverrideAllowed(int deviceversion) { return LayoutFor(deviceversion).datapoints == 32; }

bool EncodeDataPointOverride(int deviceversion, int test, int point, double amps, double volts,
                             uint8_t* raw, size_t size, std::string& error) {
  const RecordLayout& lay = LayoutFor(deviceversion);
  if (!OverrideAllowed(deviceversion)) {
    error = Format(
        "Test data can be overridden only in records of 32 data points; this record "
        "has %d.",
        lay.datapoints);
    return false;
  }
  if (point < 0 || point > kOverridePoints) {
    error = Format("Data point must be from 1 to %d.", kOverridePoints);
    return false;
  }
  const size_t used = UsedBytes(deviceversion, size);
  const size_t block = lay.base + static_cast<size_t>(test) * lay.stride;
  if (test < 0 || test >= lay.maxtests || block + lay.stride > used) {
    error = Format("The record has no test %d.", test + 1);
    return false;
  }
  uint32_t a = 0, v = 0;
  if (!TruncatedField(amps, 5000, 0xFFFF, a)) {
    error = "Current must be from 0 to 13.107 A.";
    return false;
  }
  if (!TruncatedField(volts, 25, 0xFFFF, v)) {
    error = "Voltage must be from 0 to 2621.4 V.";
    return false;
  }
  const int slot = kOverridePoints - std::max(point, 1);
  const size_t at = block + 4 * static_cast<size_t>(slot);
  WriteU16LE(raw, used, at, a);
  WriteU16LE(raw, used, at + 2, v);
  return true;
}

bool OverrideDataPoint(TestRecord& rec, int test, int point, double amps, double volts,
                       std::string& error) {
  if (test >= rec.UsableTests()) {
    error = Format("The record has no test %d.", test + 1);
    return false;
  }
  if (!EncodeDataPointOverride(rec.deviceversion, test, point, amps, volts, rec.rawrecord,
                               kRawRecordSize, error)) {
    return false;
  }
  DecodeEditedRaw(rec);
  return true;
}

}  // namespace kova

#include <algorithm>
#include <cstring>

#include "base/fixed_text.h"
#include "base/format.h"
#include "base/le_bytes.h"
#include "records/record_layout.h"
#include "records/test_record.h"

namespace kova {
namespace {

// Reads from the record's used bytes; anything outside reads as 0.
struct Raw {
  const uint8_t* p;
  size_t n;
  uint32_t U8(size_t o) const {
    uint32_t v = 0;
    ReadU8(p, n, o, v);
    return v;
  }
  uint32_t U16(size_t o) const {
    uint32_t v = 0;
    ReadU16LE(p, n, o, v);
    return v;
  }
  uint32_t U24(size_t o) const {
    uint32_t v = 0;
    ReadU24LE(p, n, o, v);
    return v;
  }
  uint32_t U32(size_t o) const {
    uint32_t v = 0;
    ReadU32LE(p, n, o, v);
    return v;
  }
  double F32(size_t o) const {
    float v = 0;
    ReadF32LE(p, n, o, v);
    return static_cast<double>(v);
  }
  std::string Text(size_t o) const {
    if (o >= n) return std::string();
    return FixedText(p + o, hdr::kTextWidth, n - o);
  }
};

double WrapPhase(double phase) {
  if (phase > 180.0 && phase <= 360.0) return phase - 360.0;
  return phase;
}

void DecodeHeader(TestRecord& rec, const Raw& raw, bool dayfirst) {
  rec.numtests = static_cast<int>(raw.U8(hdr::kNumTests));
  uint32_t d[6];
  for (int i = 0; i < 6; ++i) d[i] = raw.U8(hdr::kDateTime + static_cast<size_t>(i));
  if (dayfirst) std::swap(d[0], d[1]);
  rec.testdatetime = Format("%02x/%02x/%02x %02x:%02x:%02x", d[0], d[1], d[2], d[3], d[4], d[5]);
  rec.company = raw.Text(hdr::kCompany);
  rec.station = raw.Text(hdr::kStation);
  rec.circuit = raw.Text(hdr::kCircuit);
  rec.manufacturer = raw.Text(hdr::kManufacturer);
  rec.model = raw.Text(hdr::kModel);
  rec.serialnumber = raw.Text(hdr::kSerialNumber);
  rec.comment = raw.Text(hdr::kComment);
  rec.operatorname = raw.Text(hdr::kOperatorName);
}

void DecodeB200(TestRecord& rec, const Raw& raw) {
  rec.B200fBurdenReqCur = raw.U16(b200::kBurdenReqCur) * 0.1;
  rec.B200fBurdenMeasCur = raw.U16(b200::kBurdenMeasCur) * 0.001;
  rec.B200fBurdenTestVtg = raw.U32(b200::kBurdenTestVtg) * 1e-6;
  rec.B200fBurdenZ = raw.U16(b200::kBurdenZ) * 0.001;
  rec.B200fBurdenPhase = raw.U16(b200::kBurdenPhase) * 0.01;
  rec.B200fBurdenCosPhi = raw.U16(b200::kBurdenCosPhi) * 0.0001;
  rec.B200fBurdenMeasVA = raw.U32(b200::kBurdenMeasVA) * 0.001;
  rec.B200fMeggerReqV = raw.U16(b200::kMeggerReqV);
  rec.B200fMeggerMeasV = raw.U16(b200::kMeggerMeasV) * 0.1;
  rec.B200fMeggerL = raw.U32(b200::kMeggerL) * 0.01;
  rec.B200fMeggerOhms = raw.U32(b200::kMeggerOhms) * 0.01;
}

// Models 1, 2 and 3: scaled integers.
void DecodeIntegerBlock(TapTest& tap, const Raw& raw, size_t block, const RecordLayout& lay,
                        bool model2) {
  for (int i = 0; i < kMaxDataPoints; ++i) {
    tap.dpAmps[i] = tap.dpVolts[i] = tap.dpPhase[i] = 0;
  }
  for (int i = 0; i < lay.datapoints; ++i) {
    const size_t at = block + static_cast<size_t>(i) * (model2 ? 8 : 4);
    if (model2) {
      tap.dpAmps[i] = raw.U24(at) * 1e-5;
      tap.dpVolts[i] = raw.U24(at + 3) * 0.001;
      const uint32_t phase = raw.U16(at + 6);
      tap.dpPhase[i] = phase == 0xFFFF ? 0.0 : phase / 100.0;
    } else {
      tap.dpAmps[i] = raw.U16(at) / 5000.0;
      tap.dpVolts[i] = raw.U16(at + 2) / 25.0;
      tap.dpPhase[i] = 0;
    }
  }
  const size_t f = block + lay.fixed;
  tap.fKneeVtg10 = raw.U16(f + fix::kKneeVtg10) / 25.0;
  tap.fKneeCur10 = raw.U16(f + fix::kKneeCur10) / 5000.0;
  tap.fKneeVtg30 = raw.U16(f + fix::kKneeVtg30) / 25.0;
  tap.fKneeCur30 = raw.U16(f + fix::kKneeCur30) / 5000.0;
  tap.fKneeVtg45 = raw.U16(f + fix::kKneeVtg45) / 25.0;
  tap.fKneeCur45 = raw.U16(f + fix::kKneeCur45) / 5000.0;
  tap.fTestRatioCur = raw.U16(f + fix::kTestRatioCur) / 5000.0;
  tap.fTestRatioVtg = raw.U16(f + fix::kTestRatioVtg) / 10.0;
  tap.fTestRatio = raw.U32(f + fix::kTestRatio) / 10000.0;
  tap.fTestPhase = raw.U16(f + fix::kTestPhase) / 50.0;
  tap.nNamePlateNum = static_cast<int>(raw.U16(f + fix::kNamePlateNum));
  tap.fNamePlateDen = raw.U16(f + fix::kNamePlateDen) / 10.0;
  // High half first, then low half.
  const uint32_t res = (raw.U16(f + fix::kWindingRes) << 16) | raw.U16(f + fix::kWindingRes + 2);
  tap.fWindingRes = res / 1000.0;
  tap.nTapConnection = static_cast<int>(raw.U8(f + fix::kTapConnection)) + 1;
  tap.uTestType = static_cast<int>(raw.U8(f + fix::kTestType));
  tap.fVoltageRange = raw.U8(f + fix::kVoltageRange) * 10.0;
  tap.fCurrentRange = raw.U8(f + fix::kCurrentRange) / 10.0;
  tap.fBurdenVA = raw.U16(f + fix::kBurdenVA) / 100.0;
  tap.fCosPhi = raw.U8(f + fix::kCosPhi) / 100.0;
  tap.fSecCurrent = raw.U8(f + fix::kSecCurrent) / 10.0;
  tap.szTestNote = raw.Text(block + lay.note);
}

void DecodeFloatBlock(TapTest& tap, const Raw& raw, size_t block, const RecordLayout& lay) {
  for (int i = 0; i < kMaxDataPoints; ++i) {
    tap.dpAmps[i] = tap.dpVolts[i] = tap.dpPhase[i] = 0;
  }
  for (int i = 0; i < lay.datapoints; ++i) {
    const size_t at = block + static_cast<size_t>(i) * 12;
    tap.dpAmps[i] = raw.F32(at);
    tap.dpVolts[i] = raw.F32(at + 4);
    tap.dpPhase[i] = raw.F32(at + 8);
  }
  tap.fWindingRes = raw.F32(block + m4::kWindingRes) * 1000.0;
  tap.fTestRatio = raw.F32(block + m4::kTestRatio);
  tap.fKneeVtg10 = raw.F32(block + m4::kKneeVtg10);
  tap.fKneeCur10 = raw.F32(block + m4::kKneeCur10);
  tap.fKneeVtg30 = raw.F32(block + m4::kKneeVtg30);
  tap.fKneeCur30 = raw.F32(block + m4::kKneeCur30);
  tap.fKneeVtg45 = raw.F32(block + m4::kKneeVtg45);
  tap.fKneeCur45 = raw.F32(block + m4::kKneeCur45);
  tap.fTestRatioCur = raw.F32(block + m4::kTestRatioCur);
  tap.fTestRatioVtg = raw.F32(block + m4::kTestRatioVtg);
  tap.fTestPhase = raw.F32(block + m4::kTestPhase);
  tap.nNamePlateNum = static_cast<int>(raw.U16(block + m4::kNamePlateNum));
  // A whole-number division: 25 gives 2, not 2.5.
  tap.fNamePlateDen = static_cast<double>(raw.U16(block + m4::kNamePlateDen) / 10);
  tap.nTapConnection = static_cast<int>(raw.U8(block + m4::kTapConnection)) + 1;
  tap.uTestType = static_cast<int>(raw.U8(block + m4::kTestType));
  tap.fVoltageRange = raw.U8(block + m4::kVoltageRange) * 10.0;
  tap.fCurrentRange = raw.U8(block + m4::kCurrentRange) / 10.0;
  tap.szTestNote = raw.Text(block + m4::kTestNote);
  tap.fBurdenVA = raw.U16(block + m4::kBurdenVA);
  tap.fCosPhi = raw.U8(block + m4::kCosPhi) / 100.0;
  tap.fSecCurrent = raw.U8(block + m4::kSecCurrent) / 10.0;
}

void FinishTap(TestRecord& rec, TapTest& tap) {
  tap.fTestPhase = WrapPhase(tap.fTestPhase);
  if (tap.szTestNote.size() > kHeaderTextChars) tap.szTestNote.resize(kHeaderTextChars);
  tap.bDoBurdenTest = (tap.fBurdenVA == 0 && tap.fCosPhi == 0 && tap.fSecCurrent == 0) ? 0 : 1;
  if (tap.uTestType & kBurdenTest) rec.burdenenabled = 1;
  if (tap.uTestType & kInsulationTest) rec.insulationenabled = 1;
}

}  // namespace

void TestRecord::DecodeRawRecord(const uint8_t* source, const RecordDefaults& defaults,
                                 int singletest, int tapindex) {
  const RecordLayout& lay = LayoutFor(deviceversion);
  const Raw raw{source, std::min(lay.length, kRawRecordSize)};
  const bool model4 = deviceversion == 4;
  const bool model2 = deviceversion == 2;

  DecodeHeader(*this, raw, defaults.dateformat != 0);
  if (model2) DecodeB200(*this, raw);

  auto decode_block = [&](int k, TapTest& tap) {
    const size_t block = lay.base + static_cast<size_t>(k) * lay.stride;
    if (model4) {
      DecodeFloatBlock(tap, raw, block, lay);
    } else {
      DecodeIntegerBlock(tap, raw, block, lay, model2);
    }
    FinishTap(*this, tap);
  };

  // The instrument's byte may claim more tests than its layout (and the
  // taps) can hold: keep the first ones that fit.
  numtests = std::min(numtests, lay.maxtests);
  if (singletest && !model4) {
    if (tapindex >= 0 && tapindex < kMaxTaps) decode_block(0, taps[tapindex]);
  } else {
    for (int k = 0; k < numtests; ++k) decode_block(k, taps[k]);
  }
  KneeTypeName(static_cast<int>(raw.U8(hdr::kKneeType)));
}

void TestRecord::KneeTypeName(int code) {
  switch (code) {
    case 1:
      kneetype = 1;
      kneetypestr = "IEEE 30 Deg";
      break;
    case 2:
      kneetype = 2;
      kneetypestr = "IEEE 45 Deg";
      break;
    default:
      kneetype = 3;
      kneetypestr = "IEC 10/50";
      break;
  }
}

int TestRecord::DataPointCount() const { return LayoutFor(deviceversion).datapoints; }

int TestRecord::UsableTests() const {
  return std::max(0, std::min(numtests, LayoutFor(deviceversion).maxtests));
}

}  // namespace kova

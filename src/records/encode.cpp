#include "records/encode.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "base/fixed_text.h"
#include "base/format.h"
#include "base/le_bytes.h"
#include "records/record_file.h"
#include "records/record_layout.h"
#include "records/record_text.h"

namespace kova {
namespace {

uint32_t Scaled(double value, double scale, uint32_t max) {
  const double v = std::round(value * scale);
  if (!(v > 0)) return 0;
  if (v >= static_cast<double>(max)) return max;
  return static_cast<uint32_t>(v);
}

struct Out {
  uint8_t* p;
  size_t n;
  void U8(size_t o, double v, double scale) { WriteU8(p, n, o, Scaled(v, scale, 0xFF)); }
  void U16(size_t o, double v, double scale) { WriteU16LE(p, n, o, Scaled(v, scale, 0xFFFF)); }
  void U24(size_t o, double v, double scale) { WriteU24LE(p, n, o, Scaled(v, scale, 0xFFFFFF)); }
  void U32(size_t o, double v, double scale) { WriteU32LE(p, n, o, Scaled(v, scale, 0xFFFFFFFFu)); }
  void F32(size_t o, double v) { WriteF32LE(p, n, o, static_cast<float>(v)); }
  void Text(size_t o, const std::string& text) {
    if (o + hdr::kTextWidth <= n) PadText(text, p + o, hdr::kTextWidth);
  }
};

// The decoder wraps phases above 180 to negative; the record holds 0..360.
double UnwrapPhase(double phase) { return phase < 0 ? phase + 360.0 : phase; }

void EncodeIntegerBlock(const TapTest& tap, Out& out, size_t block, const RecordLayout& lay,
                        bool model2) {
  for (int i = 0; i < lay.datapoints; ++i) {
    const size_t at = block + static_cast<size_t>(i) * (model2 ? 8 : 4);
    if (model2) {
      out.U24(at, tap.dpAmps[i], 1e5);
      out.U24(at + 3, tap.dpVolts[i], 1e3);
      // 0xFFFF means "no phase" and reads back as 0; a phase of 0 is 0.
      WriteU16LE(out.p, out.n, at + 6,
                 std::min<uint32_t>(Scaled(tap.dpPhase[i], 100, 0xFFFF), 0xFFFE));
    } else {
      out.U16(at, tap.dpAmps[i], 5000);
      out.U16(at + 2, tap.dpVolts[i], 25);
    }
  }
  const size_t f = block + lay.fixed;
  out.U16(f + fix::kKneeVtg10, tap.fKneeVtg10, 25);
  out.U16(f + fix::kKneeCur10, tap.fKneeCur10, 5000);
  out.U16(f + fix::kKneeVtg30, tap.fKneeVtg30, 25);
  out.U16(f + fix::kKneeCur30, tap.fKneeCur30, 5000);
  out.U16(f + fix::kKneeVtg45, tap.fKneeVtg45, 25);
  out.U16(f + fix::kKneeCur45, tap.fKneeCur45, 5000);
  out.U16(f + fix::kTestRatioCur, tap.fTestRatioCur, 5000);
  out.U16(f + fix::kTestRatioVtg, tap.fTestRatioVtg, 10);
  out.U32(f + fix::kTestRatio, tap.fTestRatio, 10000);
  // 360 degrees reads back as 0: write the 0 that the instrument would.
  uint32_t phase = Scaled(UnwrapPhase(tap.fTestPhase), 50, 0xFFFF);
  if (phase == 18000) phase = 0;
  WriteU16LE(out.p, out.n, f + fix::kTestPhase, phase);
  out.U16(f + fix::kNamePlateNum, tap.nNamePlateNum, 1);
  out.U16(f + fix::kNamePlateDen, tap.fNamePlateDen, 10);
  const uint32_t res = Scaled(tap.fWindingRes, 1000, 0xFFFFFFFFu);
  WriteU16LE(out.p, out.n, f + fix::kWindingRes, res >> 16);
  WriteU16LE(out.p, out.n, f + fix::kWindingRes + 2, res & 0xFFFF);
  out.U8(f + fix::kTapConnection, tap.nTapConnection - 1, 1);
  out.U8(f + fix::kTestType, tap.uTestType, 1);
  out.U8(f + fix::kVoltageRange, tap.fVoltageRange, 0.1);
  out.U8(f + fix::kCurrentRange, tap.fCurrentRange, 10);
  out.U16(f + fix::kBurdenVA, tap.fBurdenVA, 100);
  out.U8(f + fix::kCosPhi, tap.fCosPhi, 100);
  out.U8(f + fix::kSecCurrent, tap.fSecCurrent, 10);
  out.Text(block + lay.note, tap.szTestNote);
}

void EncodeFloatBlock(const TapTest& tap, Out& out, size_t block, const RecordLayout& lay) {
  for (int i = 0; i < lay.datapoints; ++i) {
    const size_t at = block + static_cast<size_t>(i) * 12;
    out.F32(at, tap.dpAmps[i]);
    out.F32(at + 4, tap.dpVolts[i]);
    out.F32(at + 8, tap.dpPhase[i]);
  }
  out.F32(block + m4::kWindingRes, tap.fWindingRes / 1000.0);
  out.F32(block + m4::kTestRatio, tap.fTestRatio);
  out.F32(block + m4::kKneeVtg10, tap.fKneeVtg10);
  out.F32(block + m4::kKneeCur10, tap.fKneeCur10);
  out.F32(block + m4::kKneeVtg30, tap.fKneeVtg30);
  out.F32(block + m4::kKneeCur30, tap.fKneeCur30);
  out.F32(block + m4::kKneeVtg45, tap.fKneeVtg45);
  out.F32(block + m4::kKneeCur45, tap.fKneeCur45);
  out.F32(block + m4::kTestRatioCur, tap.fTestRatioCur);
  out.F32(block + m4::kTestRatioVtg, tap.fTestRatioVtg);
  out.F32(block + m4::kTestPhase, UnwrapPhase(tap.fTestPhase));
  out.U16(block + m4::kNamePlateNum, tap.nNamePlateNum, 1);
  out.U16(block + m4::kNamePlateDen, tap.fNamePlateDen, 10);
  out.U8(block + m4::kTapConnection, tap.nTapConnection - 1, 1);
  out.U8(block + m4::kTestType, tap.uTestType, 1);
  out.U8(block + m4::kVoltageRange, tap.fVoltageRange, 0.1);
  out.U8(block + m4::kCurrentRange, tap.fCurrentRange, 10);
  // Model 4 keeps the note NUL-filled after its text.
  if (block + m4::kTestNote + hdr::kTextWidth <= out.n) {
    std::memset(out.p + block + m4::kTestNote, 0, hdr::kTextWidth);
    std::memcpy(out.p + block + m4::kTestNote, tap.szTestNote.data(),
                std::min(tap.szTestNote.size(), hdr::kTextWidth));
  }
  out.U16(block + m4::kBurdenVA, tap.fBurdenVA, 1);
  out.U8(block + m4::kCosPhi, tap.fCosPhi, 100);
  out.U8(block + m4::kSecCurrent, tap.fSecCurrent, 10);
}

int DateField(const std::string& text, size_t at) {
  if (at + 2 > text.size()) return 0;
  unsigned value = 0;
  for (size_t i = at; i < at + 2; ++i) {
    const char c = text[i];
    int d = -1;
    if (c >= '0' && c <= '9') d = c - '0';
    if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
    if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
    if (d < 0) return 0;
    value = value * 16 + static_cast<unsigned>(d);
  }
  return static_cast<int>(value);
}

std::string Number(double v, int digits) { return Format("%.*g", digits, v); }

}  // namespace

void EncodeDateTime(const std::string& text, bool dayfirst, uint8_t out[6]) {
  static const size_t kAt[6] = {0, 3, 6, 9, 12, 15};
  for (int i = 0; i < 6; ++i) out[i] = static_cast<uint8_t>(DateField(text, kAt[i]));
  if (dayfirst) std::swap(out[0], out[1]);
}

void EncodeRawRecord(const TestRecord& rec, uint8_t* raw, bool dayfirst) {
  const RecordLayout& lay = LayoutFor(rec.deviceversion);
  Out out{raw, std::min(lay.length, kRawRecordSize)};
  const bool model2 = rec.deviceversion == 2;
  const bool model4 = rec.deviceversion == 4;

  const int tests = std::max(0, std::min(rec.numtests, lay.maxtests));
  out.U8(hdr::kNumTests, tests, 1);
  uint8_t date[6];
  EncodeDateTime(rec.testdatetime, dayfirst, date);
  std::memcpy(raw + hdr::kDateTime, date, 6);
  out.Text(hdr::kCompany, rec.company);
  out.Text(hdr::kStation, rec.station);
  out.Text(hdr::kCircuit, rec.circuit);
  out.Text(hdr::kManufacturer, rec.manufacturer);
  out.Text(hdr::kModel, rec.model);
  out.Text(hdr::kSerialNumber, rec.serialnumber);
  out.Text(hdr::kComment, rec.comment);
  out.Text(hdr::kOperatorName, rec.operatorname);
  out.U8(hdr::kKneeType, rec.kneetype, 1);

  for (int k = 0; k < tests; ++k) {
    const size_t block = lay.base + static_cast<size_t>(k) * lay.stride;
    if (model4) {
      EncodeFloatBlock(rec.taps[k], out, block, lay);
    } else {
      EncodeIntegerBlock(rec.taps[k], out, block, lay, model2);
    }
  }

  if (model2) {
    out.U16(b200::kBurdenReqCur, rec.B200fBurdenReqCur, 10);
    out.U16(b200::kBurdenMeasCur, rec.B200fBurdenMeasCur, 1000);
    out.U32(b200::kBurdenTestVtg, rec.B200fBurdenTestVtg, 1e6);
    out.U16(b200::kBurdenZ, rec.B200fBurdenZ, 1000);
    out.U16(b200::kBurdenPhase, rec.B200fBurdenPhase, 100);
    out.U16(b200::kBurdenCosPhi, rec.B200fBurdenCosPhi, 10000);
    out.U32(b200::kBurdenMeasVA, rec.B200fBurdenMeasVA, 1000);
    out.U16(b200::kMeggerReqV, rec.B200fMeggerReqV, 1);
    out.U16(b200::kMeggerMeasV, rec.B200fMeggerMeasV, 10);
    out.U32(b200::kMeggerL, rec.B200fMeggerL, 100);
    out.U32(b200::kMeggerOhms, rec.B200fMeggerOhms, 100);
  }
}

std::string BuildRecordTextTail(const TestRecord& rec, const RecordTextOptions& options) {
  std::string text;
  const int tests = std::max(0, std::min(rec.numtests, kMaxTaps));
  for (int t = 0; t < tests; ++t) {
    text += Format("GRAPH %d\r\n", t + 1);
    // Empty points after the last used one are not sent; empty points
    // between used ones are, so every point keeps its place.
    int used = 0;
    for (int p = 0; p < kGraphPointsPerTap; ++p) {
      const GraphPoint& gp = rec.taps[t].graph[p];
      if (gp.gpAmps != 0 || gp.gpVolts != 0) used = p + 1;
    }
    for (int p = 0; p < used; ++p) {
      const GraphPoint& gp = rec.taps[t].graph[p];
      text += Number(gp.gpAmps, options.graph_digits) + " Amps, " +
              Number(gp.gpVolts, options.graph_digits) + " Volts, " +
              Number(gp.gpAux, options.graph_digits) + "\r\n";
    }
  }
  bool any_table = false;
  for (int t = 0; t < tests; ++t) any_table = any_table || !rec.taps[t].burdentable.empty();
  if (any_table) {
    for (int t = 0; t < tests; ++t) {
      text += "BURDEN TABLE\r\n";
      text += rec.taps[t].burdentable;
    }
  }
  text += "DONE\r\n";
  return text;
}

std::string BuildRecordText(const TestRecord& rec, const RecordTextOptions& options) {
  const size_t length = std::min(LayoutFor(rec.deviceversion).length, kRawRecordSize);
  std::string hex = BytesToHex(rec.rawrecord, length);
  if (options.upper_case_hex) {
    std::transform(hex.begin(), hex.end(), hex.begin(),
                   [](char c) { return (c >= 'a' && c <= 'f') ? static_cast<char>(c - 32) : c; });
  }
  const size_t per_line = static_cast<size_t>(std::max(1, options.hex_line_bytes)) * 2;
  std::string text;
  text.reserve(hex.size() + hex.size() / per_line * 2 + 4096);
  for (size_t at = 0; at < hex.size(); at += per_line) {
    text.append(hex, at, per_line);
    text += "\r\n";
  }
  return text + BuildRecordTextTail(rec, options);
}

std::string RawFileModelText(int deviceversion) {
  switch (deviceversion) {
    case 1:
      return "KOVA-7100A";
    case 3:
      return "KOVA-R5A";
    case 4:
      return "KOVA-7KA";
    default:
      return "KOVA-7100B";
  }
}

std::vector<uint8_t> BuildRawInstrumentFile(const TestRecord& rec,
                                            const RecordTextOptions& options) {
  const size_t length = std::min(LayoutFor(rec.deviceversion).length, kRawRecordSize);
  std::vector<uint8_t> file(kRawFileRecordOffset + length, 0);
  const std::string model = RawFileModelText(rec.deviceversion);
  std::memcpy(file.data(), model.data(), std::min(model.size(), kRawFileModelTextSize));
  std::memcpy(file.data() + kRawFileRecordOffset, rec.rawrecord, length);
  const std::string tail = BuildRecordTextTail(rec, options);
  file.insert(file.end(), tail.begin(), tail.end());
  return file;
}

}  // namespace kova

// Every decoded field of every record layout, pinned against bytes placed
// by hand at absolute offsets of the instrument's record. The encoder and
// the decoder share the layout constants, so round trips cannot see a field
// that moved; these offsets are written out here on purpose.

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "records/test_record.h"

namespace kova {
namespace {

enum Width { kU8, kU16, kU32, kF32, kText };

struct Field {
  const char* name;
  size_t at;  // offset within test block 1 (or absolute, for the header)
  Width width;
  double stored;
  std::function<double(const TestRecord&)> get;
  double want;
};

void Put(uint8_t* raw, size_t at, Width width, double stored) {
  switch (width) {
    case kU8:
      raw[at] = static_cast<uint8_t>(stored);
      break;
    case kU16: {
      const auto v = static_cast<uint16_t>(stored);
      raw[at] = v & 0xFF;
      raw[at + 1] = v >> 8;
      break;
    }
    case kU32: {
      const auto v = static_cast<uint32_t>(stored);
      for (int i = 0; i < 4; ++i) raw[at + i] = (v >> (8 * i)) & 0xFF;
      break;
    }
    case kF32: {
      const auto f = static_cast<float>(stored);
      std::memcpy(raw + at, &f, 4);  // the test machines are little-endian
      break;
    }
    case kText:
      std::memcpy(raw + at, "NOTE", 4);
      break;
  }
}

using Tap = const TapTest&;
#define TAP(expr)                     \
  [](const TestRecord& r) {           \
    Tap t = r.taps[1];                \
    return static_cast<double>(expr); \
  }

// Fields of the 212-byte block of models 1 and 3 (model 2: 384 later from
// the knee points on, and its note at 684).
std::vector<Field> IntegerBlockFields(size_t shift, size_t note) {
  return {
      {"fKneeVtg10", 128 + shift, kU16, 250, TAP(t.fKneeVtg10), 10},
      {"fKneeCur10", 130 + shift, kU16, 500, TAP(t.fKneeCur10), 0.1},
      {"fKneeVtg30", 132 + shift, kU16, 500, TAP(t.fKneeVtg30), 20},
      {"fKneeCur30", 134 + shift, kU16, 1000, TAP(t.fKneeCur30), 0.2},
      {"fKneeVtg45", 136 + shift, kU16, 750, TAP(t.fKneeVtg45), 30},
      {"fKneeCur45", 138 + shift, kU16, 1500, TAP(t.fKneeCur45), 0.3},
      {"fTestRatioCur", 140 + shift, kU16, 2500, TAP(t.fTestRatioCur), 0.5},
      {"fTestRatioVtg", 142 + shift, kU16, 123, TAP(t.fTestRatioVtg), 12.3},
      {"fTestRatio", 144 + shift, kU32, 2400123, TAP(t.fTestRatio), 240.0123},
      {"fTestPhase", 148 + shift, kU16, 250, TAP(t.fTestPhase), 5},
      {"nNamePlateNum", 150 + shift, kU16, 1200, TAP(t.nNamePlateNum), 1200},
      {"fNamePlateDen", 152 + shift, kU16, 55, TAP(t.fNamePlateDen), 5.5},
      {"fWindingRes high", 154 + shift, kU16, 1, TAP(t.fWindingRes), 65.536},
      {"fWindingRes low", 156 + shift, kU16, 1234, TAP(t.fWindingRes), 1.234},
      {"nTapConnection", 158 + shift, kU8, 6, TAP(t.nTapConnection), 7},
      {"uTestType", 159 + shift, kU8, 0x13, TAP(t.uTestType), 0x13},
      {"fVoltageRange", 160 + shift, kU8, 12, TAP(t.fVoltageRange), 120},
      {"fCurrentRange", 161 + shift, kU8, 25, TAP(t.fCurrentRange), 2.5},
      {"fBurdenVA", 162 + shift, kU16, 1250, TAP(t.fBurdenVA), 12.5},
      {"fCosPhi", 164 + shift, kU8, 80, TAP(t.fCosPhi), 0.8},
      {"fSecCurrent", 165 + shift, kU8, 50, TAP(t.fSecCurrent), 5},
      {"szTestNote", note, kText, 0, TAP(t.szTestNote == "NOTE"), 1},
  };
}

struct Layout {
  int model;
  size_t block1;  // absolute offset of test block 1
  std::vector<Field> fields;
};

std::vector<Layout> Layouts() {
  std::vector<Field> m1 = IntegerBlockFields(0, 192);
  m1.push_back({"dpAmps[1]", 4, kU16, 5000, TAP(t.dpAmps[1]), 1});
  m1.push_back({"dpVolts[1]", 6, kU16, 250, TAP(t.dpVolts[1]), 10});
  m1.push_back({"dpVolts[31]", 126, kU16, 25, TAP(t.dpVolts[31]), 1});
  std::vector<Field> m2 = IntegerBlockFields(384, 684);  // the note is not shifted by 384
  m2.push_back({"dpAmps[1]", 8, kU32, 123456, TAP(t.dpAmps[1]), 1.23456});
  m2.push_back({"dpVolts[1]", 11, kU32, 4321, TAP(t.dpVolts[1]), 4.321});
  m2.push_back({"dpPhase[1]", 14, kU16, 1234, TAP(t.dpPhase[1]), 12.34});
  m2.push_back({"dpPhase[63] 0xFFFF", 510, kU16, 0xFFFF, TAP(t.dpPhase[63]), 0});
  const std::vector<Field> m4 = {
      {"dpAmps[1]", 12, kF32, 0.5, TAP(t.dpAmps[1]), 0.5},
      {"dpVolts[1]", 16, kF32, 100, TAP(t.dpVolts[1]), 100},
      {"dpPhase[1]", 20, kF32, 3.5, TAP(t.dpPhase[1]), 3.5},
      {"dpVolts[51]", 51 * 12 + 4, kF32, 7, TAP(t.dpVolts[51]), 7},
      {"fWindingRes", 624, kF32, 1.5, TAP(t.fWindingRes), 1500},
      {"fTestRatio", 628, kF32, 240, TAP(t.fTestRatio), 240},
      {"fKneeVtg10", 632, kF32, 11, TAP(t.fKneeVtg10), 11},
      {"fKneeCur10", 636, kF32, 0.25, TAP(t.fKneeCur10), 0.25},
      {"fKneeVtg30", 640, kF32, 22, TAP(t.fKneeVtg30), 22},
      {"fKneeCur30", 644, kF32, 0.5, TAP(t.fKneeCur30), 0.5},
      {"fKneeVtg45", 648, kF32, 33, TAP(t.fKneeVtg45), 33},
      {"fKneeCur45", 652, kF32, 0.75, TAP(t.fKneeCur45), 0.75},
      {"fTestRatioCur", 656, kF32, 1.25, TAP(t.fTestRatioCur), 1.25},
      {"fTestRatioVtg", 660, kF32, 2.5, TAP(t.fTestRatioVtg), 2.5},
      {"fTestPhase", 664, kF32, 4.5, TAP(t.fTestPhase), 4.5},
      {"nNamePlateNum", 668, kU16, 3000, TAP(t.nNamePlateNum), 3000},
      {"fNamePlateDen", 670, kU16, 25, TAP(t.fNamePlateDen), 2},
      {"nTapConnection", 672, kU8, 3, TAP(t.nTapConnection), 4},
      {"uTestType", 673, kU8, 0x07, TAP(t.uTestType), 0x07},
      {"fVoltageRange", 674, kU8, 5, TAP(t.fVoltageRange), 50},
      {"fCurrentRange", 675, kU8, 15, TAP(t.fCurrentRange), 1.5},
      {"szTestNote", 676, kText, 0, TAP(t.szTestNote == "NOTE"), 1},
      {"fBurdenVA", 696, kU16, 15, TAP(t.fBurdenVA), 15},
      {"fCosPhi", 698, kU8, 90, TAP(t.fCosPhi), 0.9},
      {"fSecCurrent", 699, kU8, 10, TAP(t.fSecCurrent), 1},
  };
  return {{1, 174 + 212, m1}, {3, 174 + 212, m1}, {2, 256 + 704, m2}, {4, 176 + 728, m4}};
}

std::unique_ptr<TestRecord> Decode(int model, size_t at, Width width, double stored) {
  auto rec = std::make_unique<TestRecord>();
  rec->deviceversion = model;
  std::memset(rec->rawrecord, 0, kRawRecordSize);
  rec->rawrecord[4] = 2;  // two tests
  Put(rec->rawrecord, at, width, stored);
  rec->DecodeRawRecord(rec->rawrecord, RecordDefaults());
  return rec;
}

TEST(LayoutPin, EveryTestBlockFieldAtItsAbsoluteOffset) {
  for (const Layout& layout : Layouts()) {
    for (const Field& f : layout.fields) {
      auto rec = Decode(layout.model, layout.block1 + f.at, f.width, f.stored);
      EXPECT_NEAR(f.get(*rec), f.want, 1e-9) << "model " << layout.model << " " << f.name;
    }
  }
}

#define REC(expr) [](const TestRecord& r) { return static_cast<double>(expr); }

TEST(LayoutPin, HeaderAndModel2ResultsAtTheirAbsoluteOffsets) {
  const std::vector<Field> header = {
      {"company", 12, kText, 0, REC(r.company == "NOTE"), 1},
      {"station", 32, kText, 0, REC(r.station == "NOTE"), 1},
      {"circuit", 52, kText, 0, REC(r.circuit == "NOTE"), 1},
      {"manufacturer", 72, kText, 0, REC(r.manufacturer == "NOTE"), 1},
      {"model", 92, kText, 0, REC(r.model == "NOTE"), 1},
      {"serialnumber", 112, kText, 0, REC(r.serialnumber == "NOTE"), 1},
      {"comment", 132, kText, 0, REC(r.comment == "NOTE"), 1},
      {"operatorname", 152, kText, 0, REC(r.operatorname == "NOTE"), 1},
      {"kneetype", 172, kU8, 2, REC(r.kneetype), 2},
      {"date byte 5", 5, kU8, 0x12, REC(r.testdatetime == "12/00/00 00:00:00"), 1},
      {"date byte 10", 10, kU8, 0x59, REC(r.testdatetime == "00/00/00 00:00:59"), 1},
  };
  for (int model : {1, 2, 3, 4}) {
    for (const Field& f : header) {
      auto rec = Decode(model, f.at, f.width, f.stored);
      EXPECT_NEAR(f.get(*rec), f.want, 1e-9) << "model " << model << " " << f.name;
    }
  }
  const std::vector<Field> results = {
      {"B200fBurdenReqCur", 7296, kU16, 50, REC(r.B200fBurdenReqCur), 5},
      {"B200fBurdenMeasCur", 7298, kU16, 4990, REC(r.B200fBurdenMeasCur), 4.99},
      {"B200fBurdenTestVtg", 7300, kU32, 2500000, REC(r.B200fBurdenTestVtg), 2.5},
      {"B200fBurdenZ", 7304, kU16, 500, REC(r.B200fBurdenZ), 0.5},
      {"B200fBurdenPhase", 7308, kU16, 1234, REC(r.B200fBurdenPhase), 12.34},
      {"B200fBurdenCosPhi", 7310, kU16, 8000, REC(r.B200fBurdenCosPhi), 0.8},
      {"B200fBurdenMeasVA", 7312, kU32, 12500, REC(r.B200fBurdenMeasVA), 12.5},
      {"B200fMeggerReqV", 7318, kU16, 1000, REC(r.B200fMeggerReqV), 1000},
      {"B200fMeggerMeasV", 7320, kU16, 9990, REC(r.B200fMeggerMeasV), 999},
      {"B200fMeggerL", 7322, kU32, 150, REC(r.B200fMeggerL), 1.5},
      {"B200fMeggerOhms", 7326, kU32, 150000, REC(r.B200fMeggerOhms), 1500},
  };
  for (const Field& f : results) {
    auto rec = Decode(2, f.at, f.width, f.stored);
    EXPECT_NEAR(f.get(*rec), f.want, 1e-9) << f.name;
  }
}

}  // namespace
}  // namespace kova

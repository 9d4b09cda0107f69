#include "records/record_edits.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "records/test_record.h"
#include "support/record_fixtures.h"

namespace kova {
namespace {

std::string Bytes(const uint8_t* raw, size_t at, size_t n) {
  return std::string(reinterpret_cast<const char*>(raw) + at, n);
}
uint32_t U16At(const uint8_t* raw, size_t at) { return raw[at] | (raw[at + 1] << 8); }

// Every byte outside [from, from + n) of the given ranges is unchanged.
void ExpectOnlyChanged(const uint8_t* before, const uint8_t* after,
                       std::initializer_list<std::pair<size_t, size_t>> ranges) {
  for (size_t i = 0; i < kRawRecordSize; ++i) {
    bool inside = false;
    for (const auto& r : ranges) inside = inside || (i >= r.first && i < r.first + r.second);
    if (!inside) {
      ASSERT_EQ(before[i], after[i]) << "byte " << i;
    }
  }
}

TEST(RecordEdits, HeaderTextsAreSpaceFilledFieldsAndKneeTypeIsByte172) {
  auto rec = MakeSampleRecord(1, 2);
  uint8_t before[kRawRecordSize];
  std::memcpy(before, rec->rawrecord, kRawRecordSize);
  rec->company = "ABC";
  rec->comment = "A comment of 25 letters!!";
  rec->operatorname = "";
  rec->kneetype = 2;
  std::string error;
  ASSERT_TRUE(WriteEditsToRaw(*rec, error)) << error;
  EXPECT_EQ(Bytes(rec->rawrecord, 12, 20), "ABC" + std::string(17, ' '));
  EXPECT_EQ(Bytes(rec->rawrecord, 132, 20), "A comment of 25 lett");
  EXPECT_EQ(Bytes(rec->rawrecord, 152, 20), std::string(20, ' '));
  EXPECT_EQ(rec->rawrecord[172], 2);
  // Decoded again: what a reload of the record file shows.
  EXPECT_EQ(rec->company, "ABC");
  EXPECT_EQ(rec->comment, "A comment of 25 lett");
  EXPECT_EQ(rec->kneetype, 2);
  EXPECT_EQ(rec->taps[1].nNamePlateNum, before[174 + 212 + 150] | (before[174 + 212 + 151] << 8));
}

// Per test: nameplate, test type and note at their absolute offsets in every
// layout, and nothing else changed.
TEST(RecordEdits, TestFieldsLandAtTheirBlockOffsets) {
  struct Case {
    int model, test;
    size_t num, den, type, note;
    char fill;
  } cases[] = {
      {1, 1, 174 + 212 + 150, 174 + 212 + 152, 174 + 212 + 159, 174 + 212 + 192, ' '},
      {2, 0, 256 + 534, 256 + 536, 256 + 543, 256 + 684, ' '},
      {2, 2, 256 + 1408 + 534, 256 + 1408 + 536, 256 + 1408 + 543, 256 + 1408 + 684, ' '},
      {3, 2, 174 + 424 + 150, 174 + 424 + 152, 174 + 424 + 159, 174 + 424 + 192, ' '},
      {4, 1, 176 + 728 + 668, 176 + 728 + 670, 176 + 728 + 673, 176 + 728 + 676, '\0'},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("model " + std::to_string(c.model) + " test " + std::to_string(c.test));
    auto rec = MakeSampleRecord(c.model, 3);
    TapTest& tap = rec->taps[c.test];
    tap.bDoBurdenTest = 0;  // the sample's burden bytes are zero already
    tap.fBurdenVA = tap.fCosPhi = tap.fSecCurrent = 0;
    Reencode(*rec);
    uint8_t before[kRawRecordSize];
    std::memcpy(before, rec->rawrecord, kRawRecordSize);
    rec->taps[c.test].nNamePlateNum = 1200;
    rec->taps[c.test].fNamePlateDen = 2.39;  // truncated to 23
    rec->taps[c.test].uTestType = 0x13;
    rec->taps[c.test].szTestNote = "AB";
    std::string error;
    ASSERT_TRUE(WriteEditsToRaw(*rec, error)) << error;
    const uint8_t* raw = rec->rawrecord;
    EXPECT_EQ(U16At(raw, c.num), 1200u);
    EXPECT_EQ(U16At(raw, c.den), 23u);
    EXPECT_EQ(raw[c.type], 0x13);
    EXPECT_EQ(Bytes(raw, c.note, 20), "AB" + std::string(18, c.fill));
    ExpectOnlyChanged(before, raw, {{c.num, 4}, {c.type, 1}, {c.note, 20}, {12, 161}});
    EXPECT_EQ(rec->taps[c.test].nNamePlateNum, 1200);
    EXPECT_EQ(rec->taps[c.test].szTestNote, "AB");
  }
}

TEST(RecordEdits, RatioErrorValuesSurviveInTheirFields) {
  for (int model : {1, 4}) {
    auto rec = MakeSampleRecord(model, 1);
    TapTest& tap = rec->taps[0];
    tap.bDoBurdenTest = 1;
    tap.fBurdenVA = 30;
    tap.fCosPhi = 0.5;
    tap.fSecCurrent = 1.0;
    std::string error;
    ASSERT_TRUE(WriteEditsToRaw(*rec, error)) << error;
    EXPECT_EQ(rec->taps[0].fBurdenVA, 30);
    EXPECT_EQ(rec->taps[0].fCosPhi, 0.5);
    EXPECT_EQ(rec->taps[0].fSecCurrent, 1.0);
    // Switched off: all three stored as 0, so the decode says off too.
    rec->taps[0].bDoBurdenTest = 0;
    ASSERT_TRUE(WriteEditsToRaw(*rec, error)) << error;
    EXPECT_EQ(rec->taps[0].bDoBurdenTest, 0) << "model " << model;
    EXPECT_EQ(rec->taps[0].fBurdenVA, 0);
  }
}

// A value its field cannot hold is refused with a message; nothing is written.
TEST(RecordEdits, ValuesThatDoNotFitAreRefusedAndNothingIsWritten) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  struct Case {
    int model;
    void (*edit)(TestRecord&);
    const char* message;
  } cases[] = {
      {1, [](TestRecord& r) { r.taps[1].nNamePlateNum = 70000; }, "Nameplate primary of test 2"},
      {2, [](TestRecord& r) { r.taps[0].nNamePlateNum = -5; }, "from 0 to 65535."},
      {1, [](TestRecord& r) { r.taps[0].fNamePlateDen = 6553.6; }, "from 0 to 6553.5."},
      {4, [](TestRecord& r) { r.taps[0].uTestType = 256; }, "Test type"},
      {3, [](TestRecord& r) { r.taps[0].fNamePlateDen = -1; }, "Nameplate secondary"},
      {1,
       [](TestRecord& r) {
         r.taps[0].bDoBurdenTest = 1;
         r.taps[0].fBurdenVA = 700;
       },
       "Max burden of test 1 (X1-X5) must be from 0 to 655.35 VA."},
      {1,
       [](TestRecord& r) {
         r.taps[0].bDoBurdenTest = 1;
         r.taps[0].fCosPhi = 2.6;
       },
       "Power factor"},
      {1, [](TestRecord& r) { r.kneetype = 300; }, "Knee type"},
  };
  for (const Case& c : cases) {
    auto rec = MakeSampleRecord(c.model, 2);
    c.edit(*rec);
    rec->company = "CHANGED";
    uint8_t before[kRawRecordSize];
    std::memcpy(before, rec->rawrecord, kRawRecordSize);
    std::string error;
    EXPECT_FALSE(WriteEditsToRaw(*rec, error));
    EXPECT_NE(error.find(c.message), std::string::npos) << error;
    EXPECT_EQ(std::memcmp(before, rec->rawrecord, kRawRecordSize), 0) << c.message;
  }
  auto rec = MakeSampleRecord(1, 1);
  rec->taps[0].fNamePlateDen = nan;
  std::string error;
  EXPECT_FALSE(WriteEditsToRaw(*rec, error));
}

TEST(RecordEdits, OverrideWritesTheReversedSlotOfThe32PointLayout) {
  struct Case {
    int model, test, point;
    double amps, volts;
    size_t at;
    uint32_t a, v;
  } cases[] = {
      {1, 0, 1, 0.5, 100, 174 + 124, 2500, 2500},        // point 1 is the last slot
      {1, 0, 0, 0.5, 100, 174 + 124, 2500, 2500},        // 0 counts as point 1
      {3, 2, 32, 1.15, 2621.4, 174 + 424, 5750, 65535},  // 5749.999… counts as 5750
      {1, 1, 5, 0.00019, 0.039, 174 + 212 + 108, 0, 0},  // truncated toward zero
  };
  for (const Case& c : cases) {
    auto rec = MakeSampleRecord(c.model, 3);
    uint8_t before[kRawRecordSize];
    std::memcpy(before, rec->rawrecord, kRawRecordSize);
    std::string error;
    ASSERT_TRUE(OverrideDataPoint(*rec, c.test, c.point, c.amps, c.volts, error)) << error;
    EXPECT_EQ(U16At(rec->rawrecord, c.at), c.a) << c.point;
    EXPECT_EQ(U16At(rec->rawrecord, c.at + 2), c.v) << c.point;
    ExpectOnlyChanged(before, rec->rawrecord, {{c.at, 4}});
    const int slot = 32 - (c.point < 1 ? 1 : c.point);
    EXPECT_EQ(rec->taps[c.test].dpAmps[slot], c.a / 5000.0);
  }
}

TEST(RecordEdits, OverridesThatCannotBeStoredAreRefused) {
  struct Case {
    int model, test, point;
    double amps, volts;
    const char* message;
  } cases[] = {
      {1, 0, 1, 0.5, 2621.5, "Voltage must be from 0 to 2621.4 V."},
      {1, 0, 1, 13.2, 10, "Current must be from 0 to 13.107 A."},
      {1, 0, 1, -0.1, 10, "Current"},
      {1, 0, 33, 1, 10, "Data point must be from 1 to 32."},
      {1, 0, -1, 1, 10, "Data point"},
      {1, 3, 1, 1, 10, "no test 4"},
      {2, 0, 1, 1, 10, "32 data points; this record has 64"},
      {4, 0, 1, 1, 10, "has 52"},
  };
  for (const Case& c : cases) {
    auto rec = MakeSampleRecord(c.model, 3);
    uint8_t before[kRawRecordSize];
    std::memcpy(before, rec->rawrecord, kRawRecordSize);
    std::string error;
    EXPECT_FALSE(OverrideDataPoint(*rec, c.test, c.point, c.amps, c.volts, error));
    EXPECT_NE(error.find(c.message), std::string::npos) << error;
    EXPECT_EQ(std::memcmp(before, rec->rawrecord, kRawRecordSize), 0) << c.message;
  }
}

// Truncation never moves a decoded value to the step below: every value the
// decoder can produce encodes back to its own word.
TEST(RecordEdits, TruncationKeepsEveryDecodedValue) {
  for (double scale : {10.0, 25.0, 100.0, 5000.0}) {
    for (uint32_t k = 0; k <= 0xFFFF; ++k) {
      uint32_t out = 0;
      ASSERT_TRUE(TruncatedField(k / scale, scale, 0xFFFF, out));
      ASSERT_EQ(out, k) << "scale " << scale;
    }
  }
}

}  // namespace
}  // namespace kova

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "base/le_bytes.h"
#include "records/record_layout.h"
#include "records/test_record.h"

namespace kova {
namespace {

// A record with an all-zero binary record of the given model and one test.
std::unique_ptr<TestRecord> Blank(int model, int tests = 1) {
  auto rec = std::make_unique<TestRecord>();
  rec->deviceversion = model;
  std::memset(rec->rawrecord, 0, sizeof rec->rawrecord);
  rec->rawrecord[hdr::kNumTests] = static_cast<uint8_t>(tests);
  return rec;
}

TEST(Decode, ScaledIntegersOfTheShortLayout) {
  auto rec = Blank(1);
  uint8_t* b = rec->rawrecord + 174;
  WriteU16LE(b, 212, 0, 0x1388);   // 5000 / 5000 = 1 A
  WriteU16LE(b, 212, 2, 0x0019);   // 25 / 25 = 1 V
  WriteU16LE(b, 212, 148, 15000);  // 300 degrees
  const uint8_t res[4] = {0x01, 0x00, 0xA0, 0x86};
  std::memcpy(b + 154, res, 4);
  b[158] = 3;  // tap code 4
  b[160] = 50;
  b[161] = 25;
  rec->DecodeRawRecord(rec->rawrecord, RecordDefaults());
  const TapTest& tap = rec->taps[0];
  EXPECT_DOUBLE_EQ(tap.dpAmps[0], 1.0);
  EXPECT_DOUBLE_EQ(tap.dpVolts[0], 1.0);
  EXPECT_DOUBLE_EQ(tap.fTestPhase, -60.0);
  EXPECT_DOUBLE_EQ(tap.fWindingRes, 100.0) << "high half first: 0x000186A0 / 1000";
  EXPECT_EQ(tap.nTapConnection, 4);
  EXPECT_DOUBLE_EQ(tap.fVoltageRange, 500.0);
  EXPECT_DOUBLE_EQ(tap.fCurrentRange, 2.5);
  EXPECT_EQ(tap.dpPhase[5], 0.0);
}

TEST(Decode, PhasesWrapOnlyBetween180And360) {
  auto rec = Blank(1);
  uint8_t* b = rec->rawrecord + 174;
  for (auto [word, expected] : {std::pair<int, double>{9000, 180.0},
                                {9001, -179.98},
                                {18000, 0.0},
                                {18001, 360.02},
                                {50000, 1000.0}}) {
    WriteU16LE(b, 212, 148, static_cast<uint32_t>(word));
    rec->DecodeRawRecord(rec->rawrecord, RecordDefaults());
    EXPECT_NEAR(rec->taps[0].fTestPhase, expected, 1e-9) << word;
  }
}

TEST(Decode, LongLayoutPointsAndNoPhaseMark) {
  auto rec = Blank(2);
  uint8_t* b = rec->rawrecord + 256;
  const uint8_t p0[8] = {0x40, 0x42, 0x0F, 0x40, 0x42, 0x0F, 0xFF, 0xFF};
  const uint8_t p1[8] = {0x40, 0x42, 0x0F, 0x40, 0x42, 0x0F, 0x28, 0x23};
  std::memcpy(b, p0, 8);
  std::memcpy(b + 8, p1, 8);
  WriteU32LE(b, 704, 528, 123456);  // ratio at 528
  b[542] = 9;                       // tap code 10
  std::memcpy(b + 684, "NOTE TWO", 8);
  rec->DecodeRawRecord(rec->rawrecord, RecordDefaults());
  const TapTest& tap = rec->taps[0];
  EXPECT_DOUBLE_EQ(tap.dpAmps[0], 10.0);
  EXPECT_DOUBLE_EQ(tap.dpVolts[0], 1000.0);
  EXPECT_EQ(tap.dpPhase[0], 0.0) << "0xFFFF means no phase";
  EXPECT_DOUBLE_EQ(tap.dpPhase[1], 90.0);
  EXPECT_DOUBLE_EQ(tap.fTestRatio, 12.3456);
  EXPECT_EQ(tap.nTapConnection, 10);
  EXPECT_EQ(tap.szTestNote, "NOTE TWO");
}

TEST(Decode, FloatLayoutNameplateUsesWholeNumberDivision) {
  auto rec = Blank(4);
  uint8_t* b = rec->rawrecord + 176;
  WriteU16LE(b, 728, 670, 25);
  WriteF32LE(b, 728, 624, 0.25f);
  WriteF32LE(b, 728, 664, 270.0f);
  rec->DecodeRawRecord(rec->rawrecord, RecordDefaults(), 1,
                       7);  // the single-test flag is ignored on this model
  EXPECT_EQ(rec->taps[0].fNamePlateDen, 2.0);
  EXPECT_DOUBLE_EQ(rec->taps[0].fWindingRes, 250.0);
  EXPECT_DOUBLE_EQ(rec->taps[0].fTestPhase, -90.0);
}

TEST(Decode, DateFollowsTheDateFormatSetting) {
  auto rec = Blank(1);
  const uint8_t date[6] = {0x12, 0x31, 0x15, 0x10, 0x45, 0x00};
  std::memcpy(rec->rawrecord + 5, date, 6);
  rec->DecodeRawRecord(rec->rawrecord, RecordDefaults());
  EXPECT_EQ(rec->testdatetime, "12/31/15 10:45:00");
  RecordDefaults dayfirst;
  dayfirst.dateformat = 1;
  rec->DecodeRawRecord(rec->rawrecord, dayfirst);
  EXPECT_EQ(rec->testdatetime, "31/12/15 10:45:00");
}

TEST(Decode, HeaderTextsAndKneeType) {
  auto rec = Blank(1);
  std::memcpy(rec->rawrecord + 12, "ABC", 3);                      // then 17 NUL bytes
  std::memcpy(rec->rawrecord + 152, "OPERATOR NAME IS LONG", 21);  // runs into byte 172
  rec->rawrecord[172] = 7;
  rec->DecodeRawRecord(rec->rawrecord, RecordDefaults());
  EXPECT_EQ(rec->company, "ABC");
  EXPECT_EQ(rec->operatorname, "OPERATOR NAME IS LON");
  EXPECT_EQ(rec->kneetype, 3);
  EXPECT_EQ(rec->kneetypestr, "IEC 10/50");
  rec->rawrecord[172] = 2;
  rec->DecodeRawRecord(rec->rawrecord, RecordDefaults());
  EXPECT_EQ(rec->kneetypestr, "IEEE 45 Deg");
}

TEST(Decode, TestCountIsBoundedByTheLayout) {
  // The count byte may claim up to 255 tests; only what the layout and the
  // taps hold is decoded, and nothing reads past the record.
  for (auto [model, capacity] : {std::pair<int, int>{1, 20}, {2, 10}, {3, 10}, {4, 10}}) {
    auto rec = Blank(model, 255);
    std::memset(rec->rawrecord + 200, 0xAB, kRawRecordSize - 200);
    rec->DecodeRawRecord(rec->rawrecord, RecordDefaults());
    EXPECT_EQ(rec->numtests, capacity) << "model " << model;
    EXPECT_EQ(rec->UsableTests(), capacity);
  }
}

TEST(Decode, SingleTestGoesToItsTapAndBadIndexesAreIgnored) {
  auto rec = Blank(3);
  rec->rawrecord[174 + 158] = 1;  // X1-X3
  rec->DecodeRawRecord(rec->rawrecord, RecordDefaults(), 1, 2);
  EXPECT_EQ(rec->taps[2].nTapConnection, 2);
  EXPECT_EQ(rec->taps[0].nTapConnection, 0);
  rec->DecodeRawRecord(rec->rawrecord, RecordDefaults(), 1, 20);
  rec->DecodeRawRecord(rec->rawrecord, RecordDefaults(), 1, -1);
  EXPECT_EQ(rec->taps[2].nTapConnection, 2);
}

TEST(Decode, BurdenFlagsAndResults) {
  auto rec = Blank(2, 2);
  uint8_t* b0 = rec->rawrecord + 256;
  uint8_t* b1 = b0 + 704;
  b0[543] = kBurdenTest;
  b1[543] = kInsulationTest;
  b1[548] = 80;  // cos phi 0.8
  WriteU32LE(rec->rawrecord, kRawRecordSize, 7326, 150000);
  WriteU16LE(rec->rawrecord, kRawRecordSize, 7318, 1000);
  rec->DecodeRawRecord(rec->rawrecord, RecordDefaults());
  EXPECT_EQ(rec->burdenenabled, 1);
  EXPECT_EQ(rec->insulationenabled, 1);
  EXPECT_EQ(rec->taps[0].bDoBurdenTest, 0);
  EXPECT_EQ(rec->taps[1].bDoBurdenTest, 1);
  EXPECT_DOUBLE_EQ(rec->B200fMeggerOhms, 1500.0);
  EXPECT_DOUBLE_EQ(rec->B200fMeggerReqV, 1000.0);
}

TEST(ResetRecord, EmptyStateTakesTheApplicationDefaults) {
  RecordDefaults defaults;
  defaults.frequency = 1;
  defaults.taporder = "X1-X5,X1-X4";
  TestRecord rec;
  rec.ResetRecord(defaults);
  EXPECT_EQ(rec.numtests, 1);
  EXPECT_EQ(rec.kneetype, 1);
  EXPECT_EQ(rec.frequency, 1);
  EXPECT_EQ(rec.taporder, "X1-X5,X1-X4");
  EXPECT_EQ(rec.classsettings.tempcelsius, 25.0);
  EXPECT_EQ(rec.classsettings.ratedcurrent, 5.0);
  EXPECT_EQ(rec.passfail.pfcustomdeviation, 1);
  for (const TapTest& tap : rec.taps) {
    EXPECT_EQ(tap.nNamePlateNum, 1);
    EXPECT_EQ(tap.fNamePlateDen, 1.0);
  }
  TestRecord fresh;
  EXPECT_EQ(fresh.taporder, "X1-X2,X1-X3,X1-X4,X1-X5,X2-X3,X2-X4,X2-X5,X3-X4,X3-X5,X4-X5");
}

}  // namespace
}  // namespace kova

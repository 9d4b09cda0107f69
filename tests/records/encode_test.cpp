#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "records/encode.h"
#include "records/record_layout.h"
#include "records/test_record.h"
#include "support/record_fixtures.h"

namespace kova {
namespace {

// Encoding a decoded record gives back the same bytes: the encoder is the
// exact inverse of the decoder on every field the decoder reads.
TEST(Encoder, ReencodingDecodedBytesIsIdentity) {
  for (int model = 1; model <= 4; ++model) {
    auto rec = MakeSampleRecord(model, model == 1 ? 20 : 10, 5);
    uint8_t again[kRawRecordSize];
    std::memcpy(again, rec->rawrecord, kRawRecordSize);
    EncodeRawRecord(*rec, again, false);
    EXPECT_EQ(std::memcmp(again, rec->rawrecord, kRawRecordSize), 0) << "model " << model;

    // And from zero: every byte the layout defines comes from a field.
    uint8_t fresh[kRawRecordSize] = {};
    EncodeRawRecord(*rec, fresh, false);
    auto decoded = std::make_unique<TestRecord>();
    decoded->deviceversion = model;
    decoded->DecodeRawRecord(fresh, RecordDefaults());
    ASSERT_EQ(decoded->numtests, rec->numtests);
    for (int t = 0; t < rec->numtests; ++t) {
      const TapTest& a = rec->taps[t];
      const TapTest& b = decoded->taps[t];
      EXPECT_EQ(a.fTestRatio, b.fTestRatio);
      EXPECT_EQ(a.fWindingRes, b.fWindingRes);
      EXPECT_EQ(a.fTestPhase, b.fTestPhase);
      EXPECT_EQ(a.nTapConnection, b.nTapConnection);
      EXPECT_EQ(a.szTestNote, b.szTestNote);
      EXPECT_EQ(std::memcmp(a.dpVolts, b.dpVolts, sizeof a.dpVolts), 0);
      EXPECT_EQ(std::memcmp(a.dpPhase, b.dpPhase, sizeof a.dpPhase), 0);
    }
    EXPECT_EQ(decoded->B200fMeggerOhms, rec->B200fMeggerOhms);
    EXPECT_EQ(decoded->testdatetime, "12/31/15 10:45:00");
  }
}

TEST(Encoder, ValuesAreRoundedAndClampedToTheirFields) {
  auto rec = std::make_unique<TestRecord>();
  rec->deviceversion = 1;
  rec->numtests = 1;
  rec->taps[0].dpVolts[0] = 1.0 / 25 * 3 + 0.001;  // rounds to 3 steps
  rec->taps[0].dpAmps[0] = 1e9;                    // clamps to 0xFFFF
  rec->taps[0].fTestPhase = -60.0;                 // stored as 300 degrees
  rec->taps[0].nTapConnection = 4;
  EncodeRawRecord(*rec, rec->rawrecord, false);
  rec->DecodeRawRecord(rec->rawrecord, RecordDefaults());
  EXPECT_DOUBLE_EQ(rec->taps[0].dpVolts[0], 3.0 / 25);
  EXPECT_DOUBLE_EQ(rec->taps[0].dpAmps[0], 65535.0 / 5000);
  EXPECT_DOUBLE_EQ(rec->taps[0].fTestPhase, -60.0);
  EXPECT_EQ(rec->taps[0].nTapConnection, 4);
}

TEST(Encoder, HeaderTextsArePaddedAndCut) {
  auto rec = std::make_unique<TestRecord>();
  rec->deviceversion = 3;
  rec->numtests = 0;
  rec->company = "A COMPANY NAME LONGER THAN TWENTY";
  rec->station = "S";
  EncodeRawRecord(*rec, rec->rawrecord, false);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(rec->rawrecord + hdr::kStation), 20),
            "S                   ");
  rec->DecodeRawRecord(rec->rawrecord, RecordDefaults());
  EXPECT_EQ(rec->company, "A COMPANY NAME LONGE");
  EXPECT_EQ(rec->station, "S");
}

TEST(Encoder, DateBytesFollowTheDateFormat) {
  uint8_t d[6];
  EncodeDateTime("12/31/15 10:45:00", false, d);
  const uint8_t us[6] = {0x12, 0x31, 0x15, 0x10, 0x45, 0x00};
  EXPECT_EQ(std::memcmp(d, us, 6), 0);
  EncodeDateTime("31/12/15 10:45:00", true, d);
  EXPECT_EQ(std::memcmp(d, us, 6), 0);
  EncodeDateTime("garbage", false, d);
  EXPECT_EQ(d[0], 0);
}

}  // namespace
}  // namespace kova

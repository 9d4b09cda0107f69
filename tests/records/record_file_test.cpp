#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include "analysis/read_record.h"
#include "base/file_io.h"
#include "base/le_bytes.h"
#include "records/encode.h"
#include "records/record_file.h"
#include "records/test_record.h"
#include "support/record_fixtures.h"

namespace kova {
namespace {

void ExpectSameStoredFields(const TestRecord& a, const TestRecord& b) {
  EXPECT_EQ(std::memcmp(a.rawrecord, b.rawrecord, kRawRecordSize), 0);
  EXPECT_EQ(a.deviceversion, b.deviceversion);
  EXPECT_EQ(a.testnote, b.testnote);
  EXPECT_EQ(a.frequency, b.frequency);
  EXPECT_EQ(a.taporder, b.taporder);
  for (int t = 0; t < kMaxTaps; ++t) {
    EXPECT_EQ(a.taps[t].burdentable, b.taps[t].burdentable);
    EXPECT_EQ(std::memcmp(a.taps[t].graph, b.taps[t].graph, sizeof a.taps[t].graph), 0);
  }
  uint8_t x[kResistanceBlockSize], y[kResistanceBlockSize];
  a.passfail.ToBytes(x);
  b.passfail.ToBytes(y);
  EXPECT_EQ(std::memcmp(x, y, kPassFailBlockSize), 0);
  a.resistance.ToBytes(x);
  b.resistance.ToBytes(y);
  EXPECT_EQ(std::memcmp(x, y, kResistanceBlockSize), 0);
  a.classsettings.ToBytes(x);
  b.classsettings.ToBytes(y);
  EXPECT_EQ(std::memcmp(x, y, kClassSettingsSize), 0);
}

std::unique_ptr<TestRecord> Filled(int model) {
  auto rec = MakeSampleRecord(model, 4, 3);
  rec->testnote = "Note with \xB0 degree";
  rec->frequency = 1;
  rec->taporder = "X4-X5,X1-X2";
  rec->taps[3].burdentable = "table three\r\n";
  rec->passfail.pfenable = 1;
  rec->passfail.pfkneevoltage[9] = 440;
  rec->resistance.pfresistance[2] = 123.5;
  rec->resistance.unused96[127] = 0x5A;  // kept and written back
  rec->classsettings.tempcelsius = 31.5;
  rec->classsettings.ctusage = 2;
  rec->classsettings.unused28[3] = 7;
  return rec;
}

TEST(RecordFile, WrittenAndReadBackIsTheSameForEveryModel) {
  const std::string dir = TempFolder("roundtrip");
  for (int model = 1; model <= 4; ++model) {
    auto rec = Filled(model);
    const std::string path = dir + "/model" + std::to_string(model) + ".test";
    ASSERT_TRUE(rec->WriteRecordFile(path));
    EXPECT_EQ(rec->fullpath, path);
    EXPECT_EQ(rec->filename, "model" + std::to_string(model) + ".test");
    auto back = std::make_unique<TestRecord>();
    ASSERT_TRUE(ReadRecordFile(*back, path, RecordDefaults()));
    ExpectSameStoredFields(*rec, *back);
    EXPECT_EQ(back->numtests, 4);
    EXPECT_EQ(back->taps[2].nTapConnection, rec->taps[2].nTapConnection);
    EXPECT_EQ(back->devicefile, 0);
  }
}

TEST(RecordFile, AFailedWriteLeavesTheRecordAsItWas) {
  auto rec = Filled(1);
  const std::string dir = TempFolder("failedwrite");
  EXPECT_TRUE(rec->WriteRecordFile(dir + "/a.test"));
  EXPECT_FALSE(rec->WriteRecordFile(dir + "/no/such/folder/a.test"));
  EXPECT_EQ(rec->filename, "a.test");
}

std::vector<uint8_t> OldFile(uint32_t magic, uint32_t version, const TestRecord& src) {
  ByteWriter w;
  w.U32(magic);
  w.U32(version);
  if (version >= 4) w.I32(src.deviceversion);
  w.Bytes(src.rawrecord, kRawRecordSize);
  for (const TapTest& tap : src.taps)
    for (const GraphPoint& gp : tap.graph) {
      w.F64(gp.gpAmps);
      w.F64(gp.gpVolts);
      w.F64(gp.gpAux);
    }
  if (version >= 2) {
    w.LengthPrefixed("old note");
    w.I32(1);
  }
  if (version >= 5) w.LengthPrefixed("");  // empty tap order keeps the default
  if (version >= 3)
    for (int t = 0; t < kMaxTaps; ++t) w.LengthPrefixed(t == 0 ? "first\r\n" : "");
  return w.Data();
}

TEST(RecordFile, OlderVersionsReadWithDefaults) {
  auto src = MakeSampleRecord(1, 2);
  const std::vector<uint8_t> v3 = OldFile(kRecordMagicAlt, 3, *src);
  TestRecord rec;
  ASSERT_TRUE(rec.DecodeRecordBytes(v3.data(), v3.size(), "v3.test", RecordDefaults()));
  EXPECT_EQ(rec.deviceversion, 1);
  EXPECT_EQ(rec.testnote, "old note");
  EXPECT_EQ(rec.frequency, 1);
  EXPECT_EQ(rec.taps[0].burdentable, "first\r\n");
  EXPECT_EQ(rec.taporder, TestRecord().taporder);
  EXPECT_EQ(rec.passfail.pfenable, 0);
  EXPECT_EQ(rec.passfail.pfcustomdeviation, 1);
  EXPECT_EQ(rec.classsettings.tempcelsius, 25.0);
  EXPECT_EQ(rec.classsettings.ratedcurrent, 5.0);

  auto src2 = MakeSampleRecord(2, 2);
  const std::vector<uint8_t> v5 = OldFile(kRecordMagic, 5, *src2);
  ASSERT_TRUE(rec.DecodeRecordBytes(v5.data(), v5.size(), "v5.test", RecordDefaults()));
  EXPECT_EQ(rec.deviceversion, 2);
  EXPECT_EQ(rec.numtests, 2);
  EXPECT_EQ(rec.taporder, TestRecord().taporder);
}

TEST(RecordFile, UnknownTagsAreRefusedAndLeaveAResetRecord) {
  TestRecord rec;
  rec.company = "left over";
  const uint8_t bad[8] = {0x0D, 0xF0, 0xAD, 0x0B, 7, 0, 0, 0};  // the plan file's magic
  EXPECT_FALSE(rec.DecodeRecordBytes(bad, sizeof bad, "plan.plan", RecordDefaults()));
  EXPECT_EQ(rec.company, "");
  EXPECT_FALSE(rec.DecodeRecordBytes(bad, 3, "short", RecordDefaults()));
  EXPECT_FALSE(ReadRecordFile(rec, TempFolder("none") + "/missing.test", RecordDefaults()));
}

TEST(RecordFile, FileThatEndsEarlyKeepsResetValuesForTheRest) {
  auto src = Filled(2);
  const std::string path = TempFolder("short") + "/full.test";
  ASSERT_TRUE(src->WriteRecordFile(path));
  std::vector<uint8_t> full;
  ASSERT_TRUE(ReadFileBytes(path, full));
  // Cut inside every field in turn: the reader must never fail, never read
  // past the end, and keep what came before the cut.
  const size_t cuts[] = {4,
                         8,
                         11,
                         12,
                         100,
                         12 + 8192,
                         12 + 8192 + 5000,
                         full.size() - 300,
                         full.size() - 33,
                         full.size() - 1};
  for (size_t cut : cuts) {
    TestRecord rec;
    ASSERT_TRUE(rec.DecodeRecordBytes(full.data(), cut, "cut.test", RecordDefaults())) << cut;
    if (cut >= full.size() - 300) {  // inside the plan blocks
      EXPECT_EQ(rec.testnote, src->testnote);
      EXPECT_EQ(rec.classsettings.tempcelsius, 25.0) << "class settings were cut off";
    }
    if (cut < 12 + 8192) {
      EXPECT_EQ(rec.testnote, "");
    }
  }
}

// The plan file's rule: a shorter block fills the start, a longer one gives
// its first 32 bytes, one that runs past the end is not taken.
TEST(RecordFile, ClassSettingsOfAnotherLengthFollowThePlanFileRule) {
  auto src = Filled(1);
  const std::string path = TempFolder("cls") + "/c.test";
  ASSERT_TRUE(src->WriteRecordFile(path));
  std::vector<uint8_t> bytes;
  ASSERT_TRUE(ReadFileBytes(path, bytes));
  const size_t len_at = bytes.size() - 36;
  uint8_t written[kClassSettingsSize];
  src->classsettings.ToBytes(written);
  uint8_t reset[kClassSettingsSize];
  TestRecord().classsettings.ToBytes(reset);
  for (uint32_t len : {16u, 32u, 64u, 0xFFFFFFFFu}) {
    std::vector<uint8_t> changed = bytes;
    WriteU32LE(changed.data(), changed.size(), len_at, len);
    if (len == 64) changed.insert(changed.end(), 32, 0xEE);
    TestRecord rec;
    ASSERT_TRUE(rec.DecodeRecordBytes(changed.data(), changed.size(), "c.test", RecordDefaults()));
    uint8_t got[kClassSettingsSize];
    rec.classsettings.ToBytes(got);
    uint8_t want[kClassSettingsSize] = {};
    if (len == 0xFFFFFFFFu) {
      std::memcpy(want, reset, sizeof want);
    } else {
      std::memcpy(want, written, std::min<size_t>(len, kClassSettingsSize));
    }
    EXPECT_EQ(std::memcmp(got, want, kClassSettingsSize), 0) << len;
  }
}

TEST(RawInstrumentFile, EachModelDecodesWithItsTextTail) {
  for (int model = 1; model <= 4; ++model) {
    auto src = MakeSampleRecord(model, 3, 11);
    src->taps[2].burdentable = "tail table\r\n";
    const std::vector<uint8_t> file = BuildRawInstrumentFile(*src);
    const size_t expected_tail[] = {0, 8448, 8448, 2596, 7776};
    ASSERT_EQ(std::string(file.begin() + static_cast<long>(expected_tail[model]),
                          file.begin() + static_cast<long>(expected_tail[model]) + 5),
              "GRAPH");
    TestRecord rec;
    ASSERT_TRUE(rec.DecodeRecordBytes(file.data(), file.size(), "C:\\data\\rec_001.kova",
                                      RecordDefaults()));
    EXPECT_EQ(rec.filename, "rec_001.kova");
    EXPECT_EQ(rec.devicefile, 1);
    EXPECT_EQ(rec.deviceversion, model);
    EXPECT_EQ(rec.numtests, 3);
    EXPECT_EQ(rec.taps[1].fTestRatio, src->taps[1].fTestRatio);
    EXPECT_EQ(rec.taps[2].graph[5].gpVolts, src->taps[2].graph[5].gpVolts);
    EXPECT_EQ(rec.taps[2].burdentable, "tail table\r\n");
  }
}

}  // namespace
}  // namespace kova

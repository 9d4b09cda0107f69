#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "analysis/read_record.h"
#include "base/format.h"
#include "records/encode.h"
#include "records/record_text.h"
#include "records/test_record.h"
#include "support/record_fixtures.h"

namespace kova {
namespace {

std::unique_ptr<TestRecord> Parse(const std::string& text, int model = 1, bool* ok = nullptr) {
  auto rec = std::make_unique<TestRecord>();
  rec->deviceversion = model;
  const bool result = ReadRecordText(*rec, text, RecordDefaults()) != 0;
  if (ok) *ok = result;
  return rec;
}

TEST(HexToBytes, PairsOfEitherCase) {
  uint8_t out[4] = {};
  size_t n = 0;
  ASSERT_TRUE(HexToBytes("0a1Bff", out, 4, n));
  EXPECT_EQ(n, 3u);
  EXPECT_EQ(out[0], 0x0A);
  EXPECT_EQ(out[1], 0x1B);
  EXPECT_EQ(out[2], 0xFF);
  EXPECT_FALSE(HexToBytes("0a1", out, 4, n)) << "odd digit count";
  EXPECT_FALSE(HexToBytes("0g", out, 4, n)) << "not a hex digit";
  EXPECT_FALSE(HexToBytes("0011223344", out, 4, n)) << "more than the capacity";
  EXPECT_EQ(BytesToHex(out, 3), "0a1bff");
}

TEST(RecordText, HexBlockMayBeSplitAnywhereWithSpaces) {
  auto original = MakeSampleRecord(2, 3);
  const std::string hex = BytesToHex(original->rawrecord, kRawRecordSize);
  std::string text;
  size_t at = 0;
  int width = 1;
  while (at < hex.size()) {  // lines of 1, 2, 3 ... digits, with spaces
    std::string piece = hex.substr(at, static_cast<size_t>(width));
    if (piece.size() > 2) piece.insert(2, " ");
    text += piece + "\r\n";
    at += static_cast<size_t>(width);
    width = width % 37 + 1;
  }
  text += "GRAPH\r\nDONE\r\n";
  bool ok = false;
  auto rec = Parse(text, 2, &ok);
  ASSERT_TRUE(ok);
  EXPECT_EQ(std::memcmp(rec->rawrecord, original->rawrecord, kRawRecordSize), 0);
  EXPECT_EQ(rec->numtests, 3);
  EXPECT_EQ(rec->company, "ACME POWER");
}

TEST(RecordText, GarbledHexIsRefused) {
  bool ok = true;
  Parse("00112\r\nGRAPH\r\nDONE\r\n", 1, &ok);
  EXPECT_FALSE(ok) << "odd number of digits";
  Parse("0011zz\r\nGRAPH\r\n", 1, &ok);
  EXPECT_FALSE(ok) << "not hex digits";
  Parse("DATA\r\n0011\r\nGRAPH\r\n", 1, &ok);
  EXPECT_FALSE(ok) << "a stray line before the hex block";
  Parse(std::string(8193 * 2, 'a') + "\r\nGRAPH\r\n", 1, &ok);
  EXPECT_FALSE(ok) << "more than 8192 bytes";
  Parse(std::string(8192 * 2, 'a') + "\r\nGRAPH\r\n", 1, &ok);
  EXPECT_TRUE(ok) << "exactly 8192 bytes";
}

TEST(RecordText, WithoutGraphTheHexBlockEndsAtDone) {
  bool ok = false;
  auto rec = Parse("0002\r\nDONE\r\n", 1, &ok);
  EXPECT_TRUE(ok);
  EXPECT_EQ(rec->numtests, 0);
  EXPECT_EQ(rec->rawrecord[1], 0x02);
}

TEST(RecordText, GraphSectionsFillTapsInOrder) {
  std::string text = "0003\r\n";
  for (int t = 0; t < 3; ++t) {
    text += "GRAPH\r\n";
    for (int p = 0; p < 21; ++p) {
      text += Format("  %d.5 Amps,   %d Volts,  %d\r\n", t, 100 * t + p, p % 3);
    }
  }
  text += "DONE\r\n";
  auto rec = Parse(text);
  for (int t = 0; t < 3; ++t) {
    for (int p = 0; p < 21; ++p) {
      EXPECT_EQ(rec->taps[t].graph[p].gpAmps, t + 0.5);
      EXPECT_EQ(rec->taps[t].graph[p].gpVolts, 100.0 * t + p);
      EXPECT_EQ(rec->taps[t].graph[p].gpAux, p % 3);
    }
  }
  EXPECT_EQ(rec->taps[3].graph[0].gpVolts, 0.0);
}

TEST(RecordText, ExtraGraphSectionsAndPointsAreDropped) {
  std::string text = "00\r\n";
  for (int t = 0; t < 25; ++t) {
    text += "GRAPH\r\n";
    for (int p = 0; p < 30; ++p) text += "1 Amps, 2 Volts, 3\r\n";
  }
  auto rec = Parse(text);
  EXPECT_EQ(rec->taps[19].graph[20].gpVolts, 2.0);
}

TEST(RecordText, UnreadableNumbersLeaveFieldsAsTheyWere) {
  auto rec = Parse("00\r\nGRAPH\r\n1.5 Amps, xx Volts, 3\r\nnan Amps, 1 Volts, 1\r\n");
  EXPECT_EQ(rec->taps[0].graph[0].gpAmps, 1.5);
  EXPECT_EQ(rec->taps[0].graph[0].gpVolts, 0.0);
  EXPECT_EQ(rec->taps[0].graph[0].gpAux, 0.0) << "reading stops at the first bad number";
  EXPECT_EQ(rec->taps[0].graph[1].gpAmps, 0.0) << "not-a-number is never read";
}

TEST(RecordText, BurdenTablesGoToSuccessiveTaps) {
  const std::string text =
      "00\r\nGRAPH\r\nBURDEN TABLE\r\nrow one\r\n\r\nrow two\r\nBURDEN TABLE\r\nsecond\r\n"
      "DONE\r\nafter done\r\n";
  auto rec = Parse(text);
  EXPECT_EQ(rec->taps[0].burdentable, "row one\r\nrow two\r\n");
  EXPECT_EQ(rec->taps[1].burdentable, "second\r\n");
  EXPECT_EQ(rec->taps[2].burdentable, "");
}

// The burden section ends at the same terminator as the hex block and the
// link: "DONE" in any case, never stored as a table line.
TEST(RecordText, BurdenSectionEndsAtDoneInAnyCase) {
  for (const char* done : {"DONE", "done", "Done", "dOnE"}) {
    SCOPED_TRACE(done);
    auto rec =
        Parse(std::string("00\r\nGRAPH\r\nBURDEN TABLE\r\nrow\r\n") + done + "\r\nlater\r\n");
    EXPECT_EQ(rec->taps[0].burdentable, "row\r\n");
  }
}

TEST(RecordText, ErrorTableHeadersCountWhenThereIsNoPlainOne) {
  const std::string text =
      "00\r\nGRAPH\r\nBURDEN ERROR TABLE\r\na\r\nBURDEN ERROR TABLE\r\nb\r\nDONE\r\n";
  auto rec = Parse(text);
  EXPECT_EQ(rec->taps[0].burdentable, "a\r\n");
  EXPECT_EQ(rec->taps[1].burdentable, "b\r\n");
}

TEST(RecordText, MoreThanTwentyTablesAreDropped) {
  std::string text = "00\r\nGRAPH\r\n";
  for (int t = 0; t < 30; ++t) text += Format("BURDEN TABLE\r\nline %d\r\n", t);
  auto rec = Parse(text + "DONE\r\n");
  EXPECT_EQ(rec->taps[19].burdentable, "line 19\r\n");
}

TEST(RecordText, AFinalFragmentWithoutLineFeedIsNotALine) {
  auto rec = Parse("00\r\nGRAPH\r\n1 Amps, 2 Volts, 3");
  EXPECT_EQ(rec->taps[0].graph[0].gpAmps, 0.0);
  EXPECT_EQ(SplitRecordLines("a\r\nb\nc").size(), 2u);
}

TEST(RecordText, EncoderTextParsesBackToTheSameRecord) {
  for (int model = 1; model <= 4; ++model) {
    auto original = MakeSampleRecord(model, model == 1 ? 12 : 10, 7);
    original->taps[1].burdentable = "B-0.1  0.3\r\n";
    const std::string text = BuildRecordText(*original);
    bool ok = false;
    auto rec = Parse(text, model, &ok);
    ASSERT_TRUE(ok);
    EXPECT_EQ(std::memcmp(rec->rawrecord, original->rawrecord, kRawRecordSize), 0);
    for (int t = 0; t < original->numtests; ++t) {
      for (int p = 0; p < kGraphPointsPerTap; ++p) {
        EXPECT_EQ(rec->taps[t].graph[p].gpVolts, original->taps[t].graph[p].gpVolts);
        EXPECT_EQ(rec->taps[t].graph[p].gpAmps, original->taps[t].graph[p].gpAmps);
      }
    }
    EXPECT_EQ(rec->taps[1].burdentable, "B-0.1  0.3\r\n");
  }
}

}  // namespace
}  // namespace kova

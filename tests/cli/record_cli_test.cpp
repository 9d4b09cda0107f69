#include <gtest/gtest.h>

#include <memory>

#include "base/file_io.h"
#include "base/json.h"
#include "records/encode.h"
#include "records/record_text.h"
#include "records/test_record.h"
#include "support/cli_fixture.h"
#include "support/record_fixtures.h"
#include "support/run_program.h"

namespace kova {
namespace {

using RecordCli = KovaCliTest;

TEST_F(RecordCli, ShowJsonHasEveryFieldByName) {
  auto rec = MakeSampleRecord(2, 3, 9);
  rec->company = "CAF\xC9";  // Windows-1252 E acute
  Reencode(*rec);
  rec->testnote = "note";
  const std::string path = dir_ + "/r.test";
  ASSERT_TRUE(rec->WriteRecordFile(path));

  const ProgramResult r = Kova({"record", "show", "--json", path});
  ASSERT_EQ(r.exit_code, 0) << r.err;
  JsonValue json;
  std::string error;
  ASSERT_TRUE(JsonValue::Parse(r.out, json, error)) << error;
  EXPECT_EQ(json.Find("deviceversion")->AsInteger(), 2);
  EXPECT_EQ(json.Find("company")->AsString(), "CAF\xC3\x89");
  EXPECT_EQ(json.Find("testnote")->AsString(), "note");
  EXPECT_EQ(json.Find("rawrecord")->AsString(), BytesToHex(rec->rawrecord, kRawRecordSize));
  const JsonValue& taps = *json.Find("taps");
  ASSERT_EQ(taps.Size(), 3u);
  EXPECT_EQ(taps.At(1).Find("fTestRatio")->AsNumber(), rec->taps[1].fTestRatio);
  EXPECT_EQ(taps.At(1).Find("graphpoints")->Size(), 21u);
  EXPECT_EQ(taps.At(1).Find("datapoints")->Size(), 64u);
  EXPECT_EQ(taps.At(1).Find("datapoints")->At(3).At(1).AsNumber(), rec->taps[1].dpVolts[3]);
  EXPECT_EQ(taps.At(0).Find("taprows")->Size(), 7u);
  EXPECT_EQ(json.Find("pfkneevoltage")->Size(), 10u);
  EXPECT_EQ(json.Find("pfresistance")->Size(), 10u);
  EXPECT_EQ(json.Find("rows")->At(0).Find("rcf10")->Find("rcftext")->kind(),
            JsonValue::Kind::String);
  for (const char* name : {"tempcelsius", "ratedcurrent", "ctusage", "Rct75", "classresult",
                           "tapmode", "calctext", "B200fMeggerOhms", "kneetypestr", "taporder"}) {
    EXPECT_NE(json.Find(name), nullptr) << name;
  }
}

TEST_F(RecordCli, ConvertWritesAVersion7RecordFile) {
  auto rec = MakeSampleRecord(4, 2, 4);
  const std::vector<uint8_t> raw = BuildRawInstrumentFile(*rec);
  const std::string in = dir_ + "/rec_001.kova";
  ASSERT_TRUE(WriteFileAtomically(in, raw));
  const ProgramResult r = Kova({"record", "convert", in, "-o", dir_ + "/out.test"});
  ASSERT_EQ(r.exit_code, 0) << r.err;
  std::vector<uint8_t> out;
  ASSERT_TRUE(ReadFileBytes(dir_ + "/out.test", out));
  ASSERT_GT(out.size(), 12u);
  EXPECT_EQ(out[0], 0x0C);
  EXPECT_EQ(out[4], 7);
  EXPECT_EQ(out[8], 4) << "model code";
  TestRecord back;
  ASSERT_TRUE(back.ReadRecordFile(dir_ + "/out.test"));
  EXPECT_EQ(back.taps[1].fTestRatio, rec->taps[1].fTestRatio);
  EXPECT_EQ(back.devicefile, 0);
}

TEST_F(RecordCli, FromTextUsesTheModelAndSingleTestOptions) {
  auto rec = MakeSampleRecord(3, 1, 5);
  const std::string text_path = dir_ + "/one.txt";
  ASSERT_TRUE(WriteFileAtomically(text_path, BuildRecordText(*rec)));
  const ProgramResult r = Kova({"record", "from-text", text_path, "-o", dir_ + "/one.test",
                                "--model", "3", "--single-test", "--tap", "2"});
  ASSERT_EQ(r.exit_code, 0) << r.err;
  TestRecord back;
  ASSERT_TRUE(back.ReadRecordFile(dir_ + "/one.test"));
  EXPECT_EQ(back.deviceversion, 3);
  // The file keeps the instrument's bytes: read again, the one test is the
  // record's first, whatever tap it was decoded into while parsing.
  EXPECT_EQ(back.numtests, 1);
  EXPECT_EQ(back.taps[0].nTapConnection, rec->taps[0].nTapConnection);
  EXPECT_EQ(back.taps[0].fTestRatio, rec->taps[0].fTestRatio);
  EXPECT_EQ(back.taps[0].graph[3].gpVolts, rec->taps[0].graph[3].gpVolts);
}

TEST_F(RecordCli, FailuresSayWhyAndWriteNothing) {
  ASSERT_TRUE(WriteFileAtomically(dir_ + "/bad.txt", std::string("zz12\r\nGRAPH\r\nDONE\r\n")));
  ProgramResult r = Kova({"record", "from-text", dir_ + "/bad.txt", "-o", dir_ + "/bad.test"});
  EXPECT_NE(r.exit_code, 0);
  EXPECT_NE(r.err.find("not a valid record"), std::string::npos) << r.err;
  EXPECT_FALSE(FileExists(dir_ + "/bad.test"));

  r = Kova({"record", "show", dir_ + "/missing.test"});
  EXPECT_NE(r.exit_code, 0);
  EXPECT_TRUE(r.out.empty()) << "messages never go to stdout";
  EXPECT_NE(r.err.find("missing.test"), std::string::npos);

  r = Kova({"record", "from-text", dir_ + "/bad.txt", "-o", dir_ + "/x.test", "--model", "9"});
  EXPECT_NE(r.exit_code, 0) << "model out of range";
}

}  // namespace
}  // namespace kova

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "analysis/read_record.h"
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
  ASSERT_TRUE(ReadRecordFile(back, dir_ + "/out.test", RecordDefaults()));
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
  ASSERT_TRUE(ReadRecordFile(back, dir_ + "/one.test", RecordDefaults()));
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

// "Cannot read record file X" names the cause; a FIFO is refused, not
// waited on; an empty record text makes no record.
TEST_F(RecordCli, UnreadableInputsSayWhy) {
  ASSERT_TRUE(WriteFileAtomically(dir_ + "/empty.test", std::string()));
  ASSERT_TRUE(WriteFileAtomically(dir_ + "/plan.test", std::string(64, 'x')));
  ASSERT_TRUE(WriteFileAtomically(dir_ + "/empty.txt", std::string()));
  ASSERT_EQ(mkfifo((dir_ + "/fifo.test").c_str(), 0600), 0);
  MakeFolders(dir_ + "/folder.test");
  struct Case {
    std::vector<std::string> args;
    std::string said;
  } cases[] = {
      {{"record", "show", dir_ + "/none.test"}, "none.test\": no such file"},
      {{"record", "show", dir_ + "/folder.test"}, "folder.test\": it is a folder"},
      {{"record", "show", dir_ + "/empty.test"}, "empty.test\": the file is empty"},
      {{"record", "show", dir_ + "/plan.test"}, "plan.test\": not a record file"},
      {{"record", "show", dir_ + "/fifo.test"},
       "fifo.test\": it is a FIFO (a named pipe), not a regular file"},
      {{"record", "from-text", dir_ + "/empty.txt", "-o", dir_ + "/e.test"}, "not a valid record"},
      {{"thumb", "import", dir_ + "/nodir/x", "--plans", dir_}, "x\": no such file"},
      {{"plan", "show", dir_ + "/fifo.test"}, "Unable to load test plan"},
  };
  for (const Case& c : cases) {
    const ProgramResult r = Kova(c.args);
    EXPECT_EQ(r.exit_code, 1) << c.args[2];
    EXPECT_NE(r.err.find(c.said), std::string::npos) << r.err;
  }
  EXPECT_FALSE(FileExists(dir_ + "/e.test"));
}

// One rule for every command that writes one named file.
TEST_F(RecordCli, OutputsNeverReplaceFilesSilentlyNorTheirInputs) {
  auto rec = MakeSampleRecord(1, 2);
  const std::string in = dir_ + "/in.test";
  const std::string old = dir_ + "/old.test";
  ASSERT_TRUE(rec->WriteRecordFile(in));
  ASSERT_TRUE(WriteFileAtomically(old, std::string("keep")));
  ASSERT_TRUE(WriteFileAtomically(dir_ + "/in.txt", BuildRecordText(*rec)));
  ASSERT_TRUE(WriteFileAtomically(dir_ + "/p.json", std::string("{}")));
  const std::string exists = "\"" + old + "\" exists; give --overwrite to replace it";
  struct Case {
    std::vector<std::string> args;
    int code;
    std::string said;
  } cases[] = {
      {{"record", "convert", in, "-o", old}, 1, exists},
      {{"record", "from-text", dir_ + "/in.txt", "-o", old}, 1, exists},
      {{"plan", "from-json", dir_ + "/p.json", "-o", old}, 1, exists},
      {{"record", "convert", in, "-o", in, "--overwrite"}, 1, "is also an input"},
      {{"record", "convert", in, "-o", dir_ + "/./in.test", "--overwrite"}, 1, "is also an input"},
  };
  for (const Case& c : cases) {
    const ProgramResult r = Kova(c.args);
    EXPECT_EQ(r.exit_code, c.code) << c.args[1];
    EXPECT_NE(r.err.find(c.said), std::string::npos) << r.err;
  }
  std::string kept;
  ASSERT_TRUE(ReadFileText(old, kept));
  EXPECT_EQ(kept, "keep");
  const ProgramResult r = Kova({"record", "convert", in, "-o", old, "--overwrite"});
  EXPECT_EQ(r.exit_code, 0) << r.err;
  TestRecord back;
  EXPECT_TRUE(ReadRecordFile(back, old, RecordDefaults()));
}

// A file name as the system gives it (UTF-8 here), never read as
// Windows-1252; a name that begins with '-' is a file, not an option.
TEST_F(RecordCli, FileNamesAreShownAsTheSystemGivesThem) {
  auto rec = MakeSampleRecord(1, 1);
  ASSERT_TRUE(rec->WriteRecordFile(dir_ + "/\xC3\xA9.test"));
  ProgramResult r = Kova({"record", "show", dir_ + "/\xC3\xA9.test"});
  ASSERT_EQ(r.exit_code, 0) << r.err;
  EXPECT_NE(r.out.find("File:          \xC3\xA9.test\n"), std::string::npos) << r.out;
  r = Kova({"record", "show", "--json", dir_ + "/\xC3\xA9.test"});
  EXPECT_NE(r.out.find("\"filename\": \"\xC3\xA9.test\""), std::string::npos) << r.out;

  ASSERT_TRUE(rec->WriteRecordFile(dir_ + "/-x.test"));
  const auto cwd = std::filesystem::current_path();
  std::filesystem::current_path(dir_);
  r = Kova({"record", "show", "-x.test"});
  std::filesystem::current_path(cwd);
  EXPECT_EQ(r.exit_code, 0) << r.err;
  EXPECT_NE(r.out.find("-x.test"), std::string::npos) << r.out;
}

}  // namespace
}  // namespace kova

namespace kova {
namespace {

// A settings file that would block (a FIFO) or fill memory (huge, sparse)
// is refused at start-up with its reason.
TEST_F(RecordCli, AnUnusableSettingsFileIsRefused) {
  const std::string fifo = dir_ + "/settings.fifo";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const std::string huge = dir_ + "/huge.ini";
  ASSERT_TRUE(WriteFileAtomically(huge, std::string("x")));
  std::filesystem::resize_file(huge, 200u << 20);  // sparse: no disk used
  struct Case {
    std::string file, said;
  } cases[] = {{fifo, "not a regular file"}, {huge, "the file is too large"}};
  for (const Case& c : cases) {
    const ProgramResult r =
        RunProgram(BuiltProgram("kova"), {"record", "show", "x.test"}, {"KOVA_SETTINGS=" + c.file});
    EXPECT_EQ(r.exit_code, 1);
    EXPECT_NE(r.err.find("Cannot use the settings file \"" + c.file + "\": " + c.said),
              std::string::npos)
        << r.err;
  }
}

}  // namespace
}  // namespace kova

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "analysis/read_record.h"
#include "base/file_io.h"
#include "records/test_record.h"
#include "support/cli_fixture.h"
#include "support/record_fixtures.h"
#include "support/run_program.h"

namespace kova {
namespace {

class RecordExportCli : public KovaCliTest {
 protected:
  void WriteRecord(const std::string& name, int model, int tests) {
    auto rec = MakeSampleRecord(model, tests, 3);
    rec->classsettings.ctusage = model == 2 ? 2 : 1;
    EXPECT_TRUE(rec->WriteRecordFile(dir_ + "/" + name));
  }
  // The text export of a record file: its name, its tests, CR LF line ends.
  void ExpectTextExport(const std::string& path, const std::string& record_name, int tests) {
    const std::string text = Read(path);
    EXPECT_EQ(text.rfind("FILENAME: " + record_name + "\r\n", 0), 0u) << path;
    EXPECT_NE(text.find("\r\n# TESTS " + std::to_string(tests) + "\r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\nTEST # " + std::to_string(tests) + "\r\n"), std::string::npos);
    EXPECT_EQ(text.find("\r\nTEST # " + std::to_string(tests + 1) + "\r\n"), std::string::npos);
    EXPECT_EQ(text.substr(text.size() - 15), "\r\nNOTE PAD:\r\n\r\n");
  }
  std::string Read(const std::string& path) {
    std::string text;
    EXPECT_TRUE(ReadFileText(path, text)) << path;
    return text;
  }
};

TEST_F(RecordExportCli, ExportsBesideEachRecord) {
  WriteRecord("a.test", 2, 3);
  WriteRecord("b.test", 1, 2);
  const ProgramResult r =
      Kova({"record", "export", "--format", "txt", dir_ + "/a.test", dir_ + "/b.test"});
  ASSERT_EQ(r.exit_code, 0) << r.err;
  ExpectTextExport(dir_ + "/a.txt", "a.test", 3);
  ExpectTextExport(dir_ + "/b.txt", "b.test", 2);
  EXPECT_NE(r.out.find(dir_ + "/a.txt"), std::string::npos);
}

TEST_F(RecordExportCli, AnUnreadableFileIsSkippedAndReported) {
  WriteRecord("a.test", 4, 2);
  ASSERT_TRUE(WriteFileAtomically(dir_ + "/broken.test", std::string("not a record")));
  const ProgramResult r = Kova({"record", "export", "--format", "txt", dir_ + "/missing.test",
                                dir_ + "/broken.test", dir_ + "/a.test", "-o", dir_ + "/out/txt"});
  EXPECT_NE(r.exit_code, 0);
  EXPECT_NE(r.err.find("missing.test"), std::string::npos) << r.err;
  ExpectTextExport(dir_ + "/out/txt/a.txt", "a.test", 2);
  EXPECT_FALSE(FileExists(dir_ + "/out/txt/missing.txt"));
  EXPECT_FALSE(FileExists(dir_ + "/out/txt/broken.txt"));
}

// Two records of one name exported into one folder both survive; a record
// file named .txt is never replaced by its own export.
TEST_F(RecordExportCli, OutputsOfOneRunNeverReplaceEachOtherNorAnInput) {
  MakeFolders(dir_ + "/d1");
  MakeFolders(dir_ + "/d2");
  WriteRecord("d1/r.test", 1, 2);
  WriteRecord("d2/r.test", 2, 3);
  WriteRecord("x.txt", 1, 1);
  ProgramResult r = Kova({"record", "export", "--format", "txt", dir_ + "/d1/r.test",
                          dir_ + "/d2/r.test", "-o", dir_ + "/ex"});
  ASSERT_EQ(r.exit_code, 0) << r.err;
  ExpectTextExport(dir_ + "/ex/r.txt", "r.test", 2);
  ExpectTextExport(dir_ + "/ex/r (2).txt", "r.test", 3);

  r = Kova({"record", "export", "--format", "txt", dir_ + "/x.txt"});
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_NE(r.err.find("is also an input"), std::string::npos) << r.err;
  TestRecord rec;
  EXPECT_TRUE(ReadRecordFile(rec, dir_ + "/x.txt", RecordDefaults())) << "the record survives";
}

// A write that fails says why, as the system gave it.
TEST_F(RecordExportCli, AFailedWriteSaysWhy) {
  WriteRecord("r.test", 2, 3);
  const std::string rec = dir_ + "/r.test", out = dir_ + "/out";
  ASSERT_TRUE(MakeFolders(out + "/r.txt") && MakeFolders(out + "/r.ctsat.csv") &&
              MakeFolders(dir_ + "/taken.test"));
  struct Case {
    std::vector<std::string> args;
    std::string message;
  } cases[] = {
      {{"record", "export", "--format", "txt", "-o", out, rec},
       "Cannot write \"" + out + "/r.txt\": Is a directory"},
      {{"record", "export", "--format", "ctsat", "-o", out, rec},
       "Cannot write \"" + out + "/r.ctsat.csv\": Is a directory"},
      {{"record", "convert", rec, "-o", dir_ + "/none/x.test"},
       "Cannot write record file \"" + dir_ + "/none/x.test\": No such file or directory"},
      {{"record", "convert", rec, "-o", dir_ + "/taken.test", "--overwrite"},
       "Cannot write record file \"" + dir_ + "/taken.test\": Is a directory"},
  };
  for (const Case& c : cases) {
    const ProgramResult r = Kova(c.args);
    EXPECT_EQ(r.exit_code, 1) << c.message;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
  }
}

TEST_F(RecordExportCli, UnknownFormatIsRefused) {
  WriteRecord("a.test", 1, 1);
  const ProgramResult r = Kova({"record", "export", "--format", "docx", dir_ + "/a.test"});
  EXPECT_NE(r.exit_code, 0);
  EXPECT_FALSE(FileExists(dir_ + "/a.txt"));
}

TEST_F(RecordExportCli, ShowPrintsTapsAndClassification) {
  auto rec = MakeSampleRecord(1, 2, 3);
  rec->passfail.pfenable = 1;
  rec->taporder = "X1-X4,X1-X5";
  const std::string path = dir_ + "/s.test";
  ASSERT_TRUE(rec->WriteRecordFile(path));
  const ProgramResult r = Kova({"record", "show", path});
  ASSERT_EQ(r.exit_code, 0) << r.err;
  EXPECT_LT(r.out.find("Test 2 (tap X1-X4)"), r.out.find("Test 1 (tap X1-X5)")) << r.out;
  EXPECT_NE(r.out.find("\xC2\xB0, In Phase [P]"), std::string::npos);  // UTF-8 degree sign
  EXPECT_NE(r.out.find("Classification: "), std::string::npos);
}

}  // namespace
}  // namespace kova

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "base/file_io.h"
#include "records/test_record.h"
#include "support/cli_fixture.h"
#include "support/record_fixtures.h"
#include "support/run_program.h"

namespace kova {
namespace {

class ReportCli : public KovaCliTest {
 protected:
  std::string WriteRecord(const std::string& name, int model, int tests) {
    auto rec = MakeSampleRecord(model, tests, 5);
    const std::string path = dir_ + "/" + name;
    EXPECT_TRUE(rec->WriteRecordFile(path));
    return path;
  }
  static uint32_t Be32(const std::vector<uint8_t>& b, size_t at) {
    return uint32_t(b[at]) << 24 | uint32_t(b[at + 1]) << 16 | uint32_t(b[at + 2]) << 8 | b[at + 3];
  }
};

TEST_F(ReportCli, ReportWritesOnePageAsAPicture) {
  const std::string a = WriteRecord("a.test", 1, 2), b = WriteRecord("b.test", 1, 2);
  struct Case {
    std::vector<std::string> args;
    int exit_code;
    uint32_t width, height;
  } cases[] = {
      {{"report", a, "--png", dir_ + "/p.png"}, 0, 1600, 1200},
      {{"report", a, b, "--page", "2", "--size", "800x600", "--png", dir_ + "/p.png"}, 0, 800, 600},
      {{"report", a, "--page", "99", "--png", dir_ + "/p.png"}, 1, 0, 0},
      {{"report", a, "--size", "big", "--png", dir_ + "/p.png"}, 1, 0, 0},
      {{"report", dir_ + "/missing.test", "--png", dir_ + "/p.png"}, 1, 0, 0},
  };
  for (const Case& c : cases) {
    std::remove((dir_ + "/p.png").c_str());
    const ProgramResult r = Kova(c.args);
    EXPECT_EQ(r.exit_code, c.exit_code) << r.err;
    std::vector<uint8_t> png;
    EXPECT_EQ(ReadFileBytes(dir_ + "/p.png", png), c.exit_code == 0);
    if (c.exit_code == 0 && png.size() > 24) {
      EXPECT_EQ(Be32(png, 16), c.width);
      EXPECT_EQ(Be32(png, 20), c.height);
    }
  }
}

TEST_F(ReportCli, PrintWritesEveryPageIntoAPdf) {
  const std::string a = WriteRecord("a.test", 2, 2), b = WriteRecord("b.test", 2, 2);
  const ProgramResult r = Kova({"print", a, b, "-o", dir_ + "/o.pdf"});
  ASSERT_EQ(r.exit_code, 0) << r.err;
  const ProgramResult info = RunProgram("/usr/bin/pdfinfo", {dir_ + "/o.pdf"});
  const ProgramResult text = RunProgram("/usr/bin/pdftotext", {dir_ + "/o.pdf", "-"});
  for (const char* want : {"TEST #1: a.test", "TEST #2: b.test", "CT DATA POINTS", "TEST PLAN",
                           "Record 1 of 2: a.test", "Record 2 of 2: b.test"}) {
    EXPECT_NE(text.out.find(want), std::string::npos) << want;
  }
  // 2 x (5, 6), 7, then the calculation details of both records.
  const std::string first = "Calculation details (1 of ";
  const size_t at = text.out.find(first);
  ASSERT_NE(at, std::string::npos) << text.out;
  const int details = std::atoi(text.out.c_str() + at + first.size());
  EXPECT_NE(info.out.find("Pages:           " + std::to_string(5 + details)), std::string::npos)
      << info.out;
  EXPECT_NE(Kova({"print", a, b, a, b, "-o", dir_ + "/x.pdf"}).exit_code, 0);
}

TEST_F(ReportCli, ImagesExportIntoTheFolderOrBesideTheRecord) {
  const std::string a = WriteRecord("a.test", 1, 3);
  ProgramResult r = Kova({"record", "export", "--format", "images", a, "-o", dir_ + "/pics"});
  ASSERT_EQ(r.exit_code, 0) << r.err;
  for (const char* name : {"a - Test Summary.bmp", "a - Test1.bmp", "a - Test3.bmp"}) {
    std::vector<uint8_t> bmp;
    ASSERT_TRUE(ReadFileBytes(dir_ + "/pics/" + name, bmp)) << name;
    EXPECT_EQ(bmp.size(), 4194358u);
    EXPECT_EQ(bmp[28], 32);  // bits per pixel
  }
  EXPECT_FALSE(FileExists(dir_ + "/pics/a - Test4.bmp"));
  r = Kova({"record", "export", "--format", "images", a});
  ASSERT_EQ(r.exit_code, 0) << r.err;
  EXPECT_TRUE(FileExists(dir_ + "/Xml/a - Test2.bmp"));
  EXPECT_NE(r.out.find(dir_ + "/Xml/a - Test Summary.bmp"), std::string::npos);
}

}  // namespace
}  // namespace kova

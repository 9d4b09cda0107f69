#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "base/file_io.h"
#include "base/format.h"
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
  const ProgramResult text = RunProgram("/usr/bin/pdftotext", {dir_ + "/o.pdf", "-"});
  for (const char* want : {"TEST #1: a.test", "TEST #2: b.test", "CT DATA POINTS", "TEST PLAN"}) {
    EXPECT_NE(text.out.find(want), std::string::npos) << want;
  }
  EXPECT_NE(Kova({"print", a, b, a, b, "-o", dir_ + "/x.pdf"}).exit_code, 0);
}

// The printed report has the instrument's page list; the calculation
// details follow only with --details, in print and in the page pictures.
TEST_F(ReportCli, PrintHasTheReportsOwnPagesAndTheDetailsOnlyWhenAsked) {
  struct Case {
    const char* what;
    int tests;
    bool error_tables, pass_fail;
    bool overlay;
    int pages;  // per test: test page, error table page; summary, pass/fail, plan
  } const cases[] = {
      {"2 tests, error tables, pass/fail", 2, true, true, false, 7},
      {"20 plain tests", 20, false, false, false, 22},
      {"overlay of two 2-test records", 2, false, false, true, 5},
  };
  auto pages_of = [](const std::string& pdf) {
    const ProgramResult info = RunProgram("/usr/bin/pdfinfo", {pdf});
    const size_t at = info.out.find("Pages:");
    return at == std::string::npos ? -1 : std::atoi(info.out.c_str() + at + 6);
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto rec = MakeSampleRecord(1, c.tests, 5);
    for (int t = 0; t < c.tests && c.error_tables; ++t) rec->taps[t].burdentable = "STD BURDEN";
    rec->passfail.pfenable = c.pass_fail ? 1 : 0;
    const std::string path = dir_ + Format("/r%d.test", n++);
    ASSERT_TRUE(rec->WriteRecordFile(path));
    std::vector<std::string> files = {path};
    if (c.overlay) files.push_back(path);
    std::vector<std::string> args = {"print"};
    args.insert(args.end(), files.begin(), files.end());
    args.insert(args.end(), {"-o", path + ".pdf"});
    ASSERT_EQ(Kova(args).exit_code, 0);
    EXPECT_EQ(pages_of(path + ".pdf"), c.pages);
    EXPECT_EQ(
        RunProgram("/usr/bin/pdftotext", {path + ".pdf", "-"}).out.find("Calculation details"),
        std::string::npos);

    args.insert(args.end(), {"--details", "--overwrite"});
    ASSERT_EQ(Kova(args).exit_code, 0);
    const std::string text = RunProgram("/usr/bin/pdftotext", {path + ".pdf", "-"}).out;
    const std::string first = "Calculation details (1 of ";
    const size_t at = text.find(first);
    ASSERT_NE(at, std::string::npos);
    const int details = std::atoi(text.c_str() + at + first.size());
    EXPECT_GE(details, 1);
    EXPECT_EQ(pages_of(path + ".pdf"), c.pages + details);
    if (c.overlay) {
      EXPECT_NE(text.find("Record 2 of 2: "), std::string::npos);
    }

    // The page after the report's own is there only with the details.
    std::vector<std::string> picture = {"report"};
    picture.insert(picture.end(), files.begin(), files.end());
    picture.insert(picture.end(),
                   {"--page", std::to_string(c.pages + 1), "--png", path + ".png", "--overwrite"});
    EXPECT_NE(Kova(picture).exit_code, 0);
    picture.push_back("--details");
    EXPECT_EQ(Kova(picture).exit_code, 0);
  }
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

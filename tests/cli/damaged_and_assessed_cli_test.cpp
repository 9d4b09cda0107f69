// From the outside: a record whose file ends early, with an assessment
// profile beside it. Every PDF page (the printout and the generator's
// report) carries the banner and the assessment follows the summary; the
// text, XML and workbook keep their layouts and the command says it on
// standard error.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/file_io.h"
#include "base/path.h"
#include "support/cli_fixture.h"
#include "support/record_fixtures.h"
#include "support/run_program.h"

namespace kova {
namespace {

class DamagedCli : public KovaCliTest {
 protected:
  // "cut.test" of 5000 bytes of a whole record, and its profile.
  std::string CutRecord() {
    auto rec = MakeSampleRecord(1, 2, 2);
    const std::string path = PathJoin(dir_, "cut.test");
    EXPECT_TRUE(rec->WriteRecordFile(path));
    std::string bytes;
    EXPECT_TRUE(ReadFileText(path, bytes));
    EXPECT_TRUE(WriteFileAtomically(path, bytes.substr(0, 5000)));
    EXPECT_TRUE(
        WriteFileAtomically(PathJoin(dir_, "cut.assess.json"),
                            std::string(R"({"class":"5P","isr":5,"alf":10,"burden_va":15})")));
    return path;
  }
  static std::vector<std::string> PdfPages(const std::string& pdf) {
    const ProgramResult text = RunProgram("/usr/bin/pdftotext", {"-layout", pdf, "-"});
    std::vector<std::string> pages;
    size_t at = 0;
    for (size_t ff; (ff = text.out.find('\f', at)) != std::string::npos; at = ff + 1) {
      pages.push_back(text.out.substr(at, ff - at));
    }
    return pages;
  }
};

constexpr const char* kBanner =
    "DAMAGED RECORD: the file ends at byte 5000 of 8204; later values are reset";
constexpr const char* kStderr = "ended at byte 5000 but needed 8204";

TEST_F(DamagedCli, PdfPagesCarryTheBannerAndTheDocumentsKeepTheirLayout) {
  const std::string record = CutRecord();
  struct Case {
    const char* what;
    std::vector<std::string> args;
    std::string output;
    bool pdf;
  } cases[] = {
      {"kova print", {"print", record, "-o", dir_ + "/printed.pdf"}, dir_ + "/printed.pdf", true},
      {"the generator's PDF",
       {"record", "export", "--format", "pdf", record, "-o", dir_ + "/pdf"},
       dir_ + "/pdf/cut.pdf",
       true},
      {"text",
       {"record", "export", "--format", "txt", record, "-o", dir_ + "/t"},
       dir_ + "/t/cut.txt",
       false},
      {"XML",
       {"record", "export", "--format", "xml", record, "-o", dir_ + "/x"},
       dir_ + "/x/cut.xml",
       false},
      {"workbook",
       {"record", "export", "--format", "xlsx", record, "-o", dir_ + "/w"},
       dir_ + "/w/cut.xlsx",
       false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const ProgramResult r = Kova(c.args);
    ASSERT_EQ(r.exit_code, 0) << r.err;
    EXPECT_NE(r.err.find(kStderr), std::string::npos) << r.err;
    std::string written;
    ASSERT_TRUE(ReadFileText(c.output, written));
    if (!c.pdf) {
      EXPECT_EQ(written.find("DAMAGED"), std::string::npos);
      continue;
    }
    const std::vector<std::string> pages = PdfPages(c.output);
    ASSERT_GE(pages.size(), 2u);
    bool assessed = false;
    for (size_t i = 0; i < pages.size(); ++i) {
      EXPECT_NE(pages[i].find(kBanner), std::string::npos) << "page " << i + 1 << "\n" << pages[i];
      assessed = assessed || pages[i].find("IEC 61869-2 ASSESSMENT") != std::string::npos;
    }
    EXPECT_TRUE(assessed) << "the assessment page is in the PDF";
  }
}

}  // namespace
}  // namespace kova

// The generator's PDF carries what the printed report carries: the point
// lists, the ratio error table, the classification, burden and insulation,
// and the calculation details when the record keeps them beside it; and no
// heading over data that are not there.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "assess/comparisons.h"
#include "base/file_io.h"
#include "base/path.h"
#include "support/cli_fixture.h"
#include "support/record_fixtures.h"
#include "support/run_program.h"

namespace kova {
namespace {

class ReportGeneratorPdfCli : public KovaCliTest {};

TEST_F(ReportGeneratorPdfCli, SectionsFollowTheRecordsData) {
  struct Case {
    const char* name;
    int model, ctusage;
    bool extras;  // a ratio error table, a note, an assessment profile beside
    std::vector<const char*> shown, not_shown;
  };
  const Case cases[] = {
      {"relaying",
       1,
       1,
       false,
       {"CT DATA POINTS", "GRAPH POINTS", "POINT", "CUR(A)", "Z(OHM)", "Classification:"},
       {"Note Pad", "CURRENT RATIO ERROR TABLE", "Calculation details", "Summary Metering",
        "Burden Test"}},
      {"metering",
       2,
       2,
       false,
       {"Summary Metering Class CT Report", "Test terminals:", "Metering class calculation",
        "RCF(10%)", "Amp Burden Test", "Insulation Resistance Test"},
       {"Classification:", "Calculation details"}},
      {"assessed",
       2,
       1,
       true,
       {"CURRENT RATIO ERROR TABLE", "Note: \"*\" Estimated value", "B-0.1", "Note Pad",
        "field note", "Calculation details", "IEC 61869-2 class 5P", "composite error",
        "Comparisons", "Interpolation: linear in log-log"},
       {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto rec = MakeSampleRecord(c.model, 3, 5);
    rec->classsettings.ctusage = c.ctusage;
    if (c.model == 2) rec->burdenenabled = rec->insulationenabled = 1;
    if (c.extras) {
      for (int t = 0; t < 3; ++t) rec->taps[t].burdentable = "STD  ERR\r\nB-0.1  0.30\r\n";
      rec->testnote = "field note";
    }
    Reencode(*rec);
    const std::string record = PathJoin(dir_, std::string(c.name) + ".test");
    ASSERT_TRUE(rec->WriteRecordFile(record));
    if (c.extras) {
      ASSERT_TRUE(
          WriteFileAtomically(PathJoin(dir_, std::string(c.name) + ".assess.json"),
                              std::string(R"({"class":"5P","isr":5,"alf":20,"burden_va":10})")));
    }
    const ProgramResult r = Kova({"record", "export", "--format", "pdf", record, "-o", dir_});
    ASSERT_EQ(r.exit_code, 0) << r.err;
    const ProgramResult text = RunProgram(
        "/usr/bin/pdftotext", {"-layout", PathJoin(dir_, std::string(c.name) + ".pdf"), "-"});
    ASSERT_EQ(text.exit_code, 0) << text.err;
    for (const char* s : c.shown) EXPECT_NE(text.out.find(s), std::string::npos) << s;
    for (const char* s : c.not_shown) EXPECT_EQ(text.out.find(s), std::string::npos) << s;
  }
}

// The comparison bands of the details come from the stored settings, in
// the PDF of an export and of the automatic export alike: the reference
// curve is judged within the default 5 % or a stored 20 %. The
// XML documents carry none of the details, and the report sections document
// the generator read is never left beside them.
TEST_F(ReportGeneratorPdfCli, DetailsUseTheStoredBands) {
  auto rec = MakeSampleRecord(2, 2, 9);
  const std::string record = PathJoin(dir_, "b.test");
  ASSERT_TRUE(rec->WriteRecordFile(record));
  const TapTest& tap = rec->taps[0];
  std::string ref = "turns," + std::to_string(TapTurns(tap)) + "\nvoltmeter,rms\n";
  for (int i = 0; i < kMaxDataPoints; ++i) {
    if (tap.dpAmps[i] > 0 && tap.dpVolts[i] > 0) {
      ref += std::to_string(tap.dpVolts[i] * 1.10) + "," + std::to_string(tap.dpAmps[i]) + "\n";
    }
  }
  ASSERT_TRUE(WriteFileAtomically(PathJoin(dir_, "b.reference.csv"), ref));
  struct Case {
    const char* settings;
    const char* band;  // on the reference curve's line
  };
  const Case cases[] = {
      {"", "+/-5.0 %"},
      {"ReferenceBandPermille=200\n", "+/-20.0 %"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.settings);
    ASSERT_TRUE(WriteFileAtomically(
        dir_ + "/settings.ini",
        "[Settings]\nAutoExportXml=1\nAutoExportPdf=1\n" + std::string(c.settings)));
    for (const char* format : {"xml", "pdf"}) {
      ASSERT_EQ(Kova({"record", "export", "--format", format, record, "-o", dir_}).exit_code, 0);
    }
    ASSERT_EQ(Kova({"record", "autoexport", record, "--force"}).exit_code, 0);
    for (const std::string& pdf : {PathJoin(dir_, "b.pdf"), PathJoin(dir_, "pdf/b.pdf")}) {
      const ProgramResult text = RunProgram("/usr/bin/pdftotext", {"-layout", pdf, "-"});
      ASSERT_EQ(text.exit_code, 0) << pdf << text.err;
      const size_t at = text.out.find("largest deviation");
      ASSERT_NE(at, std::string::npos) << pdf << text.out;
      const size_t begin = text.out.rfind('\n', at) + 1, end = text.out.find('\n', at);
      EXPECT_NE(text.out.substr(begin, end - begin).find(c.band), std::string::npos)
          << text.out.substr(begin, end - begin);
    }
    for (const std::string& xml : {PathJoin(dir_, "b.xml"), PathJoin(dir_, "Xml/b.xml")}) {
      std::string text;
      ASSERT_TRUE(ReadFileText(xml, text)) << xml;
      EXPECT_EQ(text.find("<calculationdetails>"), std::string::npos) << xml;
      EXPECT_EQ(text.find("<classification>"), std::string::npos) << xml;
    }
    EXPECT_FALSE(FileExists(PathJoin(dir_, "b.kova-sections.xml")));
    EXPECT_FALSE(FileExists(PathJoin(dir_, "Xml/b.kova-sections.xml")));
  }
}

}  // namespace
}  // namespace kova

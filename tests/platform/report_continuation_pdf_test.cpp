// The printed report of a record whose note is longer than the summary
// page: every note line reaches the PDF once, over continuation pages laid
// out for the paper, in both orientations; the shown document's page list
// is left as it was.

#include <gtest/gtest.h>

#include <QImage>
#include <string>

#include "base/format.h"
#include "platform/report_printing.h"
#include "platform/test_app.h"
#include "report/report_document.h"
#include "support/record_fixtures.h"
#include "support/run_program.h"

namespace kova {
namespace {

size_t Occurrences(const std::string& text, const std::string& what) {
  size_t n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

TEST(ReportPdf, LongNoteContinuesOverPagesAndLosesNoLine) {
  TestApp();
  auto rec = MakeSampleRecord(1, 2);
  rec->testnote.clear();
  for (int i = 1; i <= 300; ++i) rec->testnote += Format("Note line %d;\r\n", i);
  for (const bool portrait : {false, true}) {
    ReportDocument doc;
    doc.SetRecords({*rec});
    const int shown_pages = doc.pagecount();
    const std::string pdf = TempFolder("longnote-pdf") + (portrait ? "/p.pdf" : "/l.pdf");
    std::string why;
    ASSERT_TRUE(PrintReportToPdf(doc, pdf, portrait, QImage(), why)) << why;
    EXPECT_EQ(doc.pagecount(), shown_pages) << "the shown list is not the printed one";
    const ProgramResult info = RunProgram("/usr/bin/pdfinfo", {pdf});
    const size_t at = info.out.find("Pages:");
    ASSERT_NE(at, std::string::npos) << info.out;
    EXPECT_GT(std::stoi(info.out.substr(at + 6)), shown_pages + 1) << "portrait " << portrait;
    const std::string text = RunProgram("/usr/bin/pdftotext", {pdf, "-"}).out;
    for (int i = 1; i <= 300; ++i) {
      EXPECT_EQ(Occurrences(text, Format("Note line %d;", i)), 1u) << i << " portrait " << portrait;
    }
    EXPECT_NE(text.find("Test Notepad (continued, page 2 of"), std::string::npos);
  }
}

}  // namespace
}  // namespace kova

// Whole-output regression of the outputs built from the XML, the workbook's
// sheet model and the report drawing: the committed sample records of
// tests/golden give an XML document, a list of the sheet's cells and
// pictures, and the recorded drawing of the first page of each kind, compared
// whole with the files beside them, so a changed format, a lost decimal or
// a mark drawn at the wrong place is seen. Run with KOVA_REGENERATE_GOLDEN=1
// to write the expected outputs again (then review the difference).

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <memory>
#include <sstream>
#include <string>

#include "analysis/read_record.h"
#include "assess/profile_file.h"
#include "base/file_io.h"
#include "base/format.h"
#include "base/path.h"
#include "export/excel_export.h"
#include "export/export_xml.h"
#include "report/display_test.h"
#include "report/recording_surface.h"
#include "report/report_document.h"
#include "report/report_page.h"
#include "support/drawing_text.h"
#include "support/golden.h"
#include "support/record_fixtures.h"

namespace kova {
namespace {

const std::string kGolden = std::string(KOVA_SOURCE_DIR) + "/tests/golden";
constexpr std::time_t kNoon = 1700000000;

const char* const kRecords[] = {"model1-3taps", "model2-metering", "model3-2taps", "model4-5taps"};

void Compare(const std::string& got, const std::string& name) {
  CompareWithGolden(got, PathJoin(kGolden, name));
}

std::string Stable(std::string text) {
  for (size_t at; (at = text.find(kGolden)) != std::string::npos;)
    text.replace(at, kGolden.size(), "<DIR>");
  return text;
}

std::unique_ptr<TestRecord> Read(const std::string& name) {
  auto rec = std::make_unique<TestRecord>();
  EXPECT_TRUE(ReadRecordFile(*rec, PathJoin(kGolden, name + ".test"), RecordDefaults()));
  return rec;
}

class SheetRecorder : public WorkbookWriter {
 public:
  std::ostringstream out;
  void SetCellText(int row, int column, const std::string& text) override {
    out << "R" << row << "C" << column << " " << text << "\n";
  }
  void InsertPicture(int row, int column, const std::string& path, double scale) override {
    out << "picture R" << row << "C" << column << " " << path << Format(" %.4f", scale) << "\n";
  }
  bool Save(const std::string&) override { return true; }
};

TEST(WholeOutputGolden, XmlDocumentsMatchWhole) {
  XmlExportContext ctx;
  ctx.install_dir = "/opt/kova/";
  ctx.report_logo = "/opt/kova/report_logo.bmp";
  ctx.now = kNoon;
  for (const char* name : kRecords) {
    SCOPED_TRACE(name);
    auto rec = Read(name);
    std::string xml = Stable(BuildXmlExport(*rec, ctx));
    // The report date is local time: named by a placeholder.
    const std::string date = ReportDateText(kNoon);
    for (size_t at; (at = xml.find(date)) != std::string::npos;)
      xml.replace(at, date.size(), "<DATE>");
    Compare(xml, std::string(name) + ".xml");
  }
}

TEST(WholeOutputGolden, WorkbookSheetModelsMatchWhole) {
  for (const char* name : kRecords) {
    SCOPED_TRACE(name);
    auto rec = Read(name);
    for (int t = 0; t < rec->numtests; ++t)
      rec->taps[t].testimagefile = Format("test%d.png", t + 1);
    rec->imagefile = "summary.png";
    SheetRecorder sheet;
    FillWorkbook(*rec, "/opt/kova/", sheet);
    Compare(Stable(sheet.out.str()), std::string(name) + ".sheet.txt");
  }
}

// The first page of each kind the sample records give, single and overlaid,
// drawn on the recording surface: every kind of page is covered.
TEST(WholeOutputGolden, FirstPageOfEachKindDrawsTheSameWhole) {
  std::vector<std::unique_ptr<TestRecord>> recs;
  for (const char* name : kRecords) recs.push_back(Read(name));
  std::vector<std::vector<TestRecord>> documents;
  for (const auto& r : recs) documents.push_back({*r});
  // Pass/fail on and the instrument's error table: the two kinds no sample has.
  TestRecord limits = *recs[1];
  limits.passfail.pfenable = 1;
  limits.taps[0].burdentable = "#01 B0.1 PHASE ERROR TABLE #10 x";
  documents.push_back({limits});
  documents.push_back({*recs[0], *recs[3]});
  documents.push_back({*recs[0], *recs[2], *recs[3]});
  std::map<int, std::string> first_of_kind;
  for (const auto& records : documents) {
    ReportDocument doc;
    doc.ShowCalculationDetails(true);
    ASSERT_TRUE(doc.SetRecords(records));
    for (size_t i = 0; i < doc.pages().size(); ++i) {
      const int kind = doc.pages()[i].kind;
      if (first_of_kind.count(kind) != 0) continue;
      RecordingSurface s;
      CDisplayTest painter;
      painter.Setup(&s, doc.Record(0), false, &doc);
      painter.DrawPage({0, 0, 2400, 1220}, static_cast<int>(i));
      first_of_kind[kind] = DrawingText(s);
    }
  }
  std::string kinds;
  for (const auto& [kind, drawing] : first_of_kind) {
    SCOPED_TRACE(kind);
    kinds += Format("%d ", kind);
    Compare(drawing, Format("page-kind-%d.draw.txt", kind));
  }
  EXPECT_EQ(kinds, "1 2 3 4 5 6 7 8 9 10 11 ") << "the kinds the samples cover";
}

// The assessment page of a sample record with a profile and a reference
// curve kept beside it, drawn whole; and the summary page's line for it.
TEST(WholeOutputGolden, AssessmentPageDrawsTheSameWhole) {
  const std::string folder = TempFolder("golden-assessment");
  const std::string record = PathJoin(folder, "model4-5taps.test");
  std::string bytes;
  ASSERT_TRUE(ReadFileText(PathJoin(kGolden, "model4-5taps.test"), bytes));
  ASSERT_TRUE(WriteFileAtomically(record, bytes));
  ASSERT_TRUE(WriteFileAtomically(
      ProfilePathBeside(record), std::string(R"({"class":"5P","isr":5,"alf":10,"burden_va":15})")));
  ASSERT_TRUE(WriteFileAtomically(PathJoin(folder, "model4-5taps.reference.csv"),
                                  std::string("turns,120\nvoltmeter,rms\n20,0.01\n60,0.05\n"
                                              "100,0.2\n140,1.5\n")));
  ReportDocument doc;
  ASSERT_TRUE(doc.OpenFiles({record}));
  for (size_t i = 0; i < doc.pages().size(); ++i) {
    if (doc.pages()[i].kind != kAssessmentPage) continue;
    RecordingSurface s;
    CDisplayTest painter;
    painter.Setup(&s, doc.Record(0), false, &doc);
    painter.DrawPage({0, 0, 2400, 1220}, static_cast<int>(i));
    Compare(DrawingText(s), Format("page-kind-%d.draw.txt", kAssessmentPage));
    return;
  }
  ADD_FAILURE() << "no assessment page";
}

}  // namespace
}  // namespace kova

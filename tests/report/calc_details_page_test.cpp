#include "report/calc_details_page.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "assess/assess_fixtures.h"
#include "base/file_io.h"
#include "base/path.h"
#include "report/display_test.h"
#include "report/recording_surface.h"
#include "report/report_document.h"
#include "support/record_fixtures.h"

namespace kova {
namespace {

// A record file whose folder may hold a profile and a reference beside it.
std::unique_ptr<TestRecord> RecordIn(const std::string& folder) {
  auto rec = CurveRecord(PowerLaw(233.24, 0.6, 6.0), 20, 400);
  rec->taps[0].fWindingRes = 2000;
  rec->fullpath = PathJoin(folder, "r.test");
  return rec;
}

std::string Drawn(const ReportDocument& doc, int page) {
  RecordingSurface s;
  CDisplayTest painter;
  painter.Setup(&s, doc.Record(0), true, &doc);
  painter.DrawPage({0, 0, 1700, 2200}, page);
  std::string text;
  for (const DrawOp& op : s.ops()) {
    if (op.kind == DrawOp::kText) text += op.text + "\n";
  }
  return text;
}

TEST(CalculationDetailsPage, FollowsTheFilesBesideTheRecord) {
  const std::string folder = TempFolder("details");
  auto rec = RecordIn(folder);
  // Without a profile or a reference the report is what it always was.
  EXPECT_FALSE(CalculationDetailsWanted(*rec));
  EXPECT_EQ(BuildPageList(*rec, 0).back().kind, kTestPlanPage);

  ASSERT_TRUE(
      WriteFileAtomically(PathJoin(folder, "r.assess.json"),
                          std::string(R"({"class":"5P","isr":1,"alf":20,"burden_va":10})")));
  ASSERT_TRUE(CalculationDetailsWanted(*rec));
  const std::vector<std::string> lines = CalculationDetailsLines(*rec);
  EXPECT_EQ(lines.front(), "IEC 61869-2 class 5P, test 1");
  const int pages = CalculationDetailsPageCount(*rec);
  EXPECT_EQ(pages,
            static_cast<int>((lines.size() + kDetailsLinesPerPage - 1) / kDetailsLinesPerPage));
  ReportDocument doc;
  ASSERT_TRUE(doc.SetRecords({*rec}));
  ASSERT_GE(doc.pagecount(), pages + 1);
  EXPECT_EQ(doc.pages()[doc.pagecount() - pages - 1].kind, kTestPlanPage);
  EXPECT_EQ(doc.pages().back(), (ReportPage{pages - 1, kCalculationDetailsPage}));

  const std::string first = Drawn(doc, doc.pagecount() - pages);
  EXPECT_NE(first.find("Calculation details (1 of " + std::to_string(pages) + ")"),
            std::string::npos)
      << first;
  EXPECT_NE(first.find("composite error: 3.00 %"), std::string::npos) << first;
  EXPECT_NE(first.find("KOVA-7100 Software Version"), std::string::npos);
  // The last page ends with the last line of the details.
  const std::string last = Drawn(doc, doc.pagecount() - 1);
  EXPECT_NE(last.find(lines.back()), std::string::npos);

  // A broken profile is named on the page, not hidden.
  ASSERT_TRUE(WriteFileAtomically(PathJoin(folder, "r.assess.json"), std::string("{")));
  EXPECT_EQ(CalculationDetailsLines(*rec).front().rfind("Assessment profile not used: ", 0), 0u);
}

}  // namespace
}  // namespace kova

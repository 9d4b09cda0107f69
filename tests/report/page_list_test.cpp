#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "report/calc_details_page.h"
#include "report/report_document.h"
#include "report/report_page.h"

namespace kova {
namespace {

struct PageListCase {
  const char* name;
  int tests;
  int overlay;
  int ctusage;
  int pfenable;
  std::vector<int> with_table;  // tests with a burden table
  std::vector<int> with_bits;   // tests with burden or insulation bits
  std::vector<ReportPage> want;
};

TEST(PageList, FollowsTheRecordsTestsAndSettings) {
  const PageListCase cases[] = {
      {"one plain test", 1, 0, 0, 0, {}, {}, {{0, 1}, {0, 3}, {0, 7}}},
      {"pass/fail adds its page", 1, 0, 0, 1, {}, {}, {{0, 1}, {0, 3}, {0, 8}, {0, 7}}},
      {"error table of the second test",
       2,
       0,
       0,
       0,
       {1},
       {},
       {{0, 1}, {1, 1}, {1, 2}, {0, 3}, {0, 7}}},
      {"metering, table and burden in that order",
       1,
       0,
       2,
       0,
       {0},
       {0},
       {{0, 1}, {0, 10}, {0, 2}, {0, 4}, {0, 3}, {0, 7}}},
      {"two overlaid records", 2, 2, 2, 1, {0}, {0}, {{0, 5}, {0, 6}, {1, 5}, {1, 6}, {0, 7}}},
      {"three overlaid records", 1, 3, 0, 0, {}, {}, {{0, 5}, {0, 6}, {0, 9}, {0, 7}}},
  };
  for (const PageListCase& c : cases) {
    auto rec = std::make_unique<TestRecord>();
    rec->numtests = c.tests;
    rec->classsettings.ctusage = c.ctusage;
    rec->passfail.pfenable = c.pfenable;
    for (int t : c.with_table) rec->taps[t].burdentable = "STD BURDEN";
    for (int t : c.with_bits) rec->taps[t].uTestType |= kInsulationTest;
    EXPECT_EQ(BuildPageList(*rec, c.overlay), c.want) << c.name;
  }
}

TEST(PageList, GrowsPastFortyEntriesForTwentyFullTests) {
  auto rec = std::make_unique<TestRecord>();
  rec->deviceversion = 1;
  rec->numtests = 20;
  rec->classsettings.ctusage = 2;
  rec->passfail.pfenable = 1;
  for (int t = 0; t < 20; ++t) {
    rec->taps[t].burdentable = "T";
    rec->taps[t].uTestType = kBurdenTest;
  }
  const std::vector<ReportPage> pages = BuildPageList(*rec, 0);
  ASSERT_EQ(pages.size(), 83u);
  EXPECT_EQ(pages[79], (ReportPage{19, 4}));
  EXPECT_EQ(pages.back(), (ReportPage{0, 7}));
}

TEST(ReportDocument, PagesMoveWithinTheListAndRebuildKeepsAValidPage) {
  auto rec = std::make_unique<TestRecord>();
  rec->numtests = 2;
  ReportDocument doc;
  ASSERT_TRUE(doc.SetRecords({*rec}));
  // Two test pages, the summary, the plan: the details only when asked for.
  EXPECT_EQ(doc.pagecount(), 4);
  EXPECT_TRUE(doc.details_lines().empty());
  doc.ShowCalculationDetails(true);
  const int details = DetailsPageCount(doc.details_lines());
  EXPECT_EQ(doc.pagecount(), 4 + details);
  EXPECT_EQ(doc.pages()[3], (ReportPage{0, kTestPlanPage}));
  EXPECT_EQ(doc.pages().back(), (ReportPage{details - 1, kCalculationDetailsPage}));
  EXPECT_FALSE(doc.PreviousPage());  // already on the first
  EXPECT_TRUE(doc.LastPage());
  EXPECT_FALSE(doc.NextPage());  // already on the last
  EXPECT_EQ(doc.currentpage(), 3 + details);
  doc.MutableRecord(0).numtests = 1;
  doc.BuildPageList();
  EXPECT_LT(doc.pagecount(), 4 + details);
  EXPECT_EQ(doc.currentpage(), doc.pagecount() - 1);
  EXPECT_TRUE(doc.FirstPage());
  EXPECT_EQ(doc.currentpage(), 0);

  doc.ShowCalculationDetails(false);
  EXPECT_EQ(doc.pagecount(), 3);
  EXPECT_EQ(doc.currentpage(), 0);

  ASSERT_TRUE(doc.SetRecords({*rec, *rec, *rec}));
  EXPECT_EQ(doc.overlaycount(), 3);
  EXPECT_FALSE(doc.SetRecords({}));
  EXPECT_FALSE(doc.loaded());
  EXPECT_FALSE(doc.OpenFiles({"/nonexistent/a.test"}));
}

// Answers every record with one reference curve and counts the questions.
class CountingKeeper : public ReferenceKeeper {
 public:
  KeptReference Find(const TestRecord&) override {
    ++finds;
    return ReferenceFromText("turns,800\nvoltmeter,rms\n200,0.05\n400,0.5\n800,5\n", "the library");
  }
  bool Keep(const TestRecord&, const ReferenceCurve&, std::string&, std::string&) override {
    return false;
  }
  int finds = 0;
};

// What is kept for a record is gathered once per opened record: paging,
// rebuilding and showing the details never ask the keeper again.
TEST(ReportDocument, AsksTheKeeperOncePerOpenedRecord) {
  auto rec = std::make_unique<TestRecord>();
  rec->numtests = 2;
  auto keeper = std::make_shared<CountingKeeper>();
  ReportDocument doc;
  doc.SetReferenceKeeper(keeper);
  ASSERT_TRUE(doc.SetRecords({*rec}));
  EXPECT_EQ(keeper->finds, 1);
  EXPECT_TRUE(doc.reference().loaded());
  EXPECT_TRUE(doc.context().HasKept());
  EXPECT_EQ(doc.pagecount(), 5) << "a kept reference adds the assessment page";
  EXPECT_EQ(doc.pages()[3], (ReportPage{0, kAssessmentPage}));
  doc.BuildPageList();
  doc.ShowCalculationDetails(true);
  doc.ShowCalculationDetails(false);
  doc.ShowCalculationDetails(true);
  doc.LastPage();
  doc.BuildPageList();
  EXPECT_EQ(keeper->finds, 1);
  bool compared = false;
  for (const std::string& l : doc.details_lines())
    compared = compared || l.find("kept in the library") != std::string::npos;
  EXPECT_TRUE(compared) << "the details use the reference gathered on opening";
  // Something was kept for the record: gathered again, once.
  doc.GatherKept();
  EXPECT_EQ(keeper->finds, 2);
  // An overlay asks once for each of its records.
  ASSERT_TRUE(doc.SetRecords({*rec, *rec}));
  EXPECT_EQ(keeper->finds, 4);
  doc.BuildPageList();
  EXPECT_EQ(keeper->finds, 4);
}

}  // namespace
}  // namespace kova

// The report window lays its page list out for its own size: a note too
// long for the summary page goes on over continuation pages, the page count
// the status bar shows follows, and End reaches the true last page.

#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QSignalSpy>
#include <QTest>
#include <memory>
#include <string>

#include "app/record_document.h"
#include "base/format.h"
#include "base/path.h"
#include "gui/report_view.h"
#include "gui_test_app.h"
#include "records/test_record.h"
#include "report/report_page.h"
#include "support/record_fixtures.h"
#include "support/scripted_prompter.h"

namespace kova {
namespace {

TEST(ReportViewFit, LongNoteGetsContinuationPagesInTheWindow) {
  GuiTestApp();
  const std::string folder = TempFolder("view-fit");
  auto rec = MakeSampleRecord(1, 1);
  for (int i = 1; i <= 300; ++i) rec->testnote += Format("Note line %d\r\n", i);
  const std::string path = PathJoin(folder, "long.test");
  ASSERT_TRUE(rec->WriteRecordFile(path));

  ScriptedPrompter prompter;
  RecordDocument::Services services;
  services.prompter = &prompter;
  auto document = std::make_unique<RecordDocument>(std::move(services));
  ASSERT_TRUE(document->Open(path));
  const int base = document->pagecount();

  ReportView view(std::move(document));
  QSignalSpy changed(&view, &ReportView::pageChanged);
  view.resize(1200, 900);
  view.show();
  view.repaint();
  // The new count is told after the paint, through the event queue.
  EXPECT_TRUE(changed.wait(5000) || changed.count() > 0);
  const RecordDocument& doc = view.document();
  EXPECT_GT(doc.pagecount(), base + 1) << "continuation pages were added";
  EXPECT_GE(changed.count(), 1) << "the status bar hears of the new count";
  EXPECT_EQ(view.PageText(), QStringLiteral("Page 1 of %1").arg(doc.pagecount()));

  // End, back over the calculation details to the plan page, then over the
  // continuation parts to the summary page.
  QTest::keyRelease(&view, Qt::Key_End);
  while (doc.currentpage() > 0 &&
         doc.report().pages()[doc.currentpage()].kind == kCalculationDetailsPage) {
    QTest::keyRelease(&view, Qt::Key_PageUp);
  }
  EXPECT_EQ(doc.report().pages()[doc.currentpage()].kind, kTestPlanPage);
  QTest::keyRelease(&view, Qt::Key_PageUp);
  const ReportPage last_part = doc.report().pages()[doc.currentpage()];
  EXPECT_EQ(last_part.kind, kSummaryPage);
  EXPECT_GT(last_part.part, 0);
  view.repaint();  // draws the continuation without a change of list
  EXPECT_EQ(doc.report().pages()[doc.currentpage()], last_part);
}

}  // namespace
}  // namespace kova

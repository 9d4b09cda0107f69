// A record the library could not file is told in the window, once, with the
// reason, also when the filing runs on a worker (a download).

#include <gtest/gtest.h>

#include <QMessageBox>
#include <QTest>
#include <thread>

#include "gui/gui_test_app.h"
#include "gui/library/filing_notice.h"

namespace kova {
namespace {

TEST(FilingNotice, AFilingFailureIsToldInTheWindowOnce) {
  GuiTestApp();
  QWidget window;
  window.show();
  auto notice = FilingFailureNotice(std::make_shared<QPointer<QWidget>>(&window));
  std::thread worker([&notice] {
    notice("Cannot open the library /shared/kova.sqlite: unable to open database file");
    notice("Cannot open the library again");
  });
  worker.join();
  QList<QMessageBox*> boxes;
  for (int i = 0; i < 200 && boxes.isEmpty(); ++i) {
    QTest::qWait(10);
    boxes = window.findChildren<QMessageBox*>();
  }
  notice("A third time");
  QTest::qWait(50);
  boxes = window.findChildren<QMessageBox*>();
  ASSERT_EQ(boxes.size(), 1);
  EXPECT_TRUE(boxes[0]->text().contains("unable to open database file"))
      << boxes[0]->text().toStdString();
  EXPECT_TRUE(boxes[0]->text().contains("not filed in the record library"));
  boxes[0]->close();
}

}  // namespace
}  // namespace kova

// The start page in the empty document area: its buttons run the window's
// commands, its recent files open, and it gives way to the documents.

#include <gtest/gtest.h>

#include <QAction>
#include <QCommandLinkButton>
#include <QLabel>
#include <QMdiArea>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "app/start_page.h"
#include "base/path.h"
#include "desktop_setup.h"
#include "gui/qt_text.h"
#include "gui/start_page.h"
#include "gui/test_browser_dialog.h"
#include "gui_test_app.h"
#include "support/record_fixtures.h"

namespace kova {
namespace {

struct NoChoice : RecordChooser {
  bool Choose(const std::string&, bool, std::vector<std::string>&) override {
    ++asked;
    return false;
  }
  int asked = 0;
};

TEST(StartPage, ActionsRunTheirCommandsAndRecentFilesOpen) {
  GuiTestApp();
  const std::string folder = TempFolder("start-page");
  DesktopSetup desk(folder);
  NoChoice chooser;
  desk.ctx.chooser = &chooser;
  StoreText(desk.store, SettingId::kLibraryLocation, PathJoin(folder, "library.sqlite"));
  MainWindow window(desk.ctx);
  window.show();
  ASSERT_TRUE(window.StartPageShowing());

  // The instrument's commands arrive later, as kova-gui adds them.
  int downloads = 0, runs = 0;
  window.AddCommand(CommandId::kTestDirectory, [&] { ++downloads; });
  window.AddCommand(CommandId::kRunTest, [&] { ++runs; });
  window.UpdateCommands();
  QStringList order;
  for (auto* b : window.Start()->findChildren<QCommandLinkButton*>()) order << b->text();
  for (const StartAction& a : StartActions())
    EXPECT_TRUE(order.contains(QString::fromUtf8(a.text))) << a.text;

  auto click = [&](const char* text) {
    auto* b = window.Start()->findChild<QCommandLinkButton*>(QString::fromUtf8(text));
    ASSERT_NE(b, nullptr) << text;
    b->click();
  };
  QSignalSpy library(window.Action(CommandId::kLibrary), &QAction::triggered);
  click("Download tests from the instrument");
  click("Run a test plan");
  click("Open a test");
  click("Open the record library");
  EXPECT_EQ(downloads, 1);
  EXPECT_EQ(runs, 1);
  EXPECT_EQ(chooser.asked, 1);
  EXPECT_EQ(library.count(), 1);
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w != &window && w->isVisible()) w->close();

  // Where the records are: the record folder and the library.
  const QString kept = window.Start()->findChild<QLabel*>("RecordsKept")->text();
  EXPECT_TRUE(kept.contains(PathToQ(desk.info.filepath))) << kept.toStdString();
  EXPECT_TRUE(kept.contains("library.sqlite")) << kept.toStdString();

  // A document replaces the page; closing the last brings it back with the
  // file among the recent ones, which opens it again.
  auto rec = MakeSampleRecord(2, 2);
  const std::string path = PathJoin(folder, "Test-040419-011.test");
  ASSERT_TRUE(rec->WriteRecordFile(path));
  ASSERT_TRUE(window.OpenDocument(path));
  EXPECT_FALSE(window.StartPageShowing());
  window.OnNewDocument();
  auto* area = window.findChild<QMdiArea*>();
  area->closeActiveSubWindow();
  QTest::qWait(1);
  EXPECT_FALSE(window.StartPageShowing()) << "one document is still open";
  area->closeAllSubWindows();
  QTest::qWait(1);
  ASSERT_TRUE(window.StartPageShowing());
  QPushButton* recent = nullptr;
  for (auto* b : window.Start()->findChildren<QPushButton*>())
    if (b->isVisible() && b->text() == "Test-040419-011.test") recent = b;
  ASSERT_NE(recent, nullptr);
  recent->click();
  EXPECT_FALSE(window.StartPageShowing());
  EXPECT_EQ(window.Views().size(), 1);
}

}  // namespace
}  // namespace kova

// The Help menu (About, Keyboard Shortcuts) and the Window menu listing the
// open documents, with the usual keys.

#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QTest>

#include "base/path.h"
#include "base/program_version.h"
#include "desktop_setup.h"
#include "gui/report_view.h"
#include "gui_test_app.h"
#include "support/record_fixtures.h"

namespace kova {
namespace {

struct MenusTest : ::testing::Test {
  void SetUp() override {
    GuiTestApp();
    desk.info.tracedir = "";
    desk.ctx.settings_place = "/home/u/.config/Helmark-inc/KOVA-7100.conf";
    window = std::make_unique<MainWindow>(desk.ctx);
    window->show();
  }
  QStringList MenuTitles() const {
    QStringList titles;
    for (QAction* a : window->menuBar()->actions()) titles << a->text();
    return titles;
  }
  std::string folder = TempFolder("menus");
  DesktopSetup desk{folder};
  std::unique_ptr<MainWindow> window;
};

TEST_F(MenusTest, HelpSaysVersionLibrariesPlacesAndEveryKey) {
  EXPECT_EQ(MenuTitles(), (QStringList{"&File", "&Assessment", "&Window", "&Help"}));
  window->Action(CommandId::kAbout)->trigger();
  ASSERT_EQ(desk.prompter.messages().size(), 1u);
  const std::string about = desk.prompter.messages().back().text;
  for (const std::string& part :
       {std::string(kProgramVersion), std::string("Qt 6."), std::string("SQLite 3."),
        std::string("libxml2 2."), std::string("hidapi"), std::string("libxlsxwriter"),
        desk.ctx.settings_place, desk.info.filepath, std::string("Instrument traces: not kept")})
    EXPECT_NE(about.find(part), std::string::npos) << part << "\n" << about;

  window->Action(CommandId::kKeyboardShortcuts)->trigger();
  const std::string keys = desk.prompter.messages().back().text;
  for (const char* key : {"Ctrl+O\t", "Ctrl+S\t", "Ctrl+P\t", "Ctrl+F4 or Ctrl+W\t", "Ctrl+Tab\t",
                          "F1\tKeyboard Shortcuts"})
    EXPECT_NE(keys.find(key), std::string::npos) << key << "\n" << keys;

  // The keys are the actions' own.
  const struct {
    CommandId id;
    const char* key;
  } rows[] = {{CommandId::kCloseWindow, "Ctrl+W"},    {CommandId::kCloseWindow, "Ctrl+F4"},
              {CommandId::kNextDocument, "Ctrl+Tab"}, {CommandId::kKeyboardShortcuts, "F1"},
              {CommandId::kPrint, "Ctrl+P"},          {CommandId::kSaveTest, "Ctrl+S"}};
  for (const auto& r : rows)
    EXPECT_TRUE(window->Action(r.id)->shortcuts().contains(QKeySequence(r.key))) << r.key;
}

TEST_F(MenusTest, WindowMenuListsTheDocumentsWithTheActiveChecked) {
  auto entries = [this] {
    QList<QAction*> docs;
    for (QAction* a : window->WindowMenu()->actions())
      if (a->isCheckable()) docs << a;
    return docs;
  };
  EXPECT_TRUE(entries().isEmpty());
  std::vector<std::string> paths;
  for (const char* name : {"first.test", "second.test"}) {
    auto rec = MakeSampleRecord(2, 2);
    paths.push_back(PathJoin(folder, name));
    ASSERT_TRUE(rec->WriteRecordFile(paths.back()));
  }
  ASSERT_EQ(window->OpenDocuments(paths), 2);
  QList<QAction*> docs = entries();
  ASSERT_EQ(docs.size(), 2);
  EXPECT_TRUE(docs[0]->text().contains("first.test")) << docs[0]->text().toStdString();
  EXPECT_FALSE(docs[0]->isChecked());
  EXPECT_TRUE(docs[1]->isChecked()) << "the last opened is active";

  docs[0]->trigger();
  EXPECT_EQ(window->ActiveView()->document().path(), paths[0]);
  docs = entries();
  EXPECT_TRUE(docs[0]->isChecked());
  EXPECT_FALSE(docs[1]->isChecked());

  window->Action(CommandId::kNextDocument)->trigger();
  EXPECT_EQ(window->ActiveView()->document().path(), paths[1]);
  window->Action(CommandId::kPreviousDocument)->trigger();
  EXPECT_EQ(window->ActiveView()->document().path(), paths[0]);
}

}  // namespace
}  // namespace kova

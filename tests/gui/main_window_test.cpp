// The real main window and dialogs under the offscreen platform, answered by
// a scripted prompter and a scripted record chooser.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>
#include <QStatusBar>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <filesystem>

#include "analysis/read_record.h"
#include "app/settings_table.h"
#include "app/setup_model.h"
#include "base/file_io.h"
#include "base/format.h"
#include "base/path.h"
#include "gui/main_window.h"
#include "gui/report_view.h"
#include "gui/setup_dialog.h"
#include "gui/single_instance.h"
#include "gui/test_browser_dialog.h"
#include "gui_test_app.h"
#include "platform/auto_exporter.h"
#include "report/report_page.h"
#include "support/record_fixtures.h"
#include "support/scripted_prompter.h"
#include "support/xlsx_contents.h"

namespace kova {
namespace {

QApplication& App() { return GuiTestApp(); }

class ScriptedChooser : public RecordChooser {
 public:
  bool Choose(const std::string& title, bool multiple, std::vector<std::string>& files) override {
    titles.push_back(title);
    modes.push_back(multiple);
    if (answers.empty()) return false;
    files = answers.front();
    answers.pop_front();
    return !files.empty();
  }
  std::deque<std::vector<std::string>> answers;
  std::vector<std::string> titles;
  std::vector<bool> modes;
};

std::string RunCapture(const std::string& command) {
  std::string out;
  if (FILE* p = popen(command.c_str(), "r")) {
    char buf[256];
    while (fgets(buf, sizeof buf, p) != nullptr) out += buf;
    pclose(p);
  }
  return out;
}

std::string WriteRecord(const std::string& folder, const std::string& name, int tests = 2,
                        const std::string& date = "01/02/24 10:00:00") {
  auto rec = MakeSampleRecord(2, tests);
  rec->testdatetime = date;
  Reencode(*rec);
  const std::string path = PathJoin(folder, name);
  EXPECT_TRUE(rec->WriteRecordFile(path));
  return path;
}

struct MainWindowTest : ::testing::Test {
  MemorySettingsStore store;
  AppSettings settings;
  CAppInfo info;
  ScriptedPrompter prompter;
  ScriptedChooser chooser;
  std::string folder = TempFolder(std::string("gui-") +
                                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
  std::unique_ptr<MainWindow> window;

  void SetUp() override {
    App();
    LoadAppSettings(settings, store, WithTrailingSeparator(folder));
    info.Load(store, folder);
    window = std::make_unique<MainWindow>(Context());
    window->show();
    QApplication::setActiveWindow(window.get());
  }
  // The services of a window over this fixture's settings and answers.
  GuiContext Context() {
    GuiContext ctx;
    ctx.store = &store;
    ctx.settings = &settings;
    ctx.info = &info;
    ctx.prompter = &prompter;
    ctx.chooser = &chooser;
    Wire(ctx);
    return ctx;
  }
  bool Enabled(CommandId id) { return window->Action(id)->isEnabled(); }
  // Lets a fixture add services to the window's context.
  virtual void Wire(GuiContext&) {}
};

TEST_F(MainWindowTest, MenusPanelsAndShortcuts) {
  QMenu* file = window->menuBar()->findChildren<QMenu*>().value(0);
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(window->menuBar()->actions().front()->text(), "&File");
  QStringList submenus;
  for (QAction* a : window->menuBar()->actions().front()->menu()->actions())
    if (a->menu() != nullptr) submenus << a->text();
  EXPECT_TRUE(submenus.contains("Test Plan"));
  EXPECT_TRUE(submenus.contains("File Utilities"));
  for (const char* panel : {kPanelTest, kPanelTestPlan, kPanelWindow, kPanelApplication})
    EXPECT_NE(window->findChild<QWidget*>(panel), nullptr) << panel;
  EXPECT_EQ(window->Action(CommandId::kOpenTest)->shortcut(), QKeySequence("Ctrl+O"));
  EXPECT_EQ(window->Action(CommandId::kOpenTest)->text(), "Recall Test");
  // Device commands are offered once their handlers exist, never as stubs.
  EXPECT_EQ(window->Action(CommandId::kTestDirectory), nullptr);

  // Nothing open: only what needs no document.
  EXPECT_TRUE(Enabled(CommandId::kOpenTest));
  EXPECT_FALSE(Enabled(CommandId::kSaveTest));
  EXPECT_FALSE(Enabled(CommandId::kCloseWindow));
  window->OnNewDocument();
  EXPECT_TRUE(Enabled(CommandId::kCloseWindow));
  EXPECT_FALSE(Enabled(CommandId::kSaveTest));
}

// The library and the assessment are installed through the command table
// like every other command: in their menus, enabled by the table's rules.
TEST_F(MainWindowTest, LibraryAndAssessmentCommandsComeFromTheTable) {
  QMenu* utilities = nullptr;
  QMenu* assessment = nullptr;
  for (QAction* a : window->menuBar()->actions().front()->menu()->actions())
    if (a->text() == "File Utilities") utilities = a->menu();
  for (QAction* a : window->menuBar()->actions())
    if (a->text() == kAssessmentMenuTitle) assessment = a->menu();
  ASSERT_NE(utilities, nullptr);
  ASSERT_NE(assessment, nullptr);
  const struct {
    CommandId id;
    QMenu* menu;
    const char* text;
  } rows[] = {
      {CommandId::kLibrary, utilities, "Library..."},
      {CommandId::kAssessmentProfile, assessment, "Assessment &Profile..."},
      {CommandId::kImportReferenceCurve, assessment, "Import &Reference Curve..."},
      {CommandId::kCompareSisterPhases, assessment, "Compare &Sister Phases..."},
  };
  for (const auto& r : rows) {
    QAction* a = window->Action(r.id);
    ASSERT_NE(a, nullptr) << r.text;
    EXPECT_TRUE(r.menu->actions().contains(a)) << r.text;
    EXPECT_EQ(a->text(), r.text);
  }
  // The library is the first of the folder commands, as it always was.
  EXPECT_EQ(utilities->actions().front(), window->Action(CommandId::kLibrary));

  EXPECT_TRUE(Enabled(CommandId::kLibrary));
  EXPECT_FALSE(Enabled(CommandId::kAssessmentProfile));
  window->OnNewDocument();  // empty: nothing to assess
  EXPECT_FALSE(Enabled(CommandId::kCompareSisterPhases));
  const std::string a = WriteRecord(folder, "a.test"), b = WriteRecord(folder, "b.test");
  ASSERT_TRUE(window->OpenDocument(a));
  for (const auto& r : rows) EXPECT_TRUE(Enabled(r.id)) << r.text;
  ASSERT_TRUE(window->OpenOverlay({a, b}));
  EXPECT_FALSE(Enabled(CommandId::kImportReferenceCurve));
  EXPECT_TRUE(Enabled(CommandId::kLibrary));
}

TEST_F(MainWindowTest, OpensRecordsAndOverlaysAndRefusesFour) {
  const std::string a = WriteRecord(folder, "a.test");
  const std::string b = WriteRecord(folder, "b.test");
  const std::string c = WriteRecord(folder, "c.test");
  const std::string d = WriteRecord(folder, "d.test");

  chooser.answers.push_back({a});
  QTest::keyClick(window.get(), Qt::Key_O, Qt::ControlModifier);
  ASSERT_EQ(window->Views().size(), 1);
  EXPECT_TRUE(Enabled(CommandId::kSaveTest));
  EXPECT_EQ(chooser.modes.back(), false);

  chooser.answers.push_back({a, b, c, d});
  window->OnOverlayTest();
  EXPECT_EQ(chooser.titles.back(), kOverlayPrompt);
  EXPECT_EQ(chooser.modes.back(), true);
  ASSERT_EQ(prompter.texts().size(), 1u);
  EXPECT_EQ(prompter.texts().back(), kOverlayCountMessage);
  EXPECT_EQ(window->Views().size(), 1);

  chooser.answers.push_back({a, b, c});
  window->OnOverlayTest();
  ASSERT_EQ(window->Views().size(), 2);
  ReportView* overlay = window->ActiveView();
  EXPECT_EQ(overlay->document().overlaycount(), 3);

  EXPECT_EQ(window->Recent().Entries().front(), a);
  EXPECT_EQ(ReadTextSetting(store, kRecentFileSection, "File1", ""), a);

  // A file that does not read opens nothing and leaves the recent list.
  EXPECT_FALSE(window->OpenDocument(PathJoin(folder, "missing.test")));
  EXPECT_EQ(window->Views().size(), 2);
}

TEST_F(MainWindowTest, SavingARunResultAsksForANameAndOverwriteOnce) {
  const std::string run = WriteRecord(folder, kRunTestFileName);
  const std::string taken = WriteRecord(folder, "taken.test");
  ASSERT_TRUE(window->OpenDocument(run));

  window->OnSaveTest();  // the name dialog is cancelled
  EXPECT_EQ(window->ActiveView()->document().path(), run);

  prompter.QueueText(taken);
  prompter.QueueAnswer(Answer::No);
  prompter.QueueText(taken);
  prompter.QueueAnswer(Answer::Yes);
  window->OnSaveTest();
  EXPECT_EQ(window->ActiveView()->document().path(), taken);
  EXPECT_EQ(prompter.texts(),
            (std::vector<std::string>{OverwriteQuestion(taken), OverwriteQuestion(taken)}));

  // Unloading keeps the window and empties it.
  window->OnCloseTest();
  EXPECT_FALSE(window->ActiveView()->document().loaded());
  EXPECT_FALSE(Enabled(CommandId::kSaveTest));
}

QMdiSubWindow* SubOf(ReportView* view) {
  return view != nullptr ? qobject_cast<QMdiSubWindow*>(view->parentWidget()) : nullptr;
}

TEST_F(MainWindowTest, BadFilesAreNamedTogetherAndAnOpenFileIsBroughtForward) {
  const std::string good = WriteRecord(folder, "good.test");
  const std::string empty = PathJoin(folder, "empty.test");
  const std::string text = PathJoin(folder, "notes.test");
  const std::string dir = PathJoin(folder, "dir.test");
  const std::string missing = PathJoin(folder, "missing.test");
  ASSERT_TRUE(WriteFileAtomically(empty, std::string()));
  ASSERT_TRUE(WriteFileAtomically(text, std::string("not a record at all")));
  ASSERT_TRUE(MakeFolders(dir));
  EXPECT_EQ(window->OpenDocuments({empty, text, good, dir, missing}), 1);
  ASSERT_EQ(prompter.messages().size(), 1u) << "one message for every file";
  const std::string shown = prompter.messages()[0].text;
  const std::pair<std::string, std::string> expected[] = {
      {empty, "the file is empty"},
      {text, "not a record file"},
      {dir, "it is a folder"},
      {missing, "no such file"},
  };
  for (const auto& [path, why] : expected)
    EXPECT_NE(shown.find(path + ": " + why), std::string::npos) << shown;
  EXPECT_EQ(shown.find(good), std::string::npos);

  // The same file again: its window comes forward, no second copy.
  window->OnNewDocument();
  EXPECT_TRUE(window->OpenDocument(good));
  EXPECT_EQ(window->Views().size(), 2);
  EXPECT_EQ(window->ActiveView()->document().path(), good);

  // A run's scratch file holds a new result each time: it opens again.
  const std::string run = WriteRecord(folder, kRunTestFileName);
  ASSERT_TRUE(window->OpenDocument(run));
  ASSERT_TRUE(window->OpenDocument(run));
  EXPECT_EQ(window->Views().size(), 4);
  prompter.QueueAnswer(Answer::No);  // each run result asks once before it goes
  prompter.QueueAnswer(Answer::No);
  window->findChild<QMdiArea*>()->closeAllSubWindows();
  ASSERT_TRUE(window->Views().isEmpty());
  ASSERT_TRUE(window->OpenDocument(good));
  window->OnNewDocument();
  // A file of the same name from another folder: both tabs say which.
  ASSERT_TRUE(MakeFolders(PathJoin(folder, "north")));
  const std::string other = WriteRecord(PathJoin(folder, "north"), "good.test");
  ASSERT_TRUE(window->OpenDocument(other));
  const QString first = SubOf(window->Views()[0])->windowTitle();
  const QString second = SubOf(window->Views()[2])->windowTitle();
  EXPECT_NE(first, second);
  EXPECT_EQ(second, "good.test (north)[*]");
  // The window's title names the active file.
  EXPECT_TRUE(window->windowTitle().startsWith("good.test (north)[*] - Helmark"))
      << window->windowTitle().toStdString();
}

// A record file cut short opens with what it held; a warning box, once as
// it opens, and the status bar say where it ended; a whole file leaves the
// bar alone and shows no box.
TEST_F(MainWindowTest, ARecordThatEndsEarlySaysWhereInTheStatusBar) {
  const std::string whole = WriteRecord(folder, "whole.test");
  std::string bytes;
  ASSERT_TRUE(ReadFileText(whole, bytes));
  const std::string cut = PathJoin(folder, "cut.test");
  ASSERT_TRUE(WriteFileAtomically(cut, bytes.substr(0, 100)));
  ASSERT_TRUE(window->OpenDocument(whole));
  EXPECT_EQ(window->statusBar()->currentMessage().indexOf("ended at byte"), -1);
  ASSERT_TRUE(window->OpenDocument(cut));
  const std::string shown = window->statusBar()->currentMessage().toStdString();
  EXPECT_NE(shown.find("cut.test"), std::string::npos) << shown;
  EXPECT_NE(shown.find("ended at byte 100 but needed"), std::string::npos) << shown;
  ASSERT_EQ(prompter.messages().size(), 1u);
  EXPECT_EQ(prompter.messages()[0].caption, "Warning");
  EXPECT_NE(prompter.messages()[0].text.find("is damaged: it ends at byte 100 of"),
            std::string::npos)
      << prompter.messages()[0].text;
  // Opening it again shows its window: no second box.
  ASSERT_TRUE(window->OpenDocument(cut));
  EXPECT_EQ(prompter.messages().size(), 1u);
}

TEST_F(MainWindowTest, EmptyDocumentsSaySoAndTheViewStyleIsRemembered) {
  window->OnNewDocument();
  EXPECT_EQ(SubOf(window->ActiveView())->windowTitle(), "(no test loaded)[*]");
  const std::string a = WriteRecord(folder, "a.test");
  ASSERT_TRUE(window->OpenDocument(a));
  window->OnCloseTest();
  EXPECT_EQ(SubOf(window->ActiveView())->windowTitle(), "(no test loaded)[*]");
  EXPECT_FALSE(window->windowTitle().contains("a.test"));

  auto click = [this](const QString& text) {
    for (QToolButton* b : window->findChildren<QToolButton*>())
      if (b->text() == text) return b->click();
    FAIL() << text.toStdString();
  };
  // Cascade with one window keeps it whole.
  window->findChild<QMdiArea*>()->closeAllSubWindows();
  ASSERT_TRUE(window->OpenDocument(a));
  click("Cascade");
  EXPECT_TRUE(SubOf(window->ActiveView())->isMaximized());
  EXPECT_EQ(window->ViewStyle(), MainWindow::kViewCascade);
  EXPECT_EQ(ReadIntSetting(store, kSettingsSection, "ViewStyle", -1), MainWindow::kViewCascade);
  MainWindow again(Context());
  EXPECT_EQ(again.ViewStyle(), MainWindow::kViewCascade);
  click("Tabs");
  EXPECT_EQ(window->ViewStyle(), MainWindow::kViewTabs);
}

// The "Test" and "Test Plan" panels share two captions: each button says
// what it works on and opens its own folder.
TEST_F(MainWindowTest, SharedPanelCaptionsTellRecordsFromPlans) {
  info.filepath = PathJoin(folder, "records");
  info.planpath = PathJoin(folder, "plans");
  std::vector<std::string> opened;
  GuiContext ctx = Context();
  ctx.open_folder = [&](const std::string& f) {
    opened.push_back(f);
    return true;
  };
  MainWindow w(ctx);
  auto button = [&](const char* panel, const char* caption) -> QToolButton* {
    for (QToolButton* b : w.findChild<QWidget*>(panel)->findChildren<QToolButton*>())
      if (b->text() == caption) return b;
    return nullptr;
  };
  QToolButton* records = button(kPanelTest, "File Utilities");
  QToolButton* plans = button(kPanelTestPlan, "File Utilities");
  ASSERT_NE(records, nullptr);
  ASSERT_NE(plans, nullptr);
  EXPECT_TRUE(records->toolTip().contains("test records")) << records->toolTip().toStdString();
  EXPECT_TRUE(plans->toolTip().contains("test plans")) << plans->toolTip().toStdString();
  records->click();
  plans->click();
  EXPECT_EQ(opened, (std::vector<std::string>{info.filepath, info.planpath}));
  EXPECT_TRUE(prompter.messages().empty());
}

TEST_F(MainWindowTest, FileUtilitiesWithoutAFileManagerSayWhereTheFilesAre) {
  window->Action(CommandId::kTestUtilities)->trigger();
  ASSERT_EQ(prompter.messages().size(), 1u);
  EXPECT_NE(prompter.messages()[0].text.find(info.filepath), std::string::npos);
}

TEST(SingleInstance, ASecondStartHandsItsFilesToTheFirst) {
  App();
  const QString name = QStringLiteral("kova-gui-test-%1").arg(QCoreApplication::applicationPid());
  SingleInstance first(name), second(name);
  EXPECT_FALSE(second.HandOver({"/nobody/listens.test"}, 200));
  std::vector<std::vector<std::string>> received;
  ASSERT_TRUE(first.Listen([&](const std::vector<std::string>& p) { received.push_back(p); }));
  ASSERT_TRUE(second.HandOver({"/r/a.test", "/r/\xc3\xa9t\xc3\xa9.test"}));
  ASSERT_TRUE(second.HandOver({}));  // no files: the window only comes forward
  for (int i = 0; i < 200 && received.size() < 2; ++i) QTest::qWait(10);
  ASSERT_EQ(received.size(), 2u);
  EXPECT_EQ(received[0], (std::vector<std::string>{"/r/a.test", "/r/\xc3\xa9t\xc3\xa9.test"}));
  EXPECT_TRUE(received[1].empty());
}

TEST_F(MainWindowTest, PagesWithTheKeysAndPrintsEveryPage) {
  const std::string a = WriteRecord(folder, "a.test", 3);
  ASSERT_TRUE(window->OpenDocument(a));
  ReportView* view = window->ActiveView();
  const int pages = view->document().pagecount();
  ASSERT_GT(pages, 3);
  EXPECT_EQ(window->StatusText(), QString("Page 1 of %1").arg(pages));
  QTest::keyClick(view, Qt::Key_PageUp);  // first page: nothing changes
  EXPECT_EQ(view->document().currentpage(), 0);
  QTest::keyClick(view, Qt::Key_PageDown);
  EXPECT_EQ(window->StatusText(), QString("Page 2 of %1").arg(pages));
  QTest::keyClick(view, Qt::Key_End);
  QTest::keyClick(view, Qt::Key_PageDown);  // last page: nothing changes
  EXPECT_EQ(view->document().currentpage(), pages - 1);
  EXPECT_EQ(window->StatusText(), QString("Page %1 of %1").arg(pages));
  QTest::keyClick(view, Qt::Key_PageUp);
  EXPECT_EQ(view->document().currentpage(), pages - 2);
  QTest::keyClick(view, Qt::Key_Home);
  EXPECT_EQ(view->document().currentpage(), 0);

  // The view draws a page that fills it (not just the white background).
  view->resize(1000, 700);
  const QImage shot = view->grab().toImage();
  int dark = 0;
  for (int y = 0; y < shot.height(); y += 4)
    for (int x = 0; x < shot.width(); x += 4)
      if (qGray(shot.pixel(x, y)) < 128) ++dark;
  EXPECT_GT(dark, 200);

  const std::string pdf = PathJoin(folder, "report.pdf");
  prompter.QueueText(pdf);
  window->OnSavePdf();
  ASSERT_TRUE(FileExists(pdf));
  const std::string info_text = RunCapture("pdfinfo '" + pdf + "'");
  const size_t at = info_text.find("Pages:");
  ASSERT_NE(at, std::string::npos) << info_text;
  EXPECT_EQ(std::atoi(info_text.c_str() + at + 6), pages);

  // An overlay of three shows overlay pages first.
  const std::string b = WriteRecord(folder, "b.test", 3);
  const std::string c = WriteRecord(folder, "c.test", 3);
  chooser.answers.push_back({a, b, c});
  window->OnOverlayTest();
  EXPECT_EQ(window->ActiveView()->document().report().pages().front().kind, kOverlayPage);
  EXPECT_TRUE(Enabled(CommandId::kPrint));
}

// "Calculation Details" in the view's menu adds the details pages after the
// report's own, on screen and in print, and the next documents open as the
// last choice left them.
TEST_F(MainWindowTest, CalculationDetailsCommandTogglesAndIsRemembered) {
  const std::string a = WriteRecord(folder, "a.test", 3), b = WriteRecord(folder, "b.test", 3);
  ASSERT_TRUE(window->OpenDocument(a));
  ReportView* view = window->ActiveView();
  // Three test pages, the first test's burden and insulation page, summary, plan.
  EXPECT_EQ(view->document().pagecount(), 6);
  QAction* details = view->calculationDetailsAction();
  ASSERT_NE(details, nullptr);
  EXPECT_EQ(details->text(), QStringLiteral("Calculation Details"));
  EXPECT_TRUE(details->isCheckable());
  EXPECT_FALSE(details->isChecked());
  EXPECT_TRUE(view->actions().contains(details));
  EXPECT_EQ(view->contextMenuPolicy(), Qt::ActionsContextMenu);

  details->trigger();
  const int with_details = view->document().pagecount();
  EXPECT_GT(with_details, 6);
  EXPECT_EQ(view->document().report().pages().back().kind, kCalculationDetailsPage);
  EXPECT_EQ(window->StatusText(), QString("Page 1 of %1").arg(with_details));
  EXPECT_EQ(LoadInt(store, SettingId::kCalculationDetails), 1);
  const std::string pdf = PathJoin(folder, "details.pdf");
  prompter.QueueText(pdf);
  window->OnSavePdf();
  const std::string info_text = RunCapture("pdfinfo '" + pdf + "'");
  const size_t at = info_text.find("Pages:");
  ASSERT_NE(at, std::string::npos) << info_text;
  EXPECT_EQ(std::atoi(info_text.c_str() + at + 6), with_details);

  ASSERT_TRUE(window->OpenDocument(b));
  ReportView* next = window->ActiveView();
  ASSERT_NE(next, view);
  EXPECT_TRUE(next->calculationDetailsAction()->isChecked());
  EXPECT_EQ(next->document().pagecount(), with_details);
  next->calculationDetailsAction()->trigger();
  EXPECT_EQ(next->document().pagecount(), 6);
  EXPECT_EQ(LoadInt(store, SettingId::kCalculationDetails), 0);
}

TEST_F(MainWindowTest, LookIsStored) {
  window->ApplyLook(164);
  EXPECT_EQ(ReadIntSetting(store, kSettingsSection, "ApplicationLook", 0), 164);
  window->ApplyLook(163);
}

TEST_F(MainWindowTest, BrowserListsTheFolderAndAsksForASelection) {
  const std::string browse = TempFolder("gui-browser");
  const std::string model = WriteRecord(browse, "model.test", 3, "12/30/23 08:00:00");
  WriteRecord(browse, "newest.test", 1, "01/05/24 09:00:00");
  WriteRecord(browse, kRunTestFileName);
  std::vector<uint8_t> bytes;
  ASSERT_TRUE(ReadFileBytes(model, bytes));
  for (int i = 0; i < 598; ++i)
    WriteFileAtomically(PathJoin(browse, Format("r%03d.test", i)), bytes);
  QDir::setCurrent(QString::fromStdString(browse));

  TestBrowserDialog dialog(info, store, prompter, "", true);
  EXPECT_EQ(dialog.windowTitle(), "Open Test");
  EXPECT_TRUE(dialog.Filling());  // filled in steps while the window stays responsive
  dialog.FinishFill();
  ASSERT_EQ(dialog.List()->topLevelItemCount(), kBrowserMaxFiles);
  const std::vector<BrowserRow> rows = dialog.ShownRows();
  EXPECT_EQ(rows.front().filename, "newest.test");  // sorted by the real date, newest first
  const QTreeWidgetItem* top = dialog.List()->topLevelItem(0);
  EXPECT_EQ(top->text(3), "1");
  TestRecord newest;
  ASSERT_TRUE(ReadRecordFile(newest, PathJoin(browse, "newest.test"), RecordDefaults()));
  EXPECT_EQ(top->text(1).toStdString(), newest.serialnumber);
  // No text is cut: each column holds its widest text.
  for (int c = 0; c < dialog.List()->columnCount(); ++c) {
    for (int r = 0; r < dialog.List()->topLevelItemCount(); r += 50) {
      const QTreeWidgetItem* item = dialog.List()->topLevelItem(r);
      EXPECT_GE(dialog.List()->columnWidth(c),
                dialog.List()->fontMetrics().horizontalAdvance(item->text(c)))
          << c << ": " << item->text(c).toStdString();
    }
  }

  dialog.accept();
  EXPECT_EQ(prompter.texts().back(), kPleaseSelectTest);
  EXPECT_EQ(dialog.result(), 0);
  dialog.List()->topLevelItem(0)->setSelected(true);
  dialog.List()->topLevelItem(2)->setSelected(true);
  dialog.accept();
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  ASSERT_EQ(dialog.Result().size(), 2u);
  EXPECT_EQ(FileNameOf(dialog.Result()[0]), "newest.test");
  std::vector<unsigned char> widths;
  EXPECT_TRUE(store.GetBinary("ListCtrls", "TestBrowser-1", widths));
}

TEST_F(MainWindowTest, SetupDialogHandsBackItsControls) {
  info.comport = 12;
  const SetupValues before = LoadSetup(settings, info, SetupPortList(true, {}, {}), true);
  SetupDialog dialog(before, prompter);
  EXPECT_EQ(dialog.ports->count(), 100);
  EXPECT_EQ(dialog.ports->currentText(), "COM12:");
  EXPECT_FALSE(dialog.speed->isEnabled());

  // Cancel: the caller applies nothing, the store stays as it was.
  const size_t writes = store.WriteLog().size();
  dialog.reject();
  EXPECT_EQ(store.WriteLog().size(), writes);

  dialog.ports->setCurrentIndex(4);
  dialog.portrait->setChecked(true);
  dialog.xml->setChecked(true);
  prompter.QueueText("/records/here");
  dialog.BrowseFolder(dialog.filepath);
  prompter.QueueText("/logos/new");
  dialog.BrowseLogo();
  const SetupValues after = dialog.Values();
  EXPECT_EQ(after.portindex, 4);
  EXPECT_EQ(after.orientation, 1);
  EXPECT_TRUE(after.exportxml);
  EXPECT_EQ(after.filepath, "/records/here");
  EXPECT_EQ(after.logo, "/logos/new.bmp");
  ApplySetup(after, true, settings, info, store);
  EXPECT_EQ(ReadIntSetting(store, kSettingsSection, "ComPort", 0), 5);
}

// The window with the program's real exports, as kova-gui assembles them.
struct ExportCommandsTest : MainWindowTest {
  std::unique_ptr<AutoExporter> exporter;
  void Wire(GuiContext& ctx) override {
    exporter = std::make_unique<AutoExporter>(settings, prompter);
    ctx.exporter = exporter.get();
    ctx.auto_export = [this](TestRecord& rec, bool force, const RecordContext& kept) {
      return exporter->Export(rec, force, &kept);
    };
    ctx.workbook_export = WorkbookExportKind(settings);
  }
};

TEST_F(ExportCommandsTest, ExportToExcelWritesAWorkbookPerChosenRecordAndRemembersTheFolder) {
  const std::string a = WriteRecord(folder, "first.test", 2);
  const std::string b = WriteRecord(folder, "second.test", 3);
  const std::string out = PathJoin(folder, "out");
  ASSERT_TRUE(QDir().mkpath(QString::fromStdString(out)));
  chooser.answers.push_back({a, PathJoin(folder, "missing.test"), b});
  prompter.QueueText(out);
  window->Action(CommandId::kExportExcel)->trigger();
  ASSERT_EQ(chooser.modes.size(), 1u);
  EXPECT_TRUE(chooser.modes[0]) << "the browser allows several records";
  for (const char* name : {"first.xlsx", "second.xlsx"}) {
    const XlsxContents book = ReadXlsx(PathJoin(out, name));
    EXPECT_TRUE(book.read) << name;
  }
  // The pictures drawn for the workbooks do not stay behind.
  EXPECT_EQ(QDir(QString::fromStdString(out)).entryList(QDir::Files).size(), 2);
  EXPECT_EQ(ReadTextSetting(store, "AppInfo", "ExportDir", ""), out);
  EXPECT_EQ(window->statusBar()->currentMessage().toStdString(), "2 workbook(s) written to " + out);

  // Cancelling the folder choice writes nothing.
  chooser.answers.push_back({a});
  window->Action(CommandId::kExportExcel)->trigger();
  EXPECT_EQ(QDir(QString::fromStdString(out)).entryList(QDir::Files).size(), 2);
}

TEST_F(ExportCommandsTest, ExportIsForcedAndOpeningRenewsOnlyStaleExports) {
  const std::string record = WriteRecord(folder, "rec.test");
  const std::string xml = PathJoin(folder, "Xml/rec.xml"),
                    xlsx = PathJoin(folder, "Excel/rec.xlsx");
  EXPECT_FALSE(Enabled(CommandId::kExport)) << "needs a loaded document";

  // With nothing chosen, Export says so instead of doing nothing.
  ASSERT_TRUE(window->OpenDocument(record));
  window->Action(CommandId::kExport)->trigger();
  ASSERT_EQ(prompter.messages().size(), 1u);
  EXPECT_NE(prompter.messages()[0].text.find("No exports are chosen"), std::string::npos);
  prompter = ScriptedPrompter();
  // An open file is brought forward, not opened again: close it first.
  auto reopen = [&] {
    window->findChild<QMdiArea*>()->closeAllSubWindows();
    return window->OpenDocument(record);
  };
  // With the exports off, opening makes nothing.
  ASSERT_TRUE(reopen());
  EXPECT_FALSE(FileExists(xml));

  settings.AutoExportXml = 1;
  settings.AutoExportExcel = 1;
  ASSERT_TRUE(reopen());
  EXPECT_TRUE(FileExists(xml));
  EXPECT_TRUE(ReadXlsx(xlsx).read);

  // Up to date: opening again keeps the exports, "Export" makes them anew.
  namespace fs = std::filesystem;
  fs::last_write_time(record, fs::last_write_time(record) - std::chrono::seconds(10));
  ASSERT_TRUE(WriteFileAtomically(xlsx, std::string("kept")));
  ASSERT_TRUE(reopen());
  std::string kept;
  ASSERT_TRUE(ReadFileText(xlsx, kept));
  EXPECT_EQ(kept, "kept");
  ASSERT_TRUE(Enabled(CommandId::kExport));
  window->Action(CommandId::kExport)->trigger();
  EXPECT_TRUE(ReadXlsx(xlsx).read);
  EXPECT_TRUE(prompter.messages().empty()) << prompter.messages().front().text;
  // The status bar says what went where.
  EXPECT_EQ(window->statusBar()->currentMessage().toStdString(),
            "Exports of rec.test written to Xml, Excel in " + folder);

  // A workbook that cannot be written: the message names it and the reason,
  // and the status bar does not claim the exports were written.
  fs::remove_all(PathJoin(folder, "Excel"));
  ASSERT_TRUE(WriteFileAtomically(PathJoin(folder, "Excel"), std::string("in the way")));
  window->Action(CommandId::kExport)->trigger();
  ASSERT_EQ(prompter.messages().size(), 1u);
  const std::string& text = prompter.messages()[0].text;
  EXPECT_NE(text.find(xlsx), std::string::npos) << text;
  EXPECT_NE(text.find("\": "), std::string::npos) << text;
  EXPECT_EQ(window->statusBar()->currentMessage(), "Exports of rec.test not all written");
}

}  // namespace
}  // namespace kova

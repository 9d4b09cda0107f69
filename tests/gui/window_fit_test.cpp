// Windows that fit a 1366x768 laptop: the main window, the Library window
// and every dialog the main window's commands open (Setup, the Open Test
// browser, Edit with its Pass / Fail Setup, the plan editor, About, the
// keyboard shortcuts, Device Directory, the batch summary) open within the
// screen, with every widget on it, and the main window opens again where
// it was closed.

#include <gtest/gtest.h>

#include <QAbstractScrollArea>
#include <QAction>
#include <QApplication>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/batch_summary.h"
#include "app/device_stack.h"
#include "app/setup_model.h"
#include "app/shown_test_date.h"
#include "app/window_place.h"
#include "base/path.h"
#include "desktop_setup.h"
#include "device/hid_backend.h"
#include "gui/device/batch_summary_dialog.h"
#include "gui/device/directory_dialogs.h"
#include "gui/dialogs/edit_test_dialog.h"
#include "gui/library/library_command.h"
#include "gui/qt_prompter.h"
#include "gui/setup_dialog.h"
#include "gui/test_browser_dialog.h"
#include "gui_test_app.h"
#include "platform/qt_serial_backend.h"
#include "support/record_fixtures.h"

namespace kova {
namespace {

// Widgets inside a scrolled area may lie beyond it by design.
bool InsideScrolledContent(const QWidget* w) {
  for (const QWidget* p = w->parentWidget(); p != nullptr; p = p->parentWidget())
    if (qobject_cast<const QAbstractScrollArea*>(p) != nullptr) return true;
  return false;
}

// The window's frame and every visible widget in it lie within `screen`.
void ExpectWithin(QWidget* window, const QRect& screen, const char* what) {
  SCOPED_TRACE(what);
  EXPECT_TRUE(screen.contains(window->frameGeometry()))
      << "frame " << window->frameGeometry().x() << "," << window->frameGeometry().y() << " "
      << window->frameGeometry().width() << "x" << window->frameGeometry().height();
  for (QWidget* w : window->findChildren<QWidget*>()) {
    if (!w->isVisible() || w->isWindow() || InsideScrolledContent(w)) continue;
    const QRect at(w->mapToGlobal(QPoint(0, 0)), w->size());
    EXPECT_TRUE(screen.contains(at))
        << w->metaObject()->className() << " '" << w->objectName().toStdString() << "' at "
        << at.x() << "," << at.y() << " " << at.width() << "x" << at.height();
  }
}

struct WindowFitTest : ::testing::Test {
  void SetUp() override {
    GuiTestApp();
    if (QGuiApplication::platformName() != QStringLiteral("offscreen"))
      GTEST_SKIP() << "the laptop screen is made by the offscreen platform";
    screen = QGuiApplication::primaryScreen()->availableGeometry();
    ASSERT_EQ(screen.size(), QSize(kTestScreenWidth, kTestScreenHeight));
  }
  std::string folder = TempFolder("window-fit");
  QRect screen;
};

TEST_F(WindowFitTest, EveryWindowAndDialogOpensWithinTheScreen) {
  DesktopSetup desk(folder);
  auto window = std::make_unique<MainWindow>(desk.ctx);
  window->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
  ExpectWithin(window.get(), screen, "main window");

  QWidget* library = OpenLibraryWindow(
      window.get(), desk.store, [](const std::string&) {}, PathJoin(folder, "library.sqlite"));
  ASSERT_NE(library, nullptr);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(library));
  ExpectWithin(library, screen, "Library window");
  library->close();

  SetupDialog setup(LoadSetup(desk.settings, desk.info, SetupPortList(false, {}, {}), false),
                    desk.prompter, window.get());
  setup.show();
  ExpectWithin(&setup, screen, "Application Setup");

  TestBrowserDialog browser(desk.info, desk.store, desk.prompter, "Select Test(s)", true,
                            window.get());
  browser.show();
  ExpectWithin(&browser, screen, "test browser");

  // A dialog asking for more than the screen has is shrunk and moved in.
  QDialog big(window.get());
  big.resize(1900, 1200);
  big.move(-300, 500);
  big.show();
  ExpectWithin(&big, screen, "oversized dialog");
}

// Checks every modal window the main window's commands open, as they open,
// then closes it; an edit dialog first opens its "Pass / Fail Setup" (from
// a call of its own: a timer's slot does not run inside itself).
class ModalWatcher {
 public:
  explicit ModalWatcher(const QRect& screen) : screen_(screen) {
    timer_.setInterval(20);
    QObject::connect(&timer_, &QTimer::timeout, [this] { Look(); });
    timer_.start();
  }
  // Runs `open` (which returns when its window closed) and names the
  // windows seen meanwhile.
  std::vector<std::string> Run(const std::function<void()>& open) {
    seen_.clear();
    open();
    return seen_;
  }

 private:
  void Look() {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr || !dialog->isVisible()) return;
    auto* edit = qobject_cast<EditTestDialog*>(dialog);
    if (edit == nullptr || edit != edit_) {
      const std::string name = dialog->metaObject()->className();
      seen_.push_back(name);
      ExpectWithin(dialog, screen_, name.c_str());
    }
    if (edit != nullptr && edit != edit_) {
      edit_ = edit;
      QTimer::singleShot(0, edit, [edit] { edit->passFailButton()->click(); });
      return;
    }
    if (edit != nullptr) edit_ = nullptr;
    dialog->done(QDialog::Rejected);
  }

  QRect screen_;
  QTimer timer_;
  EditTestDialog* edit_ = nullptr;  // its pass/fail dialog has been asked for
  std::vector<std::string> seen_;
};

// The longest texts an entry of the instrument's directory holds.
DirectoryEntry FullEntry(int number) {
  DirectoryEntry e;
  e.number = number;
  const std::string wide(kDirectoryTextSize - 1, 'W');
  std::snprintf(e.datetime, sizeof e.datetime, "12/31/19 10:20:30");
  for (char* text : {e.company, e.station, e.circuit, e.mfr, e.model, e.sn, e.testtype})
    std::snprintf(text, kDirectoryTextSize, "%s", wide.c_str());
  return e;
}

TEST_F(WindowFitTest, EveryDialogOfTheMainWindowOpensWithinTheScreen) {
  // A record of ten tests, so the edit dialog's grid is as full as it gets.
  auto rec = MakeSampleRecord(2, 10, 5);
  rec->company = std::string(40, 'W');
  Reencode(*rec);
  const std::string record = PathJoin(folder, "CT-1.test");
  ASSERT_TRUE(rec->WriteRecordFile(record));
  DesktopSetup desk(folder);
  desk.info.filepath = folder;
  QtPrompter prompter(nullptr);
  BrowserRecordChooser chooser(desk.info, desk.store, prompter, nullptr);
  desk.ctx.prompter = &prompter;
  desk.ctx.chooser = &chooser;
  desk.ctx.system_ports = [] {
    std::vector<SystemPort> ports;
    for (int i = 0; i < 12; ++i)
      ports.push_back(
          {"/dev/ttyUSB" + std::to_string(i), "FT232R USB UART", "FTDI", 0x0403, 0x6001});
    return ports;
  };
  MainWindow window(desk.ctx);
  prompter.SetParent(&window);
  chooser.SetParent(&window);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  ASSERT_TRUE(window.OpenDocument(record));
  ExpectWithin(&window, screen, "main window with a document");

  ModalWatcher watcher(screen);
  const struct {
    CommandId command;
    std::vector<std::string> windows;  // what opens, in order
  } cases[] = {
      {CommandId::kAppSetup, {"kova::SetupDialog"}},
      {CommandId::kOpenTest, {"kova::TestBrowserDialog"}},
      {CommandId::kEditTest, {"kova::EditTestDialog", "kova::PassFailDialog"}},
      {CommandId::kCreatePlan, {"kova::PlanEditorDialog"}},
      {CommandId::kAbout, {"QMessageBox"}},
      {CommandId::kKeyboardShortcuts, {"QMessageBox"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(FindCommand(c.command)->menu_caption);
    QAction* action = window.Action(c.command);
    ASSERT_NE(action, nullptr);
    EXPECT_EQ(watcher.Run([action] { action->trigger(); }), c.windows);
  }

  // The instrument's dialogs, with as much as they can hold: a full
  // directory and a batch summary of many long names in a deep folder.
  QtSerialBackend serial;
  NoHidBackend hid;
  DeviceStack stack(desk.info, desk.settings, desk.store, desk.prompter, serial, hid, 0x1234);
  std::vector<DirectoryEntry> entries;
  for (int i = 1; i <= kMaxDirectoryEntries; ++i) entries.push_back(FullEntry(i));
  stack.device().UseDirectory(entries);
  DeviceDirectoryDialog directory(stack.device(), true, DesktopDateStyle(desk.info), &window);
  directory.show();
  ExpectWithin(&directory, screen, "Device Directory");

  std::vector<SavedRecordRow> rows;
  const std::string deep = "/home/engineer/" + std::string(60, 'd') + "/KOVA/Tests";
  for (int i = 0; i < 60; ++i) {
    SavedRecordRow r;
    r.file_name = "Test-123119-" + std::to_string(100 + i) + ".tst-kova7k";
    r.path = PathJoin(deep, r.file_name);
    r.serial = std::string(39, 'S');
    r.station = std::string(39, 'W');
    r.circuit = std::string(39, 'W');
    r.date = "12/31/19 10:20:30";
    r.readable = true;
    rows.push_back(r);
  }
  BatchSummaryDialog summary(
      rows, BatchSummaryHeading(60, 60, deep), [] {}, &window);
  summary.show();
  ExpectWithin(&summary, screen, "batch summary");
}

TEST_F(WindowFitTest, TheMainWindowOpensWhereItClosedOnThisScreen) {
  DesktopSetup desk(folder);
  {
    MainWindow window(desk.ctx);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    window.setGeometry(100, 80, 900, 600);
    window.close();
  }
  const std::optional<PlaceRect> kept =
      KeptPlace(desk.store, "Main", {screen.x(), screen.y(), screen.width(), screen.height()});
  ASSERT_TRUE(kept.has_value());
  EXPECT_EQ(kept->width, 900);
  MainWindow again(desk.ctx);
  again.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&again));
  EXPECT_EQ(again.geometry().size(), QSize(900, 600));
  EXPECT_EQ(again.geometry().topLeft(), QPoint(100, 80));
}

}  // namespace
}  // namespace kova

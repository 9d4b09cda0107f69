// Pictures of the main window (also with unsaved changes and the question
// before they are lost), an overlay, the browser, the setup dialog (a
// port typed by hand), the start page and the "&Window" menu for the README; the dialog tests add
// theirs under "dialogs". Runs only when KOVA_SCREENSHOT_DIR names a folder (an absolute one); take
// them under Xvfb:
//   KOVA_SCREENSHOT_DIR=$PWD/docs QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x800x24"
//     build/tests/kova_gui_tests --gtest_filter='Screenshots.*'   (one line)

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QCursor>
#include <QDir>
#include <QLineEdit>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <cstdlib>

#include "app/device_stack.h"
#include "app/setup_model.h"
#include "base/path.h"
#include "device/hid_backend.h"
#include "gui/desktop_setup.h"
#include "gui/device/device_commands.h"
#include "gui/gui_test_app.h"
#include "gui/main_window.h"
#include "gui/report_view.h"
#include "gui/setup_dialog.h"
#include "gui/test_browser_dialog.h"
#include "platform/qt_serial_backend.h"
#include "support/record_fixtures.h"
#include "support/scripted_prompter.h"

namespace kova {
namespace {

constexpr const char* kShownFolder = "/home/engineer/KOVA/Tests";

class NoChooser : public RecordChooser {
 public:
  bool Choose(const std::string&, bool, std::vector<std::string>&) override { return false; }
};

void Save(QWidget& w, const QString& name) {
  QTest::qWait(150);
  const QString dir = QString::fromLocal8Bit(std::getenv("KOVA_SCREENSHOT_DIR"));
  ASSERT_TRUE(w.grab().save(QDir(dir).filePath(name), "PNG", 9)) << name.toStdString();
}

TEST(Screenshots, MainWindowBrowserAndSetup) {
  if (std::getenv("KOVA_SCREENSHOT_DIR") == nullptr) GTEST_SKIP() << "KOVA_SCREENSHOT_DIR not set";
  GuiTestApp();

  const std::string folder = TempFolder("screens");
  std::vector<std::string> files;
  const char* stations[] = {"North Substation", "Harbour Road", "Mill Lane"};
  const char* dates[] = {"03/14/24 09:12:40", "03/14/24 10:05:02", "11/02/23 15:48:19"};
  for (int i = 0; i < 3; ++i) {
    auto rec = MakeSampleRecord(2, 4, 11 + i);
    rec->company = "Eastern Grid Services";
    rec->station = stations[i];
    rec->circuit = "Feeder 12B";
    rec->testdatetime = dates[i];
    // Three cores of different size, so the overlaid curves part.
    const double f = 1.0 + 0.6 * i;
    for (TapTest& tap : rec->taps) {
      for (double& v : tap.dpVolts) v *= f;
      for (GraphPoint& g : tap.graph) g.gpVolts *= f;
    }
    Reencode(*rec);
    files.push_back(PathJoin(folder, "CT-" + std::to_string(101 + i) + ".test"));
    ASSERT_TRUE(rec->WriteRecordFile(files.back()));
  }
  DesktopSetup desk(folder);
  NoChooser chooser;
  desk.ctx.chooser = &chooser;
  // Every command the program offers, so the panels look as they do for a
  // user; nothing here talks to an instrument or exports.
  desk.ctx.auto_export = [](TestRecord&, bool, const RecordContext&) { return true; };
  QtSerialBackend serial;
  NoHidBackend hid;
  DeviceStack stack(desk.info, desk.settings, desk.store, desk.prompter, serial, hid, 0x1234);
  MainWindow window(desk.ctx);
  DeviceCommands::Install(window, stack.device(), desk.prompter, desk.info);
  window.resize(1280, 800);
  window.show();
  ASSERT_TRUE(window.OpenDocument(files[0]));
  Save(window, "main-window.png");
  ASSERT_TRUE(window.OpenOverlay(files));
  Save(window, "overlay.png");
  // The first record edited: the asterisk in its tab and the title, and the
  // question before it is closed.
  QMdiArea* area = window.findChild<QMdiArea*>();
  area->setActiveSubWindow(area->subWindowList().front());
  window.ActiveView()->document().MarkModified();
  window.UpdateCommands();
  Save(window, "unsaved-changes.png");
  QMessageBox question(QMessageBox::Question, QString::fromUtf8(kDeviceCaption),
                       QStringLiteral("Save changes to CT-101.test?"),
                       QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, &window);
  question.show();
  Save(question, "save-changes-question.png");
  question.hide();

  QDir::setCurrent(QString::fromStdString(folder));
  TestBrowserDialog browser(desk.info, desk.store, desk.prompter, "", false);
  browser.FinishFill();
  // The pictures show a folder as a user's would look, never this machine's.
  if (auto* shown = browser.findChild<QLineEdit*>()) shown->setText(kShownFolder);
  browser.show();
  Save(browser, "browser.png");

  // The system's ports with what the system says of them: two serial
  // adapters and a port on the board.
  const std::vector<SystemPort> ports = {
      {"/dev/ttyS0", "", "", -1, -1},
      {"/dev/ttyUSB0", "FT232R USB UART", "FTDI", 0x0403, 0x6001},
      {"/dev/ttyUSB1", "CP2102 USB to UART Bridge Controller", "Silicon Labs", 0x10c4, 0xea60}};
  std::vector<std::string> names;
  for (const SystemPort& p : ports) names.push_back(p.name);
  SetupValues values = LoadSetup(desk.settings, desk.info, SetupPortList(false, names, {}), false);
  values.port_labels = SetupPortLabels(values.ports, ports);
  values.filepath = kShownFolder;
  values.planpath = "/home/engineer/KOVA/Plans";
  values.logo = "/home/engineer/KOVA/report_logo.bmp";
  // Auto Detect off: the FTDI adapter chosen from the list at 19200 bit/s.
  values.autodetect = false;
  values.usb = false;
  values.porttext.clear();
  for (size_t i = 0; i < values.ports.size(); ++i)
    if (values.ports[i] == "/dev/ttyUSB0") values.portindex = static_cast<int>(i);
  values.comspeed = 0;
  // The connection test's answer as a found instrument gives it.
  SetupDialog setup(values, desk.prompter, nullptr, [](const ProbeTarget& t) {
    ProbeOutcome o;
    o.found = true;
    o.baud = t.baud;
    o.text = "KOVA-7100B/C on " + t.port + " at 19200 bit/s";
    return o;
  });
  setup.show();
  setup.test_connection->click();
  Save(setup, "setup.png");
  // The port list dropped down (a window of its own: from the X server's
  // screen, so under xcb only).
  if (QGuiApplication::platformName() == QStringLiteral("xcb")) {
    setup.move(40, 40);
    QTest::qWait(100);
    setup.ports->showPopup();
    QTest::qWait(300);
    QWidget* popup = setup.ports->view()->window();
    QScreen* screen = QGuiApplication::primaryScreen();
    const QRect area =
        setup.frameGeometry().united(popup->frameGeometry()).intersected(screen->geometry());
    const QString dir = QString::fromLocal8Bit(std::getenv("KOVA_SCREENSHOT_DIR"));
    EXPECT_TRUE(screen->grabWindow(0, area.x(), area.y(), area.width(), area.height())
                    .save(QDir(dir).filePath("setup-port-list.png"), "PNG", 9));
    setup.ports->hidePopup();
  }
}

// The start page with the recent files, then the "&Window" menu dropped
// down over three documents and an overlay (a menu is a window of its own:
// taken from the X server's screen, so under xcb only).
TEST(Screenshots, StartPageAndWindowMenu) {
  if (std::getenv("KOVA_SCREENSHOT_DIR") == nullptr) GTEST_SKIP() << "KOVA_SCREENSHOT_DIR not set";
  GuiTestApp();
  if (QGuiApplication::platformName() != QStringLiteral("xcb"))
    GTEST_SKIP() << "the menu is taken from the X server's screen";

  const std::string folder = TempFolder("screens-start");
  std::vector<std::string> files;
  const char* stations[] = {"North Substation", "Harbour Road", "Mill Lane"};
  for (int i = 0; i < 3; ++i) {
    auto rec = MakeSampleRecord(2, 3, 21 + i);
    rec->company = "Eastern Grid Services";
    rec->station = stations[i];
    // Cores of different size, so the overlay's three curves part.
    const double f = 1.0 + 0.6 * i;
    for (TapTest& tap : rec->taps) {
      for (double& v : tap.dpVolts) v *= f;
      for (GraphPoint& g : tap.graph) g.gpVolts *= f;
    }
    Reencode(*rec);
    files.push_back(PathJoin(folder, "CT-" + std::to_string(201 + i) + ".test"));
    ASSERT_TRUE(rec->WriteRecordFile(files.back()));
  }
  DesktopSetup desk(folder);
  NoChooser chooser;
  desk.ctx.chooser = &chooser;
  desk.ctx.auto_export = [](TestRecord&, bool, const RecordContext&) { return true; };
  QtSerialBackend serial;
  NoHidBackend hid;
  DeviceStack stack(desk.info, desk.settings, desk.store, desk.prompter, serial, hid, 0x1234);
  MainWindow window(desk.ctx);
  DeviceCommands::Install(window, stack.device(), desk.prompter, desk.info);
  window.setGeometry(0, 0, 1280, 800);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

  // Three records opened and closed again: the start page names them.
  for (const std::string& f : files) ASSERT_TRUE(window.OpenDocument(f));
  window.findChild<QMdiArea*>()->closeAllSubWindows();
  QApplication::processEvents();
  // The page says where the records are kept: a folder as a user's would be.
  const std::string kept = desk.info.filepath;
  desk.info.filepath = kShownFolder;
  window.UpdateCommands();
  ASSERT_TRUE(window.StartPageShowing());
  // The pointer rests in the status bar, off every button.
  QCursor::setPos(window.mapToGlobal(QPoint(window.width() - 40, window.height() - 8)));
  Save(window, "start-page.png");
  desk.info.filepath = kept;

  for (const std::string& f : files) ASSERT_TRUE(window.OpenDocument(f));
  ASSERT_TRUE(window.OpenOverlay(files));
  window.ActiveView()->document().MarkModified();
  window.UpdateCommands();
  window.menuBar()->setActiveAction(window.WindowMenu()->menuAction());
  QTest::qWait(300);
  ASSERT_TRUE(window.WindowMenu()->isVisible());
  QScreen* screen = QGuiApplication::primaryScreen();
  const QRect area = QRect(window.mapToGlobal(QPoint(0, 0)), window.size())
                         .united(window.WindowMenu()->geometry())
                         .intersected(screen->geometry());
  const QString dir = QString::fromLocal8Bit(std::getenv("KOVA_SCREENSHOT_DIR"));
  EXPECT_TRUE(screen->grabWindow(0, area.x(), area.y(), area.width(), area.height())
                  .save(QDir(dir).filePath("window-menu.png"), "PNG", 9));
  window.WindowMenu()->hide();
}

}  // namespace
}  // namespace kova

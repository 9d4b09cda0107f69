// Pictures of the main window (also with unsaved changes and the question
// before they are lost), an overlay, the browser and the setup dialog (a
// port typed by hand) for the README; the dialog tests add theirs under
// "dialogs". Runs only when KOVA_SCREENSHOT_DIR names a folder (an absolute
// one); take them under Xvfb:
//   KOVA_SCREENSHOT_DIR=$PWD/docs QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x800x24"
//     build/tests/kova_gui_tests --gtest_filter='Screenshots.*'   (one line)

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QMdiArea>
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

  const std::vector<SystemPort> ports = {
      {"/dev/ttyS0", "", "", -1, -1}, {"/dev/ttyUSB0", "FT232R USB UART", "FTDI", 0x0403, 0x6001}};
  SetupValues values = LoadSetup(desk.settings, desk.info,
                                 SetupPortList(false, {"/dev/ttyS0", "/dev/ttyUSB0"}, {}), false);
  values.port_labels = SetupPortLabels(values.ports, ports);
  values.filepath = kShownFolder;
  values.planpath = "/home/engineer/KOVA/Plans";
  values.logo = "/home/engineer/KOVA/report_logo.bmp";
  // Auto Detect off: a port typed by hand (a neutral name) at 19200 bit/s.
  values.autodetect = false;
  values.usb = false;
  values.porttext = "/dev/ttyUSB1";
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
}

}  // namespace
}  // namespace kova

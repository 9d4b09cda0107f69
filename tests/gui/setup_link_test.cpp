// Application Setup reaching the instrument: a port name typed by hand (kova-sim's pseudo-terminal,
// which the system never lists) and a chosen speed are what the next command uses. Then Return to
// Panel Control says that it was done, or why it was not.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <functional>

#include "app/connection_probe.h"
#include "app/device_stack.h"
#include "cli/device_transfer_sim_process.h"
#include "device/hid_backend.h"
#include "gui/desktop_setup.h"
#include "gui/device/device_commands.h"
#include "gui/device/directory_dialogs.h"
#include "gui/gui_test_app.h"
#include "gui/main_window.h"
#include "gui/setup_dialog.h"
#include "platform/qt_serial_backend.h"
#include "support/record_fixtures.h"
#include "support/run_program.h"

namespace kova {
namespace {

template <class T>
T* Showing() {
  for (QWidget* w : QApplication::topLevelWidgets())
    if (auto* t = qobject_cast<T*>(w); t != nullptr && t->isVisible()) return t;
  return nullptr;
}

// Acts once a dialog of kind T shows (the command's modal loop runs).
template <class T>
void WhenShown(std::function<void(T*)> act) {
  auto* timer = new QTimer;
  timer->setInterval(20);
  QObject::connect(timer, &QTimer::timeout, [timer, act] {
    if (T* d = Showing<T>()) {
      timer->stop();
      timer->deleteLater();
      act(d);
    }
  });
  timer->start();
}

struct SetupLink : ::testing::Test {
  std::string folder = TempFolder(std::string("setup-link-") +
                                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
  std::string link = folder + "/tty";
  DesktopSetup desk{folder};
  QtSerialBackend serial;
  NoHidBackend hid;
  std::unique_ptr<DeviceStack> stack;
  std::unique_ptr<MainWindow> window;

  void SetUp() override {
    GuiTestApp();
    desk.settings.DeviceAutoDetect = 1;  // as after installing: the search is on
    stack = std::make_unique<DeviceStack>(desk.info, desk.settings, desk.store, desk.prompter,
                                          serial, hid, 0x1234);
    desk.ctx.apply_comm_settings = [this] { stack->device().ApplyCommSettings(); };
    window = std::make_unique<MainWindow>(desk.ctx);
    DeviceCommands::Install(*window, stack->device(), desk.prompter, desk.info);
    window->show();
  }
  void TearDown() override {
    window.reset();
    stack.reset();
  }
  QString Status() { return window->statusBar()->currentMessage(); }
};

TEST_F(SetupLink, ATypedPortAndSpeedReachTheSimulatorAndPanelControlIsConfirmed) {
  SimProcess sim(BuiltProgram("kova-sim"), link,
                 {"--model", "7100B", "--tests", "2", "--unpaced", "--baud", "19200"});
  ASSERT_TRUE(sim.ready());

  bool greyed_with_auto_detect = false, open_without = false;
  WhenShown<SetupDialog>([&](SetupDialog* d) {
    // With Auto Detect the speed is the search's; a port may still be typed.
    greyed_with_auto_detect = !d->speed->isEnabled() && d->ports->isEditable();
    d->autodetect->click();
    d->usb->setChecked(false);
    open_without = d->speed->isEnabled() && d->ports->isEditable();
    d->ports->lineEdit()->selectAll();
    QTest::keyClicks(d->ports->lineEdit(), QString::fromStdString(link));
    d->speed->setCurrentIndex(0);  // 19200
    d->accept();
  });
  window->OnAppSetup();
  EXPECT_TRUE(greyed_with_auto_detect);
  EXPECT_TRUE(open_without);
  EXPECT_EQ(desk.info.comportname, link);
  EXPECT_EQ(desk.info.baud, 19200);
  EXPECT_EQ(ReadTextSetting(desk.store, kSettingsSection, "ComPortName", ""), link);
  EXPECT_EQ(ReadIntSetting(desk.store, kSettingsSection, "ComSpeed", -1), 0);

  // The next command reaches the simulator there, at that speed.
  int rows = -1;
  WhenShown<DeviceDirectoryDialog>([&](DeviceDirectoryDialog* d) {
    rows = d->List()->topLevelItemCount();
    d->reject();
  });
  window->Action(CommandId::kTestDirectory)->trigger();
  EXPECT_EQ(rows, 2) << (desk.prompter.texts().empty() ? "" : desk.prompter.texts().back());

  window->Action(CommandId::kReturnToPanel)->trigger();
  EXPECT_EQ(Status(), "The instrument is back on panel control");
  EXPECT_TRUE(desk.prompter.messages().empty()) << desk.prompter.messages().front().text;
}

TEST_F(SetupLink, PanelControlWithoutAnInstrumentSaysWhy) {
  // Over USB the failed write is told as the instrument's own message, and
  // the status bar says what did not happen.
  desk.info.usbactive = 1;
  desk.settings.DeviceAutoDetect = 0;
  stack->device().ApplyCommSettings();
  window->Action(CommandId::kReturnToPanel)->trigger();
  EXPECT_EQ(Status(),
            "Not returned to panel control: nothing could be sent to the instrument over USB");
  ASSERT_EQ(desk.prompter.messages().size(), 1u);
  EXPECT_EQ(desk.prompter.messages()[0].text, "Can't send data to device");

  // A serial port that is not there is named in a message.
  desk.info.usbactive = 0;
  desk.info.comportname = folder + "/no-such-port";
  stack->device().ApplyCommSettings();
  window->Action(CommandId::kReturnToPanel)->trigger();
  EXPECT_EQ(Status(),
            "Not returned to panel control: nothing could be sent to the instrument on "
            "the serial port");
  bool named = false;
  for (size_t i = 1; i < desk.prompter.messages().size(); ++i)
    named = named || desk.prompter.messages()[i].text.find("no-such-port") != std::string::npos;
  EXPECT_TRUE(named) << "the missing port is named";
}

// A typed name that cannot be a port keeps the dialog open and says why.
TEST_F(SetupLink, AnEmptyTypedPortIsRefusedVisibly) {
  desk.settings.DeviceAutoDetect = 0;
  const SetupValues values = LoadSetup(desk.settings, desk.info, {}, false);
  SetupDialog dialog(values, desk.prompter);
  EXPECT_TRUE(dialog.ports->isEditable());
  dialog.ports->setEditText("   ");
  dialog.ports->setCurrentIndex(-1);
  dialog.accept();
  EXPECT_EQ(dialog.result(), 0);
  ASSERT_EQ(desk.prompter.messages().size(), 1u);
  EXPECT_EQ(desk.prompter.messages()[0].text,
            "Please enter the name of the port the instrument is connected to.");
  dialog.ports->setEditText("/dev/ttyUSB1");
  dialog.accept();
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(ChosenPort(dialog.Values()), "/dev/ttyUSB1");
}

// "Test Connection" says what answers where the dialog points, or what was
// tried and what came back; an instrument at the other speed moves the
// speed there. Nothing is stored.
TEST_F(SetupLink, TestConnectionSaysWhatAnswersWhere) {
  struct Case {
    int sim_baud;  // 0: no simulator
    bool usb;
    int comspeed;  // chosen: 0 19200, 1 115200
    bool found;
    std::vector<std::string> says;
    int speed_after;
  } cases[] = {
      {115200, false, 1, true, {"KOVA-7100B/C on " + link + " at 115200 bit/s"}, 1},
      {19200, false, 1, true, {" at 19200 bit/s: choose 19200 in Speed"}, 0},
      {0, false, 1, false, {"No instrument answers on " + link + " (", "Check that the cable"}, 1},
      {0, true, 1, false, {"No instrument answers on USB.", "turn \"Use USB port\" off"}, 1},
  };
  desk.settings.DeviceAutoDetect = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.sim_baud);
    std::unique_ptr<SimProcess> sim;
    if (c.sim_baud != 0) {
      sim = std::make_unique<SimProcess>(
          BuiltProgram("kova-sim"), link,
          std::vector<std::string>{"--model", "7100B", "--unpaced", "--baud",
                                   std::to_string(c.sim_baud)});
      ASSERT_TRUE(sim->ready());
    }
    SetupValues values = LoadSetup(desk.settings, desk.info, {}, false);
    values.porttext = link;
    values.usb = c.usb;
    values.comspeed = c.comspeed;
    int probes = 0;
    SetupDialog dialog(values, desk.prompter, nullptr, [&](const ProbeTarget& t) {
      ++probes;
      return ProbeConnection(t, serial, hid, 0x1234);
    });
    dialog.ports->setEditText(QString::fromStdString(link));
    dialog.test_connection->click();
    EXPECT_EQ(probes, 1);
    const std::string said = dialog.connection_answer->text().toStdString();
    for (const std::string& part : c.says) EXPECT_NE(said.find(part), std::string::npos) << said;
    EXPECT_EQ(said.find("No instrument") == std::string::npos, c.found) << said;
    EXPECT_EQ(dialog.speed->currentIndex(), c.speed_after);
  }
  EXPECT_TRUE(desk.prompter.messages().empty());
  EXPECT_EQ(ReadTextSetting(desk.store, kSettingsSection, "ComPortName", "-"), "-");
}

}  // namespace
}  // namespace kova

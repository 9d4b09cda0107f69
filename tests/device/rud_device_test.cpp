// RudDevice: identification, the window title, probing, and the search for
// the instrument on USB and the serial ports, against the simulated
// instrument in-process.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/app_link_preferences.h"
#include "app/app_settings.h"
#include "app/settings_store.h"
#include "device/rud_device.h"
#include "sim/sim_hid_backend.h"
#include "sim/sim_instrument.h"
#include "sim/sim_serial_backend.h"
#include "support/scripted_prompter.h"

namespace kova {
namespace {

constexpr uint16_t kVendor = 0x2A5F;

class FakeWindow : public MainWindowTitle {
 public:
  std::string GetTitle() const override { return title; }
  void SetTitle(const std::string& t) override { title = t; }
  std::string title = "Helmark KOVA-7100";
};

SimOptions Model(SimModel model) {
  SimOptions o;
  o.model = model;
  o.tests = 1;
  o.plans = 0;
  return o;
}

// The link over simulated ports; instruments are added per test.
struct DeviceRig {
  ScriptedPrompter prompter;
  MemorySettingsStore store;
  AppSettings settings;
  CAppInfo info;
  SimSerialBackend serial_backend;
  SimHidBackend hid_backend;
  CSerialCom serial{serial_backend, prompter};
  UsbHidLink usb{hid_backend, kVendor};
  AppLinkPreferences prefs{info, settings, store};
  RudDevice device{serial, usb, prompter, prefs};
  std::vector<std::unique_ptr<SimInstrument>> instruments;
  FakeWindow window;

  DeviceRig() {
    usb.pause = [](uint32_t) {};
    info.usbactive = 0;
    info.comport = 1;
    info.comspeed = 0;
    info.baud = 19200;
    settings.DeviceAutoDetect = 0;
    device.SetTitleWindow(&window);
  }
  SimInstrument* Make(SimModel model, const SimFaults& faults = {}) {
    SimOptions o = Model(model);
    o.faults = faults;
    instruments.push_back(std::make_unique<SimInstrument>(o));
    return instruments.back().get();
  }
  // The port the settings name, with an instrument (or nothing) on it.
  void ConfiguredPort(const std::string& name, SimInstrument* instrument) {
    serial_backend.AddPort(name, instrument, 19200);
    info.comportname = name;
    device.ApplyCommSettings();
  }
};

TEST(ModelIdentification, MarksInTheReplyGiveTheModel) {
  EXPECT_EQ(ModelCodeFromIdentification("KOVA-R5A CT TESTER"), kModelR5);
  EXPECT_EQ(ModelCodeFromIdentification("KOVA-7100B"), kModel7100BC);
  EXPECT_EQ(ModelCodeFromIdentification("KOVA-7100C"), kModel7100BC);
  EXPECT_EQ(ModelCodeFromIdentification("R5 and -7KA"), kModel7KA);  // the later match wins
  EXPECT_EQ(ModelCodeFromIdentification("KOVA-7100A"), kModel7100);
  EXPECT_EQ(ModelCodeFromIdentification(""), kModel7100);
  EXPECT_EQ(ModelDisplayName(kModel7100), " KOVA-7100");
  EXPECT_EQ(RudDevice::ModelName(kModel7KA), "7KA");
  EXPECT_EQ(RudDevice::ModelName(kModel7100BC), "7100B");
  EXPECT_EQ(RudDevice::ModelName(kModelR5), "7100 R5");
  EXPECT_EQ(RudDevice::ModelName(3), "7100");
}

TEST(ModelIdentification, EverySimulatedModelIsRecognised) {
  const struct {
    SimModel model;
    int code;
  } cases[] = {{SimModel::k7100, kModel7100},
               {SimModel::k7100B, kModel7100BC},
               {SimModel::k7100C, kModel7100BC},
               {SimModel::kR5, kModelR5},
               {SimModel::k7KA, kModel7KA}};
  for (const auto& c : cases) {
    DeviceRig rig;
    rig.ConfiguredPort("COM1", rig.Make(c.model));
    std::string reply;
    ASSERT_TRUE(rig.device.Identify(reply, true)) << SimModelText(c.model);
    EXPECT_EQ(reply, SimIdentification(c.model));
    EXPECT_NE(reply.find("KOVA"), std::string::npos);
    EXPECT_LE(reply.size(), 48u);
    EXPECT_EQ(rig.device.modelcode(), c.code);
    EXPECT_EQ(rig.device.ModelCode(), c.code);
  }
}

TEST(DeviceTitle, TheTitleNamesTheModelAndDoesNotGrow) {
  DeviceRig rig;
  rig.ConfiguredPort("COM1", rig.Make(SimModel::kR5));
  std::string reply;
  ASSERT_TRUE(rig.device.Identify(reply, false));
  EXPECT_EQ(rig.window.title, "Helmark KOVA-7100        [Connected Device:  KOVA-R5]");
  ASSERT_TRUE(rig.device.Identify(reply, false));
  EXPECT_EQ(rig.window.title, "Helmark KOVA-7100        [Connected Device:  KOVA-R5]");
  EXPECT_EQ(rig.device.TitleText(), rig.window.title);
  EXPECT_TRUE(rig.device.IsR5());
  EXPECT_FALSE(rig.device.Is7KA());
  EXPECT_FALSE(rig.device.Is7100BC());
}

// "[Connected Device: ...]" stays only while the instrument is there: the
// title loses it when the instrument is found gone, once, and gets it back
// when it answers again.
TEST(DeviceTitle, TheTitleLosesTheModelWhenTheInstrumentIsGone) {
  DeviceRig rig;
  rig.ConfiguredPort("COM1", rig.Make(SimModel::k7100B));
  const std::string plain = rig.window.title;
  ASSERT_TRUE(rig.device.EnsureConnected(true));
  ASSERT_NE(rig.window.title.find("[Connected Device:"), std::string::npos);
  rig.serial_backend.Vanish();
  std::string line;
  EXPECT_FALSE(rig.device.ReadDeviceLine(line, 50));
  rig.device.Report(DeviceStatus(DeviceCode::kGone));
  EXPECT_EQ(rig.window.title, plain);
  ASSERT_TRUE(rig.device.EnsureConnected(true));
  EXPECT_NE(rig.window.title.find("[Connected Device:"), std::string::npos);

  // With a listener of its own the face is told once per loss.
  int told = 0;
  rig.device.OnDisconnected([&told] { ++told; });
  rig.serial_backend.Vanish();
  EXPECT_FALSE(rig.device.ReadDeviceLine(line, 50));
  rig.device.Report(DeviceStatus(DeviceCode::kGone));
  rig.device.Report(DeviceStatus(DeviceCode::kGone));
  EXPECT_EQ(told, 1);
}

TEST(DeviceTitle, AFailedIdentificationChangesNothing) {
  DeviceRig rig;
  SimInstrument* sim = rig.Make(SimModel::k7KA);
  rig.ConfiguredPort("COM1", sim);
  std::string reply;
  ASSERT_TRUE(rig.device.Identify(reply, false));
  const std::string title = rig.window.title;
  SimFaults silent;
  silent.silent = true;
  sim->SetFaults(silent);
  EXPECT_FALSE(rig.device.Identify(reply, false));
  EXPECT_EQ(rig.device.modelcode(), kModel7KA);
  EXPECT_EQ(rig.window.title, title);
}

TEST(DeviceProbe, FourBytesOfAnyValueAnswerTheProbeAndThreeDoNot) {
  DeviceRig rig;
  rig.ConfiguredPort("COM1", nullptr);
  ASSERT_TRUE(rig.serial.Open(true));
  rig.serial_backend.Inject("COM1", "\x01\x02\x03", 30);  // after the write's purge
  EXPECT_FALSE(rig.device.Ping(true));
  rig.serial_backend.Inject("COM1", std::string("\xff\x00\x7f\x80", 4), 30);
  EXPECT_TRUE(rig.device.Ping(true));
  EXPECT_EQ(rig.serial_backend.Written("COM1"), "B\rB\r");
}

TEST(DeviceProbe, OverUsbTheProbeIsOneByteAndFiveBytesBack) {
  DeviceRig rig;
  SimInstrument* sim = rig.Make(SimModel::k7100B);
  rig.hid_backend.AddDevice("hid-0", kVendor, 0x8004, sim);
  rig.info.usbactive = 1;
  EXPECT_TRUE(rig.device.Ping(false));
  EXPECT_EQ(sim->Received(), "B");
}

TEST(DeviceSend, AFailedSerialWriteIsReportedAfterThePortsOwnMessage) {
  DeviceRig rig;
  rig.ConfiguredPort("COM1", rig.Make(SimModel::k7100));
  rig.serial_backend.FailOpens(1, 5);
  EXPECT_FALSE(rig.device.SendText("W"));
  EXPECT_EQ(rig.prompter.texts(),
            (std::vector<std::string>{"Can't open com port for device COM1 error=5",
                                      "Can't send data to device"}));
  EXPECT_EQ(rig.prompter.messages()[1].caption, "KOVA-7100");
}

TEST(DeviceSend, AnAbortedUsbWriteFailsQuietly) {
  DeviceRig rig;
  rig.hid_backend.AddDevice("hid-0", kVendor, 0x8001, nullptr);
  rig.info.usbactive = 1;
  rig.hid_backend.FailWrites(3);
  rig.device.Cancel();
  EXPECT_FALSE(rig.device.SendText("X"));
  EXPECT_TRUE(rig.prompter.messages().empty());
  rig.hid_backend.FailWrites(3);
  rig.device.ResetCancel();
  EXPECT_FALSE(rig.device.SendText("X"));
  EXPECT_EQ(rig.prompter.texts(), std::vector<std::string>{"Can't send data to device"});
}

TEST(DeviceRead, ACancelLastsUntilResetOnBothTransports) {
  DeviceRig rig;
  rig.ConfiguredPort("COM1", rig.Make(SimModel::k7100));
  ASSERT_TRUE(rig.device.SendText("W"));
  rig.device.Cancel();
  std::string line;
  // Every read of the operation fails, not only the one the Abort hit.
  EXPECT_FALSE(rig.device.ReadDeviceLine(line, 50));
  EXPECT_FALSE(rig.device.ReadDeviceLine(line, 50));
  EXPECT_TRUE(rig.usb.Cancelled());
  EXPECT_FALSE(rig.device.EnsureConnected(true));
  EXPECT_TRUE(rig.prompter.messages().empty());  // the user knows: no message
  rig.device.ResetCancel();
  ASSERT_TRUE(rig.device.SendText("W"));
  EXPECT_TRUE(rig.device.ReadDeviceLine(line, 50));
  EXPECT_EQ(line, SimIdentification(SimModel::k7100));
}

// --- connection and search -------------------------------------------------

// Edit's quiet look for the instrument: nothing shown, and right after a
// failed look the next click does not probe the port again.
TEST(DeviceQuietProbe, AFailedProbeIsNotRepeatedAtOnce) {
  DeviceRig rig;
  rig.ConfiguredPort("COM1", nullptr);  // nothing answers
  EXPECT_EQ(rig.device.QuietModelProbe(), -1);
  const size_t opens = rig.serial_backend.OpenLog().size();
  EXPECT_GT(opens, 0u);
  EXPECT_EQ(rig.device.QuietModelProbe(), -1);
  EXPECT_EQ(rig.serial_backend.OpenLog().size(), opens);  // no second probe
  EXPECT_TRUE(rig.prompter.messages().empty());
}

// Unplugged and plugged in again: the dead port is closed and opened afresh
// by the next command, which then finds the instrument without a restart;
// with Auto Detect the search runs again.
TEST(DeviceReconnect, AFailedLinkIsOpenedAfreshByTheNextCommand) {
  for (int auto_detect = 0; auto_detect <= 1; ++auto_detect) {
    SCOPED_TRACE(auto_detect);
    DeviceRig rig;
    rig.settings.DeviceAutoDetect = auto_detect;
    rig.ConfiguredPort("COM1", rig.Make(SimModel::k7100B));
    ASSERT_TRUE(rig.device.EnsureConnected(true));
    ASSERT_TRUE(rig.device.SendText("W"));
    rig.serial_backend.Vanish();  // unplugged in the middle of an exchange
    std::string line;
    EXPECT_FALSE(rig.device.ReadDeviceLine(line, 50));
    EXPECT_TRUE(rig.device.DeviceGone());
    const size_t opens = rig.serial_backend.OpenLog().size();
    // Plugged in again: the next command reopens the port and is answered.
    EXPECT_TRUE(rig.device.EnsureConnected(true));
    EXPECT_GT(rig.serial_backend.OpenLog().size(), opens);
    EXPECT_FALSE(rig.device.DeviceGone());
    EXPECT_TRUE(rig.prompter.messages().empty());
  }
}

TEST(DeviceSearch, WithAutoDetectOffAMissingInstrumentIsReportedAtOnce) {
  DeviceRig rig;
  rig.ConfiguredPort("COM1", nullptr);
  rig.serial_backend.AddPort("COM7", rig.Make(SimModel::k7100));
  EXPECT_FALSE(rig.device.EnsureConnected(true));
  EXPECT_EQ(rig.prompter.texts(),
            std::vector<std::string>{"Device not available (COM1: no answer at 19200 bit/s)"});
  EXPECT_TRUE(rig.prompter.waits().empty());
  for (const std::string& name : rig.serial_backend.OpenLog()) EXPECT_EQ(name, "COM1");
  EXPECT_TRUE(rig.store.WriteLog().empty());
}

TEST(DeviceSearch, UsbFirstThenThePortsInListOrder) {
  DeviceRig rig;
  rig.settings.DeviceAutoDetect = 1;
  rig.info.comportname.clear();
  rig.info.comport = 4;
  rig.device.ApplyCommSettings();
  rig.serial_backend.AddPort("COM1", nullptr);
  rig.serial_backend.AddPort("COM7:", rig.Make(SimModel::k7100B), 19200);
  rig.serial_backend.AddPort("COM9", rig.Make(SimModel::k7KA), 19200);
  rig.hid_backend.AddDevice("hid-other", 0x1111, 0x8001, nullptr);

  ASSERT_TRUE(rig.device.EnsureConnected(true));
  EXPECT_TRUE(rig.prompter.messages().empty());  // the first, silent probe failed quietly
  EXPECT_EQ(rig.device.detected(), true);
  EXPECT_EQ(rig.device.modelcode(), kModel7100BC);
  // The configured port (not present), then the list: COM1, COM7: found.
  const std::vector<std::string>& opens = rig.serial_backend.OpenLog();
  ASSERT_GE(opens.size(), 3u);
  EXPECT_EQ(std::vector<std::string>(opens.begin() + 1, opens.begin() + 3),
            (std::vector<std::string>{"COM1", "COM7:"}));
  EXPECT_EQ(rig.prompter.waits(),
            (std::vector<std::string>{"Searching for Device ...\r\rPlease wait.",
                                      "Searching for Device on COM1...\r\rPlease wait.",
                                      "Searching for Device on COM7:...\r\rPlease wait."}));
  // Where it was found is stored: port 7 at the selector of 19200.
  int value = -1;
  ASSERT_TRUE(rig.store.GetInt("Settings", "ComPort", value));
  EXPECT_EQ(value, 7);
  ASSERT_TRUE(rig.store.GetInt("Settings", "ComSpeed", value));
  EXPECT_EQ(value, 0);
  ASSERT_TRUE(rig.store.GetInt("Settings", "USBEnable", value));
  EXPECT_EQ(value, 0);
  EXPECT_EQ(rig.settings.ComPort, 7);
  EXPECT_EQ(rig.settings.USBEnabled, 0);
  EXPECT_EQ(rig.info.comportname, "");  // a COM name is kept as its number

  // Once found, a check only probes.
  const size_t before = rig.serial_backend.OpenLog().size();
  ASSERT_TRUE(rig.device.EnsureConnected(true));
  EXPECT_EQ(rig.serial_backend.OpenLog().size(), before);
  EXPECT_EQ(rig.prompter.waits().size(), 3u);
}

TEST(DeviceSearch, TheUsbInstrumentIsFoundBeforeAnySerialPort) {
  DeviceRig rig;
  rig.settings.DeviceAutoDetect = 1;
  rig.ConfiguredPort("COM2", nullptr);
  rig.serial_backend.AddPort("COM3", rig.Make(SimModel::k7100), 19200);
  rig.hid_backend.AddDevice("hid-kova", kVendor, 0x8002, rig.Make(SimModel::k7KA));
  ASSERT_TRUE(rig.device.EnsureConnected(true));
  EXPECT_EQ(rig.info.usbactive, 1);
  EXPECT_EQ(rig.device.modelcode(), kModel7KA);
  int value = -1;
  ASSERT_TRUE(rig.store.GetInt("Settings", "USBEnable", value));
  EXPECT_EQ(value, 1);
  for (const std::string& name : rig.serial_backend.OpenLog()) EXPECT_EQ(name, "COM2");
}

TEST(DeviceSearch, ANamedPortAndConfiguredExtraNamesAreStoredByName) {
  DeviceRig rig;
  rig.settings.DeviceAutoDetect = 1;
  rig.info.comspeed = 1;
  rig.info.baud = 115200;
  rig.ConfiguredPort("/dev/ttyUSB0", nullptr);
  rig.serial_backend.AddPort("/tmp/kova-sim-link", rig.Make(SimModel::kR5), 115200,
                             /*listed=*/false);
  rig.info.extraports = "/tmp/kova-sim-link; /dev/ttyUSB0";
  ASSERT_TRUE(rig.device.EnsureConnected(true));
  EXPECT_EQ(rig.info.comportname, "/tmp/kova-sim-link");
  EXPECT_EQ(rig.info.comport, 1);  // the number is kept as it was
  std::string name;
  ASSERT_TRUE(rig.store.GetText("Settings", "ComPortName", name));
  EXPECT_EQ(name, "/tmp/kova-sim-link");
  int speed = -1;
  ASSERT_TRUE(rig.store.GetInt("Settings", "ComSpeed", speed));
  EXPECT_EQ(speed, 1);
}

TEST(DeviceSearch, EveryPortIsTriedAtTheConfiguredSpeedOnly) {
  DeviceRig rig;
  rig.settings.DeviceAutoDetect = 1;
  rig.ConfiguredPort("COM1", nullptr);
  rig.serial_backend.AddPort("COM5", rig.Make(SimModel::k7100), 115200);  // set to 115200
  EXPECT_FALSE(rig.device.EnsureConnected(true));
  for (int baud : rig.serial_backend.OpenBauds()) EXPECT_EQ(baud, 19200);
  EXPECT_EQ(rig.prompter.texts(),
            std::vector<std::string>{"Device not available (COM1: no answer at 19200 bit/s)"});
  EXPECT_TRUE(rig.store.WriteLog().empty());
  // The link is left on the configured port, not on the last one tried.
  EXPECT_EQ(rig.serial.portname, "COM1");
}

TEST(DeviceSearch, AnAnswerWithoutKovaIsNoHit) {
  DeviceRig rig;
  rig.settings.DeviceAutoDetect = 1;
  SimFaults foreign;
  foreign.wrong_model = true;
  rig.ConfiguredPort("COM1", nullptr);
  rig.serial_backend.AddPort("COM2", rig.Make(SimModel::k7100, foreign), 19200);
  rig.device.Detect();
  EXPECT_EQ(rig.device.detected(), false);
  EXPECT_TRUE(rig.store.WriteLog().empty());
  EXPECT_FALSE(rig.serial.IsOpen());
}

TEST(DeviceReconnect, ReopensAndChecksTheInstrument) {
  DeviceRig rig;
  SimInstrument* sim = rig.Make(SimModel::k7100);
  rig.ConfiguredPort("COM1", sim);
  ASSERT_TRUE(rig.device.EnsureConnected(true));
  const size_t opens = rig.serial_backend.OpenLog().size();
  EXPECT_TRUE(rig.device.Reconnect());
  EXPECT_EQ(rig.serial_backend.OpenLog().size(), opens + 1);

  SimFaults silent;
  silent.silent = true;
  sim->SetFaults(silent);
  EXPECT_FALSE(rig.device.Reconnect());
  EXPECT_EQ(rig.serial_backend.OpenLog().size(), opens + 3);  // two attempts
  EXPECT_TRUE(rig.prompter.messages().empty());
}

TEST(PortNames, NumbersFromComNames) {
  EXPECT_EQ(PortNumberFromName("COM7:"), 7);
  EXPECT_EQ(PortNumberFromName("COM12"), 12);
  EXPECT_EQ(PortNumberFromName("COM1::"), 1);
  EXPECT_EQ(PortNumberFromName("COM"), 0);
  EXPECT_EQ(PortNumberFromName("/dev/ttyUSB0"), 0);
}

}  // namespace
}  // namespace kova

// kova device ping / identify / ports from the outside, against kova-sim on
// a pseudo-terminal: every model, a wrong speed, a silent instrument, and
// the search that finds a configured link and stores where it was.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "base/file_io.h"
#include "cli/device_transfer_sim_process.h"
#include "support/record_fixtures.h"
#include "support/run_program.h"

namespace kova {
namespace {

class DeviceCli : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = TempFolder(std::string("device-cli-") +
                      ::testing::UnitTest::GetInstance()->current_test_info()->name());
    settings_ = dir_ + "/settings.ini";
    env_ = {"KOVA_SETTINGS=" + settings_, "QT_QPA_PLATFORM=offscreen"};
  }
  void StartSim(const std::vector<std::string>& args) {
    sim_.reset();
    sim_ = std::make_unique<SimProcess>(BuiltProgram("kova-sim"), link(), args);
    ASSERT_TRUE(sim_->ready()) << "kova-sim did not start";
  }
  ProgramResult Kova(const std::vector<std::string>& args) {
    return RunProgram(BuiltProgram("kova"), args, env_);
  }
  std::string link() const { return dir_ + "/tty"; }

  std::string dir_, settings_;
  std::vector<std::string> env_;
  std::unique_ptr<SimProcess> sim_;
};

TEST_F(DeviceCli, IdentifyEveryModelOverAPseudoTerminal) {
  const struct {
    const char* model;
    const char* mark;
    const char* shown;
  } cases[] = {{"7100", "KOVA-7100A", "KOVA-7100 (code 0)"},
               {"7100B", "KOVA-7100B", "KOVA-7100B/C (code 2)"},
               {"7100C", "KOVA-7100C", "KOVA-7100B/C (code 2)"},
               {"R5", "KOVA-R5A", "KOVA-R5 (code 1)"},
               {"7KA", "KOVA-7KA", "KOVA-7KA (code 4)"}};
  for (const auto& c : cases) {
    StartSim({"--model", c.model, "--baud", "19200"});
    const ProgramResult r = Kova({"device", "--port", link(), "--baud", "19200", "identify"});
    EXPECT_EQ(r.exit_code, 0) << c.model << ": " << r.err;
    EXPECT_NE(r.out.find(std::string("Identification: ") + c.mark), std::string::npos) << r.out;
    EXPECT_NE(r.out.find(std::string("Model:          ") + c.shown), std::string::npos) << r.out;
    EXPECT_NE(r.out.find(link() + " at 19200 bit/s"), std::string::npos) << r.out;
  }
}

TEST_F(DeviceCli, AWrongSpeedOrASilentInstrumentIsNotAvailable) {
  StartSim({"--model", "7KA", "--baud", "115200"});
  ProgramResult r = Kova({"device", "--port", link(), "--baud", "19200", "ping"});
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_NE(r.err.find("Device not available"), std::string::npos) << r.err;
  r = Kova({"device", "--port", link(), "--baud", "115200", "ping"});
  EXPECT_EQ(r.exit_code, 0) << r.err;
  EXPECT_NE(r.out.find("Instrument answered on " + link()), std::string::npos);

  StartSim({"--model", "7KA", "--fault", "silent"});
  r = Kova({"device", "--port", link(), "identify"});
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_NE(r.err.find("Device not available"), std::string::npos) << r.err;
}

TEST_F(DeviceCli, AMissingPortIsReportedWithItsName) {
  const ProgramResult r = Kova({"device", "--port", dir_ + "/nothing-here", "ping"});
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_NE(r.err.find("Can't open com port for device " + dir_ + "/nothing-here error="),
            std::string::npos)
      << r.err;
}

TEST_F(DeviceCli, TheSearchFindsAConfiguredLinkAndStoresIt) {
  StartSim({"--model", "R5"});
  ASSERT_TRUE(WriteFileAtomically(
      settings_, "[Settings]\nExtraPorts=" + link() + "\nComSpeed=1\nUSBEnable=1\n"));
  ProgramResult r = Kova({"device", "ports"});
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_NE(r.out.find(link() + "  (configured)"), std::string::npos) << r.out;

  // Without the search the stored USB place answers nothing.
  r = Kova({"device", "--no-detect", "ping"});
  EXPECT_EQ(r.exit_code, 1);

  r = Kova({"device", "identify"});
  ASSERT_EQ(r.exit_code, 0) << r.err;
  EXPECT_NE(r.out.find("KOVA-R5 (code 1)"), std::string::npos);
  std::string ini;
  ASSERT_TRUE(ReadFileText(settings_, ini));
  EXPECT_NE(ini.find("ComPortName=" + link()), std::string::npos) << ini;
  EXPECT_NE(ini.find("USBEnable=0"), std::string::npos) << ini;

  // The stored place is used next time, without searching.
  r = Kova({"device", "--no-detect", "ping"});
  EXPECT_EQ(r.exit_code, 0) << r.err;
}

TEST_F(DeviceCli, PortAndUsbExcludeEachOther) {
  const ProgramResult r = Kova({"device", "--port", "x", "--usb", "ping"});
  EXPECT_NE(r.exit_code, 0);
  const ProgramResult b = Kova({"device", "--baud", "9600", "ping"});
  EXPECT_NE(b.exit_code, 0);
}

}  // namespace
}  // namespace kova

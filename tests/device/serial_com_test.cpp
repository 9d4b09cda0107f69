// CSerialCom on the in-process serial backend: line reading, time-outs,
// abort, purge, reopening, the trace.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <thread>

#include "base/file_io.h"
#include "base/path.h"
#include "base/prompter.h"
#include "device/serial_com.h"
#include "sim/sim_instrument.h"
#include "sim/sim_serial_backend.h"
#include "support/environment.h"
#include "support/record_fixtures.h"
#include "support/scripted_prompter.h"

namespace kova {
namespace {

struct SerialRig {
  ScriptedPrompter prompter;
  SimSerialBackend backend;
  CSerialCom serial{backend, prompter};

  SerialRig() {
    backend.AddPort("COM3", nullptr);
    serial.portname = "COM3";
    serial.baud = 19200;
  }
  // Bytes from the far end, after the port is open (a write purges input).
  void Arrive(const std::string& bytes, uint32_t delay_ms = 0) {
    backend.Inject("COM3", bytes, delay_ms);
  }
  std::string Line(size_t capacity = 50, int timeout = 500) {
    char buffer[300];
    last_ok = serial.ReadLine(buffer, capacity, timeout);
    return buffer;
  }
  bool last_ok = false;
};

TEST(SerialComReadLine, CrLfEndsTheLineAndTheLfIsConsumed) {
  SerialRig rig;
  ASSERT_TRUE(rig.serial.Open(true));
  rig.Arrive("ABC\r\nDEF\r\n");
  EXPECT_EQ(rig.Line(), "ABC");
  EXPECT_TRUE(rig.last_ok);
  EXPECT_EQ(rig.Line(), "DEF");  // the LF did not start the next line
  EXPECT_TRUE(rig.last_ok);
}

TEST(SerialComReadLine, SilenceAfterCrStillGivesTheLine) {
  SerialRig rig;
  ASSERT_TRUE(rig.serial.Open(true));
  rig.Arrive("ABC\r");
  EXPECT_EQ(rig.Line(), "ABC");  // after waiting for the byte after the CR
  EXPECT_TRUE(rig.last_ok);
}

TEST(SerialComReadLine, NulArrivesAsSpace) {
  SerialRig rig;
  ASSERT_TRUE(rig.serial.Open(true));
  rig.Arrive(std::string("A\0B\0\0C\r\n", 8));
  EXPECT_EQ(rig.Line(), "A B  C");
  EXPECT_TRUE(rig.last_ok);
}

TEST(SerialComReadLine, CapacityFiftyTakesFortyEightCharacters) {
  SerialRig rig;
  ASSERT_TRUE(rig.serial.Open(true));
  rig.Arrive(std::string(48, 'x') + "\r\n");
  EXPECT_EQ(rig.Line(50), std::string(48, 'x'));
  EXPECT_TRUE(rig.last_ok);

  rig.Arrive(std::string(49, 'y') + "\r\n");
  const std::string partial = rig.Line(50);
  EXPECT_FALSE(rig.last_ok);
  EXPECT_EQ(partial, std::string(49, 'y'));  // terminated inside the buffer
}

TEST(SerialComReadLine, TinyCapacitiesNeverWritePastTheBuffer) {
  SerialRig rig;
  ASSERT_TRUE(rig.serial.Open(true));
  for (size_t capacity : {1u, 2u}) {
    rig.Arrive("AB\r\n");
    char buffer[3] = {'#', '#', '#'};
    EXPECT_FALSE(rig.serial.ReadLine(buffer, capacity, 500)) << capacity;
    EXPECT_EQ(buffer[capacity - 1], '\0');
    EXPECT_EQ(buffer[capacity], '#') << "nothing written past the capacity";
    rig.Line();  // the rest of the line
  }
}

TEST(SerialComReadLine, TimeoutKeepsWhatArrivedTerminated) {
  SerialRig rig;
  ASSERT_TRUE(rig.serial.Open(true));
  rig.Arrive("PARTIAL");
  EXPECT_EQ(rig.Line(50, 100), "PARTIAL");
  EXPECT_FALSE(rig.last_ok);
}

TEST(SerialComWaiting, WaitsBlockInShortSlices) {
  SerialRig rig;
  ASSERT_TRUE(rig.serial.Open(true));
  uint8_t byte = 0;
  EXPECT_FALSE(rig.serial.ReadExact(&byte, 1, 200));
  EXPECT_GT(rig.backend.WaitCalls(), 0);
  EXPECT_LE(rig.backend.LongestWaitMs(), kWaitSliceMs);
  // A 200 ms wait needs no more than a slice per few milliseconds (a
  // spinning loop would wait thousands of times).
  EXPECT_LT(rig.backend.WaitCalls(), 200);
}

TEST(SerialComWaiting, CancelEndsTheReadAfterTheSliceItCameIn) {
  SerialRig rig;
  CancelToken token;
  rig.serial.SetCancelToken(&token);
  ASSERT_TRUE(rig.serial.Open(true));
  rig.backend.on_wait = [&] {
    if (rig.backend.WaitCalls() == 3) token.Cancel();
  };
  uint8_t buffer[4];
  EXPECT_FALSE(rig.serial.ReadExact(buffer, 4, 10000));
  EXPECT_EQ(rig.backend.WaitCalls(), 3);  // not a slice longer
  // Another thread's cancel is seen as well.
  token.Reset();
  rig.backend.on_wait = nullptr;
  std::thread canceller([&] { token.WaitFor(60), token.Cancel(); });
  EXPECT_FALSE(rig.serial.ReadExact(buffer, 4, 10000));
  canceller.join();
  rig.serial.SetCancelToken(nullptr);
}

TEST(SerialComWaiting, ReadFailsAtOnceWhenTheDeviceIsGone) {
  SerialRig rig;
  ASSERT_TRUE(rig.serial.Open(true));
  rig.backend.Vanish();
  uint8_t byte = 0;
  EXPECT_FALSE(rig.serial.ReadExact(&byte, 1, 10000));
  EXPECT_EQ(rig.backend.WaitCalls(), 0);
}

TEST(SerialComWrite, UnreadInputIsGoneAfterTheNextWrite) {
  ScriptedPrompter prompter;
  SimOptions options;
  options.model = SimModel::k7KA;
  options.tests = 0;
  SimInstrument instrument(options);
  SimSerialBackend backend;
  backend.AddPort("COM1", &instrument, 115200);
  CSerialCom serial(backend, prompter);
  serial.portname = "COM1";
  serial.baud = 115200;
  ASSERT_TRUE(serial.Open(true));
  backend.Inject("COM1", "STALE REPLY\r\n");
  ASSERT_TRUE(serial.Write("W", 1));
  EXPECT_EQ(backend.Purges(), 1);
  char line[50];
  ASSERT_TRUE(serial.ReadLine(line, sizeof line, 1000));
  EXPECT_EQ(std::string(line), SimIdentification(SimModel::k7KA));
}

TEST(SerialComOpen, AFailedOpenIsReportedAndTriedAgainNextTime) {
  SerialRig rig;
  rig.backend.FailOpens(1, 13);
  EXPECT_FALSE(rig.serial.Write("B\r", 2));
  ASSERT_EQ(rig.prompter.messages().size(), 1u);
  EXPECT_EQ(rig.prompter.messages()[0].caption, "Warning");
  EXPECT_EQ(rig.prompter.messages()[0].text, "Can't open com port for device COM3 error=13");
  EXPECT_FALSE(rig.serial.IsOpen());

  EXPECT_TRUE(rig.serial.Write("B\r", 2));
  EXPECT_EQ(rig.backend.OpenLog().size(), 2u);
  EXPECT_EQ(rig.backend.Written("COM3"), "B\r");
}

TEST(SerialComOpen, RefusedLineSettingsAreNotTakenForAnOpenPort) {
  SerialRig rig;
  rig.backend.RefuseSettings(1);
  EXPECT_FALSE(rig.serial.Open(true));
  EXPECT_EQ(rig.prompter.texts(), std::vector<std::string>{"Can't initialize com settings"});
  EXPECT_FALSE(rig.backend.IsOpen());
  // The next use opens afresh and works.
  EXPECT_TRUE(rig.serial.Open(true));
  EXPECT_EQ(rig.backend.OpenLog().size(), 2u);
}

TEST(SerialComOpen, SilentOpenShowsNothing) {
  SerialRig rig;
  rig.serial.portname = "NOPE";
  EXPECT_FALSE(rig.serial.Open(false));
  EXPECT_TRUE(rig.prompter.messages().empty());
}

TEST(SerialComOpen, DeviceNameFromNumberOrName) {
  SerialRig rig;
  rig.serial.portname.clear();
  rig.serial.port = 3;
#ifdef _WIN32
  EXPECT_EQ(rig.serial.DeviceName(), "\\\\.\\COM3");
#else
  EXPECT_EQ(rig.serial.DeviceName(), "/dev/ttyS2");
#endif
  rig.serial.portname = "/tmp/kova-link";
  EXPECT_EQ(rig.serial.DeviceName(), "/tmp/kova-link");
}

// --- the trace ----------------------------------------------------------------

class SerialTraceTest : public ::testing::Test {
 protected:
  void SetUp() override { UnsetEnvironment(kTraceFolderVariable); }
  void TearDown() override { UnsetEnvironment(kTraceFolderVariable); }
};

TEST_F(SerialTraceTest, NoFolderNoTrace) {
#ifdef _WIN32
  EXPECT_EQ(TraceFolder(""), "c:\\temp") << "the traditional folder when none is named";
#else
  EXPECT_EQ(TraceFolder(""), "");
  SerialRig rig;
  ASSERT_TRUE(rig.serial.Open(true));
  EXPECT_FALSE(rig.serial.trace().IsOpen());
#endif
}

TEST_F(SerialTraceTest, TraceRecordsBothDirections) {
  const std::string folder = TempFolder("serial-trace");
  SerialRig rig;
  rig.serial.tracefolder = folder;
  ASSERT_TRUE(rig.serial.Write("W", 1));
  ASSERT_TRUE(rig.serial.trace().IsOpen());
  rig.Arrive("OK\r\n");
  EXPECT_EQ(rig.Line(), "OK");
  ASSERT_TRUE(rig.serial.Write("d", 1));
  ASSERT_TRUE(rig.serial.Write("p", 1));
  rig.serial.Close();
  std::string text;
  ASSERT_TRUE(ReadFileText(PathJoin(folder, kTraceFileName), text));
  EXPECT_EQ(text, "+++\nSEND:W+++\nOK\r\n+++\nSEND:dSEND:p");
}

// The trace holds what the instrument sent, customers' data among it.
TEST_F(SerialTraceTest, OnlyTheOwnerMayReadTheTrace) {
#ifdef _WIN32
  GTEST_SKIP() << "Windows files have no owner-only mode bits";
#else
  const std::string folder = TempFolder("serial-trace-mode");
  SerialRig rig;
  rig.serial.tracefolder = folder;
  ASSERT_TRUE(rig.serial.Write("W", 1));
  rig.serial.Close();
  struct stat st {};
  ASSERT_EQ(stat(PathJoin(folder, kTraceFileName).c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
#endif
}

TEST_F(SerialTraceTest, EnvironmentFolderWinsOverTheSetting) {
  const std::string folder = TempFolder("serial-trace-env");
  SetEnvironment(kTraceFolderVariable, folder);
  EXPECT_EQ(TraceFolder("/somewhere/else"), folder);
  SerialRig rig;
  ASSERT_TRUE(rig.serial.Write("W", 1));
  rig.serial.Close();
  EXPECT_TRUE(FileExists(PathJoin(folder, kTraceFileName)));
}

TEST_F(SerialTraceTest, ALinkNamedLikeTheTraceIsNotFollowed) {
#ifdef _WIN32
  GTEST_SKIP() << "symbolic links need administrator rights on Windows";
#else
  const std::string folder = TempFolder("serial-trace-link");
  const std::string victim = PathJoin(folder, "victim.txt");
  ASSERT_TRUE(WriteFileAtomically(victim, std::string("keep me")));
  ASSERT_EQ(symlink(victim.c_str(), PathJoin(folder, kTraceFileName).c_str()), 0);
  SerialRig rig;
  rig.serial.tracefolder = folder;
  ASSERT_TRUE(rig.serial.Write("W", 1));  // the port works without a trace
  EXPECT_FALSE(rig.serial.trace().IsOpen());
  std::string text;
  ASSERT_TRUE(ReadFileText(victim, text));
  EXPECT_EQ(text, "keep me");
#endif
}

TEST_F(SerialTraceTest, AMissingFolderLeavesThePortWorking) {
  SerialRig rig;
  rig.serial.tracefolder = PathJoin(TempFolder("serial-trace-missing"), "gone");
  EXPECT_TRUE(rig.serial.Write("W", 1));
  EXPECT_FALSE(rig.serial.trace().IsOpen());
}

}  // namespace
}  // namespace kova

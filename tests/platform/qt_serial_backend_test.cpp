// The QSerialPort backend on a pseudo-terminal made here: the test holds
// the master side and plays the instrument's end of the line.

#include <fcntl.h>
#include <gtest/gtest.h>

#include <chrono>

#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>
#include <climits>
#include <cstdlib>

#include <QCoreApplication>

#include <string>
#include "platform/test_app.h"

#include "base/prompter.h"
#include "device/serial_com.h"
#include "platform/qt_serial_backend.h"
#include "support/record_fixtures.h"
#include "support/scripted_prompter.h"

namespace kova {
namespace {

// A pseudo-terminal in raw mode, reachable through a symbolic link.
class Pty {
 public:
  explicit Pty(const std::string& link) : link_(link) {
    master_ = posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) return;
    const char* name = ptsname(master_);
    const int slave = open(name, O_RDWR | O_NOCTTY);
    termios tio{};
    tcgetattr(slave, &tio);
    cfmakeraw(&tio);
    tcsetattr(slave, TCSANOW, &tio);
    close(slave);
    unlink(link.c_str());
    ok_ = symlink(name, link.c_str()) == 0;
  }
  ~Pty() {
    CloseMaster();
    unlink(link_.c_str());
  }
  bool ok() const { return ok_; }
  void Send(const std::string& bytes) {
    ASSERT_EQ(write(master_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  }
  std::string Receive(int timeout_ms = 500) {
    std::string got;
    pollfd pfd{master_, POLLIN, 0};
    while (poll(&pfd, 1, timeout_ms) > 0 && (pfd.revents & POLLIN)) {
      char buffer[256];
      const ssize_t n = read(master_, buffer, sizeof buffer);
      if (n <= 0) break;
      got.append(buffer, static_cast<size_t>(n));
      timeout_ms = 20;
    }
    return got;
  }
  void CloseMaster() {
    if (master_ >= 0) close(master_);
    master_ = -1;
  }

 private:
  std::string link_;
  int master_ = -1;
  bool ok_ = false;
};

QCoreApplication& App() { return TestApp(); }

class QtSerialBackendTest : public ::testing::Test {
 protected:
  void SetUp() override {
    App();
    link_ = TempFolder("qt-serial") + "/tty";
    pty_ = std::make_unique<Pty>(link_);
    ASSERT_TRUE(pty_->ok());
  }
  std::string link_;
  std::unique_ptr<Pty> pty_;
  QtSerialBackend backend_;
};

TEST_F(QtSerialBackendTest, OpensALinkToAPseudoTerminalAndCarriesBytesBothWays) {
  int error = 0;
  ASSERT_EQ(backend_.Open(link_, 19200, error), SerialOpenStatus::kOpened);
  ASSERT_TRUE(backend_.Write(reinterpret_cast<const uint8_t*>("B\r"), 2, 500));
  EXPECT_EQ(pty_->Receive(), "B\r");

  EXPECT_EQ(backend_.BytesWaiting(), 0);
  EXPECT_FALSE(backend_.WaitReadable(30));  // a time-out is no failure
  EXPECT_EQ(backend_.BytesWaiting(), 0);
  pty_->Send("ACK\r\n");
  ASSERT_TRUE(backend_.WaitReadable(500));
  uint8_t buffer[16];
  size_t got = 0;
  for (int i = 0; i < 10 && backend_.BytesWaiting() < 5; ++i) backend_.WaitReadable(20);
  ASSERT_TRUE(backend_.Read(buffer, sizeof buffer, got));
  EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), got), "ACK\r\n");
}

TEST_F(QtSerialBackendTest, PurgeDropsWhatArrivedBefore) {
  int error = 0;
  ASSERT_EQ(backend_.Open(link_, 115200, error), SerialOpenStatus::kOpened);
  pty_->Send("OLD STUFF");
  usleep(20000);
  ASSERT_TRUE(backend_.PurgeInput());
  EXPECT_EQ(backend_.BytesWaiting(), 0);
  pty_->Send("NEW");
  ASSERT_TRUE(backend_.WaitReadable(500));
  uint8_t buffer[16];
  size_t got = 0;
  usleep(20000);
  backend_.BytesWaiting();
  ASSERT_TRUE(backend_.Read(buffer, sizeof buffer, got));
  EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), got), "NEW");
}

TEST_F(QtSerialBackendTest, AMissingPortAndASecondOpenFail) {
  int error = 0;
  EXPECT_EQ(backend_.Open(link_ + "-missing", 19200, error), SerialOpenStatus::kCannotOpen);
  EXPECT_NE(error, 0);
  ASSERT_EQ(backend_.Open(link_, 19200, error), SerialOpenStatus::kOpened);
  QtSerialBackend other;
  EXPECT_EQ(other.Open(link_, 19200, error), SerialOpenStatus::kCannotOpen);
}

// Two names of one device (the link and the device itself) meet at one
// lock; each failure says why, once.
TEST_F(QtSerialBackendTest, EveryNameOfOnePortIsLockedAndFailuresSayWhy) {
  int error = 0;
  char real[PATH_MAX];
  ASSERT_NE(realpath(link_.c_str(), real), nullptr);
  ASSERT_EQ(backend_.Open(link_, 19200, error), SerialOpenStatus::kOpened);
  const struct {
    std::string name;
    SerialOpenFailure why;
  } cases[] = {{real, SerialOpenFailure::kBusy},
               {link_, SerialOpenFailure::kBusy},
               {link_ + "-missing", SerialOpenFailure::kNoSuchPort},
               {"/etc/hostname", SerialOpenFailure::kNotSerial}};
  for (const auto& c : cases) {
    QtSerialBackend other;
    EXPECT_EQ(other.Open(c.name, 19200, error), SerialOpenStatus::kCannotOpen) << c.name;
    EXPECT_EQ(other.LastOpenFailure(), c.why) << c.name;
  }
  ScriptedPrompter prompter;
  QtSerialBackend other;
  CSerialCom serial(other, prompter);
  serial.portname = real;
  EXPECT_FALSE(serial.Open(true));
  ASSERT_EQ(prompter.texts().size(), 1u);
  EXPECT_NE(prompter.texts()[0].find("(port busy)"), std::string::npos) << prompter.texts()[0];
}

TEST_F(QtSerialBackendTest, TheFarEndGoingAwayFailsTheReadAtOnce) {
  ScriptedPrompter prompter;
  CSerialCom serial(backend_, prompter);
  serial.portname = link_;
  serial.baud = 19200;
  ASSERT_TRUE(serial.Open(true));
  pty_->CloseMaster();
  uint8_t byte = 0;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(serial.ReadExact(&byte, 1, 5000));
  EXPECT_TRUE(serial.gone());
  // Generous: only a read that waited out its 5 s would fail this.
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(4000));
}

TEST_F(QtSerialBackendTest, CSerialComReadsLinesFromTheRealPort) {
  ScriptedPrompter prompter;
  CSerialCom serial(backend_, prompter);
  serial.portname = link_;
  serial.baud = 115200;
  ASSERT_TRUE(serial.Write("W", 1));
  EXPECT_EQ(pty_->Receive(), "W");
  pty_->Send(std::string("KOVA-7KA\0X\r\n", 12));
  char line[50];
  ASSERT_TRUE(serial.ReadLine(line, sizeof line, 1000));
  EXPECT_EQ(std::string(line), "KOVA-7KA X");
}

}  // namespace
}  // namespace kova

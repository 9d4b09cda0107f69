#include "program/pty_server.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <thread>
#include <vector>

#include "base/timer.h"
#include "sim/sim_serial_line.h"

namespace kova {
namespace {

struct SpeedName {
  speed_t code;
  int baud;
};
constexpr SpeedName kSpeeds[] = {{B1200, 1200},   {B2400, 2400},     {B4800, 4800},
                                 {B9600, 9600},   {B19200, 19200},   {B38400, 38400},
                                 {B57600, 57600}, {B115200, 115200}, {B230400, 230400}};

}  // namespace

PtyServer::PtyServer(SimInstrument& instrument, const PtyServerOptions& options)
    : instrument_(instrument), options_(options) {}

PtyServer::~PtyServer() {
  if (linked_) ::unlink(options_.link_path.c_str());
  if (slave_ >= 0) ::close(slave_);
  if (master_ >= 0) ::close(master_);
}

bool PtyServer::Start(std::string& error) {
  master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
  if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) {
    error = std::string("cannot create a pseudo-terminal: ") + ::strerror(errno);
    return false;
  }
  const char* name = ::ptsname(master_);
  if (name == nullptr) {
    error = "cannot name the pseudo-terminal";
    return false;
  }
  slave_name_ = name;
  // Raw at once: no echo, no line editing, 0x03 is a byte like any other.
  slave_ = ::open(name, O_RDWR | O_NOCTTY);
  termios tio{};
  if (slave_ < 0 || ::tcgetattr(slave_, &tio) != 0) {
    error = std::string("cannot open the pseudo-terminal: ") + ::strerror(errno);
    return false;
  }
  ::cfmakeraw(&tio);
  for (const SpeedName& s : kSpeeds) {
    if (s.baud == options_.baud) {
      ::cfsetispeed(&tio, s.code);
      ::cfsetospeed(&tio, s.code);
    }
  }
  ::tcsetattr(slave_, TCSANOW, &tio);
  ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);

  // The link: an old link of ours is replaced, anything else is left alone.
  struct stat st {};
  if (::lstat(options_.link_path.c_str(), &st) == 0) {
    if (!S_ISLNK(st.st_mode)) {
      error = options_.link_path + " exists and is not a symbolic link";
      return false;
    }
    ::unlink(options_.link_path.c_str());
  }
  if (::symlink(name, options_.link_path.c_str()) != 0) {
    error = "cannot create " + options_.link_path + ": " + ::strerror(errno);
    return false;
  }
  linked_ = true;
  return true;
}

// The speed the program set on its side of the line (the pseudo-terminal
// keeps it, although it does not pace by it).
int PtyServer::SpeedOfSlave() const {
  termios tio{};
  if (::tcgetattr(slave_, &tio) != 0) return options_.baud;
  const speed_t code = ::cfgetospeed(&tio);
  for (const SpeedName& s : kSpeeds) {
    if (s.code == code) return s.baud;
  }
  return 0;
}

void PtyServer::Run(const std::atomic<bool>& stop) {
  SimSerialLine line(instrument_, options_.baud, options_.paced);
  std::vector<uint8_t> unsent;  // arrived at the line, not yet taken by the master
  uint8_t buffer[4096];
  while (!stop.load()) {
    const uint32_t now = TickCountMs();
    const size_t n = line.Read(buffer, sizeof buffer, now);
    unsent.insert(unsent.end(), buffer, buffer + n);
    if (!unsent.empty()) {
      const ssize_t w = ::write(master_, unsent.data(), unsent.size());
      if (w > 0) unsent.erase(unsent.begin(), unsent.begin() + w);
    }
    int timeout = 100;
    const int64_t next = line.MsUntilNext(TickCountMs());
    if (next >= 0) timeout = static_cast<int>(std::min<int64_t>(next, timeout));
    if (!unsent.empty()) timeout = std::min(timeout, 5);
    pollfd pfd{master_, POLLIN, 0};
    const int ready = ::poll(&pfd, 1, std::max(timeout, 1));
    if (ready < 0) {
      if (errno == EINTR) continue;
      break;
    }
    if (ready == 0) continue;
    if (pfd.revents & POLLIN) {
      const ssize_t r = ::read(master_, buffer, sizeof buffer);
      if (r > 0) {
        line.SetProgramBaud(SpeedOfSlave());
        line.Write(buffer, static_cast<size_t>(r), TickCountMs());
        continue;
      }
    }
    // Nobody on the other side at the moment: keep serving.
    if (pfd.revents & (POLLHUP | POLLERR)) {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
  }
}

}  // namespace kova

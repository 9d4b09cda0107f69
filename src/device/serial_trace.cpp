#include "device/serial_trace.h"

#include <cstdlib>

#include "base/native_path.h"
#include "base/path.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace kova {

std::string TraceFolder(const std::string& configured) {
  const char* env = std::getenv(kTraceFolderVariable);
  if (env != nullptr && env[0] != '\0') return env;
  if (!configured.empty()) return configured;
#ifdef _WIN32
  return "c:\\temp";
#else
  return std::string();
#endif
}

SerialTrace::~SerialTrace() { Close(); }

namespace {

#ifdef _WIN32
// Binary: in text mode every LF the instrument sends would be written as
// CR LF, and the trace would no longer show the bytes that arrived.
std::FILE* CreateTraceFile(const std::string& path) {
  return ::_wfopen(NativePath(path).c_str(), L"wb");
}
#else
// Owner-only, never through a symbolic link, never onto anything but a
// regular file of this user (a FIFO or a device named "serial.txt" is left
// alone, and opening does not block on one).
std::FILE* CreateTraceFile(const std::string& path) {
  const int fd =
      ::open(path.c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
  if (fd < 0) return nullptr;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid() ||
      ::fchmod(fd, 0600) != 0 || ::ftruncate(fd, 0) != 0) {
    ::close(fd);
    return nullptr;
  }
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  std::FILE* file = ::fdopen(fd, "w");
  if (file == nullptr) ::close(fd);
  return file;
}
#endif

}  // namespace

bool SerialTrace::Open(const std::string& folder) {
  Close();
  if (folder.empty()) return false;
  file_ = CreateTraceFile(PathJoin(folder, kTraceFileName));
  direction_ = 0;
  return file_ != nullptr;
}

void SerialTrace::Close() {
  if (file_ != nullptr) std::fclose(file_);
  file_ = nullptr;
  direction_ = 0;
}

void SerialTrace::Sent(const uint8_t* data, size_t count) {
  if (file_ == nullptr) return;
  if (direction_ != 2) std::fputs("+++\n", file_);
  std::fputs("SEND:", file_);
  std::fwrite(data, 1, count, file_);
  direction_ = 2;
  std::fflush(file_);
}

void SerialTrace::Received(const uint8_t* data, size_t count) {
  if (file_ == nullptr) return;
  if (direction_ != 1) std::fputs("+++\n", file_);
  std::fwrite(data, 1, count, file_);
  direction_ = 1;
  std::fflush(file_);
}

}  // namespace kova

#include "base/file_io.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "base/format.h"
#include "base/timer.h"

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

namespace kova {
namespace fs = std::filesystem;

bool ReadFileBytes(const std::string& path, std::vector<uint8_t>& out, size_t max_bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::vector<uint8_t> bytes;
  char buf[65536];
  while (in) {
    in.read(buf, sizeof buf);
    const auto got = static_cast<size_t>(in.gcount());
    if (bytes.size() + got > max_bytes) return false;
    bytes.insert(bytes.end(), buf, buf + got);
  }
  if (in.bad()) return false;
  out.swap(bytes);
  return true;
}

bool ReadFileText(const std::string& path, std::string& out, size_t max_bytes) {
  std::vector<uint8_t> bytes;
  if (!ReadFileBytes(path, bytes, max_bytes)) return false;
  out.assign(bytes.begin(), bytes.end());
  return true;
}

namespace {

#ifndef _WIN32
bool WriteAllAndSync(const std::string& path, const void* data, size_t size) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  const auto* p = static_cast<const char*>(data);
  size_t left = size;
  bool ok = true;
  while (left > 0) {
    const ssize_t n = ::write(fd, p, left);
    if (n < 0) {
      ok = false;
      break;
    }
    p += n;
    left -= static_cast<size_t>(n);
  }
  if (ok && ::fsync(fd) != 0) ok = false;
  if (::close(fd) != 0) ok = false;
  return ok;
}
#else
bool WriteAllAndSync(const std::string& path, const void* data, size_t size) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) return false;
  out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
  out.close();
  return !out.fail();
}
#endif

}  // namespace

bool WriteFileAtomically(const std::string& path, const void* data, size_t size) {
  static unsigned counter = 0;
  const std::string temp = path + Format(".tmp%u-%u", TickCountMs(), ++counter);
  if (!WriteAllAndSync(temp, data, size)) {
    std::error_code ec;
    fs::remove(temp, ec);
    return false;
  }
  std::error_code ec;
  fs::rename(temp, path, ec);
  if (ec) {
    fs::remove(temp, ec);
    return false;
  }
  return true;
}

bool FileExists(const std::string& path) {
  std::error_code ec;
  return fs::is_regular_file(path, ec);
}

bool FolderExists(const std::string& path) {
  std::error_code ec;
  return fs::is_directory(path, ec);
}

bool MakeFolders(const std::string& path) {
  std::error_code ec;
  fs::create_directories(path, ec);
  return FolderExists(path);
}

}  // namespace kova

#include "base/file_io.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "base/format.h"
#include "base/native_path.h"
#include "base/timer.h"

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <chrono>
#include <thread>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace kova {
namespace fs = std::filesystem;

bool ReadFileBytes(const std::string& path, std::vector<uint8_t>& out, size_t max_bytes) {
  std::ifstream in(NativePath(path), std::ios::binary);
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
// Created new (never onto an existing file), written and flushed to the disk
// before it replaces the target.
bool WriteAllAndSync(const std::string& path, const void* data, size_t size) {
  const HANDLE file = ::CreateFileW(NativePath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  const auto* p = static_cast<const char*>(data);
  size_t left = size;
  bool ok = true;
  while (left > 0) {
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(left, 1u << 20));
    DWORD written = 0;
    if (!::WriteFile(file, p, chunk, &written, nullptr) || written == 0) {
      ok = false;
      break;
    }
    p += written;
    left -= written;
  }
  if (ok && !::FlushFileBuffers(file)) ok = false;
  if (!::CloseHandle(file)) ok = false;
  return ok;
}

// Replaces an existing target in one step. A virus scanner or the search
// indexer may hold a freshly written file for a moment: try a few times.
bool MoveOverTarget(const std::string& from, const std::string& to) {
  const std::filesystem::path source = NativePath(from), target = NativePath(to);
  for (int attempt = 0; attempt < 10; ++attempt) {
    if (::MoveFileExW(source.c_str(), target.c_str(),
                      MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      return true;
    }
    const DWORD error = ::GetLastError();
    if (error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return false;
}
#endif

}  // namespace

bool WriteFileAtomically(const std::string& path, const void* data, size_t size) {
  static unsigned counter = 0;
  const std::string temp = path + Format(".tmp%u-%u", TickCountMs(), ++counter);
  std::error_code ec;
  if (!WriteAllAndSync(temp, data, size)) {
    fs::remove(NativePath(temp), ec);
    return false;
  }
#ifdef _WIN32
  const bool replaced = MoveOverTarget(temp, path);
#else
  fs::rename(temp, path, ec);
  const bool replaced = !ec;
#endif
  if (!replaced) {
    fs::remove(NativePath(temp), ec);
    return false;
  }
  return true;
}

bool FileExists(const std::string& path) {
  std::error_code ec;
  return fs::is_regular_file(NativePath(path), ec);
}

bool FolderExists(const std::string& path) {
  std::error_code ec;
  return fs::is_directory(NativePath(path), ec);
}

bool MakeFolders(const std::string& path) {
  std::error_code ec;
  fs::create_directories(NativePath(path), ec);
  return FolderExists(path);
}

}  // namespace kova

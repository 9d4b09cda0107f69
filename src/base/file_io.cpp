#include "base/file_io.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
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
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace kova {
namespace fs = std::filesystem;

std::string FileProblemText(FileProblem problem) {
  switch (problem) {
    case FileProblem::kNone:
      return std::string();
    case FileProblem::kMissing:
      return "no such file";
    case FileProblem::kFolder:
      return "it is a folder";
    case FileProblem::kFifo:
      return "it is a FIFO (a named pipe), not a regular file";
    case FileProblem::kDevice:
      return "it is a device, not a regular file";
    case FileProblem::kNotRegular:
      return "not a regular file";
    case FileProblem::kFolderDenied:
      return "a folder on its path may not be entered (permission denied)";
    case FileProblem::kPathTooLong:
      return "the path is too long";
    case FileProblem::kTooLarge:
      return "the file is too large";
    case FileProblem::kUnreadable:
      break;
  }
  return "the file cannot be read";
}

namespace {

bool Fail(FileProblem* problem, FileProblem why) {
  if (problem) *problem = why;
  return false;
}

}  // namespace

bool ReadFileBytes(const std::string& path, std::vector<uint8_t>& out, size_t max_bytes,
                   FileProblem* problem) {
  if (problem) *problem = FileProblem::kNone;
  // Looked at before opening: opening a FIFO blocks until a writer comes.
  const FileProblem before = RegularFileProblem(path);
  if (before != FileProblem::kNone) return Fail(problem, before);
  std::error_code ec;
  const fs::path native = NativePath(path);
  const auto size = fs::file_size(native, ec);
  if (!ec && size > max_bytes) return Fail(problem, FileProblem::kTooLarge);
  std::ifstream in(native, std::ios::binary);
  if (!in) return Fail(problem, FileProblem::kUnreadable);
  // Read straight into a buffer of the size the folder gave (pictures run
  // to megabytes; growing by chunks copied each one several times), then on
  // in steps in case the file grew since; the limit holds either way.
  std::vector<uint8_t> bytes(ec ? 0 : static_cast<size_t>(size));
  size_t filled = 0;
  for (;;) {
    if (filled == bytes.size()) {
      if (in.peek() == std::char_traits<char>::eof()) break;
      if (bytes.size() >= max_bytes) return Fail(problem, FileProblem::kTooLarge);
      bytes.resize(std::min(max_bytes, bytes.size() + std::max<size_t>(65536, bytes.size())));
    }
    in.read(reinterpret_cast<char*>(bytes.data() + filled),
            static_cast<std::streamsize>(bytes.size() - filled));
    filled += static_cast<size_t>(in.gcount());
    if (!in) break;
  }
  if (in.bad()) return Fail(problem, FileProblem::kUnreadable);
  bytes.resize(filled);
  out.swap(bytes);
  return true;
}

bool ReadFileText(const std::string& path, std::string& out, size_t max_bytes,
                  FileProblem* problem) {
  std::vector<uint8_t> bytes;
  if (!ReadFileBytes(path, bytes, max_bytes, problem)) return false;
  out.assign(bytes.begin(), bytes.end());
  return true;
}

bool ReadStreamText(std::istream& in, std::string& out, size_t max_bytes) {
  std::string text;
  char buf[65536];
  while (in) {
    in.read(buf, sizeof buf);
    const auto got = static_cast<size_t>(in.gcount());
    if (text.size() + got > max_bytes) return false;
    text.append(buf, got);
  }
  if (in.bad()) return false;
  out.swap(text);
  return true;
}

namespace {

#ifndef _WIN32
// The mode the written file ends with: a replaced file keeps its own (a
// private file stays private), a new one gets the usual mode under umask.
mode_t FinalMode(const std::string& target) {
  struct stat st {};
  if (::stat(target.c_str(), &st) == 0 && S_ISREG(st.st_mode)) return st.st_mode & 07777;
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

// The reason of the last failed call, kept before a later call changes it.
void KeepReason(std::string* why) {
  if (why != nullptr && why->empty()) *why = std::strerror(errno);
}

// 1: written; 0: failed; -1: the temporary name was taken (try another).
int WriteAllAndSync(const std::string& path, const std::string& target, const void* data,
                    size_t size, std::string* why) {
  // Created private and exclusively (O_EXCL never follows a link planted
  // under the name); given its final mode only once it is ours.
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0) {
    if (errno == EEXIST) return -1;
    KeepReason(why);
    return 0;
  }
  if (::fchmod(fd, FinalMode(target)) != 0) {
    KeepReason(why);
    ::close(fd);
    return 0;
  }
  const auto* p = static_cast<const char*>(data);
  size_t left = size;
  bool ok = true;
  while (left > 0) {
    const ssize_t n = ::write(fd, p, left);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (n == 0) errno = ENOSPC;
      KeepReason(why);
      ok = false;
      break;
    }
    p += n;
    left -= static_cast<size_t>(n);
  }
  if (ok && ::fsync(fd) != 0) {
    KeepReason(why);
    ok = false;
  }
  if (::close(fd) != 0 && ok) {
    KeepReason(why);
    ok = false;
  }
  return ok ? 1 : 0;
}
#else
// Created new (never onto an existing file), written and flushed to the disk
// before it replaces the target.
int WriteAllAndSync(const std::string& path, const std::string&, const void* data, size_t size,
                    std::string* why) {
  const HANDLE file = ::CreateFileW(NativePath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    if (::GetLastError() == ERROR_FILE_EXISTS) return -1;
    if (why != nullptr) *why = Format("Windows error %lu", ::GetLastError());
    return 0;
  }
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
  if (!ok && why != nullptr && why->empty()) *why = Format("Windows error %lu", ::GetLastError());
  return ok ? 1 : 0;
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

std::string AtomicTempName(const std::string& path, unsigned serial) {
  const size_t sep = path.find_last_of("/\\");
  const std::string folder = sep == std::string::npos ? std::string() : path.substr(0, sep + 1);
#ifdef _WIN32
  const unsigned long process = ::GetCurrentProcessId();
#else
  const unsigned long process = static_cast<unsigned long>(::getpid());
#endif
  return folder + Format(".kv%lx-%x.tmp", process, serial);
}

bool WriteFileAtomically(const std::string& path, const void* data, size_t size, std::string* why) {
  // Unique within the process (threads included); the process id keeps two
  // programs writing into one folder apart.
  static std::atomic<unsigned> counter{TickCountMs()};
  if (why != nullptr) why->clear();
  std::error_code ec;
  std::string temp;
  int written = -1;
  for (int attempt = 0; attempt < 100 && written < 0; ++attempt) {
    temp = AtomicTempName(path, ++counter);
    written = WriteAllAndSync(temp, path, data, size, why);
  }
  if (written != 1) {
    if (written < 0 && why != nullptr) *why = "no free temporary name";
    if (written == 0) fs::remove(NativePath(temp), ec);
    return false;
  }
#ifdef _WIN32
  const bool replaced = MoveOverTarget(temp, path);
  if (!replaced && why != nullptr) *why = Format("Windows error %lu", ::GetLastError());
#else
  fs::rename(temp, path, ec);
  const bool replaced = !ec;
  if (!replaced && why != nullptr) *why = ec.message();
#endif
  if (!replaced) {
    fs::remove(NativePath(temp), ec);
    return false;
  }
  return true;
}

FileProblem RegularFileProblem(const std::string& path) {
  std::error_code ec;
  const fs::file_status status = fs::status(NativePath(path), ec);
  switch (status.type()) {
    case fs::file_type::regular:
      return FileProblem::kNone;
    case fs::file_type::not_found:
      return FileProblem::kMissing;
    case fs::file_type::directory:
      return FileProblem::kFolder;
    case fs::file_type::fifo:
      return FileProblem::kFifo;
    case fs::file_type::block:
    case fs::file_type::character:
      return FileProblem::kDevice;
    default:
      break;
  }
  if (!ec) return FileProblem::kNotRegular;
  if (ec == std::errc::permission_denied) return FileProblem::kFolderDenied;
  if (ec == std::errc::filename_too_long) return FileProblem::kPathTooLong;
  if (ec == std::errc::no_such_file_or_directory || ec == std::errc::not_a_directory) {
    return FileProblem::kMissing;
  }
  return FileProblem::kUnreadable;
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

bool MakeFolderFor(const std::string& file_path, std::string* why) {
  const fs::path folder = NativePath(file_path).parent_path();
  if (folder.empty()) return true;  // the current folder
  std::error_code ec;
  if (fs::is_directory(folder, ec)) return true;
  fs::create_directories(folder, ec);
  if (!ec && fs::is_directory(folder, ec)) return true;
  std::string reason = ec ? ec.message() : std::string("it is not a folder");
  // Some part of the path is a file, not a folder.
  for (fs::path part = folder; !part.empty() && part != part.parent_path();
       part = part.parent_path()) {
    std::error_code probe;
    if (fs::exists(part, probe) && !fs::is_directory(part, probe)) {
      reason = "\"" + part.u8string() + "\" is a file, not a folder";
      break;
    }
  }
  if (why) *why = "the folder \"" + folder.u8string() + "\" cannot be made: " + reason;
  return false;
}

}  // namespace kova

#include "base/file_io.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "base/format.h"
#include "base/timer.h"

#ifndef _WIN32
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
    case FileProblem::kNotRegular:
      return "not a regular file";
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
  std::error_code ec;
  const fs::file_status status = fs::status(path, ec);
  if (status.type() == fs::file_type::not_found) return Fail(problem, FileProblem::kMissing);
  if (ec) return Fail(problem, FileProblem::kUnreadable);
  if (status.type() == fs::file_type::directory) return Fail(problem, FileProblem::kFolder);
  if (status.type() != fs::file_type::regular) return Fail(problem, FileProblem::kNotRegular);
  const auto size = fs::file_size(path, ec);
  if (!ec && size > max_bytes) return Fail(problem, FileProblem::kTooLarge);
  std::ifstream in(path, std::ios::binary);
  if (!in) return Fail(problem, FileProblem::kUnreadable);
  std::vector<uint8_t> bytes;
  char buf[65536];
  while (in) {
    in.read(buf, sizeof buf);
    const auto got = static_cast<size_t>(in.gcount());
    if (bytes.size() + got > max_bytes) return Fail(problem, FileProblem::kTooLarge);
    bytes.insert(bytes.end(), buf, buf + got);
  }
  if (in.bad()) return Fail(problem, FileProblem::kUnreadable);
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

bool WriteAllAndSync(const std::string& path, const std::string& target, const void* data,
                     size_t size) {
  // Created private; given its final mode only once it is ours.
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  if (::fchmod(fd, FinalMode(target)) != 0) {
    ::close(fd);
    return false;
  }
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
bool WriteAllAndSync(const std::string& path, const std::string&, const void* data, size_t size) {
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
  if (!WriteAllAndSync(temp, path, data, size)) {
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

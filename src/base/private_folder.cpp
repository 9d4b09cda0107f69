#include "base/private_folder.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <vector>

#include "base/format.h"
#include "base/native_path.h"
#include "base/path.h"
#include "base/timer.h"

#ifndef _WIN32
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>
#else
#include <process.h>
#endif

namespace kova {
namespace fs = std::filesystem;

namespace {

long ThisProcess() {
#ifndef _WIN32
  return static_cast<long>(::getpid());
#else
  return static_cast<long>(::_getpid());
#endif
}

// The mkdtemp suffix: six letters or digits.
constexpr size_t kSuffixLength = 6;

bool IsSuffixChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

}  // namespace

bool PrivateFolderOwner(const std::string& name, long* pid) {
  // "kova-<tag>-p<pid>-XXXXXX", read from the end: the tag may hold '-'.
  if (name.rfind("kova-", 0) != 0 || name.size() < 5 + kSuffixLength + 4) return false;
  const size_t dash = name.size() - kSuffixLength - 1;
  if (name[dash] != '-') return false;
  for (size_t i = dash + 1; i < name.size(); ++i) {
    if (!IsSuffixChar(name[i])) return false;
  }
  const size_t p = name.rfind("-p", dash - 1);
  if (p == std::string::npos || p < 5) return false;
  const size_t digits = dash - (p + 2);
  // A pid has at most ten digits; none starts with 0.
  if (digits == 0 || digits > 10 || name[p + 2] == '0') return false;
  // Ten digits overflow a 32-bit long (Windows): count in 64 bits.
  long long value = 0;
  for (size_t i = p + 2; i < dash; ++i) {
    if (name[i] < '0' || name[i] > '9') return false;
    value = value * 10 + (name[i] - '0');
  }
  if (value <= 0 || value > 0x7fffffffLL) return false;
  *pid = static_cast<long>(value);
  return true;
}

int RemoveLeftoverPrivateFolders(const std::string& base) {
#ifdef _WIN32
  (void)base;
  return 0;
#else
  std::error_code ec;
  const fs::path folder = base.empty() ? fs::temp_directory_path(ec) : fs::path(base);
  if (ec) return 0;
  int removed = 0;
  fs::directory_iterator it(folder, ec), end;
  for (; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    long pid = 0;
    if (!PrivateFolderOwner(name, &pid) || pid == ThisProcess()) continue;
    // Still running (or not ours to ask about): the folder is in use.
    if (::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH) continue;
    // lstat: a link of that name is never followed, and another user's
    // folder is never touched.
    struct stat st {};
    const std::string path = it->path().string();
    if (::lstat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::geteuid()) {
      continue;
    }
    std::error_code rec;
    if (fs::remove_all(it->path(), rec) != static_cast<std::uintmax_t>(-1) && !rec) ++removed;
  }
  return removed;
#endif
}

PrivateFolder::PrivateFolder(const std::string& tag) {
  RemoveLeftoverPrivateFolders();
  std::error_code ec;
  const fs::path base = fs::temp_directory_path(ec);
  if (ec) {
    problem_ = "no temporary folder: " + ec.message();
    return;
  }
  const std::string stem = "kova-" + tag + Format("-p%ld-", ThisProcess());
#ifndef _WIN32
  // mkdtemp makes the folder with mode 0700 and never reuses an existing one.
  std::string pattern = (base / (stem + "XXXXXX")).string();
  std::vector<char> buf(pattern.begin(), pattern.end());
  buf.push_back('\0');
  if (::mkdtemp(buf.data()) == nullptr) {
    problem_ = std::string("cannot make a temporary folder: ") + std::strerror(errno);
    return;
  }
  path_ = buf.data();
#else
  // create_directory fails on an existing folder: a name is ours once made.
  static unsigned serial = TickCountMs();
  for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
    const fs::path p = base / NativePath(stem + Format("%06x", ++serial & 0xffffffu));
    if (fs::create_directory(p, ec)) path_ = PathText(p);
  }
  if (path_.empty()) problem_ = "cannot make a temporary folder: " + ec.message();
#endif
}

PrivateFolder::~PrivateFolder() {
  if (path_.empty()) return;
  std::error_code ec;
  fs::remove_all(NativePath(path_), ec);
}

std::string PrivateFolder::File(const std::string& name) const { return PathJoin(path_, name); }

}  // namespace kova

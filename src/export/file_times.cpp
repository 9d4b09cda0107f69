#include "export/file_times.h"

#include <chrono>
#include <filesystem>
#include <system_error>

#include "base/native_path.h"

namespace kova {
namespace fs = std::filesystem;

bool LastWriteSeconds(const std::string& path, int64_t& seconds) {
  std::error_code ec;
  const fs::file_time_type t = fs::last_write_time(NativePath(path), ec);
  if (ec) return false;
  // Whole seconds of the file clock: only differences are compared, so the
  // clock's epoch does not matter. Floor, so that times before the epoch
  // round the same way as those after it.
  seconds = std::chrono::floor<std::chrono::seconds>(t.time_since_epoch()).count();
  return true;
}

bool IsStrictlyNewer(const std::string& newer, const std::string& older) {
  int64_t a = 0, b = 0;
  return LastWriteSeconds(newer, a) && LastWriteSeconds(older, b) && a > b;
}

void DeleteFileQuietly(const std::string& path) {
  if (path.empty()) return;
  std::error_code ec;
  fs::remove(NativePath(path), ec);
}

}  // namespace kova

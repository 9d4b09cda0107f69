// Finding the root of the thumb drive that holds a folder the user chose.

#include <cctype>
#include <filesystem>
#include <sstream>
#include <system_error>

#include "base/file_io.h"
#include "base/path.h"
#include "plans/thumb_drive.h"

namespace kova {
namespace {

// Mount tables escape space, tab, line feed and backslash as three octal
// digits.
std::string UnescapeMountField(const std::string& field) {
  std::string out;
  for (size_t i = 0; i < field.size(); ++i) {
    if (field[i] == '\\' && i + 3 < field.size()) {
      int value = 0;
      bool octal = true;
      for (size_t k = 1; k <= 3; ++k) {
        const char c = field[i + k];
        if (c < '0' || c > '7') octal = false;
        value = value * 8 + (c - '0');
      }
      if (octal && value < 256) {
        out.push_back(static_cast<char>(value));
        i += 3;
        continue;
      }
    }
    out.push_back(field[i]);
  }
  return out;
}

}  // namespace

std::vector<std::string> ParseMountPoints(const std::string& table) {
  std::vector<std::string> mounts;
  std::istringstream lines(table);
  std::string line;
  while (std::getline(lines, line)) {
    std::istringstream fields(line);
    std::string device, mount_point;
    if (fields >> device >> mount_point) mounts.push_back(UnescapeMountField(mount_point));
  }
  return mounts;
}

std::string LongestMountPrefix(const std::string& path, const std::vector<std::string>& mounts) {
  std::string best;
  for (std::string mount : mounts) {
    while (mount.size() > 1 && mount.back() == '/') mount.pop_back();
    if (mount.empty() || mount.front() != '/') continue;
    const bool holds = mount == "/"
                           ? (!path.empty() && path.front() == '/')
                           : path.compare(0, mount.size(), mount) == 0 &&
                                 (path.size() == mount.size() || path[mount.size()] == '/');
    if (holds && mount.size() > best.size()) best = mount;
  }
  return best;
}

bool WindowsDriveRoot(const std::string& path, std::string& root) {
  if (path.size() >= 2 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':') {
    root = path.substr(0, 2);
    return true;
  }
  // "\\server\share\...": the share is the root; a name without a share
  // has none.
  if (path.size() < 2 || !IsPathSeparator(path[0]) || !IsPathSeparator(path[1])) return false;
  const size_t server_end = path.find_first_of("/\\", 2);
  if (server_end == std::string::npos || server_end == 2) return false;
  const size_t share_end = path.find_first_of("/\\", server_end + 1);
  const size_t share_size =
      (share_end == std::string::npos ? path.size() : share_end) - (server_end + 1);
  if (share_size == 0) return false;
  root = path.substr(0, server_end + 1 + share_size);
  return true;
}

std::string ThumbRootAmongMounts(const std::string& path, const std::vector<std::string>& mounts) {
  const std::string found = LongestMountPrefix(path, mounts);
  // A folder on the system disk is no drive of its own: it is the root the
  // plans go to, never the system's "/".
  if (found == "/") {
    std::string folder = path;
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    return folder;
  }
  return found;
}

bool ThumbDriveRoot(const std::string& chosen_folder, std::string& root) {
#ifdef _WIN32
  return WindowsDriveRoot(chosen_folder, root);
#else
  std::string table;
  if (!ReadFileText("/proc/self/mounts", table, 16u * 1024 * 1024)) return false;
  // Match the folder as the mount table names it: no symbolic links, no "..".
  std::error_code ec;
  const std::filesystem::path canonical = std::filesystem::weakly_canonical(chosen_folder, ec);
  const std::string path = ec ? chosen_folder : canonical.string();
  const std::string found = ThumbRootAmongMounts(path, ParseMountPoints(table));
  if (found.empty()) return false;
  root = found;
  return true;
#endif
}

}  // namespace kova

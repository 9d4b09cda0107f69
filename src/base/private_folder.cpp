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
#include <stdlib.h>
#endif

namespace kova {
namespace fs = std::filesystem;

PrivateFolder::PrivateFolder(const std::string& tag) {
  std::error_code ec;
  const fs::path base = fs::temp_directory_path(ec);
  if (ec) {
    problem_ = "no temporary folder: " + ec.message();
    return;
  }
#ifndef _WIN32
  // mkdtemp makes the folder with mode 0700 and never reuses an existing one.
  std::string pattern = (base / ("kova-" + tag + "-XXXXXX")).string();
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
    const fs::path p = base / NativePath("kova-" + tag + Format("-%08x", ++serial));
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

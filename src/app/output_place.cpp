#include "app/output_place.h"

#include <filesystem>
#include <system_error>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace kova {

bool CheckOutputFile(const std::string& path, bool overwrite, std::string& why) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::path file(path);
  fs::path folder = file.parent_path();
  if (folder.empty()) folder = ".";
  if (!fs::is_directory(folder, ec)) {
    why = "The folder \"" + folder.string() + "\" does not exist";
    return false;
  }
#ifndef _WIN32
  if (access(folder.c_str(), W_OK | X_OK) != 0) {
    why = "The folder \"" + folder.string() + "\" cannot be written";
    return false;
  }
#endif
  if (fs::is_directory(file, ec)) {
    why = "\"" + path + "\" is a folder";
    return false;
  }
  if (fs::exists(file, ec) && !overwrite) {
    why = "\"" + path + "\" exists; give --overwrite to replace it";
    return false;
  }
  return true;
}

}  // namespace kova

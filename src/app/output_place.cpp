#include "app/output_place.h"

#include <filesystem>
#include <system_error>

#include "base/codepage.h"
#include "base/native_path.h"

#ifndef _WIN32
#include <unistd.h>
#endif

namespace kova {
namespace {

// The names go into the message as text.
std::string Quoted(const std::string& system_name) {
  return "\"" + SystemNameToCp1252(system_name) + "\"";
}

}  // namespace

bool CheckOutputFile(const std::string& path, bool overwrite, std::string& why) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::path file = NativePath(path);
  fs::path folder = file.parent_path();
  if (folder.empty()) folder = ".";
  if (!fs::is_directory(folder, ec)) {
    why = "The folder " + Quoted(PathText(folder)) + " does not exist";
    return false;
  }
#ifndef _WIN32
  if (access(folder.c_str(), W_OK | X_OK) != 0) {
    why = "The folder " + Quoted(PathText(folder)) + " cannot be written";
    return false;
  }
#endif
  if (fs::is_directory(file, ec)) {
    why = Quoted(path) + " is a folder";
    return false;
  }
  if (fs::exists(file, ec) && !overwrite) {
    why = Quoted(path) + " exists; give --overwrite to replace it";
    return false;
  }
  return true;
}

}  // namespace kova

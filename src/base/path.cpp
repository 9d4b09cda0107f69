#include "base/path.h"

#include <cctype>

namespace kova {

bool IsPathSeparator(char c) { return c == '/' || c == '\\'; }

namespace {

bool IsAbsolute(const std::string& name) {
  if (name.size() > 2 && std::isalpha(static_cast<unsigned char>(name[0])) && name[1] == ':')
    return true;
  if (name.size() >= 2 && name[0] == '\\' && name[1] == '\\') return true;
#ifndef _WIN32
  if (!name.empty() && name[0] == '/') return true;
#endif
  return false;
}

size_t LastSeparator(const std::string& path) { return path.find_last_of("/\\"); }

}  // namespace

std::string PathJoin(const std::string& base, const std::string& name) {
  if (IsAbsolute(name)) return name;
  std::string out = base;
  if (out.empty() || !IsPathSeparator(out.back())) out += kPathSeparator;
  size_t skip = (!name.empty() && IsPathSeparator(name[0])) ? 1 : 0;
  out.append(name, skip, std::string::npos);
  return out;
}

std::string FileNameOf(const std::string& path) {
  const size_t sep = LastSeparator(path);
  return sep == std::string::npos ? path : path.substr(sep + 1);
}

std::string FolderOf(const std::string& path) {
  const size_t sep = LastSeparator(path);
  return sep == std::string::npos ? std::string() : path.substr(0, sep + 1);
}

std::string StemOf(const std::string& path) {
  std::string name = FileNameOf(path);
  const size_t dot = name.find_last_of('.');
  if (dot != std::string::npos && dot > 0) name.erase(dot);
  return name;
}

std::string WithTrailingSeparator(const std::string& folder) {
  if (!folder.empty() && IsPathSeparator(folder.back())) return folder;
  return folder + kPathSeparator;
}

}  // namespace kova

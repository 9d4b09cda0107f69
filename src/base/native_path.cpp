#include "base/native_path.h"

#ifdef _WIN32
#include "base/codepage.h"
#endif

namespace kova {

#ifdef _WIN32
std::filesystem::path NativePath(const std::string& path) {
  const std::u16string wide = Cp1252ToUtf16(path);
  return std::filesystem::path(std::wstring(wide.begin(), wide.end()));
}

std::string PathText(const std::filesystem::path& path) {
  const std::wstring& wide = path.native();
  return Utf16ToCp1252(std::u16string(wide.begin(), wide.end()));
}
#else
std::filesystem::path NativePath(const std::string& path) { return std::filesystem::path(path); }

std::string PathText(const std::filesystem::path& path) { return path.string(); }
#endif

}  // namespace kova

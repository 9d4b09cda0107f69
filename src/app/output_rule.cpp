#include "app/output_rule.h"

#include <algorithm>
#include <cwctype>
#include <filesystem>
#include <system_error>

#include "base/file_io.h"
#include "base/format.h"
#include "base/native_path.h"

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#else
#include <sys/stat.h>
#endif

namespace kova {
namespace fs = std::filesystem;

namespace {

// Windows file names ignore letter case: "R.txt" and "r.txt" are one file.
bool SameName(const fs::path& a, const fs::path& b) {
#ifdef _WIN32
  const std::wstring& wa = a.native();
  const std::wstring& wb = b.native();
  return ::CompareStringOrdinal(wa.c_str(), static_cast<int>(wa.size()), wb.c_str(),
                                static_cast<int>(wb.size()), TRUE) == CSTR_EQUAL;
#else
  return a == b;
#endif
}

// Two names of one file: the same file on disk when both exist (links,
// "./a" and "a"), else the same normalised absolute path.
bool SamePlace(const std::string& a, const std::string& b) {
  const fs::path na = NativePath(a), nb = NativePath(b);
  std::error_code ec;
  if (fs::exists(na, ec) && fs::exists(nb, ec)) {
    const bool same = fs::equivalent(na, nb, ec);
    if (!ec) return same;
  }
  const fs::path pa = fs::weakly_canonical(fs::absolute(na, ec), ec);
  const fs::path pb = fs::weakly_canonical(fs::absolute(nb, ec), ec);
  return SameName(pa, pb);
}

bool IsAnyOf(const std::string& path, const std::vector<std::string>& list) {
  return std::any_of(list.begin(), list.end(),
                     [&](const std::string& other) { return SamePlace(path, other); });
}

}  // namespace

OutputCheck CheckOutputFile(const std::string& out, const std::vector<std::string>& inputs,
                            bool overwrite) {
  if (IsAnyOf(out, inputs)) return OutputCheck::kIsInput;
  std::error_code ec;
  if (fs::exists(NativePath(out), ec) && !overwrite) return OutputCheck::kExists;
  return OutputCheck::kFine;
}

std::string OutputCheckText(OutputCheck check, const std::string& out) {
  switch (check) {
    case OutputCheck::kFine:
      return std::string();
    case OutputCheck::kExists:
      return "\"" + out + "\" exists; give --overwrite to replace it";
    case OutputCheck::kIsInput:
      break;
  }
  return "\"" + out + "\" is also an input; choose another output";
}

std::string PlaceKey(const std::string& path) {
  std::error_code ec;
  const fs::path p = fs::weakly_canonical(fs::absolute(NativePath(path), ec), ec);
#ifdef _WIN32
  std::wstring key = p.native();
  for (wchar_t& c : key) c = static_cast<wchar_t>(std::towupper(c));
  return PathText(fs::path(key));
#else
  return p.string();
#endif
}

ExportNames::ExportNames(std::vector<std::string> inputs) : inputs_(std::move(inputs)) {
  for (const std::string& in : inputs_) {
    input_keys_.insert(PlaceKey(in));
#ifndef _WIN32
    struct stat st {};
    if (::stat(in.c_str(), &st) == 0) input_files_.insert({st.st_dev, st.st_ino});
#endif
  }
}

bool ExportNames::IsInput(const std::string& path, const std::string& key) const {
  if (input_keys_.count(key) != 0) return true;
#ifndef _WIN32
  // The same file under another name (a hard link).
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0 && input_files_.count({st.st_dev, st.st_ino}) != 0) {
    return true;
  }
#else
  (void)path;
#endif
  return false;
}

std::string ExportNames::Claim(const std::string& wanted) {
  // One key per name tried and a counter per wanted name: a run of n names
  // costs n look-ups, not n squared file-system calls.
  const std::string wanted_key = PlaceKey(wanted);
  if (IsInput(wanted, wanted_key)) return std::string();
  const fs::path path = NativePath(wanted);
  std::string name = wanted, key = wanted_key;
  int& n = next_number_[wanted_key];
  if (n < 2) n = 2;
  while (claimed_.count(key) != 0 || (name != wanted && IsInput(name, key))) {
    const fs::path next =
        path.parent_path() /
        NativePath(PathText(path.stem()) + Format(" (%d)", n++) + PathText(path.extension()));
    name = PathText(next);
    key = PlaceKey(name);
  }
  claimed_.insert(key);
  return name;
}

}  // namespace kova

#include "app/output_rule.h"

#include <algorithm>
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

std::string ExportNames::Claim(const std::string& wanted) {
  if (IsAnyOf(wanted, inputs_)) return std::string();
  const fs::path path = NativePath(wanted);
  std::string name = wanted;
  for (int n = 2; IsAnyOf(name, claimed_); ++n) {
    const fs::path next =
        path.parent_path() /
        NativePath(PathText(path.stem()) + Format(" (%d)", n) + PathText(path.extension()));
    name = PathText(next);
  }
  claimed_.push_back(name);
  return name;
}

}  // namespace kova

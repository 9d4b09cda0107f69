#include "app/output_rule.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "base/file_io.h"
#include "base/format.h"

namespace kova {
namespace fs = std::filesystem;

namespace {

// Two names of one file: the same file on disk when both exist (links,
// "./a" and "a"), else the same normalised absolute path.
bool SamePlace(const std::string& a, const std::string& b) {
  std::error_code ec;
  if (fs::exists(a, ec) && fs::exists(b, ec)) {
    const bool same = fs::equivalent(a, b, ec);
    if (!ec) return same;
  }
  const fs::path pa = fs::weakly_canonical(fs::absolute(a, ec), ec);
  const fs::path pb = fs::weakly_canonical(fs::absolute(b, ec), ec);
  return pa == pb;
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
  if (fs::exists(out, ec) && !overwrite) return OutputCheck::kExists;
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
  const fs::path path(wanted);
  std::string name = wanted;
  for (int n = 2; IsAnyOf(name, claimed_); ++n) {
    fs::path next = path.parent_path() /
                    (path.stem().string() + Format(" (%d)", n) + path.extension().string());
    name = next.string();
  }
  claimed_.push_back(name);
  return name;
}

}  // namespace kova

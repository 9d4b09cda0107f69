#include "library/library_prune.h"

#include <filesystem>
#include <map>
#include <set>
#include <system_error>

namespace kova {
namespace {
namespace fs = std::filesystem;

enum class Seen { kThere, kGone, kUnknown };

Seen Look(const fs::path& p) {
  std::error_code ec;
  const bool there = fs::exists(p, ec);
  return ec ? Seen::kUnknown : there ? Seen::kThere : Seen::kGone;
}

fs::path Absolute(const std::string& p) {
  std::error_code ec;
  const fs::path abs = fs::absolute(p, ec);
  return (ec ? fs::path(p) : abs).lexically_normal();
}

// True when `path` is `folder` or lies under it.
bool Under(const fs::path& path, const fs::path& folder) {
  auto f = folder.begin(), p = path.begin();
  for (; f != folder.end() && !f->empty(); ++f, ++p)
    if (p == path.end() || *p != *f) return false;
  return true;
}

}  // namespace

PruneSummary PruneLibrary(RecordStore& store, const PruneOptions& options) {
  PruneSummary summary;
  std::vector<std::string> paths;
  summary.store = store.FilePaths(paths);
  if (!summary.store.ok()) return summary;
  std::vector<fs::path> folders;
  for (const std::string& f : options.folders) folders.push_back(Absolute(f));

  // The library's files by folder, with what this computer sees of each.
  std::map<fs::path, std::vector<std::pair<std::string, Seen>>> by_folder;
  for (const std::string& p : paths) {
    const fs::path path(p);
    bool in_scope = folders.empty();
    for (const fs::path& f : folders) in_scope = in_scope || Under(path, f);
    if (in_scope) by_folder[path.parent_path()].emplace_back(p, Look(path));
  }
  std::set<std::string> gone;
  for (const auto& [folder, files] : by_folder) {
    bool seen = false;  // an empty mount point is there, but holds none of them
    for (const auto& f : files) seen = seen || f.second == Seen::kThere;
    for (const auto& f : files) {
      if (f.second != Seen::kGone) continue;  // a file that cannot be looked at stays
      if (seen || options.missing_folders)
        gone.insert(f.first);
      else
        ++summary.kept_unseen;
    }
  }
  summary.store =
      store.Prune([&gone](const std::string& p) { return gone.count(p) == 0; }, summary.removed);
  return summary;
}

}  // namespace kova

#include "app/recent_files.h"

#include <algorithm>

namespace kova {

void RecentFiles::Add(const std::string& path) {
  if (path.empty()) return;
  Remove(path);
  entries_.insert(entries_.begin(), path);
  if (entries_.size() > static_cast<size_t>(capacity_)) entries_.resize(capacity_);
}

void RecentFiles::Remove(const std::string& path) {
  entries_.erase(std::remove(entries_.begin(), entries_.end(), path), entries_.end());
}

void RecentFiles::Load(const SettingsStore& store) {
  entries_.clear();
  for (int i = 1; i <= capacity_; ++i) {
    const std::string path = LoadText(store, SettingRef::Numbered(SettingId::kRecentFile, i));
    if (path.empty()) continue;
    if (std::find(entries_.begin(), entries_.end(), path) == entries_.end())
      entries_.push_back(path);
  }
}

void RecentFiles::Save(SettingsStore& store) const {
  for (int i = 1; i <= capacity_; ++i) {
    const size_t at = static_cast<size_t>(i - 1);
    StoreText(store, SettingRef::Numbered(SettingId::kRecentFile, i),
              at < entries_.size() ? entries_[at] : "");
  }
  store.Flush();
}

}  // namespace kova

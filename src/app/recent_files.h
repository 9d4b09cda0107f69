#pragma once
// The list of the most recently opened record files, newest first, kept in
// the settings section "Recent File List" as "File1" ... "File4".

#include <string>
#include <vector>

#include "app/settings_table.h"

namespace kova {

constexpr int kRecentFileCount = 4;

class RecentFiles {
 public:
  explicit RecentFiles(int capacity = kRecentFileCount) : capacity_(capacity) {}

  // Puts `path` first; an entry already in the list moves up, the oldest
  // falls off when the list is full.
  void Add(const std::string& path);
  void Remove(const std::string& path);
  const std::vector<std::string>& Entries() const { return entries_; }

  void Load(const SettingsStore& store);
  void Save(SettingsStore& store) const;

 private:
  int capacity_;
  std::vector<std::string> entries_;
};

}  // namespace kova

#pragma once
// Pruning the library of files that are gone. A team's library holds paths
// of several computers, and a share may be unmounted: a file is dropped only
// when this computer sees its folder (the folder is there and holds at least
// one of the library's files) and the file is not in it.

#include <cstdint>
#include <string>
#include <vector>

#include "library/record_store.h"

namespace kova {

struct PruneOptions {
  std::vector<std::string> folders;  // only files under these; every file when empty
  bool missing_folders = false;      // also drop the files of folders this computer cannot see
};

struct PruneSummary {
  int64_t removed = 0;      // files dropped
  int64_t kept_unseen = 0;  // gone files kept: their folder cannot be seen here
  StoreOutcome store;
};

PruneSummary PruneLibrary(RecordStore& store, const PruneOptions& options);

}  // namespace kova

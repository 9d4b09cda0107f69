#pragma once
// Filling the library from record files: folders are walked recursively,
// a file whose path, size and time the library already has is not read
// again, and one it must read is found by its content, so a moved file keeps
// its history. A file that cannot be read is listed with its reason.

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "base/cancel_token.h"
#include "library/record_store.h"
#include "records/test_record.h"

namespace kova {

struct ImportProblem {
  std::string path;
  std::string reason;
  bool unreadable = false;  // not there, or may not be read: nothing of it was looked at
};

struct ImportSummary {
  int64_t added = 0;      // records the library did not have
  int64_t new_paths = 0;  // known records found at another path
  int64_t unchanged = 0;  // files the library already had as they are
  std::vector<ImportProblem> problems;
  bool cancelled = false;
  StoreOutcome store;  // the first store failure ends the import
};

// Called after each file: files done, files in all.
using ImportProgress = std::function<void(size_t done, size_t total)>;

// True for the names a folder import takes: ".test" record files and the
// instrument's raw files ".tst-kova7k", in any letter case.
bool IsRecordFileName(const std::string& name);

// The record files under `paths` (files as given, folders recursively), as
// absolute paths; a path that does not exist is a problem.
std::vector<std::string> CollectRecordFiles(const std::vector<std::string>& paths,
                                            std::vector<ImportProblem>& problems);

// Adds one file whatever its name. False with `why` when it cannot be read
// as a record; a store failure is in the outcome.
StoreOutcome AddRecordFile(RecordStore& store, const std::string& path,
                           const RecordDefaults& defaults, AddResult& result, std::string& why,
                           bool check_known = true);

ImportSummary ImportRecordFiles(RecordStore& store, const std::vector<std::string>& paths,
                                const RecordDefaults& defaults, const CancelToken* cancel = nullptr,
                                const ImportProgress& progress = nullptr);

// The content hash of a file, as the library keys records; false when the
// file cannot be read.
bool RecordFileHash(const std::string& path, std::string& hash, std::string& why);

}  // namespace kova

#include "library/library_import.h"

#include <chrono>
#include <filesystem>
#include <system_error>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "analysis/read_record.h"
#include "base/file_io.h"
#include "library/content_hash.h"
#include "library/record_entry.h"
#include "records/record_file.h"

namespace kova {
namespace fs = std::filesystem;
namespace {

constexpr size_t kMaxRecordFileBytes = 16u * 1024 * 1024;

std::string Lower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  return s;
}

bool EndsWith(const std::string& s, const std::string& tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

std::string AbsolutePath(const fs::path& p) {
  std::error_code ec;
  fs::path abs = fs::absolute(p, ec);
  return (ec ? p : abs).lexically_normal().string();
}

// Size, time to the nanosecond and inode: records are all one size, and a
// rewrite within a second or a file swapped in with the old time must not
// pass for the file the library has.
bool FileStamp(RecordIdentity& file) {
  std::error_code ec;
  const auto bytes = fs::file_size(file.path, ec);
  if (ec) return false;
  const auto time = fs::last_write_time(file.path, ec);
  if (ec) return false;
  file.size = static_cast<int64_t>(bytes);
  file.mtime =
      std::chrono::duration_cast<std::chrono::nanoseconds>(time.time_since_epoch()).count();
  file.inode = 0;
#ifndef _WIN32
  struct stat st;
  if (::stat(file.path.c_str(), &st) == 0) file.inode = static_cast<int64_t>(st.st_ino);
#endif
  return true;
}

}  // namespace

bool IsRecordFileName(const std::string& name) {
  const std::string lower = Lower(name);
  return EndsWith(lower, ".test") || EndsWith(lower, ".tst-kova7k");
}

std::vector<std::string> CollectRecordFiles(const std::vector<std::string>& paths,
                                            std::vector<ImportProblem>& problems) {
  std::vector<std::string> files;
  for (const std::string& given : paths) {
    std::error_code ec;
    const fs::file_status st = fs::status(given, ec);
    if (ec && ec != std::errc::no_such_file_or_directory) {
      problems.push_back({given, ec.message(), true});
    } else if (!fs::exists(st)) {
      problems.push_back({given, "no such file", true});
    } else if (fs::is_directory(st)) {
      // Folder by folder, so that each one that cannot be read is named.
      // Folder links are not followed: a link back up would never end.
      std::vector<fs::path> folders{given};
      while (!folders.empty()) {
        const fs::path folder = folders.back();
        folders.pop_back();
        std::error_code dec;
        fs::directory_iterator it(folder, dec), end;
        for (; !dec && it != end; it.increment(dec)) {
          std::error_code fec;
          if (it->is_symlink(fec)) {
            if (it->is_regular_file(fec) && IsRecordFileName(it->path().filename().string()))
              files.push_back(AbsolutePath(it->path()));
          } else if (it->is_directory(fec)) {
            folders.push_back(it->path());
          } else if (it->is_regular_file(fec) && IsRecordFileName(it->path().filename().string())) {
            files.push_back(AbsolutePath(it->path()));
          }
        }
        if (dec)
          problems.push_back({folder.string(), "cannot read the folder: " + dec.message(), true});
      }
    } else {
      files.push_back(AbsolutePath(given));
    }
  }
  return files;
}

bool RecordFileHash(const std::string& path, std::string& hash, std::string& why) {
  std::vector<uint8_t> bytes;
  FileProblem problem = FileProblem::kNone;
  if (!ReadFileBytes(path, bytes, kMaxRecordFileBytes, &problem)) {
    why = FileProblemText(problem);
    return false;
  }
  hash = Sha256Hex(bytes.data(), bytes.size());
  return true;
}

namespace {

constexpr size_t kImportBatchRecords = 200;
constexpr uint32_t kImportBatchMs = 500;

// Reads the file at `path` into `entry` unless the library already has it
// as it is (`known`). A file that cannot be read gives its reason in `why`
// (and `unreadable` when not a byte of it could be read).
StoreOutcome ReadNewRecordFile(RecordStore& store, const std::string& path,
                               const RecordDefaults& defaults, bool check_known, bool& known,
                               RecordEntry& entry, std::string& why, bool& unreadable) {
  known = false;
  unreadable = false;
  why.clear();
  entry = RecordEntry();
  // Filed absolute and normalised: a relative path would be another file
  // seen from another folder.
  entry.identity.path = AbsolutePath(path);
  if (!FileStamp(entry.identity)) {
    const FileProblem problem = RegularFileProblem(path);
    why = FileProblemText(problem == FileProblem::kNone ? FileProblem::kUnreadable : problem);
    unreadable = true;
    return {};
  }
  if (check_known) {
    StoreOutcome looked = store.IsKnownFile(entry.identity, known);
    if (!looked.ok() || known) return looked;
  }
  std::vector<uint8_t> bytes;
  FileProblem problem = FileProblem::kNone;
  if (!ReadFileBytes(path, bytes, kMaxRecordFileBytes, &problem)) {
    why = FileProblemText(problem);
    unreadable = true;
    return {};
  }
  auto rec = std::make_unique<TestRecord>();
  RecordDefaults month_first = defaults;
  month_first.dateformat = 0;  // the library sorts by the instrument's own order
  if (!ReadRecordFileBytes(*rec, bytes.data(), bytes.size(), path, month_first)) {
    why = "not a record file";
    return {};
  }
  // A cut copy reads with reset values (a blank serial, knees of 0 V): it is
  // no record to file, nor to put in place of the whole one at its path.
  const RecordFileEnd end = CheckRecordFileEnd(bytes.data(), bytes.size());
  if (end.Early()) {
    why = "damaged: the record ends at byte " + std::to_string(end.ended_at) + " but needs " +
          std::to_string(end.needed);
    return {};
  }
  entry.identity.content_hash = Sha256Hex(bytes.data(), bytes.size());
  EntryFromRecord(*rec, entry);
  return {};
}

// Records read but not yet in the library: written together in one
// transaction once there are enough of them or they have waited long enough.
class ImportBatch {
 public:
  explicit ImportBatch(RecordStore& store, ImportSummary& summary)
      : store_(store), summary_(summary) {}

  // False when the store failed (in the summary): the import ends.
  bool Add(RecordEntry&& entry) {
    if (entries_.empty()) started_ = Deadline(kImportBatchMs);
    entries_.push_back(std::move(entry));
    return (entries_.size() < kImportBatchRecords && !started_.Expired()) || Write();
  }

  bool Write() {
    if (entries_.empty()) return true;
    std::vector<AddResult> results;
    std::vector<std::string> refused;
    summary_.store = store_.AddRecords(entries_, results, refused);
    const bool ok = summary_.store.ok();
    for (size_t i = 0; ok && i < entries_.size(); ++i) {
      if (!refused[i].empty())
        summary_.problems.push_back({entries_[i].identity.path, refused[i]});
      else if (results[i] == AddResult::kAdded)
        ++summary_.added;
      else if (results[i] == AddResult::kNewPath)
        ++summary_.new_paths;
      else
        ++summary_.unchanged;
    }
    entries_.clear();
    return ok;
  }

 private:
  RecordStore& store_;
  ImportSummary& summary_;
  std::vector<RecordEntry> entries_;
  Deadline started_{0};
};

}  // namespace

StoreOutcome AddRecordFile(RecordStore& store, const std::string& path,
                           const RecordDefaults& defaults, AddResult& result, std::string& why,
                           bool check_known) {
  RecordEntry entry;
  bool known = false, unreadable = false;
  StoreOutcome read =
      ReadNewRecordFile(store, path, defaults, check_known, known, entry, why, unreadable);
  if (!read.ok() || !why.empty()) return read;
  if (known) {
    result = AddResult::kUnchanged;
    return {};
  }
  return store.AddRecord(entry, result);
}

ImportSummary ImportRecordFiles(RecordStore& store, const std::vector<std::string>& paths,
                                const RecordDefaults& defaults, const CancelToken* cancel,
                                const ImportProgress& progress) {
  ImportSummary summary;
  const std::vector<std::string> files = CollectRecordFiles(paths, summary.problems);
  ImportBatch batch(store, summary);
  bool store_ok = true;
  for (size_t i = 0; store_ok && i < files.size(); ++i) {
    if (cancel && cancel->IsCancelled()) {
      summary.cancelled = true;
      break;
    }
    RecordEntry entry;
    bool known = false, unreadable = false;
    std::string why;
    summary.store =
        ReadNewRecordFile(store, files[i], defaults, true, known, entry, why, unreadable);
    if (!summary.store.ok()) break;
    if (!why.empty())
      summary.problems.push_back({files[i], why, unreadable});
    else if (known)
      ++summary.unchanged;
    else
      store_ok = batch.Add(std::move(entry));
    if (progress) progress(i + 1, files.size());
  }
  // Records already read are filed also when the import was cancelled.
  if (summary.store.ok()) batch.Write();
  return summary;
}

}  // namespace kova

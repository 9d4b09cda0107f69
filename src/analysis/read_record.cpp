#include "analysis/read_record.h"

#include <vector>

#include "analysis/compute_derived.h"
#include "base/file_io.h"
#include "records/record_file.h"

namespace kova {

bool ReadRecordFile(TestRecord& rec, const std::string& path, const RecordDefaults& defaults,
                    std::string* why) {
  rec.ResetRecord(defaults);
  std::vector<uint8_t> bytes;
  FileProblem problem = FileProblem::kNone;
  if (!ReadFileBytes(path, bytes, kMaxRecordFileSize, &problem)) {
    if (why) *why = FileProblemText(problem);
    return false;
  }
  if (bytes.empty()) {
    if (why) *why = "the file is empty";
    return false;
  }
  if (!ReadRecordFileBytes(rec, bytes.data(), bytes.size(), path, defaults)) {
    if (why) *why = "not a record file";
    return false;
  }
  return true;
}

bool ReadRecordFileBytes(TestRecord& rec, const uint8_t* data, size_t size, const std::string& path,
                         const RecordDefaults& defaults) {
  if (!rec.DecodeRecordBytes(data, size, path, defaults)) return false;
  ComputeDerived(rec);
  return true;
}

bool ReadRecordText(TestRecord& rec, const std::string& text, const RecordDefaults& defaults,
                    const TextParseOptions& options) {
  if (!rec.RecordTextParser(text, defaults, options)) return false;
  ComputeDerived(rec);
  return true;
}

}  // namespace kova

#pragma once
// The one read of a record: every way a record comes in (a file, the
// instrument's record text from a download or a remote run, the command
// line) decodes it with the user's preferences and then computes its
// derived figures, so a record is in the same state whichever way it came.

#include <cstddef>
#include <cstdint>
#include <string>

#include "records/test_record.h"

namespace kova {

// A record file or a raw instrument file. On failure `why` (optional) says
// what was wrong with the file: "no such file", "it is a folder", "the file
// is empty", "the file is too large", "not a record file", ...
bool ReadRecordFile(TestRecord& rec, const std::string& path, const RecordDefaults& defaults,
                    std::string* why = nullptr);
// The same from bytes already in memory; `path` names where they came from.
bool ReadRecordFileBytes(TestRecord& rec, const uint8_t* data, size_t size, const std::string& path,
                         const RecordDefaults& defaults);
// The record text as the instrument sends it.
bool ReadRecordText(TestRecord& rec, const std::string& text, const RecordDefaults& defaults,
                    const TextParseOptions& options = TextParseOptions());

}  // namespace kova

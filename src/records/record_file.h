#pragma once
// Record file (".test") and raw instrument file constants.

#include <cstddef>
#include <cstdint>
#include <string>

namespace kova {

constexpr uint32_t kRecordMagic = 0x0BADF00C;
constexpr uint32_t kRecordMagicAlt = 0x0BADF00E;  // read like kRecordMagic
constexpr uint32_t kRecordFileVersion = 7;
constexpr size_t kRawFileRecordOffset = 256;
constexpr size_t kRawFileModelTextSize = 10;
// Largest record file the reader takes; real files are about 20 KB.
constexpr size_t kMaxRecordFileSize = 16u * 1024 * 1024;
// Longest text a record file field may hold.
constexpr size_t kMaxRecordFileText = 4u * 1024 * 1024;

// Where a record file that ended early ended (its size) and how many bytes
// the field being read needed; both 0 for a whole file. The reader keeps
// what such a file held and leaves the rest at reset values (stored files
// rely on that); this says so.
struct RecordFileEnd {
  size_t ended_at = 0;
  size_t needed = 0;
  bool Early() const { return needed != 0; }
};

// The end of the record file in `data` (or at `path`; a file that cannot be
// read counts as whole here, its reader says why).
RecordFileEnd CheckRecordFileEnd(const uint8_t* data, size_t size);
RecordFileEnd CheckRecordFileEnd(const std::string& path);

// "The record file \"<path>\" ended at byte <n> but needed <m>; the rest
// shows reset values"; empty for a whole file.
std::string RecordFileEndedEarlyText(const std::string& path, const RecordFileEnd& end);

// The line every report page, picture and PDF of such a record carries:
// "DAMAGED RECORD: the file ends at byte <n> of <m>; later values are
// reset"; empty for a whole file.
std::string DamagedRecordBanner(const RecordFileEnd& end);
// The warning the desktop shows once as such a file opens; empty for a
// whole file.
std::string DamagedRecordWarningText(const std::string& path, const RecordFileEnd& end);

}  // namespace kova

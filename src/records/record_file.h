#pragma once
// Record file (".test") and raw instrument file constants.

#include <cstddef>
#include <cstdint>

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

}  // namespace kova

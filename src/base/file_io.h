#pragma once
// Whole-file reads and atomic writes. A file is written beside its target
// and renamed over it, so a failed or interrupted write never damages what
// was there.

#include <cstdint>
#include <string>
#include <vector>

namespace kova {

// Reads at most `max_bytes` of the file; fails when it cannot be opened or
// is larger than that.
bool ReadFileBytes(const std::string& path, std::vector<uint8_t>& out,
                   size_t max_bytes = 64u * 1024 * 1024);
bool ReadFileText(const std::string& path, std::string& out, size_t max_bytes = 64u * 1024 * 1024);

bool WriteFileAtomically(const std::string& path, const void* data, size_t size);
inline bool WriteFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes) {
  return WriteFileAtomically(path, bytes.data(), bytes.size());
}
inline bool WriteFileAtomically(const std::string& path, const std::string& text) {
  return WriteFileAtomically(path, text.data(), text.size());
}

bool FileExists(const std::string& path);
bool FolderExists(const std::string& path);
bool MakeFolders(const std::string& path);

}  // namespace kova

#pragma once
// Whole-file reads and atomic writes. A file is written beside its target
// and renamed over it, so a failed or interrupted write never damages what
// was there.

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

namespace kova {

// Why a whole-file read failed.
enum class FileProblem {
  kNone,
  kMissing,
  kFolder,
  kFifo,
  kDevice,
  kNotRegular,  // anything else that is no regular file (a socket)
  kFolderDenied,
  kPathTooLong,
  kTooLarge,
  kUnreadable
};
// "no such file", "it is a folder", ... (empty for kNone).
std::string FileProblemText(FileProblem problem);
// What stands between `path` and reading it as a regular file, looked at
// without opening it: kNone for a regular file, else kMissing, kFolder,
// kFifo, kDevice, kNotRegular, kFolderDenied, kPathTooLong or kUnreadable.
FileProblem RegularFileProblem(const std::string& path);

// Reads at most `max_bytes` of a regular file; fails when it is missing, is
// not a regular file (a FIFO or a device would block or never end), cannot
// be read or is larger than that. `problem` (optional) says why.
bool ReadFileBytes(const std::string& path, std::vector<uint8_t>& out,
                   size_t max_bytes = 64u * 1024 * 1024, FileProblem* problem = nullptr);
bool ReadFileText(const std::string& path, std::string& out, size_t max_bytes = 64u * 1024 * 1024,
                  FileProblem* problem = nullptr);
// Reads a stream (standard input) up to `max_bytes`; fails past that.
bool ReadStreamText(std::istream& in, std::string& out, size_t max_bytes);

// Writes a new file with a short unique name, created exclusively beside
// `path` (never through a link planted there), checks every write, the flush
// and the close, then renames it over `path`. On any failure the old file is
// untouched, the new one removed, and `why` (optional) says why, for
// instance "No space left on device".
bool WriteFileAtomically(const std::string& path, const void* data, size_t size,
                         std::string* why = nullptr);
inline bool WriteFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes,
                                std::string* why = nullptr) {
  return WriteFileAtomically(path, bytes.data(), bytes.size(), why);
}
inline bool WriteFileAtomically(const std::string& path, const std::string& text,
                                std::string* why = nullptr) {
  return WriteFileAtomically(path, text.data(), text.size(), why);
}
// The name the temporary of a write to `path` gets: in the same folder, and
// short whatever the length of the target's name (a 255-byte name stays
// writable).
std::string AtomicTempName(const std::string& path, unsigned serial);

bool FileExists(const std::string& path);
bool FolderExists(const std::string& path);
bool MakeFolders(const std::string& path);
// Makes the folder `file_path` is to be written into, when it is not there.
// False with `why` "the folder "<folder>" cannot be made: <reason>" (the
// system's reason, or which part of the path is a file), so an export
// into a folder it may not make says so instead of "No such file".
bool MakeFolderFor(const std::string& file_path, std::string* why);

}  // namespace kova

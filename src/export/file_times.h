#pragma once
// Last-write times in whole seconds, as the automatic export compares them:
// an export is up to date only when it is strictly newer than its source.

#include <cstdint>
#include <string>

namespace kova {

// False when the file does not exist or its time cannot be read.
bool LastWriteSeconds(const std::string& path, int64_t& seconds);

// True when both times can be read and `newer` is later by at least one
// whole second.
bool IsStrictlyNewer(const std::string& newer, const std::string& older);

// Removes a file; a missing file or a failure is no error.
void DeleteFileQuietly(const std::string& path);

}  // namespace kova

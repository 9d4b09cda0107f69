#pragma once
// Path text helpers. The program's own folder separator is the platform's;
// where path text from users or the instrument is matched, both separators
// are accepted.

#include <string>

namespace kova {

#ifdef _WIN32
constexpr char kPathSeparator = '\\';
#else
constexpr char kPathSeparator = '/';
#endif

bool IsPathSeparator(char c);

// Joins `name` below the folder `base`. A name that is already absolute (a
// drive letter and more, a UNC name, or on POSIX a leading '/') is returned
// unchanged; otherwise one separator is put between the two and one leading
// separator of `name` is dropped.
std::string PathJoin(const std::string& base, const std::string& name);

// The part after the last separator (either kind), or the whole text.
std::string FileNameOf(const std::string& path);
// The folder part with its trailing separator, or empty.
std::string FolderOf(const std::string& path);
// The file name without its last extension.
std::string StemOf(const std::string& path);
// Makes sure a folder text ends with the platform separator.
std::string WithTrailingSeparator(const std::string& folder);

}  // namespace kova

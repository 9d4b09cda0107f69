#pragma once
// Looking at what a test left on disk.

#include <string>
#include <vector>

namespace kova {

// The names of the entries of a folder, sorted; none when it cannot be read.
std::vector<std::string> FilesIn(const std::string& folder);

// The whole content of a file; empty when it cannot be read.
std::string Slurp(const std::string& path);

}  // namespace kova

#pragma once
// File names inside the program are 8-bit text like every other text
// (Windows-1252, as a record's fullpath is stored). On Windows a file is
// opened through its wide (UTF-16) name, so names with "é" or "€" reach the
// same file whatever code page the PC runs; elsewhere the bytes are the name.

#include <filesystem>
#include <string>

namespace kova {

// The name the system's file calls take.
std::filesystem::path NativePath(const std::string& path);
// The program's text of a name the system gave (a folder listing).
std::string PathText(const std::filesystem::path& path);

}  // namespace kova

#pragma once
// Small text tests on the instrument's reply lines. Letter case is folded for
// ASCII letters only: the lines are Windows-1252 bytes and the instrument's
// key words are plain ASCII.

#include <string>

namespace kova {

std::string AsciiLower(const std::string& text);
bool EqualsNoCase(const std::string& a, const std::string& b);
bool StartsWithNoCase(const std::string& text, const std::string& prefix);

}  // namespace kova

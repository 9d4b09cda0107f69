#pragma once
// The instrument's fixed-width texts: NUL- or space-filled byte fields.

#include <cstddef>
#include <cstdint>
#include <string>

namespace kova {

// Reads a field of `width` bytes: NUL bytes become spaces, trailing spaces are
// removed. Reads at most `available` bytes; a shorter field reads as if the
// rest were NUL.
std::string FixedText(const uint8_t* source, size_t width, size_t available);
inline std::string FixedText(const uint8_t* source, size_t width) {
  return FixedText(source, width, width);
}

// Writes `text` into a field of `width` bytes: the field is filled with
// spaces, then the first min(width, length) characters are copied.
void PadText(const std::string& text, uint8_t* field, size_t width);

// Copies a text into a fixed char array of `capacity` bytes, cut to at most
// `max_chars` characters and always terminated.
void CopyFixed(char* dest, size_t capacity, const std::string& text, size_t max_chars);

// The text of a fixed char array up to its first NUL (or its whole capacity).
std::string FixedString(const char* src, size_t capacity);

}  // namespace kova

#include "base/fixed_text.h"

#include <algorithm>
#include <cstring>

namespace kova {

std::string FixedText(const uint8_t* source, size_t width, size_t available) {
  std::string text(width, ' ');
  const size_t n = std::min(width, available);
  for (size_t i = 0; i < n; ++i) {
    const char c = static_cast<char>(source[i]);
    text[i] = (c == '\0') ? ' ' : c;
  }
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

void PadText(const std::string& text, uint8_t* field, size_t width) {
  std::memset(field, ' ', width);
  const size_t n = std::min(width, text.size());
  if (n > 0) std::memcpy(field, text.data(), n);
}

void CopyFixed(char* dest, size_t capacity, const std::string& text, size_t max_chars) {
  if (capacity == 0) return;
  const size_t n = std::min({text.size(), max_chars, capacity - 1});
  if (n > 0) std::memcpy(dest, text.data(), n);
  std::memset(dest + n, 0, capacity - n);
}

std::string FixedString(const char* src, size_t capacity) {
  const void* nul = std::memchr(src, '\0', capacity);
  const size_t n = nul ? static_cast<size_t>(static_cast<const char*>(nul) - src) : capacity;
  return std::string(src, n);
}

}  // namespace kova

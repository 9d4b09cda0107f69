#pragma once
// A PDF counts as written only when it is whole: it begins with "%PDF-" and
// its last line is "%%EOF". A writer cut short (a full disk, a killed
// generator) leaves a file that fails this.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kova {

// Largest PDF the program takes back from the report generator.
constexpr size_t kMaxPdfBytes = 512u << 20;

bool IsWholePdf(const char* bytes, size_t size);
inline bool IsWholePdf(const std::vector<uint8_t>& bytes) {
  return IsWholePdf(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

}  // namespace kova

#include "export/whole_pdf.h"

#include <cstring>

namespace kova {

bool IsWholePdf(const char* bytes, size_t size) {
  static constexpr char kHead[] = "%PDF-";
  static constexpr char kTail[] = "%%EOF";
  const size_t head = sizeof kHead - 1, tail = sizeof kTail - 1;
  if (bytes == nullptr || size < head + tail) return false;
  if (std::memcmp(bytes, kHead, head) != 0) return false;
  size_t end = size;
  while (end > head && (bytes[end - 1] == '\n' || bytes[end - 1] == '\r' || bytes[end - 1] == ' ' ||
                        bytes[end - 1] == '\t')) {
    --end;
  }
  return end >= head + tail && std::memcmp(bytes + end - tail, kTail, tail) == 0;
}

}  // namespace kova

#include "base/format.h"

#include <cstdio>
#include <vector>

#if defined(__MINGW32__) && !__USE_MINGW_ANSI_STDIO
#error "Format needs MinGW's C99 printf (__USE_MINGW_ANSI_STDIO) for %zu and %lld"
#endif

namespace kova {

std::string FormatV(const char* format, va_list args) {
  char small[256];
  va_list copy;
  va_copy(copy, args);
  const int n = std::vsnprintf(small, sizeof small, format, copy);
  va_end(copy);
  if (n < 0) return std::string();
  if (static_cast<size_t>(n) < sizeof small) return std::string(small, static_cast<size_t>(n));
  std::vector<char> big(static_cast<size_t>(n) + 1);
  std::vsnprintf(big.data(), big.size(), format, args);
  return std::string(big.data(), static_cast<size_t>(n));
}

std::string Format(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string out = FormatV(format, args);
  va_end(args);
  return out;
}

}  // namespace kova

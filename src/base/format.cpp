#include "base/format.h"

#include <clocale>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#if defined(__MINGW32__) && !__USE_MINGW_ANSI_STDIO
#error "Format needs MinGW's C99 printf (__USE_MINGW_ANSI_STDIO) for %zu and %lld"
#endif

namespace kova {
namespace {

// One conversion formatted by the C library.
template <typename T>
void Append(std::string& out, const std::string& piece, T value) {
  char small[128];
  const int n = std::snprintf(small, sizeof small, piece.c_str(), value);
  if (n < 0) return;
  if (static_cast<size_t>(n) < sizeof small) {
    out.append(small, static_cast<size_t>(n));
    return;
  }
  std::vector<char> big(static_cast<size_t>(n) + 1);
  std::snprintf(big.data(), big.size(), piece.c_str(), value);
  out.append(big.data(), static_cast<size_t>(n));
}

// A floating-point conversion written with a decimal point whatever the
// process locale says: the desktop program runs under the user's locale,
// and exports, settings and the instrument all want "1.5", never "1,5".
template <typename T>
void AppendFloat(std::string& out, const std::string& piece, T value) {
  const size_t from = out.size();
  Append(out, piece, value);
  const char* point = std::localeconv()->decimal_point;
  if (!point || std::strcmp(point, ".") == 0 || !*point) return;
  const size_t at = out.find(point, from);
  if (at != std::string::npos) out.replace(at, std::strlen(point), ".");
}

bool IsFlag(char c) { return c == '-' || c == '+' || c == ' ' || c == '#' || c == '0'; }

// The whole text in one call, when the locale already writes a decimal
// point (the command-line tool sets LC_NUMERIC to "C").
std::string FormatWhole(const char* format, va_list args) {
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

}  // namespace

std::string FormatV(const char* format, va_list args) {
  const char* point = std::localeconv()->decimal_point;
  if (point == nullptr || std::strcmp(point, ".") == 0) return FormatWhole(format, args);
  // Otherwise each conversion on its own, so only numbers are touched.
  std::string out;
  va_list ap;
  va_copy(ap, args);
  const char* p = format;
  while (*p) {
    if (*p != '%') {
      out += *p++;
      continue;
    }
    if (p[1] == '%') {
      out += '%';
      p += 2;
      continue;
    }
    // %[flags][width][.precision][length]conversion; '*' takes an int.
    std::string piece = "%";
    ++p;
    while (IsFlag(*p)) piece += *p++;
    auto number_or_star = [&] {
      if (*p == '*') {
        piece += std::to_string(va_arg(ap, int));
        ++p;
      }
      while (*p >= '0' && *p <= '9') piece += *p++;
    };
    number_or_star();
    if (*p == '.') {
      piece += *p++;
      number_or_star();
    }
    std::string length;
    while (*p == 'h' || *p == 'l' || *p == 'L' || *p == 'z' || *p == 'j' || *p == 't') {
      length += *p++;
    }
    const char conv = *p;
    if (!conv) break;
    ++p;
    piece += length;
    piece += conv;
    switch (conv) {
      case 'd':
      case 'i':
        if (length == "l") {
          Append(out, piece, va_arg(ap, long));
        } else if (length == "ll") {
          Append(out, piece, va_arg(ap, long long));
        } else if (length == "z") {
          Append(out, piece, va_arg(ap, ptrdiff_t));
        } else if (length == "j") {
          Append(out, piece, va_arg(ap, intmax_t));
        } else if (length == "t") {
          Append(out, piece, va_arg(ap, ptrdiff_t));
        } else {
          Append(out, piece, va_arg(ap, int));
        }
        break;
      case 'u':
      case 'o':
      case 'x':
      case 'X':
      case 'c':
        if (length == "l") {
          Append(out, piece, va_arg(ap, unsigned long));
        } else if (length == "ll") {
          Append(out, piece, va_arg(ap, unsigned long long));
        } else if (length == "z") {
          Append(out, piece, va_arg(ap, size_t));
        } else if (length == "j") {
          Append(out, piece, va_arg(ap, uintmax_t));
        } else if (length == "t") {
          Append(out, piece, va_arg(ap, ptrdiff_t));
        } else if (conv == 'c') {
          Append(out, piece, va_arg(ap, int));
        } else {
          Append(out, piece, va_arg(ap, unsigned));
        }
        break;
      case 'f':
      case 'F':
      case 'e':
      case 'E':
      case 'g':
      case 'G':
      case 'a':
      case 'A':
        if (length == "L") {
          AppendFloat(out, piece, va_arg(ap, long double));
        } else {
          AppendFloat(out, piece, va_arg(ap, double));
        }
        break;
      case 's':
        Append(out, piece, va_arg(ap, const char*));
        break;
      case 'p':
        Append(out, piece, va_arg(ap, void*));
        break;
      default:  // %n and unknown conversions write nothing
        break;
    }
  }
  va_end(ap);
  return out;
}

std::string Format(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string out = FormatV(format, args);
  va_end(args);
  return out;
}

void ReplaceAll(std::string& text, const std::string& from, const std::string& to) {
  if (from.empty()) return;
  size_t pos = 0;
  while ((pos = text.find(from, pos)) != std::string::npos) {
    text.replace(pos, from.size(), to);
    pos += to.size();
  }
}

}  // namespace kova

#pragma once
// printf-style formatting into a std::string, as every message and export
// line of the program is produced. Numbers always take a decimal point,
// whatever the process locale (the desktop program runs under the user's).

#include <cstdarg>
#include <string>

namespace kova {

// MinGW's own printf attribute means the Microsoft runtime's formats, which
// lack "%zu"; the program formats with the C99 formatter MinGW provides.
#if defined(__MINGW32__)
#define KOVA_PRINTF(fmt_index, first_arg) __attribute__((format(gnu_printf, fmt_index, first_arg)))
#elif defined(__GNUC__)
#define KOVA_PRINTF(fmt_index, first_arg) __attribute__((format(printf, fmt_index, first_arg)))
#else
#define KOVA_PRINTF(fmt_index, first_arg)
#endif

std::string Format(const char* format, ...) KOVA_PRINTF(1, 2);
std::string FormatV(const char* format, va_list args);

// Every occurrence of `from` (not empty) in `text` replaced by `to`, left to
// right; replaced text is not looked at again.
void ReplaceAll(std::string& text, const std::string& from, const std::string& to);

}  // namespace kova

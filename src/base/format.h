#pragma once
// printf-style formatting into a std::string, as every message and export
// line of the program is produced.

#include <cstdarg>
#include <string>

namespace kova {

#if defined(__GNUC__)
#define KOVA_PRINTF(fmt_index, first_arg) __attribute__((format(printf, fmt_index, first_arg)))
#else
#define KOVA_PRINTF(fmt_index, first_arg)
#endif

std::string Format(const char* format, ...) KOVA_PRINTF(1, 2);
std::string FormatV(const char* format, va_list args);

}  // namespace kova

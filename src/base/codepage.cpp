#include "base/codepage.h"

#include <cstdint>

namespace kova {
namespace {

// Code points of bytes 0x80..0x9F; 0 marks the five bytes Windows-1252 leaves
// undefined (they map to the C1 control of the same value).
const char16_t kHigh[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                            0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                            0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                            0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char32_t ByteToCodePoint(unsigned char b) {
  if (b >= 0x80 && b < 0xA0) {
    const char16_t c = kHigh[b - 0x80];
    return c ? c : b;
  }
  return b;
}

int CodePointToByte(char32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<int>(cp);
  for (int i = 0; i < 32; ++i) {
    const char16_t c = kHigh[i];
    if ((c != 0 && c == cp) || (c == 0 && cp == static_cast<char32_t>(0x80 + i))) return 0x80 + i;
  }
  return '?';
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

}  // namespace

std::string Cp1252ToUtf8(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (unsigned char b : text) AppendUtf8(out, ByteToCodePoint(b));
  return out;
}

std::u16string Cp1252ToUtf16(const std::string& text) {
  std::u16string out;
  out.reserve(text.size());
  for (unsigned char b : text) out += static_cast<char16_t>(ByteToCodePoint(b));
  return out;
}

std::string Utf8ToCp1252(const std::string& text) {
  std::string out;
  size_t i = 0;
  const size_t n = text.size();
  while (i < n) {
    const auto b = static_cast<unsigned char>(text[i]);
    char32_t cp = 0;
    size_t len = 0;
    if (b < 0x80) {
      cp = b;
      len = 1;
    } else if ((b & 0xE0) == 0xC0) {
      cp = b & 0x1F;
      len = 2;
    } else if ((b & 0xF0) == 0xE0) {
      cp = b & 0x0F;
      len = 3;
    } else if ((b & 0xF8) == 0xF0) {
      cp = b & 0x07;
      len = 4;
    } else {
      out += '?';
      ++i;
      continue;
    }
    bool ok = i + len <= n;
    for (size_t k = 1; ok && k < len; ++k) {
      const auto c = static_cast<unsigned char>(text[i + k]);
      if ((c & 0xC0) != 0x80) ok = false;
      cp = (cp << 6) | (c & 0x3F);
    }
    if (!ok) {
      out += '?';
      ++i;
      continue;
    }
    out += static_cast<char>(CodePointToByte(cp));
    i += len;
  }
  return out;
}

std::string Utf16ToCp1252(const std::u16string& text) {
  std::string out;
  out.reserve(text.size());
  for (char16_t c : text) out += static_cast<char>(CodePointToByte(c));
  return out;
}

bool IsUtf8(const std::string& text) {
  size_t i = 0;
  const size_t n = text.size();
  while (i < n) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    size_t more = 0;
    uint32_t cp = 0;
    if (c < 0x80) {
      ++i;
      continue;
    } else if (c >= 0xC2 && c <= 0xDF) {
      more = 1;
      cp = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
      more = 2;
      cp = c & 0x0F;
    } else if (c >= 0xF0 && c <= 0xF4) {
      more = 3;
      cp = c & 0x07;
    } else {
      return false;
    }
    if (n - i <= more) return false;
    for (size_t k = 1; k <= more; ++k) {
      const unsigned char d = static_cast<unsigned char>(text[i + k]);
      if ((d & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (d & 0x3F);
    }
    // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
    if ((more == 2 && cp < 0x800) || (more == 3 && (cp < 0x10000 || cp > 0x10FFFF)) ||
        (cp >= 0xD800 && cp <= 0xDFFF)) {
      return false;
    }
    i += more + 1;
  }
  return true;
}

std::string SystemNameToUtf8(const std::string& name) {
#ifdef _WIN32
  return Cp1252ToUtf8(name);
#else
  return name;
#endif
}

std::string SystemNameToCp1252(const std::string& name) {
#ifdef _WIN32
  return name;
#else
  // A name that is not UTF-8 (made under an 8-bit locale) is taken as
  // Windows-1252 already, as the XML document takes it.
  return IsUtf8(name) ? Utf8ToCp1252(name) : name;
#endif
}

std::string Utf8ToSystemName(const std::string& text) {
#ifdef _WIN32
  return Utf8ToCp1252(text);
#else
  return text;
#endif
}

std::string Cp1252ToSystemName(const std::string& text) {
#ifdef _WIN32
  return text;
#else
  return Cp1252ToUtf8(text);
#endif
}

}  // namespace kova

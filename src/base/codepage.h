#pragma once
// Texts inside the program are Windows-1252 bytes, as the instrument and the
// stored files carry them. These convert at the edges.

#include <string>

namespace kova {

std::string Cp1252ToUtf8(const std::string& text);
std::u16string Cp1252ToUtf16(const std::string& text);
// Characters that Windows-1252 cannot hold become '?'; malformed UTF-8
// sequences become '?' too.
std::string Utf8ToCp1252(const std::string& text);
std::string Utf16ToCp1252(const std::u16string& text);

// File names are kept as the system gives them: the ANSI code page
// (Windows-1252) on Windows, UTF-8 elsewhere. These convert a system name
// for a UTF-8 edge (the screen, JSON) and for Windows-1252 text (reports,
// exports).
std::string SystemNameToUtf8(const std::string& name);
std::string SystemNameToCp1252(const std::string& name);
// The other way: a name typed on a UTF-8 edge (the terminal, a Qt widget)
// or in Windows-1252 text, as the system's file calls take it.
std::string Utf8ToSystemName(const std::string& text);
std::string Cp1252ToSystemName(const std::string& text);

// True when `text` is well-formed UTF-8 (no overlong forms, no surrogates).
bool IsUtf8(const std::string& text);

}  // namespace kova

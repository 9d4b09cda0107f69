#include "library/library_model.h"

namespace kova {

std::string NormalizeIdentityText(const std::string& text) {
  size_t begin = 0, end = text.size();
  auto space = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\0'; };
  while (begin < end && space(text[begin])) ++begin;
  while (end > begin && space(text[end - 1])) --end;
  std::string out = text.substr(begin, end - begin);
  for (char& c : out) {
    const auto u = static_cast<unsigned char>(c);
    if (u >= 'a' && u <= 'z') c = static_cast<char>(u - 32);
    // Windows-1252 letters with accents: the upper case is 0x20 below,
    // except the division sign 0xF7 and y-umlaut 0xFF.
    else if (u >= 0xE0 && u <= 0xFE && u != 0xF7)
      c = static_cast<char>(u - 32);
  }
  return out;
}

std::string CtKey(const std::string& manufacturer, const std::string& serialnumber) {
  // A unit separator keeps "AB"+"C" apart from "A"+"BC".
  return NormalizeIdentityText(manufacturer) + '\x1f' + NormalizeIdentityText(serialnumber);
}

}  // namespace kova

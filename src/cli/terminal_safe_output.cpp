#include "cli/terminal_safe_output.h"

#include <cstdio>
#include <cstring>

namespace kova {

bool TerminalSafeBuffer::Put(const char* text) {
  const auto n = static_cast<std::streamsize>(std::strlen(text));
  return inner_->sputn(text, n) == n;
}

TerminalSafeBuffer::int_type TerminalSafeBuffer::overflow(int_type ch) {
  if (traits_type::eq_int_type(ch, traits_type::eof())) return traits_type::not_eof(ch);
  const auto c = static_cast<unsigned char>(traits_type::to_char_type(ch));
  char escaped[16];
  if (lead_c2_) {
    lead_c2_ = false;
    if (c >= 0x80 && c <= 0x9F) {
      std::snprintf(escaped, sizeof escaped, "\\xC2\\x%02X", c);
      return Put(escaped) ? ch : traits_type::eof();
    }
    if (!Put("\xC2")) return traits_type::eof();
  }
  if (c == 0xC2) {
    lead_c2_ = true;
    return ch;
  }
  if ((c < 0x20 && c != '\n' && c != '\t' && c != '\r') || c == 0x7F) {
    std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
    return Put(escaped) ? ch : traits_type::eof();
  }
  return traits_type::eq_int_type(inner_->sputc(static_cast<char>(c)), traits_type::eof())
             ? traits_type::eof()
             : ch;
}

int TerminalSafeBuffer::sync() {
  // A 0xC2 at a flush is kept back until its next byte says what it is.
  return inner_->pubsync();
}

void TerminalSafeBuffer::Release() {
  if (lead_c2_) Put("\xC2");
  lead_c2_ = false;
}

}  // namespace kova

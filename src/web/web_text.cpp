#include "web/web_text.h"

#include "base/codepage.h"

namespace kova {

namespace {

constexpr const char* kReplacement = "\xEF\xBF\xBD";

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool Unreserved(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '.' || c == '_' || c == '~';
}

// The length of the well-formed UTF-8 sequence at `s[i]`, 0 for none.
size_t Utf8Length(const std::string& s, size_t i) {
  const auto b = static_cast<unsigned char>(s[i]);
  size_t len = b < 0x80             ? 1
               : (b & 0xE0) == 0xC0 ? 2
               : (b & 0xF0) == 0xE0 ? 3
               : (b & 0xF8) == 0xF0 ? 4
                                    : 0;
  if (len == 0 || i + len > s.size()) return 0;
  return IsUtf8(s.substr(i, len)) ? len : 0;
}

}  // namespace

std::string HtmlEscape(const std::string& utf8) {
  std::string out;
  out.reserve(utf8.size() + utf8.size() / 8);
  for (size_t i = 0; i < utf8.size();) {
    const auto c = static_cast<unsigned char>(utf8[i]);
    const size_t len = Utf8Length(utf8, i);
    if (len == 0) {
      out += kReplacement;
      ++i;
      continue;
    }
    if (len > 1) {
      // C1 controls (U+0080..U+009F) are no text either.
      const auto second = static_cast<unsigned char>(utf8[i + 1]);
      if (c == 0xC2 && second < 0xA0)
        out += kReplacement;
      else
        out.append(utf8, i, len);
      i += len;
      continue;
    }
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\'':
        out += "&#39;";
        break;
      default:
        if ((c < 0x20 && c != '\t' && c != '\n') || c == 0x7F)
          out += kReplacement;
        else
          out += static_cast<char>(c);
    }
    ++i;
  }
  return out;
}

std::string HtmlText(const std::string& cp1252) { return HtmlEscape(Cp1252ToUtf8(cp1252)); }

std::string PercentEncode(const std::string& bytes) {
  static const char* hex = "0123456789ABCDEF";
  std::string out;
  for (char ch : bytes) {
    const auto c = static_cast<unsigned char>(ch);
    if (Unreserved(c)) {
      out += ch;
    } else {
      out += '%';
      out += hex[c >> 4];
      out += hex[c & 15];
    }
  }
  return out;
}

bool PercentDecode(const std::string& text, bool plus_is_blank, std::string& out) {
  out.clear();
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%') {
      if (i + 2 >= text.size()) return false;
      const int hi = HexValue(text[i + 1]), lo = HexValue(text[i + 2]);
      if (hi < 0 || lo < 0) return false;
      out += static_cast<char>(hi * 16 + lo);
      i += 2;
    } else if (text[i] == '+' && plus_is_blank) {
      out += ' ';
    } else {
      out += text[i];
    }
  }
  return true;
}

bool ParseQuery(const std::string& query, QueryParams& out, std::string& why, size_t max_params,
                size_t max_value) {
  out.clear();
  size_t start = 0;
  while (start <= query.size()) {
    size_t end = query.find('&', start);
    if (end == std::string::npos) end = query.size();
    const std::string part = query.substr(start, end - start);
    start = end + 1;
    if (part.empty()) {
      if (end == query.size()) break;
      continue;
    }
    if (out.size() == max_params) {
      why = "The query has more than " + std::to_string(max_params) + " parameters";
      return false;
    }
    const size_t eq = part.find('=');
    std::string name, value;
    if (!PercentDecode(part.substr(0, eq), true, name) ||
        !PercentDecode(eq == std::string::npos ? "" : part.substr(eq + 1), true, value)) {
      why = "The query holds a '%' that is not followed by two hex digits";
      return false;
    }
    if (!IsUtf8(name) || !IsUtf8(value)) {
      why = "The query is not UTF-8 text";
      return false;
    }
    if (value.size() > max_value || name.size() > max_value) {
      why = "A query parameter is longer than " + std::to_string(max_value) + " bytes";
      return false;
    }
    out.emplace_back(std::move(name), std::move(value));
    if (end == query.size()) break;
  }
  return true;
}

std::string QueryValue(const QueryParams& params, const std::string& name, bool* found) {
  std::string value;
  bool any = false;
  for (const auto& [n, v] : params)
    if (n == name) value = v, any = true;
  if (found) *found = any;
  return value;
}

std::string EncodeQuery(const QueryParams& params) {
  std::string out;
  for (const auto& [n, v] : params) {
    if (!out.empty()) out += '&';
    out += PercentEncode(n) + '=' + PercentEncode(v);
  }
  return out;
}

std::string CtUrlId(const std::string& ct_key) { return PercentEncode(ct_key); }

bool CtKeyFromUrlId(const std::string& id, std::string& ct_key) {
  if (id.empty() || id.size() > 1024 || !PercentDecode(id, false, ct_key)) return false;
  // A key is two normalised fields around one unit separator.
  const size_t sep = ct_key.find('\x1f');
  return sep != std::string::npos && ct_key.find('\x1f', sep + 1) == std::string::npos &&
         ct_key.find('\0') == std::string::npos;
}

bool IsContentHash(const std::string& text) {
  if (text.size() != 64) return false;
  for (char c : text)
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
  return true;
}

}  // namespace kova

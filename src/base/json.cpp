#include "base/json.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "base/format.h"

namespace kova {

JsonValue JsonValue::Bool(bool b) {
  JsonValue v;
  v.kind_ = Kind::Bool;
  v.bool_ = b;
  return v;
}

JsonValue JsonValue::Integer(int64_t n) {
  JsonValue v;
  v.kind_ = Kind::Integer;
  v.int_ = n;
  return v;
}

JsonValue JsonValue::Number(double d) {
  JsonValue v;
  if (!std::isfinite(d)) return v;
  v.kind_ = Kind::Number;
  v.num_ = d;
  return v;
}

JsonValue JsonValue::String(std::string utf8) {
  JsonValue v;
  v.kind_ = Kind::String;
  v.str_ = std::move(utf8);
  return v;
}

JsonValue JsonValue::Array() {
  JsonValue v;
  v.kind_ = Kind::Array;
  return v;
}

JsonValue JsonValue::Object() {
  JsonValue v;
  v.kind_ = Kind::Object;
  return v;
}

bool JsonValue::IsWholeNumber() const {
  if (kind_ == Kind::Integer) return true;
  return kind_ == Kind::Number && std::floor(num_) == num_;
}

JsonValue& JsonValue::Push(JsonValue v) {
  items_.push_back(std::move(v));
  return items_.back();
}

size_t JsonValue::Size() const { return kind_ == Kind::Object ? members_.size() : items_.size(); }

JsonValue& JsonValue::Set(const std::string& key, JsonValue v) {
  for (auto& m : members_) {
    if (m.first == key) {
      m.second = std::move(v);
      return m.second;
    }
  }
  members_.emplace_back(key, std::move(v));
  return members_.back().second;
}

const JsonValue* JsonValue::Find(const std::string& key) const {
  for (const auto& m : members_) {
    if (m.first == key) return &m.second;
  }
  return nullptr;
}

namespace {

void DumpString(std::string& out, const std::string& s) {
  out += '"';
  for (unsigned char c : s) {
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      case '\b':
        out += "\\b";
        break;
      case '\f':
        out += "\\f";
        break;
      default:
        if (c < 0x20) {
          out += Format("\\u%04x", c);
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  out += '"';
}

void NewLine(std::string& out, int indent, int depth) {
  if (indent <= 0) return;
  out += '\n';
  out.append(static_cast<size_t>(indent * depth), ' ');
}

}  // namespace

void JsonValue::DumpTo(std::string& out, int indent, int depth) const {
  switch (kind_) {
    case Kind::Null:
      out += "null";
      break;
    case Kind::Bool:
      out += bool_ ? "true" : "false";
      break;
    case Kind::Integer:
      out += std::to_string(int_);
      break;
    case Kind::Number: {
      // 17 significant digits: the double reads back exactly.
      char buf[40];
      const auto r = std::to_chars(buf, buf + sizeof buf, num_, std::chars_format::general, 17);
      std::string text(buf, r.ptr);
      if (text.find_first_of(".eE") == std::string::npos) text += ".0";
      out += text;
      break;
    }
    case Kind::String:
      DumpString(out, str_);
      break;
    case Kind::Array: {
      out += '[';
      for (size_t i = 0; i < items_.size(); ++i) {
        if (i) out += ',';
        NewLine(out, indent, depth + 1);
        items_[i].DumpTo(out, indent, depth + 1);
      }
      if (!items_.empty()) NewLine(out, indent, depth);
      out += ']';
      break;
    }
    case Kind::Object: {
      out += '{';
      for (size_t i = 0; i < members_.size(); ++i) {
        if (i) out += ',';
        NewLine(out, indent, depth + 1);
        DumpString(out, members_[i].first);
        out += indent > 0 ? ": " : ":";
        members_[i].second.DumpTo(out, indent, depth + 1);
      }
      if (!members_.empty()) NewLine(out, indent, depth);
      out += '}';
      break;
    }
  }
}

std::string JsonValue::Dump(int indent) const {
  std::string out;
  DumpTo(out, indent, 0);
  return out;
}

namespace {

class Parser {
 public:
  explicit Parser(const std::string& text) : s_(text) {}

  bool Run(JsonValue& out, std::string& error) {
    Skip();
    if (!Value(out, 0)) {
      error = Format("invalid JSON at offset %zu: %s", pos_, what_.c_str());
      return false;
    }
    Skip();
    if (pos_ != s_.size()) {
      error = Format("invalid JSON at offset %zu: text after the value", pos_);
      return false;
    }
    return true;
  }

 private:
  bool Fail(const char* what) {
    what_ = what;
    return false;
  }
  void Skip() {
    while (pos_ < s_.size() &&
           (s_[pos_] == ' ' || s_[pos_] == '\t' || s_[pos_] == '\n' || s_[pos_] == '\r'))
      ++pos_;
  }
  bool Literal(const char* word) {
    size_t i = 0;
    for (; word[i]; ++i) {
      if (pos_ + i >= s_.size() || s_[pos_ + i] != word[i]) return Fail("unknown word");
    }
    pos_ += i;
    return true;
  }

  bool Value(JsonValue& out, int depth) {
    if (depth > 64) return Fail("nested too deeply");
    if (pos_ >= s_.size()) return Fail("unexpected end");
    const char c = s_[pos_];
    if (c == '{') return ObjectValue(out, depth);
    if (c == '[') return ArrayValue(out, depth);
    if (c == '"') {
      std::string str;
      if (!StringValue(str)) return false;
      out = JsonValue::String(std::move(str));
      return true;
    }
    if (c == 't') {
      if (!Literal("true")) return false;
      out = JsonValue::Bool(true);
      return true;
    }
    if (c == 'f') {
      if (!Literal("false")) return false;
      out = JsonValue::Bool(false);
      return true;
    }
    if (c == 'n') {
      if (!Literal("null")) return false;
      out = JsonValue::Null();
      return true;
    }
    return NumberValue(out);
  }

  bool NumberValue(JsonValue& out) {
    const size_t start = pos_;
    if (pos_ < s_.size() && s_[pos_] == '-') ++pos_;
    if (pos_ >= s_.size() || !isdigit(static_cast<unsigned char>(s_[pos_])))
      return Fail("expected a value");
    if (s_[pos_] == '0') {
      ++pos_;
    } else {
      while (pos_ < s_.size() && isdigit(static_cast<unsigned char>(s_[pos_]))) ++pos_;
    }
    bool integral = true;
    if (pos_ < s_.size() && s_[pos_] == '.') {
      integral = false;
      ++pos_;
      if (pos_ >= s_.size() || !isdigit(static_cast<unsigned char>(s_[pos_])))
        return Fail("digit expected after '.'");
      while (pos_ < s_.size() && isdigit(static_cast<unsigned char>(s_[pos_]))) ++pos_;
    }
    if (pos_ < s_.size() && (s_[pos_] == 'e' || s_[pos_] == 'E')) {
      integral = false;
      ++pos_;
      if (pos_ < s_.size() && (s_[pos_] == '+' || s_[pos_] == '-')) ++pos_;
      if (pos_ >= s_.size() || !isdigit(static_cast<unsigned char>(s_[pos_])))
        return Fail("digit expected in exponent");
      while (pos_ < s_.size() && isdigit(static_cast<unsigned char>(s_[pos_]))) ++pos_;
    }
    const char* b = s_.data() + start;
    const char* e = s_.data() + pos_;
    if (integral) {
      int64_t n = 0;
      const auto r = std::from_chars(b, e, n);
      if (r.ec == std::errc() && r.ptr == e) {
        out = JsonValue::Integer(n);
        return true;
      }
    }
    double d = 0;
    const auto r = std::from_chars(b, e, d);
    if (r.ec != std::errc() || r.ptr != e || !std::isfinite(d)) return Fail("number out of range");
    out = JsonValue::Number(d);
    return true;
  }

  bool Hex4(unsigned& out) {
    if (pos_ + 4 > s_.size()) return Fail("short \\u escape");
    out = 0;
    for (int i = 0; i < 4; ++i) {
      const char c = s_[pos_++];
      out <<= 4;
      if (c >= '0' && c <= '9')
        out |= static_cast<unsigned>(c - '0');
      else if (c >= 'a' && c <= 'f')
        out |= static_cast<unsigned>(c - 'a' + 10);
      else if (c >= 'A' && c <= 'F')
        out |= static_cast<unsigned>(c - 'A' + 10);
      else
        return Fail("bad \\u escape");
    }
    return true;
  }

  static void Utf8(std::string& out, unsigned cp) {
    if (cp < 0x80) {
      out += static_cast<char>(cp);
    } else if (cp < 0x800) {
      out += static_cast<char>(0xC0 | (cp >> 6));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
      out += static_cast<char>(0xE0 | (cp >> 12));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (cp >> 18));
      out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    }
  }

  bool StringValue(std::string& out) {
    ++pos_;  // opening quote
    while (true) {
      if (pos_ >= s_.size()) return Fail("unterminated string");
      const unsigned char c = static_cast<unsigned char>(s_[pos_++]);
      if (c == '"') return true;
      if (c < 0x20) return Fail("control character in string");
      if (c != '\\') {
        out += static_cast<char>(c);
        continue;
      }
      if (pos_ >= s_.size()) return Fail("unterminated escape");
      const char e = s_[pos_++];
      switch (e) {
        case '"':
          out += '"';
          break;
        case '\\':
          out += '\\';
          break;
        case '/':
          out += '/';
          break;
        case 'b':
          out += '\b';
          break;
        case 'f':
          out += '\f';
          break;
        case 'n':
          out += '\n';
          break;
        case 'r':
          out += '\r';
          break;
        case 't':
          out += '\t';
          break;
        case 'u': {
          unsigned cp = 0;
          if (!Hex4(cp)) return false;
          if (cp >= 0xD800 && cp < 0xDC00) {
            unsigned low = 0;
            if (pos_ + 2 > s_.size() || s_[pos_] != '\\' || s_[pos_ + 1] != 'u')
              return Fail("lone surrogate");
            pos_ += 2;
            if (!Hex4(low)) return false;
            if (low < 0xDC00 || low > 0xDFFF) return Fail("bad surrogate pair");
            cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
          } else if (cp >= 0xDC00 && cp <= 0xDFFF) {
            return Fail("lone surrogate");
          }
          Utf8(out, cp);
          break;
        }
        default:
          return Fail("bad escape");
      }
    }
  }

  bool ArrayValue(JsonValue& out, int depth) {
    ++pos_;
    out = JsonValue::Array();
    Skip();
    if (pos_ < s_.size() && s_[pos_] == ']') {
      ++pos_;
      return true;
    }
    while (true) {
      Skip();
      JsonValue item;
      if (!Value(item, depth + 1)) return false;
      out.Push(std::move(item));
      Skip();
      if (pos_ >= s_.size()) return Fail("unterminated array");
      if (s_[pos_] == ',') {
        ++pos_;
        continue;
      }
      if (s_[pos_] == ']') {
        ++pos_;
        return true;
      }
      return Fail("expected ',' or ']'");
    }
  }

  bool ObjectValue(JsonValue& out, int depth) {
    ++pos_;
    out = JsonValue::Object();
    Skip();
    if (pos_ < s_.size() && s_[pos_] == '}') {
      ++pos_;
      return true;
    }
    while (true) {
      Skip();
      if (pos_ >= s_.size() || s_[pos_] != '"') return Fail("expected a member name");
      std::string key;
      if (!StringValue(key)) return false;
      Skip();
      if (pos_ >= s_.size() || s_[pos_] != ':') return Fail("expected ':'");
      ++pos_;
      Skip();
      JsonValue item;
      if (!Value(item, depth + 1)) return false;
      out.Set(key, std::move(item));
      Skip();
      if (pos_ >= s_.size()) return Fail("unterminated object");
      if (s_[pos_] == ',') {
        ++pos_;
        continue;
      }
      if (s_[pos_] == '}') {
        ++pos_;
        return true;
      }
      return Fail("expected ',' or '}'");
    }
  }

  const std::string& s_;
  size_t pos_ = 0;
  std::string what_;
};

}  // namespace

bool JsonValue::Parse(const std::string& text, JsonValue& out, std::string& error) {
  Parser parser(text);
  JsonValue value;
  if (!parser.Run(value, error)) return false;
  out = std::move(value);
  return true;
}

}  // namespace kova

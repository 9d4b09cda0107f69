#include "base/json.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <nlohmann/json.hpp>
#include <set>
#include <vector>

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

using Ordered = nlohmann::ordered_json;

// Deeper input is refused: nothing the program reads nests more than a few
// levels.
constexpr int kMaxDepth = 64;

Ordered ToLibrary(const JsonValue& v) {
  switch (v.kind()) {
    case JsonValue::Kind::Null:
      return Ordered();
    case JsonValue::Kind::Bool:
      return Ordered(v.AsBool());
    case JsonValue::Kind::Integer:
      return Ordered(v.AsInteger());
    case JsonValue::Kind::Number:
      return Ordered(v.AsNumber());
    case JsonValue::Kind::String:
      return Ordered(v.AsString());
    case JsonValue::Kind::Array: {
      Ordered out = Ordered::array();
      for (const JsonValue& item : v.Items()) out.push_back(ToLibrary(item));
      return out;
    }
    case JsonValue::Kind::Object:
      break;
  }
  Ordered out = Ordered::object();
  for (const auto& m : v.Members()) out[m.first] = ToLibrary(m.second);
  return out;
}

JsonValue FromLibrary(const Ordered& j) {
  switch (j.type()) {
    case Ordered::value_t::boolean:
      return JsonValue::Bool(j.get<bool>());
    case Ordered::value_t::number_integer:
      return JsonValue::Integer(j.get<int64_t>());
    case Ordered::value_t::number_unsigned: {
      const uint64_t u = j.get<uint64_t>();
      if (u <= static_cast<uint64_t>(INT64_MAX)) return JsonValue::Integer(static_cast<int64_t>(u));
      return JsonValue::Number(static_cast<double>(u));
    }
    case Ordered::value_t::number_float:
      return JsonValue::Number(j.get<double>());
    case Ordered::value_t::string:
      return JsonValue::String(j.get<std::string>());
    case Ordered::value_t::array: {
      JsonValue out = JsonValue::Array();
      for (const Ordered& item : j) out.Push(FromLibrary(item));
      return out;
    }
    case Ordered::value_t::object: {
      JsonValue out = JsonValue::Object();
      for (auto it = j.begin(); it != j.end(); ++it) out.Set(it.key(), FromLibrary(it.value()));
      return out;
    }
    default:
      return JsonValue::Null();
  }
}

// Refusals the library does not make itself: too deep, a member named twice.
struct Refused {
  std::string why;
};

// "line 2, column 9" of the byte the parser stopped at (`byte` counts from
// 1, as the parser gives it).
std::string Where(const std::string& text, size_t byte) {
  const size_t at = std::min(byte > 0 ? byte - 1 : 0, text.size());
  size_t line = 1, line_start = 0;
  for (size_t i = 0; i < at; ++i) {
    if (text[i] == '\n') {
      ++line;
      line_start = i + 1;
    }
  }
  return Format("line %zu, column %zu", line, at - line_start + 1);
}

// The parser's reason without its own position and without what it last
// read: the file's text is never quoted back (it may be anything, and
// anybody's).
std::string Reason(const std::string& what) {
  std::string reason = what;
  const size_t last_read = reason.find("; last read");
  if (last_read != std::string::npos) reason.erase(last_read);
  const size_t column = reason.find(", column ");
  const size_t colon = reason.find(": ", column == std::string::npos ? 0 : column);
  if (colon != std::string::npos) reason.erase(0, colon + 2);
  return reason;
}

}  // namespace

std::string JsonValue::Dump(int indent) const {
  // A double is written with the fewest digits that read back exactly; text
  // that is not UTF-8 is never written raw.
  return ToLibrary(*this).dump(indent > 0 ? indent : -1, ' ', false,
                               Ordered::error_handler_t::replace);
}

std::string PrintableForMessage(const std::string& bytes) {
  // The parser's words quote what it read; a byte that is not printable
  // ASCII would reach the user's terminal as it is (escape sequences, broken
  // UTF-8), so it is shown as \xNN.
  std::string out;
  for (unsigned char c : bytes) {
    if (c >= 0x20 && c < 0x7F) {
      out += static_cast<char>(c);
    } else {
      out += Format("\\x%02X", c);
    }
  }
  return out;
}

bool JsonValue::Parse(const std::string& text, JsonValue& out, std::string& error) {
  std::vector<std::set<std::string>> keys;  // member names of each open object
  auto check = [&keys](int depth, Ordered::parse_event_t event, Ordered& parsed) {
    switch (event) {
      case Ordered::parse_event_t::object_start:
      case Ordered::parse_event_t::array_start:
        if (depth >= kMaxDepth) throw Refused{"nested too deeply"};
        if (event == Ordered::parse_event_t::object_start) keys.emplace_back();
        break;
      case Ordered::parse_event_t::object_end:
        if (!keys.empty()) keys.pop_back();
        break;
      case Ordered::parse_event_t::key: {
        const std::string name = parsed.get<std::string>();
        if (!keys.empty() && !keys.back().insert(name).second) {
          throw Refused{"the member \"" + name + "\" is given twice"};
        }
        break;
      }
      default:
        break;
    }
    return true;
  };
  try {
    const Ordered parsed = Ordered::parse(text, check);
    out = FromLibrary(parsed);
    return true;
  } catch (const Refused& r) {
    error = "invalid JSON: " + PrintableForMessage(r.why);
  } catch (const nlohmann::json::parse_error& e) {
    error = "invalid JSON at " + Where(text, e.byte) + ": " + PrintableForMessage(Reason(e.what()));
  } catch (const nlohmann::json::out_of_range&) {
    // The library's words would quote the number.
    error = "invalid JSON: a number too large to hold";
  } catch (const std::exception&) {
    error = "invalid JSON";
  }
  return false;
}

}  // namespace kova

#pragma once
// A JSON value for the program's machine-readable forms (records, plans),
// read and written by nlohmann/json: a strict RFC 8259 parser that also
// refuses a member named twice and very deep nesting. Strings are UTF-8
// here; callers convert from and to Windows-1252 at the edge.

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace kova {

class JsonValue {
 public:
  enum class Kind { Null, Bool, Integer, Number, String, Array, Object };

  JsonValue() = default;
  static JsonValue Null() { return JsonValue(); }
  static JsonValue Bool(bool b);
  static JsonValue Integer(int64_t n);
  // A non-finite number becomes null.
  static JsonValue Number(double d);
  static JsonValue String(std::string utf8);
  static JsonValue Array();
  static JsonValue Object();

  Kind kind() const { return kind_; }
  bool IsNull() const { return kind_ == Kind::Null; }
  bool IsNumber() const { return kind_ == Kind::Integer || kind_ == Kind::Number; }
  bool IsString() const { return kind_ == Kind::String; }
  bool IsArray() const { return kind_ == Kind::Array; }
  bool IsObject() const { return kind_ == Kind::Object; }
  bool IsBool() const { return kind_ == Kind::Bool; }

  bool AsBool() const { return bool_; }
  int64_t AsInteger() const { return kind_ == Kind::Integer ? int_ : static_cast<int64_t>(num_); }
  double AsNumber() const { return kind_ == Kind::Integer ? static_cast<double>(int_) : num_; }
  const std::string& AsString() const { return str_; }
  // True when the number is a whole number (written without a fraction or
  // integral in value).
  bool IsWholeNumber() const;

  // Arrays.
  JsonValue& Push(JsonValue v);
  size_t Size() const;
  const JsonValue& At(size_t i) const { return items_[i]; }
  const std::vector<JsonValue>& Items() const { return items_; }

  // Objects keep their members in insertion order.
  JsonValue& Set(const std::string& key, JsonValue v);
  const JsonValue* Find(const std::string& key) const;
  const std::vector<std::pair<std::string, JsonValue>>& Members() const { return members_; }

  // Compact when indent is 0, else pretty with that many spaces a level.
  std::string Dump(int indent = 0) const;

  // Strict RFC 8259 parse of a whole text; on failure `error` says where or
  // names the member given twice, every byte of the text it quotes that is
  // not printable ASCII written as \xNN.
  static bool Parse(const std::string& text, JsonValue& out, std::string& error);

 private:
  Kind kind_ = Kind::Null;
  bool bool_ = false;
  int64_t int_ = 0;
  double num_ = 0;
  std::string str_;
  std::vector<JsonValue> items_;
  std::vector<std::pair<std::string, JsonValue>> members_;
};

}  // namespace kova

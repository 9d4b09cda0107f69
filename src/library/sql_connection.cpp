#include "library/sql_connection.h"

#include <charconv>

namespace kova {

int64_t SqlInt(const SqlValue& v) {
  if (auto i = std::get_if<int64_t>(&v)) return *i;
  if (auto d = std::get_if<double>(&v)) return static_cast<int64_t>(*d);
  if (auto s = std::get_if<std::string>(&v)) {
    int64_t out = 0;
    std::from_chars(s->data(), s->data() + s->size(), out);
    return out;
  }
  return 0;
}

double SqlDouble(const SqlValue& v) {
  if (auto d = std::get_if<double>(&v)) return *d;
  if (auto i = std::get_if<int64_t>(&v)) return static_cast<double>(*i);
  if (auto s = std::get_if<std::string>(&v)) {
    double out = 0;
    std::from_chars(s->data(), s->data() + s->size(), out);
    return out;
  }
  return 0;
}

std::string SqlText(const SqlValue& v) {
  if (auto s = std::get_if<std::string>(&v)) return *s;
  if (auto i = std::get_if<int64_t>(&v)) return std::to_string(*i);
  return "";
}

}  // namespace kova

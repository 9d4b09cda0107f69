#include "device/directory_grammar.h"

#include <charconv>
#include <climits>

#include "base/fixed_text.h"
#include "device/line_text.h"

namespace kova {

void SetDirectoryText(char (&field)[kDirectoryTextSize], const std::string& value) {
  CopyFixed(field, kDirectoryTextSize, value, kDirectoryTextSize - 1);
}

int ReadDecimal(const std::string& text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  size_t end = i;
  while (end < text.size() && text[end] >= '0' && text[end] <= '9') ++end;
  if (end == i) return 0;
  long long value = 0;
  const auto result = std::from_chars(text.data() + i, text.data() + end, value);
  if (result.ec == std::errc::result_out_of_range || value > INT_MAX) {
    return negative ? INT_MIN : INT_MAX;
  }
  return static_cast<int>(negative ? -value : value);
}

DirectoryGrammar::DirectoryGrammar(DirectoryEntry* table, int capacity, int& count)
    : table_(table), capacity_(capacity), count_(count) {
  count_ = 0;
  for (int i = 0; i < capacity_; ++i) table_[i] = DirectoryEntry();
}

DirectoryGrammar::Step DirectoryGrammar::Apply(const std::string& line) {
  if (line.empty()) return Step::kMore;
  if (EqualsNoCase(line, "DONE")) return Step::kDone;
  if (line[0] == '#') {
    if (count_ >= capacity_) return Step::kLimit;
    ++count_;
    // Lines before the first "#" belong to the first entry as well.
    if (seen_number_) ++current_;
    seen_number_ = true;
    table_[current_].number = ReadDecimal(line.substr(1));
    return Step::kMore;
  }
  if (capacity_ == 0) return Step::kMore;
  if (line.size() >= 3 && line[2] == '/') SetDirectoryText(table_[current_].datetime, line);
  ApplyKeyValue(line);
  return Step::kMore;
}

void DirectoryGrammar::ApplyKeyValue(const std::string& line) {
  const size_t equals = line.find('=');
  if (equals == std::string::npos) return;
  const std::string key = line.substr(0, equals);
  const std::string value = line.substr(equals + 1);
  DirectoryEntry& entry = table_[current_];
  struct TextKey {
    const char* key;
    char (*field)[kDirectoryTextSize];
  };
  const TextKey keys[] = {
      {"COMPANY", &entry.company}, {"STATION", &entry.station},    {"CIRCUIT", &entry.circuit},
      {"MFR", &entry.mfr},         {"MODEL", &entry.model},        {"SN", &entry.sn},
      {"KVA", &entry.kva},         {"OPERATOR", &entry.operator_}, {"TEST", &entry.testtype},
      {"KNEE", &entry.knee},
  };
  if (EqualsNoCase(key, "TESTS")) {
    entry.tests = ReadDecimal(value);
    return;
  }
  for (const TextKey& k : keys) {
    if (EqualsNoCase(key, k.key)) {
      SetDirectoryText(*k.field, value);
      return;
    }
  }
}

}  // namespace kova

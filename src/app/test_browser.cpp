#include "app/test_browser.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <set>
#include <system_error>

#include "analysis/read_record.h"
#include "base/path.h"
#include "records/test_record.h"

namespace kova {

namespace {

const char* const kPatterns[] = {"*.test", "rec_*.*", "*.txt", "*.tst-kova7k", "*.kova"};

char Lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

bool Match(const char* n, const char* p) {
  // Iterative glob with one backtrack point: linear enough for file names.
  const char* star = nullptr;
  const char* resume = nullptr;
  while (*n != '\0') {
    if (*p == '*') {
      star = p++;
      resume = n;
    } else if (*p == '?' || (*p != '\0' && Lower(*p) == Lower(*n))) {
      ++p;
      ++n;
    } else if (star != nullptr) {
      p = star + 1;
      n = ++resume;
    } else {
      return false;
    }
  }
  while (*p == '*') ++p;
  return *p == '\0';
}

// Two decimal digits at text[at], or -1.
int TwoDigits(const std::string& text, size_t at) {
  if (at + 1 >= text.size()) return -1;
  if (!std::isdigit(static_cast<unsigned char>(text[at])) ||
      !std::isdigit(static_cast<unsigned char>(text[at + 1])))
    return -1;
  return (text[at] - '0') * 10 + (text[at + 1] - '0');
}

}  // namespace

std::vector<BrowserColumn> ParseColumnLayout(const std::string& layout) {
  std::vector<BrowserColumn> columns;
  size_t start = 0;
  while (start <= layout.size()) {
    size_t end = layout.find(';', start);
    if (end == std::string::npos) end = layout.size();
    const std::string pair = layout.substr(start, end - start);
    const size_t comma = pair.find(',');
    if (comma != std::string::npos && comma > 0) {
      BrowserColumn c;
      c.name = pair.substr(0, comma);
      c.width = std::atoi(pair.c_str() + comma + 1);
      if (c.width > 0) columns.push_back(c);
    }
    start = end + 1;
  }
  return columns;
}

bool MatchesPattern(const std::string& name, const std::string& pattern) {
  return Match(name.c_str(), pattern.c_str());
}

std::string RecordFileFilter() {
  std::string patterns;
  for (const char* pattern : kPatterns)
    patterns += (patterns.empty() ? "" : " ") + std::string(pattern);
  return "Test Records|" + patterns + "||";
}

bool IsRunTestPath(const std::string& path) {
  return path.find(kRunTestFileName) != std::string::npos;
}

int64_t DateSortKey(const std::string& datetime, bool day_first) {
  // "MM/DD/YY hh:mm:ss": fixed positions, as the decoder writes it.
  const size_t at[6] = {0, 3, 6, 9, 12, 15};
  int v[6];
  for (int i = 0; i < 6; ++i) {
    v[i] = TwoDigits(datetime, at[i]);
    if (v[i] < 0) return 0;
  }
  int month = v[0], day = v[1];
  if (day_first) std::swap(month, day);
  const int year = v[2] < 70 ? 2000 + v[2] : 1900 + v[2];
  int64_t key = year;
  key = key * 100 + month;
  key = key * 100 + day;
  key = key * 100 + v[3];
  key = key * 100 + v[4];
  key = key * 100 + v[5];
  return key;
}

RecordFolderScan::RecordFolderScan(const std::string& folder, const RecordDefaults& defaults)
    : folder_(folder), defaults_(defaults) {
  std::vector<std::string> names;
  std::error_code ec;
  for (std::filesystem::directory_iterator it(folder.empty() ? "." : folder, ec), end;
       !ec && it != end; it.increment(ec)) {
    std::error_code fec;
    if (!it->is_regular_file(fec)) continue;
    names.push_back(it->path().filename().string());
  }
  // Directory order differs between systems: take each pattern's files by name.
  std::sort(names.begin(), names.end());
  std::set<std::string> taken;
  for (const char* pattern : kPatterns) {
    for (const std::string& name : names) {
      if (!MatchesPattern(name, pattern) || taken.count(name) != 0) continue;
      taken.insert(name);
      if (IsRunTestPath(name)) continue;
      candidates_.push_back(name);
    }
  }
}

bool RecordFolderScan::Done() const {
  return next_ >= candidates_.size() || rows_.size() >= static_cast<size_t>(kBrowserMaxFiles);
}

bool RecordFolderScan::Step(int max_files) {
  auto rec = std::make_unique<TestRecord>();
  for (int i = 0; i < max_files && !Done(); ++i) {
    const std::string& name = candidates_[next_++];
    const std::string path = PathJoin(folder_, name);
    if (!ReadRecordFile(*rec, path, defaults_)) continue;
    BrowserRow row;
    row.filename = name;
    row.path = path;
    row.datetext = rec->testdatetime;
    row.datekey = DateSortKey(rec->testdatetime, defaults_.dateformat != 0);
    row.numtests = rec->numtests;
    row.serial = rec->serialnumber;
    row.company = rec->company;
    row.station = rec->station;
    row.circuit = rec->circuit;
    rows_.push_back(std::move(row));
  }
  return !Done();
}

void RecordFolderScan::RunToEnd() {
  while (Step(64)) {
  }
}

void SortRowsByDateDescending(std::vector<BrowserRow>& rows) {
  std::stable_sort(rows.begin(), rows.end(),
                   [](const BrowserRow& a, const BrowserRow& b) { return a.datekey > b.datekey; });
}

std::vector<BrowserRow> RecordFolderScan::SortedRows() const {
  std::vector<BrowserRow> rows = rows_;
  SortRowsByDateDescending(rows);
  return rows;
}

std::vector<std::string> AcceptSelection(const std::vector<BrowserRow>& rows,
                                         const std::vector<int>& selected, bool multiple,
                                         std::string& message) {
  std::vector<std::string> chosen;
  message.clear();
  for (int index : selected) {
    if (index < 0 || static_cast<size_t>(index) >= rows.size()) continue;
    chosen.push_back(rows[static_cast<size_t>(index)].path);
    if (!multiple) break;
  }
  if (chosen.empty()) message = kPleaseSelectTest;
  return chosen;
}

}  // namespace kova

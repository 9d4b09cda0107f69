#pragma once
// A CT's history as a table: the columns and cell texts the desktop's
// history table, the command line's text and CSV show, and the JSON form.

#include <string>
#include <vector>

#include "base/json.h"
#include "library/history.h"
#include "library/shown_date.h"

namespace kova {

struct HistoryCell {
  std::string text;  // Windows-1252
  ChangeFlag flag = ChangeFlag::kNone;
};

const std::vector<std::string>& HistoryColumns();
// What a column's value is where its title cannot say it (the sign of the
// turns ratio error); empty for the others.
std::string HistoryColumnTip(const std::string& column);
// The test date as `dates` shows it (the user's style on screen, ISO in files).
std::vector<HistoryCell> HistoryCells(const HistoryEntry& entry, DateStyle dates = DateStyle::kIso);

// The knee voltage of the test's knee type.
double KneeVoltage(const TestRow& t);

// RFC 4180 text, UTF-8, a header line first.
std::string HistoryCsv(const std::vector<HistoryEntry>& history);
JsonValue HistoryJson(const std::vector<HistoryEntry>& history);

}  // namespace kova

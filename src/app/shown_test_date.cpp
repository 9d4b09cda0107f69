#include "app/shown_test_date.h"

#include <cctype>

#include "device/directory_choice.h"

namespace kova {

std::string ShownTestDate(const std::string& text, bool day_first, DateStyle style) {
  auto digits = [&text](size_t at) {
    return std::isdigit(static_cast<unsigned char>(text[at])) != 0 &&
           std::isdigit(static_cast<unsigned char>(text[at + 1])) != 0;
  };
  const bool date = text.size() >= 8 && digits(0) && text[2] == '/' && digits(3) &&
                    text[5] == '/' && digits(6) &&
                    (text.size() == 8 || !std::isdigit(static_cast<unsigned char>(text[8])));
  if (!date) return text;
  std::string month = text.substr(0, 2), day = text.substr(3, 2);
  if (day_first) std::swap(month, day);
  const std::string yy = text.substr(6, 2), rest = text.substr(8);
  switch (style) {
    case DateStyle::kUs:
      return month + "/" + day + "/" + yy + rest;
    case DateStyle::kEu:
      return day + "/" + month + "/" + yy + rest;
    case DateStyle::kIso:
      break;
  }
  const std::string century = std::stoi(yy) < 70 ? "20" : "19";
  return century + yy + "-" + month + "-" + day + rest;
}

DateStyle DesktopDateStyle(const CAppInfo& info) { return DateStyleOf(info.dateformat); }

std::vector<std::string> ShownTestDirectoryRow(const DirectoryEntry& entry, bool show_type,
                                               DateStyle style) {
  std::vector<std::string> row = TestDirectoryRow(entry, show_type);
  const size_t date = show_type ? 2 : 1;  // after the number and the type
  if (date < row.size()) row[date] = ShownTestDate(row[date], false, style);
  return row;
}

}  // namespace kova

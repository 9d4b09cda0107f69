#include "library/shown_date.h"

#include <cctype>
#include <ctime>

#include "base/civil_date.h"

#include "base/format.h"

namespace kova {
namespace {

bool Digits(const std::string& s, size_t at, size_t count) {
  if (at + count > s.size()) return false;
  for (size_t i = at; i < at + count; ++i)
    if (!std::isdigit(static_cast<unsigned char>(s[i]))) return false;
  return true;
}

}  // namespace

DateStyle DateStyleOf(int dateformat) { return dateformat == 0 ? DateStyle::kUs : DateStyle::kEu; }

std::string ShownDate(const std::string& iso, DateStyle style, bool with_time) {
  const bool date = Digits(iso, 0, 4) && iso.size() >= 10 && iso[4] == '-' && Digits(iso, 5, 2) &&
                    iso[7] == '-' && Digits(iso, 8, 2);
  if (!date) return iso;
  const bool time = iso.size() >= 16 && iso[10] == ' ' && Digits(iso, 11, 2) && iso[13] == ':' &&
                    Digits(iso, 14, 2);
  const std::string clock = with_time && time ? " " + iso.substr(11, 5) : "";
  if (style == DateStyle::kIso) return iso.substr(0, 10) + clock;
  const std::string yy = iso.substr(2, 2), mm = iso.substr(5, 2), dd = iso.substr(8, 2);
  const std::string day =
      style == DateStyle::kUs ? mm + "/" + dd + "/" + yy : dd + "/" + mm + "/" + yy;
  return day + clock;
}

std::string TodayIso() {
  const std::tm local = LocalTimeNow();
  return Format("%04d-%02d-%02d", local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
}

}  // namespace kova

#include "app/comparison_settings.h"

#include <cstdlib>

#include "app/settings_table.h"
#include "app/test_browser.h"

namespace kova {

namespace {

double PercentOf(const SettingsStore& store, SettingId id) {
  return LoadInt(store, SettingRef(id)) / 10.0;
}

// Days since 1970-01-01 of a proleptic Gregorian date.
int64_t DaysFromCivil(int64_t y, int64_t m, int64_t d) {
  y -= m <= 2 ? 1 : 0;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

// -1 when the date does not read or names no real day.
int64_t DayNumber(const std::string& datetime, bool day_first) {
  const int64_t key = DateSortKey(datetime, day_first);  // YYYYMMDDhhmmss
  const int64_t date = key / 1000000;
  const int64_t y = date / 10000, m = date / 100 % 100, d = date % 100;
  if (key <= 0 || m < 1 || m > 12 || d < 1 || d > 31) return -1;
  return DaysFromCivil(y, m, d);
}

}  // namespace

ComparisonBands LoadComparisonBands(const SettingsStore& store) {
  ComparisonBands b;
  b.reference_percent = PercentOf(store, SettingId::kReferenceBand);
  b.tap_percent = PercentOf(store, SettingId::kTapBand);
  b.sister_percent = PercentOf(store, SettingId::kSisterBand);
  b.sister_span_days = LoadInt(store, SettingRef(SettingId::kSisterSpan));
  return b;
}

int TestDaysApart(const std::string& a, const std::string& b, bool day_first) {
  const int64_t da = DayNumber(a, day_first), db = DayNumber(b, day_first);
  if (da < 0 || db < 0) return -1;
  return static_cast<int>(std::llabs(da - db));
}

}  // namespace kova

#include "app/comparison_settings.h"

#include <cstdlib>

#include "app/settings_table.h"
#include "app/test_browser.h"
#include "base/civil_date.h"

namespace kova {

namespace {

double PercentOf(const SettingsStore& store, SettingId id) {
  return LoadInt(store, SettingRef(id)) / 10.0;
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

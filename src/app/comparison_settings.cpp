#include "app/comparison_settings.h"

#include <cstdlib>

#include "app/library_settings.h"
#include "app/settings_table.h"
#include "app/test_browser.h"
#include "base/civil_date.h"

namespace kova {

namespace {

// The band in hundredths; where only the per mille key of before is stored,
// that one, so a band kept then reads as the same band now.
double PercentOf(const SettingsStore& store, SettingId id, SettingId permille_id) {
  SettingSource source = SettingSource::kDefault;
  const int hundredths = LoadInt(store, SettingRef(id), &source);
  if (source == SettingSource::kStored) return BandFromStored(hundredths);
  const int permille = LoadInt(store, SettingRef(permille_id), &source);
  if (source == SettingSource::kStored) return permille / 10.0;
  return BandFromStored(hundredths);
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
  b.reference_percent =
      PercentOf(store, SettingId::kReferenceBand, SettingId::kReferenceBandPermille);
  b.tap_percent = PercentOf(store, SettingId::kTapBand, SettingId::kTapBandPermille);
  b.sister_percent = PercentOf(store, SettingId::kSisterBand, SettingId::kSisterBandPermille);
  b.sister_span_days = LoadInt(store, SettingRef(SettingId::kSisterSpan));
  const TrendBands trend = LoadLibrarySettings(store).bands;
  b.ratio_warn_turns = trend.ratio_turns;
  b.ratio_alarm_turns = trend.ratio_alarm_turns;
  return b;
}

int TestDaysApart(const std::string& a, const std::string& b, bool day_first) {
  const int64_t da = DayNumber(a, day_first), db = DayNumber(b, day_first);
  if (da < 0 || db < 0) return -1;
  return static_cast<int>(std::llabs(da - db));
}

}  // namespace kova

#include "app/library_settings.h"

#include <algorithm>

#include "app/app_settings.h"
#include "app/settings_table.h"

namespace kova {
namespace {

struct Band {
  SettingId id;
  double TrendBands::*field;
};
constexpr Band kBands[] = {
    {SettingId::kLibraryRatioTurns, &TrendBands::ratio_turns},
    {SettingId::kLibraryRatioAlarmTurns, &TrendBands::ratio_alarm_turns},
    {SettingId::kLibraryExcitationWarn, &TrendBands::excitation_warn_percent},
    {SettingId::kLibraryExcitationAlarm, &TrendBands::excitation_alarm_percent},
    {SettingId::kLibraryResistanceWarn, &TrendBands::resistance_warn_percent},
    {SettingId::kLibraryResistanceAlarm, &TrendBands::resistance_alarm_percent},
};

}  // namespace

LibrarySettings LoadLibrarySettings(const SettingsStore& store) {
  LibrarySettings s;
  s.location = LoadText(store, SettingId::kLibraryLocation);
  TrendBands read = s.bands;
  for (const Band& b : kBands) {
    SettingSource source = SettingSource::kDefault;
    const int stored = LoadInt(store, b.id, &source);
    if (source == SettingSource::kStored) read.*b.field = BandFromStored(stored);
  }
  if (read.excitation_alarm_percent >= read.excitation_warn_percent) {
    s.bands.excitation_warn_percent = read.excitation_warn_percent;
    s.bands.excitation_alarm_percent = read.excitation_alarm_percent;
  }
  if (read.resistance_alarm_percent >= read.resistance_warn_percent) {
    s.bands.resistance_warn_percent = read.resistance_warn_percent;
    s.bands.resistance_alarm_percent = read.resistance_alarm_percent;
  }
  // A ratio warning kept before the alarm existed keeps its meaning.
  s.bands.ratio_turns = read.ratio_turns;
  s.bands.ratio_alarm_turns = std::max(read.ratio_alarm_turns, read.ratio_turns);
  s.dates = DateStyleOf(DateOrderFromCode(LoadInt(store, SettingId::kDateFormat)));
  s.waits.connect = LoadInt(store, SettingId::kLibraryConnectTimeout);
  s.waits.read = LoadInt(store, SettingId::kLibraryReadTimeout);
  s.waits.lock = LoadInt(store, SettingId::kLibraryLockTimeout);
  s.waits.busy = LoadInt(store, SettingId::kLibraryBusyTimeout);
  s.retest_years = LoadInt(store, SettingId::kLibraryRetestYears);
  return s;
}

void StoreLibrarySettings(SettingsStore& store, const LibrarySettings& settings) {
  StoreText(store, SettingId::kLibraryLocation, settings.location);
  for (const Band& b : kBands) StoreInt(store, b.id, BandToStored(settings.bands.*b.field));
}

}  // namespace kova

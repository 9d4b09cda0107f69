#include "app/library_settings.h"

#include <cmath>

namespace kova {
namespace {

constexpr const char* kSection = "Library";

struct Band {
  const char* key;
  double TrendBands::*field;
};
constexpr Band kBands[] = {
    {"RatioTurns", &TrendBands::ratio_turns},
    {"ExcitationWarn", &TrendBands::excitation_warn_percent},
    {"ExcitationAlarm", &TrendBands::excitation_alarm_percent},
    {"ResistanceWarn", &TrendBands::resistance_warn_percent},
    {"ResistanceAlarm", &TrendBands::resistance_alarm_percent},
};

}  // namespace

LibrarySettings LoadLibrarySettings(const SettingsStore& store) {
  LibrarySettings s;
  s.location = ReadTextSetting(store, kSection, "Location", "");
  TrendBands read = s.bands;
  for (const Band& b : kBands) {
    const int hundredths = ReadIntSetting(store, kSection, b.key, -1);
    if (hundredths > 0 && hundredths <= 100000) read.*b.field = hundredths / 100.0;
  }
  if (read.excitation_alarm_percent >= read.excitation_warn_percent) {
    s.bands.excitation_warn_percent = read.excitation_warn_percent;
    s.bands.excitation_alarm_percent = read.excitation_alarm_percent;
  }
  if (read.resistance_alarm_percent >= read.resistance_warn_percent) {
    s.bands.resistance_warn_percent = read.resistance_warn_percent;
    s.bands.resistance_alarm_percent = read.resistance_alarm_percent;
  }
  s.bands.ratio_turns = read.ratio_turns;
  return s;
}

void StoreLibrarySettings(SettingsStore& store, const LibrarySettings& settings) {
  store.SetText(kSection, "Location", settings.location);
  for (const Band& b : kBands)
    store.SetInt(kSection, b.key, static_cast<int>(std::lround(settings.bands.*b.field * 100)));
}

}  // namespace kova

#pragma once
// The record library's settings: where the library is and the bands that
// flag a change. Section "Library" of the settings store.

#include <string>

#include "app/settings_store.h"
#include "library/history.h"

namespace kova {

struct LibrarySettings {
  // A "postgresql://" URI, a SQLite file, or empty for the file in the
  // user's data folder.
  std::string location;
  TrendBands bands;
};

// Bands are stored in hundredths (BandToStored); a value out of range
// (not above 0, or an alarm below its warning) keeps its default.
LibrarySettings LoadLibrarySettings(const SettingsStore& store);
void StoreLibrarySettings(SettingsStore& store, const LibrarySettings& settings);

}  // namespace kova

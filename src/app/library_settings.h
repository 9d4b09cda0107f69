#pragma once
// The record library's settings: where the library is and the bands that
// flag a change. Section "Library" of the settings store.

#include <string>

#include "app/settings_store.h"
#include "library/history.h"
#include "library/shown_date.h"

namespace kova {

// How long the library's server or file is waited for, in seconds (read
// from the settings, never written by the program).
struct LibraryWaits {
  int connect = 10;  // a PostgreSQL server to accept a connection
  int read = 60;     // one PostgreSQL read (statement time-out)
  int lock = 10;     // a PostgreSQL read for a lock another session holds
  int busy = 60;     // another program that holds the SQLite file
};

struct LibrarySettings {
  // A "postgresql://" URI, a SQLite file, or empty for the file in the
  // user's data folder.
  std::string location;
  TrendBands bands;
  LibraryWaits waits;
  DateStyle dates = DateStyle::kUs;  // the user's date setting, for what is shown
  int retest_years = 5;  // a CT is due this long after its last test
};

// Bands are stored in hundredths (BandToStored); a value out of range
// (not above 0, or an alarm below its warning) keeps its default.
LibrarySettings LoadLibrarySettings(const SettingsStore& store);
void StoreLibrarySettings(SettingsStore& store, const LibrarySettings& settings);

}  // namespace kova

#pragma once
// Opens the record library a location names: a "postgresql://" URI for a
// team's server, otherwise the path of a SQLite file (its folder is made).

#include <memory>
#include <string>

#include "library/sql_record_store.h"

namespace kova {

constexpr const char* kLibraryFileName = "kova-library.sqlite";
// The library file when no location is set: beside the settings file when
// the program runs with one of its own (KOVA_SETTINGS), else in the user's
// data folder (%LOCALAPPDATA%\kova, $XDG_DATA_HOME/kova or
// ~/.local/share/kova).
std::string DefaultLibraryLocation();
// `given` (a command's option), else `setting`, else the default.
std::string ChooseLibraryLocation(const std::string& given, const std::string& setting);

// The words for a PostgreSQL location that carries a password, which is
// refused: libpq's own means keep it out of the program.
extern const char* const kLibraryPasswordRefused;

// True when `location` names a library that is there: a PostgreSQL URI,
// or a SQLite file that exists. Commands that only look things up in the
// library use it when it is there and never create one.
bool LibraryIsThere(const std::string& location);

std::unique_ptr<SqlRecordStore> OpenLibrary(const std::string& location, StoreOutcome& outcome);

}  // namespace kova

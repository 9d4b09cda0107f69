#pragma once
// Opens the record library a location names: a PostgreSQL URI
// ("postgresql://…", any letter case) or libpq keyword list ("host=… dbname=…")
// for a team's server, otherwise the path of a SQLite file. Every part of
// the program that uses the library opens it here.

#include <functional>
#include <memory>
#include <string>

#include "app/library_settings.h"
#include "app/settings_store.h"
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
// `given`, else the library setting, else the default.
std::string ConfiguredLibraryLocation(const SettingsStore& settings, const std::string& given = "");

// The words for a PostgreSQL location that carries a password, which is
// refused: libpq's own means keep it out of the program.
extern const char* const kLibraryPasswordRefused;

struct LibraryLocation {
  enum class Kind { kSqliteFile, kPostgres };
  Kind kind = Kind::kSqliteFile;
  std::string text;   // surrounding blanks removed: what is opened
  std::string shown;  // for messages: any password replaced by "****"
  std::string error;  // why it cannot be used (cannot be read, carries a password); "" when it can
};
// Reads a location. A location with "://" or "=" is never a file: it is a
// PostgreSQL URI or keyword list, or refused.
LibraryLocation ParseLibraryLocation(const std::string& location);
// `location` fit for a message: a password in it is masked.
std::string ShownLibraryLocation(const std::string& location);

// What the opener means to do with the library.
enum class LibraryUse {
  kRead,    // browse: never made; a file that may not be written is opened to read
  kChange,  // change what is there (baseline, prune, references): never made
  kFile,    // file records: made when missing
  // Browse and never write, whatever the rights: a SQLite file opened for
  // reading only, every PostgreSQL transaction read-only. Never made.
  kReadOnly,
};

// Null with `outcome` when it cannot be opened; kMissing when a library that
// is not made for `use` is not there. A server is waited for `waits.connect`
// seconds, and for reading (kRead, kReadOnly) each statement `waits.read` and a lock
// `waits.lock`; a SQLite file another program holds `waits.busy`, telling
// `say_waiting` (standard error when null) after 2 s.
std::unique_ptr<SqlRecordStore> OpenLibrary(
    const std::string& location, StoreOutcome& outcome, LibraryUse use = LibraryUse::kFile,
    const LibraryWaits& waits = LibraryWaits(),
    std::function<void(const std::string&)> say_waiting = nullptr);
// The library the settings (or `given`, a command's option) name.
std::unique_ptr<SqlRecordStore> OpenConfiguredLibrary(const SettingsStore& settings,
                                                      const std::string& given, LibraryUse use,
                                                      StoreOutcome& outcome);

}  // namespace kova

#pragma once
// Opens the record library a location names: a "postgresql://" URI for a
// team's server, otherwise the path of a SQLite file (its folder is made).

#include <memory>
#include <string>

#include "library/sql_record_store.h"

namespace kova {

// The library file in the user's data folder when no location is set.
std::string DefaultLibraryPath(const std::string& data_folder);
constexpr const char* kLibraryFileName = "kova-library.sqlite";

std::unique_ptr<SqlRecordStore> OpenLibrary(const std::string& location, StoreOutcome& outcome);

}  // namespace kova

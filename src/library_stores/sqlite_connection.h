#pragma once
// The library's SQL connection to a SQLite file.

#include <memory>
#include <string>

#include "library/sql_connection.h"

namespace kova {

// Opens (creating when missing) the database file at `path`; null with
// `why` on failure. A file the user may not write is opened to read.
std::unique_ptr<SqlConnection> OpenSqliteConnection(const std::string& path, std::string& why);

}  // namespace kova

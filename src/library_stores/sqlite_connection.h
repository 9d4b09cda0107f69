#pragma once
// The library's SQL connection to a SQLite file.

#include <memory>
#include <string>

#include "library/sql_connection.h"

namespace kova {

enum class SqliteOpen {
  kCreate,    // made when missing
  kExisting,  // the file must be there
  kReadOnly,  // read only: a file or folder the user may not write (a share, a medium)
};

// Opens the database file at `path`; null with `why` on failure. A file the
// user may not write is opened to read.
std::unique_ptr<SqlConnection> OpenSqliteConnection(const std::string& path, std::string& why,
                                                    SqliteOpen mode = SqliteOpen::kCreate);

}  // namespace kova

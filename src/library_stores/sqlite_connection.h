#pragma once
// The library's SQL connection to a SQLite file.

#include <functional>
#include <memory>
#include <string>

#include "library/sql_connection.h"

namespace kova {

enum class SqliteOpen {
  kCreate,    // made when missing
  kExisting,  // the file must be there
  kReadOnly,  // read only: a file or folder the user may not write (a share, a medium)
};

// While another program holds the file, a statement waits: after 2 s
// `say_waiting` hears which file it waits for (once a wait), and after
// `busy_seconds` the statement fails with words that say so (not retried).
struct SqliteBusyWait {
  int busy_seconds = 60;
  std::function<void(const std::string&)> say_waiting;  // null: nobody is told
};

// Opens the database file at `path`; null with `why` on failure.
std::unique_ptr<SqlConnection> OpenSqliteConnection(const std::string& path, std::string& why,
                                                    SqliteOpen mode = SqliteOpen::kCreate,
                                                    SqliteBusyWait wait = {});

}  // namespace kova

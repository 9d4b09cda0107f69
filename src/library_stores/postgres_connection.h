#pragma once
// The library's SQL connection to a PostgreSQL server. Credentials come
// only through libpq's own means (service file, password file,
// environment); the program never stores one.

#include <memory>
#include <string>

#include "library/sql_connection.h"

namespace kova {

// `conninfo` is a "postgresql://" URI or a libpq keyword list; sslmode and
// every other libpq setting in it are honoured. Null with `why` on failure.
std::unique_ptr<SqlConnection> OpenPostgresConnection(const std::string& conninfo,
                                                      std::string& why);

// True for the locations that name a PostgreSQL library.
bool IsPostgresLocation(const std::string& location);

}  // namespace kova

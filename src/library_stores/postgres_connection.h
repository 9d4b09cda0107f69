#pragma once
// The library's SQL connection to a PostgreSQL server. Credentials come
// only through libpq's own means (service file, password file,
// environment); the program never stores one.

#include <memory>
#include <string>

#include "library/sql_connection.h"

namespace kova {

// How long a connection waits for the server, in seconds; 0 for no limit.
struct PostgresWaits {
  int connect = 10;   // to accept the connection (libpq's connect_timeout; 2 at least)
  int statement = 0;  // one statement (statement_timeout)
  int lock = 0;       // a lock another session holds (lock_timeout)
};

// `conninfo` is a "postgresql://" URI or a libpq keyword list; sslmode and
// every other libpq setting in it are honoured (its own connect_timeout
// too). Null with `why` on failure.
std::unique_ptr<SqlConnection> OpenPostgresConnection(const std::string& conninfo, std::string& why,
                                                      const PostgresWaits& waits = {});

// True for the locations that name a PostgreSQL library: a "postgresql://"
// or "postgres://" URI (any letter case, blanks before it) or a keyword list.
bool IsPostgresLocation(const std::string& location);

// False when libpq cannot read `conninfo`; `carries_password` tells whether
// it holds a non-empty password.
bool ReadConnectionText(const std::string& conninfo, bool& carries_password);

// True when `conninfo` holds a password (in the user part of a URI or as a
// password parameter), read as libpq reads it. Such a location would keep
// a secret in the settings, a command line or a message.
bool ConnectionCarriesPassword(const std::string& conninfo);

}  // namespace kova

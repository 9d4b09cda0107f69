#include "library_stores/store_versions.h"

#include <libpq-fe.h>
#include <sqlite3.h>

namespace kova {

std::vector<std::pair<std::string, std::string>> StoreLibraryVersions() {
  // libpq gives its version as major * 10000 + minor.
  const int pq = PQlibVersion();
  return {
      {"SQLite", sqlite3_libversion()},
      {"libpq", std::to_string(pq / 10000) + "." + std::to_string(pq % 10000)},
  };
}

}  // namespace kova

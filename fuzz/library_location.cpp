// The library location a user types or a settings file holds: read as a
// server or a file, masked for messages.

#include <cstdint>
#include <cstdlib>
#include <string>

#include "library_stores/open_library.h"
#include "library_stores/postgres_connection.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const kova::LibraryLocation where = kova::ParseLibraryLocation(text);
  const std::string shown = kova::ShownLibraryLocation(text);
  if (shown != where.shown) std::abort();
  // A server location that is taken holds no password to mask.
  if (where.kind == kova::LibraryLocation::Kind::kPostgres && where.error.empty()) {
    bool password = true;
    if (!kova::ReadConnectionText(where.text, password) || password) std::abort();
    if (kova::ShownLibraryLocation(where.text) != where.text) std::abort();
  }
  // A location with :// or = is never a file.
  if (where.kind == kova::LibraryLocation::Kind::kSqliteFile && where.error.empty() &&
      (where.text.find("://") != std::string::npos || where.text.find('=') != std::string::npos))
    std::abort();
  return 0;
}

#include "library_stores/open_library.h"

#include <cstdlib>
#include <filesystem>

#include "base/codepage.h"
#include "base/file_io.h"
#include "library_stores/postgres_connection.h"
#include "library_stores/sqlite_connection.h"

namespace kova {

std::string DefaultLibraryLocation() {
  namespace fs = std::filesystem;
  auto env = [](const char* name) {
    const char* v = std::getenv(name);
    return std::string(v ? v : "");
  };
  fs::path folder;
  if (!env("KOVA_SETTINGS").empty()) {
    folder = fs::path(env("KOVA_SETTINGS")).parent_path();
  } else {
#ifdef _WIN32
    folder = fs::path(env("LOCALAPPDATA")) / "kova";
#else
    folder = !env("XDG_DATA_HOME").empty() ? fs::path(env("XDG_DATA_HOME")) / "kova"
                                           : fs::path(env("HOME")) / ".local/share/kova";
#endif
  }
  return (folder / kLibraryFileName).string();
}

std::string ChooseLibraryLocation(const std::string& given, const std::string& setting) {
  return !given.empty() ? given : !setting.empty() ? setting : DefaultLibraryLocation();
}

const char* const kLibraryPasswordRefused =
    "The PostgreSQL library location carries a password, which the program does not take:"
    " leave it out of the location and give it through libpq's password file (.pgpass, or"
    " PGPASSFILE), a service file (pg_service.conf with service=NAME) or the PGPASSWORD"
    " environment variable.";

bool LibraryIsThere(const std::string& location) {
  return IsPostgresLocation(location) || FileExists(location);
}

std::unique_ptr<SqlRecordStore> OpenLibrary(const std::string& location, StoreOutcome& outcome) {
  std::string why;
  std::unique_ptr<SqlConnection> connection;
  if (IsPostgresLocation(location) && ConnectionCarriesPassword(location)) {
    // Refused before connecting, and not repeated: the words would show it.
    outcome.status = StoreStatus::kFailed;
    outcome.detail = kLibraryPasswordRefused;
    return nullptr;
  }
  if (IsPostgresLocation(location)) {
    connection = OpenPostgresConnection(location, why);
  } else {
    const std::string folder = std::filesystem::path(location).parent_path().string();
    if (!folder.empty()) MakeFolders(folder);
    connection = OpenSqliteConnection(location, why);
  }
  if (!connection) {
    outcome.status = StoreStatus::kFailed;
    outcome.detail = "Cannot open the library " + SystemNameToCp1252(location) + ": " + why;
    return nullptr;
  }
  auto store = std::make_unique<SqlRecordStore>(std::move(connection));
  outcome = store->Open();
  if (!outcome.ok()) return nullptr;
  return store;
}

}  // namespace kova

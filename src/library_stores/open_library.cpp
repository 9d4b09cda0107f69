#include "library_stores/open_library.h"

#include <filesystem>

#include "base/file_io.h"
#include "library_stores/postgres_connection.h"
#include "library_stores/sqlite_connection.h"

namespace kova {

std::string DefaultLibraryPath(const std::string& data_folder) {
  return (std::filesystem::path(data_folder) / kLibraryFileName).string();
}

std::unique_ptr<SqlRecordStore> OpenLibrary(const std::string& location, StoreOutcome& outcome) {
  std::string why;
  std::unique_ptr<SqlConnection> connection;
  if (IsPostgresLocation(location)) {
    connection = OpenPostgresConnection(location, why);
  } else {
    const std::string folder = std::filesystem::path(location).parent_path().string();
    if (!folder.empty()) MakeFolders(folder);
    connection = OpenSqliteConnection(location, why);
  }
  if (!connection) {
    outcome.status = StoreStatus::kFailed;
    outcome.detail = "Cannot open the library " + location + ": " + why;
    return nullptr;
  }
  auto store = std::make_unique<SqlRecordStore>(std::move(connection));
  outcome = store->Open();
  if (!outcome.ok()) return nullptr;
  return store;
}

}  // namespace kova

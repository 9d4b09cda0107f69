#include "store_fixture.h"

#include <unistd.h>

#include <atomic>
#include <fstream>

#include "base/file_io.h"
#include "base/format.h"
#include "library_stores/postgres_connection.h"
#include "library_stores/sqlite_connection.h"
#include "support/record_fixtures.h"

namespace kova {

std::string BackendName(const testing::TestParamInfo<Backend>& info) {
  return info.param == Backend::kSqlite ? "SQLite" : "PostgreSQL";
}

void StoreTest::SetUp() {
  static std::atomic<int> count{0};
  folder_ = TempFolder(Format("store-%d", count++));
  if (GetParam() == Backend::kPostgres) {
    const char* state = std::getenv("KOVA_TEST_PG_STATE");
    if (!state) GTEST_SKIP() << "run through ctest, which starts the private PostgreSQL cluster";
    std::ifstream in(state);
    std::getline(in, socket_dir_);
    if (socket_dir_ == "missing") GTEST_SKIP() << "PostgreSQL server programs are missing";
    ASSERT_FALSE(socket_dir_.empty()) << "the private PostgreSQL cluster did not start";
  }
  location_ = NewLocation();
  store_ = OpenStore(location_);
  ASSERT_TRUE(store_);
}

std::unique_ptr<SqlConnection> StoreTest::Admin() {
  std::string why;
  auto c = OpenPostgresConnection("host=" + socket_dir_ + " user=kova dbname=postgres", why);
  EXPECT_TRUE(c) << why;
  return c;
}

std::string StoreTest::NewLocation() {
  static std::atomic<int> count{0};
  const int n = count++;
  if (GetParam() == Backend::kSqlite) {
    const std::string sub = folder_ + Format("/lib%d", n);
    MakeFolders(sub);
    return sub + "/library.sqlite";
  }
  const std::string db = Format("lib_%d_%d", static_cast<int>(::getpid()), n);
  auto admin = Admin();
  if (!admin) return "";
  EXPECT_TRUE(admin->Exec("DROP DATABASE IF EXISTS " + db)) << admin->LastErrorText();
  EXPECT_TRUE(admin->Exec("CREATE DATABASE " + db)) << admin->LastErrorText();
  return "postgresql://kova@/" + db + "?host=" + socket_dir_;
}

std::unique_ptr<SqlConnection> StoreTest::Connect(const std::string& location) {
  std::string why;
  auto c = GetParam() == Backend::kSqlite ? OpenSqliteConnection(location, why)
                                          : OpenPostgresConnection(location, why);
  EXPECT_TRUE(c) << why;
  return c;
}

std::unique_ptr<SqlRecordStore> StoreTest::OpenStore(const std::string& location) {
  StoreOutcome outcome;
  auto store = OpenLibrary(location, outcome);
  EXPECT_TRUE(outcome.ok()) << outcome.detail;
  return store;
}

}  // namespace kova

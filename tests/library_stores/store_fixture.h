#pragma once
// The same store tests on SQLite and on PostgreSQL: each test gets an empty
// library of the backend it runs on. PostgreSQL runs in the private cluster
// the test run starts (pg_cluster.sh); its tests are skipped only when the
// server programs are missing.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "library/sql_connection.h"
#include "library_stores/open_library.h"

namespace kova {

enum class Backend { kSqlite, kPostgres };
std::string BackendName(const testing::TestParamInfo<Backend>& info);

class StoreTest : public testing::TestWithParam<Backend> {
 protected:
  void SetUp() override;
  // A location of a fresh, empty library of this backend.
  std::string NewLocation();
  // A plain connection to the library at `location` (for schema tests).
  std::unique_ptr<SqlConnection> Connect(const std::string& location);
  std::unique_ptr<SqlRecordStore> OpenStore(const std::string& location);
  // A PostgreSQL admin connection to the cluster.
  std::unique_ptr<SqlConnection> Admin();

  std::string folder_;    // a temporary folder of this test
  std::string location_;  // an empty library, opened as store_
  std::unique_ptr<SqlRecordStore> store_;
  std::string socket_dir_;  // PostgreSQL only
};

}  // namespace kova

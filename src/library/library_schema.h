#pragma once
// The record library's schema: the tables a new library gets and the steps
// that bring an older library up to this version. docs/library.md says how
// to add a column or a step.

#include <string>
#include <vector>

#include "library/sql_connection.h"

namespace kova {

// The version this program writes. Version 1 had no baseline mark,
// version 2 no reference curves, version 3 kept the baseline on the record
// row (lost with it on a prune) and no inode of a file, version 4 no
// assessment profiles, version 5 no stored fleet state of a CT.
constexpr int kLibrarySchemaVersion = 6;

// The statements that make the current schema in an empty database.
std::vector<std::string> CreateSchemaStatements(SqlDialect dialect);

// One change of an older schema. A change that adds a column names it, and
// is skipped where the column is already there (a library taken back to an
// older version by hand keeps its columns).
struct SchemaChange {
  std::string sql;
  std::string table, column;  // the column it adds; empty for other changes
};

struct MigrationStep {
  int version = 0;  // the version this step makes
  std::vector<SchemaChange> changes;
  // The CTs' fleet state is worked out again after the step: their
  // columns are new, or what the state reads has changed.
  bool restates_fleet = false;
};

// Every step, in rising version; a library of version v runs the steps
// whose version is above v.
const std::vector<MigrationStep>& MigrationSteps();

// The row of library_meta with the schema's version, and the one with the
// bands the stored states were worked out with.
constexpr const char* kSchemaVersionKey = "schema_version";
constexpr const char* kTrendBandsKey = "trend_bands";

}  // namespace kova

#include "library/library_schema.h"

namespace kova {
namespace {

// Reference curves belong to a CT, not to one of its records.
const char* kReferencesTableSql =
    "CREATE TABLE ct_references (ct_key TEXT PRIMARY KEY, reference TEXT NOT NULL)";
// A CT's baseline is a record's content: it survives the record's files
// being pruned and comes back when the content is filed again.
const char* kBaselinesTableSql =
    "CREATE TABLE ct_baselines (ct_key TEXT PRIMARY KEY, content_hash TEXT NOT NULL)";
// Assessment profiles belong to a CT too, like its reference curve. A
// library taken back to an older version by hand may keep the table.
const char* kProfilesTableSql =
    "CREATE TABLE IF NOT EXISTS ct_profiles (ct_key TEXT PRIMARY KEY, profile TEXT NOT NULL)";

// The fleet's columns of a CT: what its records say, worked out when they
// change (CtFleetFacts), so a page of the fleet reads stored values. The
// state is a FleetState number.
const char* kFleetColumns[][2] = {
    {"records", "INTEGER NOT NULL DEFAULT 0"},       {"taps", "INTEGER NOT NULL DEFAULT 0"},
    {"first_test_date", "TEXT NOT NULL DEFAULT ''"}, {"state", "INTEGER NOT NULL DEFAULT 0"},
    {"verdict", "TEXT NOT NULL DEFAULT ''"},
};
const char* kFleetIndexes[] = {
    "CREATE INDEX IF NOT EXISTS cts_state ON cts(state)",
    "CREATE INDEX IF NOT EXISTS cts_last_test ON cts(last_test_date)",
};

}  // namespace

std::vector<std::string> CreateSchemaStatements(SqlDialect dialect) {
  const std::string id =
      dialect == SqlDialect::kSqlite ? "id INTEGER PRIMARY KEY" : "id BIGSERIAL PRIMARY KEY";
  std::string fleet;
  for (const auto& c : kFleetColumns) fleet += std::string(", ") + c[0] + " " + c[1];
  std::vector<std::string> out = {
      "CREATE TABLE cts (" + id +
          ", ct_key TEXT NOT NULL UNIQUE, serial_key TEXT NOT NULL, search_text TEXT NOT NULL,"
          " manufacturer TEXT NOT NULL, serialnumber TEXT NOT NULL, station TEXT NOT NULL,"
          " circuit TEXT NOT NULL, model TEXT NOT NULL, last_test_date TEXT NOT NULL" +
          fleet + ")",
      "CREATE INDEX cts_serial ON cts(serial_key)",
      "CREATE TABLE records (" + id +
          ", content_hash TEXT NOT NULL UNIQUE, ct_id BIGINT NOT NULL REFERENCES cts(id),"
          " test_date TEXT NOT NULL, baseline INTEGER NOT NULL DEFAULT 0)",
      "CREATE INDEX records_ct ON records(ct_id, test_date)",
      "CREATE TABLE files (path TEXT PRIMARY KEY, size BIGINT NOT NULL, mtime BIGINT NOT NULL,"
      " record_id BIGINT NOT NULL REFERENCES records(id), inode BIGINT NOT NULL DEFAULT 0)",
      "CREATE INDEX files_record ON files(record_id)",
      "CREATE TABLE tests (record_id BIGINT NOT NULL REFERENCES records(id),"
      " tap_index INTEGER NOT NULL, tap TEXT NOT NULL, kneetype INTEGER NOT NULL,"
      " knee10_v DOUBLE PRECISION, knee10_i DOUBLE PRECISION, knee30_v DOUBLE PRECISION,"
      " knee30_i DOUBLE PRECISION, knee45_v DOUBLE PRECISION, knee45_i DOUBLE PRECISION,"
      " nameplate_ratio DOUBLE PRECISION, has_ratio INTEGER NOT NULL,"
      " measured_ratio DOUBLE PRECISION, ratio_error DOUBLE PRECISION,"
      " has_phase INTEGER NOT NULL, phase DOUBLE PRECISION, has_resistance INTEGER NOT NULL,"
      " winding_res DOUBLE PRECISION, rct75 DOUBLE PRECISION, pass_fail TEXT NOT NULL,"
      " ct_class TEXT NOT NULL, curve TEXT NOT NULL, PRIMARY KEY (record_id, tap_index))",
      kReferencesTableSql,
      kBaselinesTableSql,
      kProfilesTableSql,
  };
  for (const char* index : kFleetIndexes) out.push_back(index);
  return out;
}

const std::vector<MigrationStep>& MigrationSteps() {
  static const std::vector<MigrationStep> steps = [] {
    std::vector<MigrationStep> s = {
        {2,
         {{"ALTER TABLE records ADD COLUMN baseline INTEGER NOT NULL DEFAULT 0", "records",
           "baseline"}},
         false},
        {3, {{kReferencesTableSql, "", ""}}, false},
        {4,
         {{kBaselinesTableSql, "", ""},
          {"INSERT INTO ct_baselines(ct_key, content_hash) SELECT c.ct_key, r.content_hash"
           " FROM records r JOIN cts c ON c.id = r.ct_id WHERE r.baseline = 1",
           "", ""},
          {"ALTER TABLE files ADD COLUMN inode BIGINT NOT NULL DEFAULT 0", "files", "inode"}},
         false},
        {5, {{kProfilesTableSql, "", ""}}, false},
    };
    MigrationStep fleet{6, {}, true};
    for (const auto& c : kFleetColumns)
      fleet.changes.push_back(
          {std::string("ALTER TABLE cts ADD COLUMN ") + c[0] + " " + c[1], "cts", c[0]});
    for (const char* index : kFleetIndexes) fleet.changes.push_back({index, "", ""});
    s.push_back(std::move(fleet));
    return s;
  }();
  return steps;
}

}  // namespace kova

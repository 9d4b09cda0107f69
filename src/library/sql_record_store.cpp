#include "library/sql_record_store.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <tuple>
#include <unordered_map>
#include <variant>

#include "assess/loglog_curve.h"
#include "base/codepage.h"
#include "library/curve_text.h"
#include "library/fleet.h"

namespace kova {
namespace {

// Texts are Windows-1252 in the program and UTF-8 in the database, which
// PostgreSQL checks.
SqlValue Text(const std::string& cp1252) { return Cp1252ToUtf8(cp1252); }
std::string FromDb(const SqlValue& v) { return Utf8ToCp1252(SqlText(v)); }

std::string SearchField(const CtInfo& ct) {
  return NormalizeIdentityText(ct.serialnumber) + '\x1f' + NormalizeIdentityText(ct.station) +
         '\x1f' + NormalizeIdentityText(ct.circuit) + '\x1f' +
         NormalizeIdentityText(ct.manufacturer);
}

std::string LikePattern(const std::string& text) {
  std::string out = "%";
  for (char c : NormalizeIdentityText(text)) {
    if (c == '%' || c == '_' || c == '\\') out += '\\';
    out += c;
  }
  return out + "%";
}

// A value that is no number (a knee the instrument did not find) is stored
// as no number, NULL, on both databases (SQLite would read back 0, PostgreSQL
// "nan"), and read back as NaN.
SqlValue Number(double v) {
  if (std::isnan(v)) return nullptr;
  return v;
}
double Measured(const SqlValue& v) {
  return std::holds_alternative<std::nullptr_t>(v) ? std::nan("") : SqlDouble(v);
}

// Searches longer than this are refused: SQLite refuses patterns past its
// own limit with words that say nothing to the user.
constexpr size_t kMaxSearchText = 1000;

const char* kCtColumns =
    "c.ct_key, c.manufacturer, c.serialnumber, c.station, c.circuit, c.model, c.last_test_date";

CtInfo CtFromRow(const SqlRow& r) {
  CtInfo ct;
  ct.key = FromDb(r[0]);
  ct.manufacturer = FromDb(r[1]);
  ct.serialnumber = FromDb(r[2]);
  ct.station = FromDb(r[3]);
  ct.circuit = FromDb(r[4]);
  ct.model = FromDb(r[5]);
  ct.last_test_date = SqlText(r[6]);
  if (r.size() > 7) ct.records = SqlInt(r[7]);
  return ct;
}

const char* kTestColumns =
    "t.tap_index, t.tap, t.kneetype, t.knee10_v, t.knee10_i, t.knee30_v, t.knee30_i, t.knee45_v,"
    " t.knee45_i, t.nameplate_ratio, t.has_ratio, t.measured_ratio, t.ratio_error, t.has_phase,"
    " t.phase, t.has_resistance, t.winding_res, t.rct75, t.pass_fail, t.ct_class, t.curve,"
    " r.content_hash, r.test_date, CASE WHEN EXISTS (SELECT 1 FROM ct_baselines b"
    " WHERE b.ct_key = c.ct_key AND b.content_hash = r.content_hash) THEN 1 ELSE 0 END,"
    " (SELECT MIN(f.path) FROM files f WHERE f.record_id = r.id)";

TestRow TestFromRow(const SqlRow& r) {
  TestRow t;
  t.tap_index = static_cast<int>(SqlInt(r[0]));
  t.tap = FromDb(r[1]);
  t.kneetype = static_cast<int>(SqlInt(r[2]));
  t.knee10_v = Measured(r[3]), t.knee10_i = Measured(r[4]);
  t.knee30_v = Measured(r[5]), t.knee30_i = Measured(r[6]);
  t.knee45_v = Measured(r[7]), t.knee45_i = Measured(r[8]);
  t.nameplate_ratio = Measured(r[9]);
  t.has_ratio = SqlInt(r[10]) != 0;
  t.measured_ratio = Measured(r[11]);
  t.ratio_error = Measured(r[12]);
  t.has_phase = SqlInt(r[13]) != 0;
  t.phase = Measured(r[14]);
  t.has_resistance = SqlInt(r[15]) != 0;
  t.winding_res = Measured(r[16]);
  t.rct75 = Measured(r[17]);
  t.pass_fail = FromDb(r[18]);
  t.ct_class = FromDb(r[19]);
  // A curve we cannot read compares as missing. Records filed before keep
  // their points in rising current: put in rising voltage like every curve.
  if (CurveFromText(SqlText(r[20]), t.curve))
    t.curve = ExcitationCurve(std::move(t.curve)).points();
  t.content_hash = SqlText(r[21]);
  t.test_date = SqlText(r[22]);
  t.baseline = SqlInt(r[23]) != 0;
  t.path = SqlText(r[24]);
  return t;
}

// Every column of the fleet query, kCtColumns first.
const char* kFleetColumns = ", c.records, c.taps, c.first_test_date, c.state, c.verdict";

const char* SortExpression(FleetColumn column) {
  switch (column) {
    case FleetColumn::kManufacturer:
      return "c.manufacturer";
    case FleetColumn::kStation:
      return "c.station";
    case FleetColumn::kCircuit:
      return "c.circuit";
    case FleetColumn::kModel:
      return "c.model";
    case FleetColumn::kRecords:
      return "c.records";
    case FleetColumn::kTaps:
      return "c.taps";
    case FleetColumn::kFirstTest:
      return "c.first_test_date";
    case FleetColumn::kLastTest:
    case FleetColumn::kDue:
      return "c.last_test_date";
    case FleetColumn::kState:
      return "c.state";
    case FleetColumn::kVerdict:
      return "c.verdict";
    default:
      return "c.serial_key";
  }
}

// The search text holds serial, station, circuit and manufacturer, in
// that order, each ended by a unit separator but the last: a pattern that
// names the separators around a field matches that field whole.
std::string FieldPattern(int field, const std::string& normalized) {
  std::string out = "%";
  for (int i = 1; i <= 3; ++i) {
    out += '\x1f';
    if (i != field) {
      out += '%';
      continue;
    }
    for (char c : normalized) {
      if (c == '%' || c == '_' || c == '\\') out += '\\';
      out += c;
    }
  }
  return out;
}

}  // namespace

SqlRecordStore::SqlRecordStore(std::unique_ptr<SqlConnection> connection)
    : db_(std::move(connection)) {}

bool SqlRecordStore::Exec(const std::string& sql, const std::vector<SqlValue>& params,
                          std::vector<SqlRow>* rows) {
  return db_->Exec(sql, params, rows);
}

StoreOutcome SqlRecordStore::Failure(const std::string& what) {
  StoreOutcome out;
  out.status =
      db_->LastError() == SqlError::kReadOnly ? StoreStatus::kReadOnly : StoreStatus::kFailed;
  out.detail = what + ": " + db_->LastErrorText();
  return out;
}

StoreOutcome SqlRecordStore::InWriteTransaction(const std::function<bool()>& work,
                                                const std::string& what) {
  const char* begin = db_->Dialect() == SqlDialect::kSqlite ? "BEGIN IMMEDIATE" : "BEGIN";
  // Busy databases and deadlocks between importers are retried; the
  // SQLite adapter already waits for a busy file.
  for (int attempt = 0;; ++attempt) {
    changed_cts_.clear();
    if (Exec(begin) && work() && RestateChanged() && Exec("COMMIT")) return {};
    StoreOutcome failed = Failure(what);
    const bool retry = db_->LastError() == SqlError::kRetry && attempt < 20;
    Exec("ROLLBACK");
    if (!retry) return failed;
  }
}

bool SqlRecordStore::CreateSchema() {
  for (const std::string& s : CreateSchemaStatements(db_->Dialect()))
    if (!Exec(s)) return false;
  return Exec("INSERT INTO library_meta(name, value) VALUES(?, ?)",
              {std::string(kSchemaVersionKey), std::to_string(kLibrarySchemaVersion)});
}

bool SqlRecordStore::HasColumn(const std::string& table, const std::string& column, bool& has) {
  // A failed statement spoils a PostgreSQL transaction: the probe runs in
  // a savepoint of its own.
  if (!Exec("SAVEPOINT probe")) return false;
  has = Exec("SELECT " + column + " FROM " + table + " WHERE 1 = 0");
  return Exec(has ? "RELEASE SAVEPOINT probe" : "ROLLBACK TO SAVEPOINT probe") &&
         (has || Exec("RELEASE SAVEPOINT probe"));
}

bool SqlRecordStore::MigrateFrom(int version) {
  bool restate = false;
  for (const MigrationStep& step : MigrationSteps()) {
    if (step.version <= version) continue;
    for (const SchemaChange& change : step.changes) {
      bool has = false;
      if (!change.column.empty() && !HasColumn(change.table, change.column, has)) return false;
      if (!has && !Exec(change.sql)) return false;
    }
    restate = restate || step.restates_fleet;
  }
  return (!restate || Restate("", {})) &&
         Exec("UPDATE library_meta SET value = ? WHERE name = ?",
              {std::to_string(kLibrarySchemaVersion), std::string(kSchemaVersionKey)});
}

StoreOutcome SqlRecordStore::Open() {
  if (db_->Dialect() == SqlDialect::kSqlite) {
    // WAL: readers never wait for an importer; NORMAL sync is safe in WAL.
    Exec("PRAGMA journal_mode=WAL");
    Exec("PRAGMA synchronous=NORMAL");
  }
  std::vector<SqlRow> rows;
  // A reader that may not write still opens a current library.
  if (Exec("SELECT value FROM library_meta WHERE name = 'schema_version'", {}, &rows) &&
      !rows.empty() && SqlInt(rows[0][0]) == kLibrarySchemaVersion) {
    if (!ReadStateBands()) return Failure("Cannot read the library");
    return {};
  }
  int version = 0;
  StoreOutcome out = InWriteTransaction(
      [&] {
        // Several programs may open an empty library at once: one creates.
        if (db_->Dialect() == SqlDialect::kPostgres &&
            !Exec("SELECT pg_advisory_xact_lock(734521)"))
          return false;
        if (!Exec("CREATE TABLE IF NOT EXISTS library_meta (name TEXT PRIMARY KEY,"
                  " value TEXT NOT NULL)"))
          return false;
        rows.clear();
        if (!Exec("SELECT value FROM library_meta WHERE name = 'schema_version'", {}, &rows))
          return false;
        version = rows.empty() ? 0 : static_cast<int>(SqlInt(rows[0][0]));
        if (version > kLibrarySchemaVersion) return true;
        if (version == 0) return CreateSchema();
        return ReadStateBands() && (version == kLibrarySchemaVersion || MigrateFrom(version));
      },
      "Cannot prepare the library");
  if (out.ok() && version > kLibrarySchemaVersion) {
    out.status = StoreStatus::kNewerSchema;
    out.detail = "The library was made by a newer version of the program (schema " +
                 std::to_string(version) + ")";
  }
  return out;
}

StoreOutcome SqlRecordStore::IsKnownFile(const RecordIdentity& file, bool& known) {
  std::vector<SqlRow> rows;
  if (!Exec("SELECT size, mtime, inode FROM files WHERE path = ?", {file.path}, &rows))
    return Failure("Cannot look up " + file.path);
  // Files filed by an older program have whole seconds and no inode: they
  // are read once more and their stamp brought up to date.
  known = !rows.empty() && SqlInt(rows[0][0]) == file.size && SqlInt(rows[0][1]) == file.mtime &&
          SqlInt(rows[0][2]) == file.inode;
  return {};
}

bool SqlRecordStore::AddRecordRows(const RecordEntry& e, AddResult& result) {
  const CtInfo& ct = e.ct;
  std::vector<SqlRow> rows;
  if (!Exec("INSERT INTO cts(ct_key, serial_key, search_text, manufacturer, serialnumber, station,"
            " circuit, model, last_test_date) VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?)"
            " ON CONFLICT(ct_key) DO UPDATE SET manufacturer = excluded.manufacturer,"
            " serialnumber = excluded.serialnumber, station = excluded.station,"
            " circuit = excluded.circuit, model = excluded.model,"
            " search_text = excluded.search_text, last_test_date = excluded.last_test_date"
            " WHERE excluded.last_test_date >= cts.last_test_date",
            {Text(ct.key), Text(NormalizeIdentityText(ct.serialnumber)), Text(SearchField(ct)),
             Text(ct.manufacturer), Text(ct.serialnumber), Text(ct.station), Text(ct.circuit),
             Text(ct.model), e.test_date}) ||
      !Exec("SELECT id FROM cts WHERE ct_key = ?", {Text(ct.key)}, &rows) || rows.empty())
    return false;
  const int64_t ct_id = SqlInt(rows[0][0]);

  rows.clear();
  if (!Exec("INSERT INTO records(content_hash, ct_id, test_date) VALUES(?, ?, ?)"
            " ON CONFLICT(content_hash) DO NOTHING RETURNING id",
            {e.identity.content_hash, ct_id, e.test_date}, &rows))
    return false;
  const bool new_record = !rows.empty();
  if (!new_record &&
      (!Exec("SELECT id FROM records WHERE content_hash = ?", {e.identity.content_hash}, &rows) ||
       rows.empty()))
    return false;
  const int64_t record_id = SqlInt(rows[0][0]);
  if (new_record) changed_cts_.insert(ct_id);
  if (new_record)
    for (const TestRow& t : e.tests)
      if (!Exec("INSERT INTO tests(record_id, tap_index, tap, kneetype, knee10_v, knee10_i,"
                " knee30_v, knee30_i, knee45_v, knee45_i, nameplate_ratio, has_ratio,"
                " measured_ratio, ratio_error, has_phase, phase, has_resistance, winding_res,"
                " rct75, pass_fail, ct_class, curve) VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?,"
                " ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
                {record_id,
                 int64_t{t.tap_index},
                 Text(t.tap),
                 int64_t{t.kneetype},
                 Number(t.knee10_v),
                 Number(t.knee10_i),
                 Number(t.knee30_v),
                 Number(t.knee30_i),
                 Number(t.knee45_v),
                 Number(t.knee45_i),
                 Number(t.nameplate_ratio),
                 int64_t{t.has_ratio},
                 Number(t.measured_ratio),
                 Number(t.ratio_error),
                 int64_t{t.has_phase},
                 Number(t.phase),
                 int64_t{t.has_resistance},
                 Number(t.winding_res),
                 Number(t.rct75),
                 Text(t.pass_fail),
                 Text(t.ct_class),
                 CurveToText(t.curve)}))
        return false;

  rows.clear();
  if (!Exec("SELECT record_id FROM files WHERE path = ?", {e.identity.path}, &rows)) return false;
  const bool path_known = !rows.empty();
  const bool same_file = path_known && SqlInt(rows[0][0]) == record_id;
  if (!Exec("INSERT INTO files(path, size, mtime, record_id, inode) VALUES(?, ?, ?, ?, ?)"
            " ON CONFLICT(path) DO UPDATE SET size = excluded.size, mtime = excluded.mtime,"
            " record_id = excluded.record_id, inode = excluded.inode",
            {e.identity.path, e.identity.size, e.identity.mtime, record_id, e.identity.inode}))
    return false;
  // A file rewritten with other content leaves its old record without a file.
  if (path_known && !same_file && !DropOrphans()) return false;
  result = new_record ? AddResult::kAdded : same_file ? AddResult::kUnchanged : AddResult::kNewPath;
  return true;
}

StoreOutcome SqlRecordStore::AddRecord(const RecordEntry& entry, AddResult& result) {
  return InWriteTransaction([&] { return AddRecordRows(entry, result); },
                            "Cannot add " + entry.identity.path);
}

StoreOutcome SqlRecordStore::AddRecords(const std::vector<RecordEntry>& entries,
                                        std::vector<AddResult>& results,
                                        std::vector<std::string>& refused) {
  // Every importer takes its rows in the same order (CT, content, path), so
  // two importers of overlapping folders wait for each other instead of
  // deadlocking.
  std::vector<size_t> order(entries.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::sort(order.begin(), order.end(), [&](size_t a, size_t b) {
    const RecordIdentity& x = entries[a].identity;
    const RecordIdentity& y = entries[b].identity;
    return std::tie(entries[a].ct.key, x.content_hash, x.path) <
           std::tie(entries[b].ct.key, y.content_hash, y.path);
  });
  return InWriteTransaction(
      [&] {
        results.assign(entries.size(), AddResult::kUnchanged);
        refused.assign(entries.size(), std::string());
        for (size_t i : order) {
          // A savepoint per record: one the database refuses is undone alone.
          if (!Exec("SAVEPOINT one_record")) return false;
          if (AddRecordRows(entries[i], results[i])) {
            if (!Exec("RELEASE SAVEPOINT one_record")) return false;
            continue;
          }
          // Read-only, busy or deadlocked: the whole transaction must go.
          if (db_->LastError() != SqlError::kOther) return false;
          refused[i] = db_->LastErrorText();
          if (!Exec("ROLLBACK TO SAVEPOINT one_record") || !Exec("RELEASE SAVEPOINT one_record"))
            return false;
        }
        return true;
      },
      "Cannot add records");
}

bool SqlRecordStore::DropOrphans() {
  const char* orphan =
      "SELECT r.id FROM records r WHERE NOT EXISTS"
      " (SELECT 1 FROM files f WHERE f.record_id = r.id)";
  std::vector<SqlRow> rows;
  if (!Exec("SELECT DISTINCT r.ct_id FROM records r WHERE NOT EXISTS"
            " (SELECT 1 FROM files f WHERE f.record_id = r.id)",
            {}, &rows))
    return false;
  for (const SqlRow& r : rows) changed_cts_.insert(SqlInt(r[0]));
  return Exec(std::string("DELETE FROM tests WHERE record_id IN (") + orphan + ")") &&
         Exec(std::string("DELETE FROM records WHERE id IN (") + orphan + ")") &&
         Exec("DELETE FROM cts WHERE NOT EXISTS (SELECT 1 FROM records r WHERE r.ct_id = cts.id)");
}

StoreOutcome SqlRecordStore::FilePaths(std::vector<std::string>& out) {
  std::vector<SqlRow> rows;
  if (!Exec("SELECT path FROM files ORDER BY path", {}, &rows))
    return Failure("Cannot list the library's files");
  out.clear();
  for (const SqlRow& r : rows) out.push_back(SqlText(r[0]));
  return {};
}

StoreOutcome SqlRecordStore::Prune(const std::function<bool(const std::string&)>& exists,
                                   int64_t& removed_files) {
  std::vector<SqlRow> rows;
  if (!Exec("SELECT path FROM files", {}, &rows)) return Failure("Cannot list the library's files");
  std::vector<std::string> gone;
  for (const SqlRow& r : rows)
    if (!exists(SqlText(r[0]))) gone.push_back(SqlText(r[0]));
  removed_files = static_cast<int64_t>(gone.size());
  return InWriteTransaction(
      [&] {
        for (const std::string& path : gone)
          if (!Exec("DELETE FROM files WHERE path = ?", {path})) return false;
        return DropOrphans();
      },
      "Cannot prune the library");
}

StoreOutcome SqlRecordStore::Stats(LibraryStats& out) {
  std::vector<SqlRow> rows;
  if (!Exec("SELECT (SELECT COUNT(*) FROM cts), (SELECT COUNT(*) FROM records),"
            " (SELECT COUNT(*) FROM files), (SELECT COUNT(*) FROM tests),"
            " (SELECT MIN(test_date) FROM records WHERE test_date <> ''),"
            " (SELECT MAX(test_date) FROM records)",
            {}, &rows) ||
      rows.empty())
    return Failure("Cannot count the library");
  const SqlRow& r = rows[0];
  out.cts = SqlInt(r[0]), out.records = SqlInt(r[1]), out.files = SqlInt(r[2]);
  out.tests = SqlInt(r[3]);
  out.first_test_date = SqlText(r[4]), out.last_test_date = SqlText(r[5]);
  return {};
}

StoreOutcome SqlRecordStore::SearchCts(const std::string& text, int limit,
                                       std::vector<CtInfo>& out) {
  if (text.size() > kMaxSearchText) {
    StoreOutcome refused;
    refused.status = StoreStatus::kFailed;
    refused.detail =
        "The search text is longer than " + std::to_string(kMaxSearchText) + " characters";
    return refused;
  }
  std::vector<SqlRow> rows;
  if (!Exec(std::string("SELECT ") + kCtColumns +
                ", (SELECT COUNT(*) FROM records r WHERE r.ct_id = c.id) FROM cts c"
                " WHERE c.search_text LIKE ? ESCAPE '\\' ORDER BY c.serial_key, c.ct_key LIMIT ?",
            {Text(LikePattern(text)), int64_t{limit}}, &rows))
    return Failure("Cannot search the library");
  out.clear();
  for (const SqlRow& r : rows) out.push_back(CtFromRow(r));
  return {};
}

StoreOutcome SqlRecordStore::FindCtsBySerial(const std::string& serial, std::vector<CtInfo>& out) {
  std::vector<SqlRow> rows;
  if (!Exec(std::string("SELECT ") + kCtColumns +
                ", (SELECT COUNT(*) FROM records r WHERE r.ct_id = c.id) FROM cts c"
                " WHERE c.serial_key = ? ORDER BY c.ct_key",
            {Text(NormalizeIdentityText(serial))}, &rows))
    return Failure("Cannot search the library");
  out.clear();
  for (const SqlRow& r : rows) out.push_back(CtFromRow(r));
  return {};
}

StoreOutcome SqlRecordStore::CtTaps(const std::string& ct_key, std::vector<std::string>& out) {
  std::vector<SqlRow> rows;
  if (!Exec("SELECT DISTINCT t.tap FROM tests t JOIN records r ON r.id = t.record_id"
            " JOIN cts c ON c.id = r.ct_id WHERE c.ct_key = ? ORDER BY t.tap",
            {Text(ct_key)}, &rows))
    return Failure("Cannot read the library");
  out.clear();
  for (const SqlRow& r : rows) out.push_back(FromDb(r[0]));
  return {};
}

StoreOutcome SqlRecordStore::History(const std::string& ct_key, const std::string& tap,
                                     std::vector<TestRow>& out) {
  std::vector<SqlRow> rows;
  if (!Exec(std::string("SELECT ") + kTestColumns +
                " FROM cts c JOIN records r ON r.ct_id = c.id JOIN tests t ON t.record_id = r.id"
                " WHERE c.ct_key = ? AND t.tap = ? ORDER BY r.test_date, r.content_hash,"
                " t.tap_index",
            {Text(ct_key), Text(tap)}, &rows))
    return Failure("Cannot read the library");
  out.clear();
  for (const SqlRow& r : rows) out.push_back(TestFromRow(r));
  return {};
}

StoreOutcome SqlRecordStore::SetBaseline(const std::string& content_hash, bool& found) {
  found = false;
  return InWriteTransaction(
      [&] {
        std::vector<SqlRow> rows;
        if (!Exec("SELECT c.ct_key FROM records r JOIN cts c ON c.id = r.ct_id"
                  " WHERE r.content_hash = ?",
                  {content_hash}, &rows))
          return false;
        if (rows.empty()) return true;
        found = true;
        return Exec(
                   "INSERT INTO ct_baselines(ct_key, content_hash) VALUES(?, ?)"
                   " ON CONFLICT(ct_key) DO UPDATE SET content_hash = excluded.content_hash",
                   {rows[0][0], content_hash}) &&
               Restate("c.ct_key = ?", {rows[0][0]});
      },
      "Cannot mark the baseline");
}

StoreOutcome SqlRecordStore::CircuitTests(const std::string& station, const std::string& circuit,
                                          const std::string& tap, double nameplate_ratio,
                                          const std::string& except_ct_key,
                                          std::vector<CtTestRow>& out) {
  // The search text holds serial, station, circuit and manufacturer, each
  // normalised and ended by a unit separator: station and circuit match as
  // whole fields.
  std::string pattern = "%\x1f";
  for (const std::string* field : {&station, &circuit}) {
    for (char c : NormalizeIdentityText(*field)) {
      if (c == '%' || c == '_' || c == '\\') pattern += '\\';
      pattern += c;
    }
    pattern += '\x1f';
  }
  pattern += '%';
  std::vector<SqlRow> rows;
  if (!Exec(std::string("SELECT ") + kTestColumns + ", " + kCtColumns +
                " FROM cts c JOIN records r ON r.ct_id = c.id JOIN tests t ON t.record_id = r.id"
                " WHERE c.search_text LIKE ? ESCAPE '\\' AND c.ct_key <> ? AND t.tap = ?"
                " ORDER BY c.ct_key, r.test_date, r.content_hash, t.tap_index",
            {Text(pattern), Text(except_ct_key), Text(tap)}, &rows))
    return Failure("Cannot read the library");
  out.clear();
  const size_t test_columns = 25;
  for (const SqlRow& r : rows) {
    CtTestRow row;
    row.test = TestFromRow(r);
    // Nameplate ratios are the plan's numbers, stored as they were read.
    if (std::fabs(row.test.nameplate_ratio - nameplate_ratio) > 1e-9 * std::fabs(nameplate_ratio))
      continue;
    row.ct = CtFromRow(SqlRow(r.begin() + test_columns, r.end()));
    out.push_back(std::move(row));
  }
  return {};
}

StoreOutcome SqlRecordStore::RecordTests(const std::string& content_hash,
                                         std::vector<CtTestRow>& out) {
  std::vector<SqlRow> rows;
  if (!Exec(std::string("SELECT ") + kTestColumns + ", " + kCtColumns +
                " FROM records r JOIN cts c ON c.id = r.ct_id JOIN tests t ON t.record_id = r.id"
                " WHERE r.content_hash = ? ORDER BY t.tap_index",
            {Text(content_hash)}, &rows))
    return Failure("Cannot read the library");
  out.clear();
  const size_t test_columns = 25;
  for (const SqlRow& r : rows) {
    CtTestRow row;
    row.test = TestFromRow(r);
    row.ct = CtFromRow(SqlRow(r.begin() + test_columns, r.end()));
    out.push_back(std::move(row));
  }
  return {};
}

StoreOutcome SqlRecordStore::FindReference(const std::string& ct_key, std::string& text,
                                           bool& found) {
  std::vector<SqlRow> rows;
  if (!Exec("SELECT reference FROM ct_references WHERE ct_key = ?", {Text(ct_key)}, &rows))
    return Failure("Cannot read the library");
  found = !rows.empty();
  text = found ? FromDb(rows[0][0]) : std::string();
  return {};
}

StoreOutcome SqlRecordStore::KeepReference(const std::string& ct_key, const std::string& text) {
  return InWriteTransaction(
      [&] {
        return Exec(
            "INSERT INTO ct_references(ct_key, reference) VALUES(?, ?)"
            " ON CONFLICT(ct_key) DO UPDATE SET reference = excluded.reference",
            {Text(ct_key), Text(text)});
      },
      "Cannot keep the reference curve");
}

StoreOutcome SqlRecordStore::FindProfile(const std::string& ct_key, std::string& text,
                                         bool& found) {
  std::vector<SqlRow> rows;
  if (!Exec("SELECT profile FROM ct_profiles WHERE ct_key = ?", {Text(ct_key)}, &rows))
    return Failure("Cannot read the library");
  found = !rows.empty();
  text = found ? FromDb(rows[0][0]) : std::string();
  return {};
}

StoreOutcome SqlRecordStore::KeepProfile(const std::string& ct_key, const std::string& text) {
  return InWriteTransaction(
      [&] {
        return Exec(
                   "INSERT INTO ct_profiles(ct_key, profile) VALUES(?, ?)"
                   " ON CONFLICT(ct_key) DO UPDATE SET profile = excluded.profile",
                   {Text(ct_key), Text(text)}) &&
               RestateKey(ct_key);
      },
      "Cannot keep the assessment profile");
}

StoreOutcome SqlRecordStore::ProfiledCts(std::vector<ProfiledCt>& out) {
  // The latest record of each CT with a profile: History's order, last.
  const std::string latest =
      " FROM ct_profiles p JOIN cts c ON c.ct_key = p.ct_key JOIN records r ON r.id ="
      " (SELECT r2.id FROM records r2 WHERE r2.ct_id = c.id"
      " ORDER BY r2.test_date DESC, r2.content_hash DESC LIMIT 1)";
  std::vector<SqlRow> cts, tests;
  if (!Exec(std::string("SELECT ") + kCtColumns +
                ", p.profile, r.content_hash, r.test_date,"
                " (SELECT MIN(f.path) FROM files f WHERE f.record_id = r.id)" +
                latest + " ORDER BY c.ct_key",
            {}, &cts) ||
      !Exec(std::string("SELECT ") + kTestColumns + ", c.ct_key" + latest +
                " JOIN tests t ON t.record_id = r.id ORDER BY c.ct_key, t.tap_index",
            {}, &tests))
    return Failure("Cannot read the library");
  out.clear();
  out.reserve(cts.size());
  std::unordered_map<std::string, size_t> of_key;
  for (const SqlRow& r : cts) {
    ProfiledCt p;
    p.ct = CtFromRow(SqlRow(r.begin(), r.begin() + 7));
    p.profile = FromDb(r[7]);
    p.content_hash = SqlText(r[8]);
    p.test_date = SqlText(r[9]);
    p.path = SqlText(r[10]);
    of_key[SqlText(r[0])] = out.size();
    out.push_back(std::move(p));
  }
  // The databases' orders of text differ: the tests find their CT by key.
  const size_t test_columns = 25;
  for (const SqlRow& r : tests) {
    const auto it = of_key.find(SqlText(r[test_columns]));
    if (it != of_key.end()) out[it->second].tests.push_back(TestFromRow(r));
  }
  return {};
}

}  // namespace kova

namespace kova {

bool SqlRecordStore::ReadStateBands() {
  std::vector<SqlRow> rows;
  if (!Exec("SELECT value FROM library_meta WHERE name = ?", {std::string(kTrendBandsKey)}, &rows))
    return false;
  // Bands another program wrote that cannot be read are the defaults.
  bands_ = TrendBands();
  if (!rows.empty() && !TrendBandsFromText(SqlText(rows[0][0]), bands_)) bands_ = TrendBands();
  return true;
}

bool SqlRecordStore::Restate(const std::string& where, const std::vector<SqlValue>& params) {
  const std::string cond = where.empty() ? std::string() : " WHERE " + where;
  std::vector<SqlRow> cts, tests;
  if (!Exec("SELECT c.id, (SELECT COUNT(*) FROM records r WHERE r.ct_id = c.id),"
            " (SELECT MIN(r.test_date) FROM records r WHERE r.ct_id = c.id),"
            " (SELECT MAX(r.test_date) FROM records r WHERE r.ct_id = c.id), p.profile"
            " FROM cts c LEFT JOIN ct_profiles p ON p.ct_key = c.ct_key" +
                cond,
            params, &cts) ||
      !Exec(std::string("SELECT c.id, ") + kTestColumns +
                " FROM cts c JOIN records r ON r.ct_id = c.id JOIN tests t ON t.record_id = r.id" +
                cond,
            params, &tests))
    return false;
  std::unordered_map<int64_t, std::vector<TestRow>> of_ct;
  for (const SqlRow& r : tests)
    of_ct[SqlInt(r[0])].push_back(TestFromRow(SqlRow(r.begin() + 1, r.end())));
  for (const SqlRow& r : cts) {
    const int64_t id = SqlInt(r[0]);
    const bool profiled = !std::holds_alternative<std::nullptr_t>(r[4]);
    FleetFacts f =
        CtFleetFacts(of_ct[id], SqlInt(r[1]), profiled ? FromDb(r[4]) : std::string(), bands_);
    // A record without tests still dates the CT.
    if (!std::holds_alternative<std::nullptr_t>(r[2])) f.first_test_date = SqlText(r[2]);
    if (!std::holds_alternative<std::nullptr_t>(r[3])) f.last_test_date = SqlText(r[3]);
    std::vector<SqlValue> set = {f.records, f.taps, f.first_test_date,
                                 static_cast<int64_t>(f.state), f.verdict};
    std::string sql =
        "UPDATE cts SET records = ?, taps = ?, first_test_date = ?, state = ?, verdict = ?";
    if (!f.last_test_date.empty()) {
      sql += ", last_test_date = ?";
      set.push_back(f.last_test_date);
    }
    set.push_back(id);
    if (!Exec(sql + " WHERE id = ?", set)) return false;
  }
  return true;
}

bool SqlRecordStore::RestateKey(const std::string& ct_key) {
  return Restate("c.ct_key = ?", {Text(ct_key)});
}

bool SqlRecordStore::RestateChanged() {
  // In slices, well below either database's count of parameters.
  std::vector<int64_t> ids(changed_cts_.begin(), changed_cts_.end());
  changed_cts_.clear();
  for (size_t from = 0; from < ids.size(); from += 500) {
    const size_t to = std::min(ids.size(), from + 500);
    std::string in;
    std::vector<SqlValue> params;
    for (size_t i = from; i < to; ++i) {
      in += in.empty() ? "?" : ", ?";
      params.push_back(ids[i]);
    }
    if (!Restate("c.id IN (" + in + ")", params)) return false;
  }
  return true;
}

StoreOutcome SqlRecordStore::SetTrendBands(const TrendBands& bands) {
  const std::string text = TrendBandsText(bands);
  if (text == TrendBandsText(bands_)) return {};
  const TrendBands before = bands_;
  bands_ = bands;
  StoreOutcome out = InWriteTransaction(
      [&] {
        return Exec(
                   "INSERT INTO library_meta(name, value) VALUES(?, ?)"
                   " ON CONFLICT(name) DO UPDATE SET value = excluded.value",
                   {std::string(kTrendBandsKey), text}) &&
               Restate("", {});
      },
      "Cannot work out the CTs' states with the new bands");
  if (!out.ok()) bands_ = before;
  return out;
}

namespace {

// The WHERE clause of a fleet query and its parameters, for the page and
// for the tally alike.
struct FleetWhere {
  std::string sql;
  std::vector<SqlValue> params;
};

FleetWhere FleetWhereOf(const FleetQuery& q) {
  FleetWhere w;
  auto add = [&](const std::string& cond, SqlValue value) {
    w.sql += (w.sql.empty() ? " WHERE " : " AND ") + cond;
    w.params.push_back(std::move(value));
  };
  if (!q.text.empty()) add("c.search_text LIKE ? ESCAPE '\\'", Text(LikePattern(q.text)));
  const std::pair<const std::string*, int> fields[] = {
      {&q.station, 1}, {&q.circuit, 2}, {&q.manufacturer, 3}};
  for (const auto& f : fields)
    if (!f.first->empty())
      add("c.search_text LIKE ? ESCAPE '\\'",
          Text(FieldPattern(f.second, NormalizeIdentityText(*f.first))));
  if (q.min_state > FleetState::kNone) add("c.state >= ?", static_cast<int64_t>(q.min_state));
  if (!q.last_test_before.empty()) add("c.last_test_date < ?", q.last_test_before);
  if (!q.tested_from.empty() || !q.tested_before.empty()) {
    std::string cond = "EXISTS (SELECT 1 FROM records r WHERE r.ct_id = c.id";
    if (!q.tested_from.empty()) cond += " AND r.test_date >= ?";
    if (!q.tested_before.empty()) cond += " AND r.test_date < ?";
    w.sql += (w.sql.empty() ? " WHERE " : " AND ") + cond + ")";
    if (!q.tested_from.empty()) w.params.push_back(q.tested_from);
    if (!q.tested_before.empty()) w.params.push_back(q.tested_before);
  }
  return w;
}

StoreOutcome SearchTextTooLong() {
  StoreOutcome refused;
  refused.status = StoreStatus::kFailed;
  refused.detail =
      "The search text is longer than " + std::to_string(kMaxSearchText) + " characters";
  return refused;
}

}  // namespace

StoreOutcome SqlRecordStore::Fleet(const FleetQuery& q, FleetPage& out) {
  if (q.text.size() > kMaxSearchText) return SearchTextTooLong();
  const FleetWhere w = FleetWhereOf(q);
  const std::string& where = w.sql;
  const std::vector<SqlValue>& params = w.params;
  // The count of every match rides along as a subquery of its own: the
  // page itself stops at its last row (a window count would make the
  // database collect every match first).
  std::vector<SqlValue> all = params;
  all.insert(all.end(), params.begin(), params.end());
  all.push_back(int64_t{q.limit});
  all.push_back(int64_t{q.offset});
  std::vector<SqlRow> rows;
  if (!Exec(std::string("SELECT ") + kCtColumns + kFleetColumns + ", (SELECT COUNT(*) FROM cts c" +
                where + ") FROM cts c" + where + " ORDER BY " + SortExpression(q.sort) +
                (q.descending ? " DESC" : "") + ", c.ct_key LIMIT ? OFFSET ?",
            all, &rows))
    return Failure("Cannot read the library's fleet");
  out = FleetPage();
  for (const SqlRow& r : rows) {
    FleetRow row;
    row.ct = CtFromRow(SqlRow(r.begin(), r.begin() + 7));
    row.facts.records = row.ct.records = SqlInt(r[7]);
    row.facts.taps = SqlInt(r[8]);
    row.facts.first_test_date = SqlText(r[9]);
    row.facts.last_test_date = row.ct.last_test_date;
    row.facts.state = FleetStateFromNumber(SqlInt(r[10]));
    row.facts.verdict = SqlText(r[11]);
    out.total = SqlInt(r[12]);
    out.rows.push_back(std::move(row));
  }
  // A page past the end has no row to carry the count.
  if (rows.empty() && q.offset > 0) {
    FleetQuery first = q;
    first.offset = 0;
    first.limit = 1;
    FleetPage counted;
    StoreOutcome o = Fleet(first, counted);
    if (!o.ok()) return o;
    out.total = counted.total;
  }
  return {};
}

StoreOutcome SqlRecordStore::FleetTally(const FleetQuery& q, const TallyBounds& bounds,
                                        std::vector<StationTally>& out) {
  if (q.text.size() > kMaxSearchText) return SearchTextTooLong();
  const FleetWhere w = FleetWhereOf(q);
  std::vector<SqlValue> params = {bounds.overdue_before, bounds.due_before};
  params.insert(params.end(), w.params.begin(), w.params.end());
  std::vector<SqlRow> rows;
  if (!Exec("SELECT c.station, c.state, COUNT(*), "
            "SUM(CASE WHEN c.last_test_date < ? THEN 1 ELSE 0 END), "
            "SUM(CASE WHEN c.last_test_date < ? THEN 1 ELSE 0 END) FROM cts c" +
                w.sql + " GROUP BY c.station, c.state ORDER BY c.station",
            params, &rows))
    return Failure("Cannot count the library's fleet");
  out.clear();
  for (const SqlRow& r : rows) {
    const std::string station = SqlText(r[0]);
    if (out.empty() || out.back().station != station) out.push_back(StationTally{station});
    StationTally& t = out.back();
    t.cts[static_cast<int>(FleetStateFromNumber(SqlInt(r[1])))] += SqlInt(r[2]);
    t.overdue += SqlInt(r[3]);
    t.due += SqlInt(r[4]);
  }
  return {};
}

}  // namespace kova

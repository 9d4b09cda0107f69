#include "library_stores/sqlite_connection.h"

#include <sqlite3.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <thread>
#include <unordered_map>

namespace kova {
namespace {

constexpr auto kSayWaitingAfter = std::chrono::seconds(2);

// The busy handler's state: when this wait began, whether it was told.
struct BusyState {
  std::string path;
  SqliteBusyWait wait;
  std::chrono::steady_clock::time_point since;
  bool said = false, gave_up = false;
};

int OnBusy(void* state, int count) {
  auto* s = static_cast<BusyState*>(state);
  const auto now = std::chrono::steady_clock::now();
  if (count == 0) s->since = now, s->said = false;
  const auto waited = now - s->since;
  if (waited >= std::chrono::seconds(s->wait.busy_seconds)) {
    s->gave_up = true;
    return 0;
  }
  if (!s->said && waited >= kSayWaitingAfter && s->wait.say_waiting) {
    s->said = true;
    s->wait.say_waiting("Waiting for the library file \"" + s->path +
                        "\", which another program is using (at most " +
                        std::to_string(s->wait.busy_seconds) + " s)");
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(count < 10 ? 5 : 50));
  return 1;
}

class SqliteConnection : public SqlConnection {
 public:
  SqliteConnection(sqlite3* db, const std::string& path, SqliteBusyWait wait) : db_(db) {
    busy_.path = path;
    busy_.wait = std::move(wait);
    sqlite3_busy_handler(db_, OnBusy, &busy_);
  }
  ~SqliteConnection() override {
    for (auto& kv : statements_) sqlite3_finalize(kv.second);
    sqlite3_close(db_);
  }

  SqlDialect Dialect() const override { return SqlDialect::kSqlite; }
  SqlError LastError() const override { return error_; }
  std::string LastErrorText() const override { return error_text_; }

  bool Exec(const std::string& sql, const std::vector<SqlValue>& params,
            std::vector<SqlRow>* rows) override {
    busy_.gave_up = false;
    sqlite3_stmt* stmt = Prepared(sql);
    if (!stmt) return false;
    bool ok = Bind(stmt, params);
    int rc = SQLITE_DONE;
    while (ok && (rc = sqlite3_step(stmt)) == SQLITE_ROW)
      if (rows) rows->push_back(Row(stmt));
    if (ok && rc != SQLITE_DONE) ok = Fail(rc);
    sqlite3_reset(stmt);
    sqlite3_clear_bindings(stmt);
    if (ok) error_ = SqlError::kNone, error_text_.clear();
    return ok;
  }

 private:
  sqlite3_stmt* Prepared(const std::string& sql) {
    auto found = statements_.find(sql);
    if (found != statements_.end()) return found->second;
    sqlite3_stmt* stmt = nullptr;
    const int rc =
        sqlite3_prepare_v2(db_, sql.c_str(), static_cast<int>(sql.size()), &stmt, nullptr);
    if (rc != SQLITE_OK) {
      Fail(rc);
      return nullptr;
    }
    statements_.emplace(sql, stmt);
    return stmt;
  }

  bool Bind(sqlite3_stmt* stmt, const std::vector<SqlValue>& params) {
    if (static_cast<int>(params.size()) != sqlite3_bind_parameter_count(stmt)) {
      error_ = SqlError::kOther;
      error_text_ = "wrong number of parameters";
      return false;
    }
    for (size_t i = 0; i < params.size(); ++i) {
      const int at = static_cast<int>(i) + 1;
      int rc = SQLITE_OK;
      if (auto v = std::get_if<int64_t>(&params[i]))
        rc = sqlite3_bind_int64(stmt, at, *v);
      else if (auto d = std::get_if<double>(&params[i]))
        rc = sqlite3_bind_double(stmt, at, *d);
      else if (auto s = std::get_if<std::string>(&params[i]))
        rc = sqlite3_bind_text(stmt, at, s->data(), static_cast<int>(s->size()), SQLITE_TRANSIENT);
      else
        rc = sqlite3_bind_null(stmt, at);
      if (rc != SQLITE_OK) return Fail(rc);
    }
    return true;
  }

  static SqlRow Row(sqlite3_stmt* stmt) {
    SqlRow row;
    const int n = sqlite3_column_count(stmt);
    for (int c = 0; c < n; ++c) {
      switch (sqlite3_column_type(stmt, c)) {
        case SQLITE_INTEGER:
          row.emplace_back(static_cast<int64_t>(sqlite3_column_int64(stmt, c)));
          break;
        case SQLITE_FLOAT:
          row.emplace_back(sqlite3_column_double(stmt, c));
          break;
        case SQLITE_NULL:
          row.emplace_back(nullptr);
          break;
        default: {
          const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, c));
          row.emplace_back(std::string(text ? text : "", sqlite3_column_bytes(stmt, c)));
        }
      }
    }
    return row;
  }

  bool Fail(int rc) {
    const int system_error = errno;  // SQLite keeps it only on some paths
    const int primary = rc & 0xFF;
    error_ = primary == SQLITE_READONLY                             ? SqlError::kReadOnly
             : (primary == SQLITE_BUSY || primary == SQLITE_LOCKED) ? SqlError::kRetry
                                                                    : SqlError::kOther;
    error_text_ = sqlite3_errmsg(db_);
    // Past the process's file-size limit SQLite says "disk I/O error".
    if ((primary == SQLITE_IOERR || primary == SQLITE_FULL) &&
        (sqlite3_system_errno(db_) == EFBIG || system_error == EFBIG))
      error_text_ = "file too large (" + error_text_ + ")";
    error_text_ += " in \"" + busy_.path + "\"";
    if (primary == SQLITE_BUSY && busy_.gave_up) {
      // Waited its bound: trying again would wait as long once more.
      error_ = SqlError::kOther;
      error_text_ = "gave up after waiting " + std::to_string(busy_.wait.busy_seconds) +
                    " s for the library file \"" + busy_.path +
                    "\", which another program keeps busy (" + error_text_ + ")";
    }
    return false;
  }

  sqlite3* db_;
  BusyState busy_;
  std::unordered_map<std::string, sqlite3_stmt*> statements_;
  SqlError error_ = SqlError::kNone;
  std::string error_text_;
};

// A "file:" URI for `path` that SQLite reads without writing a byte beside
// it: no -shm file, which a read-only folder cannot hold.
std::string ImmutableUri(const std::string& path) {
  std::string uri = "file:";
  for (char c : path) {
    if (c == '%' || c == '?' || c == '#') {
      static const char* hex = "0123456789ABCDEF";
      uri += '%';
      uri += hex[static_cast<unsigned char>(c) >> 4];
      uri += hex[static_cast<unsigned char>(c) & 15];
    } else {
      uri += c;
    }
  }
  return uri + "?immutable=1";
}

sqlite3* OpenDb(const std::string& name, int flags, std::string& why) {
  sqlite3* db = nullptr;
  const int rc = sqlite3_open_v2(name.c_str(), &db, flags, nullptr);
  if (rc == SQLITE_OK) return db;
  why = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
  sqlite3_close(db);
  return nullptr;
}

// True when the file can be read through `db` (a WAL library in a folder
// that may not be written cannot be, without its -shm file).
bool Readable(sqlite3* db) {
  return sqlite3_exec(db, "SELECT COUNT(*) FROM sqlite_master", nullptr, nullptr, nullptr) ==
         SQLITE_OK;
}

}  // namespace

std::unique_ptr<SqlConnection> OpenSqliteConnection(const std::string& path, std::string& why,
                                                    SqliteOpen mode, SqliteBusyWait wait) {
  const int flags = mode == SqliteOpen::kCreate     ? SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE
                    : mode == SqliteOpen::kExisting ? SQLITE_OPEN_READWRITE
                                                    : SQLITE_OPEN_READONLY;
  sqlite3* db = OpenDb(path, flags, why);
  if (db) sqlite3_busy_timeout(db, wait.busy_seconds * 1000);  // for the probe below
  if (db && mode == SqliteOpen::kReadOnly && !Readable(db)) {
    why = sqlite3_errmsg(db);
    sqlite3_close(db);
    db = nullptr;
    // Without a -wal file every committed page is in the file itself.
    std::error_code ec;
    if (!std::filesystem::exists(path + "-wal", ec) && !ec)
      db = OpenDb(ImmutableUri(path), SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, why);
  }
  if (!db) return nullptr;
  return std::make_unique<SqliteConnection>(db, path, std::move(wait));
}

}  // namespace kova

#pragma once
// A connection to one SQL database, as the library's store needs it: one
// statement at a time with `?` placeholders bound to values (never spliced
// into the text). The SQLite and PostgreSQL adapters implement it.

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace kova {

using SqlValue = std::variant<std::nullptr_t, int64_t, double, std::string>;
using SqlRow = std::vector<SqlValue>;

enum class SqlDialect { kSqlite, kPostgres };

// Why a statement failed, in the terms the store acts on.
enum class SqlError {
  kNone,
  kReadOnly,  // the database or the user may only read
  kRetry,     // busy, deadlock or serialization failure: run the transaction again
  kOther,
};

class SqlConnection {
 public:
  virtual ~SqlConnection() = default;
  virtual SqlDialect Dialect() const = 0;
  // Runs one statement; rows (optional) receive what it returns. On failure
  // the reason is in LastError()/LastErrorText().
  virtual bool Exec(const std::string& sql, const std::vector<SqlValue>& params = {},
                    std::vector<SqlRow>* rows = nullptr) = 0;
  virtual SqlError LastError() const = 0;
  virtual std::string LastErrorText() const = 0;
};

// Cell readers that accept both typed cells (SQLite) and text cells
// (PostgreSQL); a null or unreadable cell gives 0 or "".
int64_t SqlInt(const SqlValue& v);
double SqlDouble(const SqlValue& v);
std::string SqlText(const SqlValue& v);

}  // namespace kova

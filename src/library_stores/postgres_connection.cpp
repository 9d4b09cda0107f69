#include "library_stores/postgres_connection.h"

#include <libpq-fe.h>

#include <cctype>
#include <charconv>
#include <cstring>

namespace kova {
namespace {

// `?` placeholders -> `$1`, `$2`, ... outside quoted literals.
std::string NumberedPlaceholders(const std::string& sql) {
  std::string out;
  out.reserve(sql.size() + 16);
  bool quoted = false;
  int n = 0;
  for (char c : sql) {
    if (c == '\'') quoted = !quoted;
    if (c == '?' && !quoted)
      out += '$' + std::to_string(++n);
    else
      out += c;
  }
  return out;
}

std::string ParamText(const SqlValue& v) {
  char buf[32];
  if (auto i = std::get_if<int64_t>(&v)) return std::to_string(*i);
  if (auto d = std::get_if<double>(&v))
    return std::string(buf, std::to_chars(buf, buf + 32, *d).ptr);
  if (auto s = std::get_if<std::string>(&v)) return *s;
  return "";
}

void Quiet(void*, const char*) {}  // NOTICEs of IF NOT EXISTS and the like

// "host:port" (or the socket folder) the connection went to.
std::string ServerOf(PGconn* conn) {
  const char* host = PQhost(conn);
  const char* port = PQport(conn);
  return std::string(host ? host : "") + ":" + (port ? port : "");
}

std::string Trimmed(std::string s) {
  while (!s.empty() && (s.back() == '\n' || s.back() == ' ')) s.pop_back();
  return s;
}

class PostgresConnection : public SqlConnection {
 public:
  PostgresConnection(PGconn* conn, const PostgresWaits& waits) : conn_(conn), waits_(waits) {
    PQsetNoticeProcessor(conn_, Quiet, nullptr);
  }
  ~PostgresConnection() override { PQfinish(conn_); }

  SqlDialect Dialect() const override { return SqlDialect::kPostgres; }
  SqlError LastError() const override { return error_; }
  std::string LastErrorText() const override { return error_text_; }

  bool Exec(const std::string& sql, const std::vector<SqlValue>& params,
            std::vector<SqlRow>* rows) override {
    std::vector<std::string> texts;
    texts.reserve(params.size());
    std::vector<const char*> values;
    for (const SqlValue& p : params) {
      texts.push_back(ParamText(p));
      values.push_back(std::holds_alternative<std::nullptr_t>(p) ? nullptr : texts.back().c_str());
    }
    const std::string text = NumberedPlaceholders(sql);
    PGresult* res = PQexecParams(conn_, text.c_str(), static_cast<int>(values.size()), nullptr,
                                 values.data(), nullptr, nullptr, 0);
    const ExecStatusType st = PQresultStatus(res);
    const bool ok = st == PGRES_COMMAND_OK || st == PGRES_TUPLES_OK;
    if (!ok) {
      const char* state = res ? PQresultErrorField(res, PG_DIAG_SQLSTATE) : nullptr;
      const std::string code = state ? state : "";
      error_ = (code == "42501" || code == "25006")   ? SqlError::kReadOnly
               : (code == "40P01" || code == "40001") ? SqlError::kRetry
                                                      : SqlError::kOther;
      error_text_ = Trimmed(PQerrorMessage(conn_));
      // A wait given up names the server and what it waited for.
      if (code == "57014" && waits_.statement > 0)
        error_text_ = "the server " + ServerOf(conn_) + " gave no answer within " +
                      std::to_string(waits_.statement) + " s (" + error_text_ + ")";
      else if (code == "55P03" && waits_.lock > 0)
        error_text_ = "waited " + std::to_string(waits_.lock) +
                      " s for a table that another session of the server " + ServerOf(conn_) +
                      " holds locked (" + error_text_ + ")";
    } else {
      error_ = SqlError::kNone;
      error_text_.clear();
      if (rows)
        for (int r = 0; r < PQntuples(res); ++r) {
          SqlRow row;
          for (int c = 0; c < PQnfields(res); ++c)
            if (PQgetisnull(res, r, c))
              row.emplace_back(nullptr);
            else
              row.emplace_back(std::string(PQgetvalue(res, r, c), PQgetlength(res, r, c)));
          rows->push_back(std::move(row));
        }
    }
    PQclear(res);
    return ok;
  }

 private:
  PGconn* conn_;
  PostgresWaits waits_;
  SqlError error_ = SqlError::kNone;
  std::string error_text_;
};

}  // namespace

bool IsPostgresLocation(const std::string& location) {
  size_t start = 0;
  while (start < location.size() && std::isspace(static_cast<unsigned char>(location[start])))
    ++start;
  auto scheme = [&](const char* prefix) {
    const size_t n = std::strlen(prefix);
    if (location.size() - start < n) return false;
    for (size_t i = 0; i < n; ++i)
      if (std::tolower(static_cast<unsigned char>(location[start + i])) != prefix[i]) return false;
    return true;
  };
  if (scheme("postgresql://") || scheme("postgres://")) return true;
  // A keyword list: "host=… dbname=…"
  return location.find("://") == std::string::npos && location.find('=') != std::string::npos;
}

bool ReadConnectionText(const std::string& conninfo, bool& carries_password) {
  char* error = nullptr;
  PQconninfoOption* options = PQconninfoParse(conninfo.c_str(), &error);
  PQfreemem(error);  // it may quote the text, password and all
  carries_password = false;
  for (PQconninfoOption* o = options; o && o->keyword; ++o)
    if (std::string(o->keyword) == "password" && o->val && *o->val) carries_password = true;
  const bool read = options != nullptr;
  PQconninfoFree(options);
  return read;
}

bool ConnectionCarriesPassword(const std::string& conninfo) {
  bool carries = false;
  ReadConnectionText(conninfo, carries);
  return carries;
}

std::unique_ptr<SqlConnection> OpenPostgresConnection(const std::string& conninfo, std::string& why,
                                                      const PostgresWaits& waits) {
  // The time-out first: a connect_timeout in the location itself comes
  // later and wins.
  const std::string connect = std::to_string(waits.connect);
  const char* keywords[] = {"connect_timeout", "dbname", nullptr};
  const char* values[] = {connect.c_str(), conninfo.c_str(), nullptr};
  PGconn* conn = waits.connect > 0 ? PQconnectdbParams(keywords, values, 1)
                                   : PQconnectdbParams(keywords + 1, values + 1, 1);
  if (!conn || PQstatus(conn) != CONNECTION_OK) {
    why = conn ? Trimmed(PQerrorMessage(conn)) : "out of memory";
    if (conn && why.find("timeout expired") != std::string::npos)
      why = "no answer from the server " + ServerOf(conn) + " within " + connect +
            " s to the connection (" + why + ")";
    PQfinish(conn);
    return nullptr;
  }
  // Numbers come back with every digit, whatever the server's settings.
  std::string set = "SET extra_float_digits = 3";
  PGresult* res = PQexec(conn, set.c_str());
  PQclear(res);
  for (const auto& [name, seconds] :
       {std::pair<const char*, int>{"statement_timeout", waits.statement},
        {"lock_timeout", waits.lock}})
    if (seconds > 0) {
      set = std::string("SET ") + name + " = " + std::to_string(seconds * 1000);
      res = PQexec(conn, set.c_str());
      PQclear(res);
    }
  return std::make_unique<PostgresConnection>(conn, waits);
}

}  // namespace kova

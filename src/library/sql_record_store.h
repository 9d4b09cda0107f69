#pragma once
// The record library's store over a SQL connection: the schema, its
// version and migration, and every query with bound parameters. SQLite and
// PostgreSQL differ only in what their adapters hand it.

#include <cstdint>
#include <memory>
#include <set>

#include "library/library_schema.h"
#include "library/record_store.h"
#include "library/sql_connection.h"

namespace kova {

class SqlRecordStore : public RecordStore {
 public:
  explicit SqlRecordStore(std::unique_ptr<SqlConnection> connection);

  // Creates the schema in an empty database or migrates an older one. A
  // reader without write rights opens a current library and can browse it.
  StoreOutcome Open();

  StoreOutcome IsKnownFile(const RecordIdentity& file, bool& known) override;
  StoreOutcome AddRecord(const RecordEntry& entry, AddResult& result) override;
  StoreOutcome AddRecords(const std::vector<RecordEntry>& entries, std::vector<AddResult>& results,
                          std::vector<std::string>& refused) override;
  StoreOutcome FilePaths(std::vector<std::string>& out) override;
  StoreOutcome Prune(const std::function<bool(const std::string&)>& exists,
                     int64_t& removed_files) override;
  StoreOutcome Stats(LibraryStats& out) override;
  StoreOutcome SearchCts(const std::string& text, int limit, std::vector<CtInfo>& out) override;
  StoreOutcome FindCtsBySerial(const std::string& serial, std::vector<CtInfo>& out) override;
  StoreOutcome CtTaps(const std::string& ct_key, std::vector<std::string>& out) override;
  StoreOutcome History(const std::string& ct_key, const std::string& tap,
                       std::vector<TestRow>& out) override;
  StoreOutcome SetBaseline(const std::string& content_hash, bool& found) override;
  StoreOutcome CircuitTests(const std::string& station, const std::string& circuit,
                            const std::string& tap, double nameplate_ratio,
                            const std::string& except_ct_key, std::vector<CtTestRow>& out) override;
  StoreOutcome RecordTests(const std::string& content_hash, std::vector<CtTestRow>& out) override;
  StoreOutcome FindReference(const std::string& ct_key, std::string& text, bool& found) override;
  StoreOutcome KeepReference(const std::string& ct_key, const std::string& text) override;
  StoreOutcome FindProfile(const std::string& ct_key, std::string& text, bool& found) override;
  StoreOutcome KeepProfile(const std::string& ct_key, const std::string& text) override;
  StoreOutcome ProfiledCts(std::vector<ProfiledCt>& out) override;
  StoreOutcome Fleet(const FleetQuery& query, FleetPage& out) override;
  StoreOutcome FleetTally(const FleetQuery& query, const TallyBounds& bounds,
                          std::vector<StationTally>& out) override;
  StoreOutcome SetTrendBands(const TrendBands& bands) override;
  // The bands the library's stored states were worked out with.
  const TrendBands& StateBands() const { return bands_; }

 private:
  StoreOutcome Failure(const std::string& what);
  bool Exec(const std::string& sql, const std::vector<SqlValue>& params = {},
            std::vector<SqlRow>* rows = nullptr);
  StoreOutcome InWriteTransaction(const std::function<bool()>& work, const std::string& what);
  bool CreateSchema();
  bool MigrateFrom(int version);
  bool HasColumn(const std::string& table, const std::string& column, bool& has);
  bool AddRecordRows(const RecordEntry& entry, AddResult& result);
  bool DropOrphans();
  bool ReadStateBands();
  // Works out the fleet facts of the CTs `where` picks (a condition on
  // cts c; empty: every CT) and stores them.
  bool Restate(const std::string& where, const std::vector<SqlValue>& params);
  bool RestateKey(const std::string& ct_key);
  // The CTs whose records this transaction changed.
  bool RestateChanged();

  std::unique_ptr<SqlConnection> db_;
  TrendBands bands_;
  std::set<int64_t> changed_cts_;
};

}  // namespace kova

#pragma once
// The record library's storage: SQLite on this PC or a team's PostgreSQL
// server, one schema. Every operation returns a typed outcome; nothing
// throws.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "assess/bands.h"
#include "library/fleet.h"
#include "library/fleet_tally.h"
#include "library/library_model.h"

namespace kova {

enum class StoreStatus {
  kOk,
  kReadOnly,     // the library may only be read by this user or file
  kNewerSchema,  // made by a newer program: left alone
  kFailed,       // the database said no; detail has its words
  kMissing,      // no library there, and the opener does not make one
};

struct StoreOutcome {
  StoreStatus status = StoreStatus::kOk;
  std::string detail;
  bool ok() const { return status == StoreStatus::kOk; }
};

// What adding one record file did.
enum class AddResult {
  kAdded,      // a record the library did not have
  kNewPath,    // known content at a new path: a moved or copied file
  kUnchanged,  // the same file again
};

struct LibraryStats {
  int64_t cts = 0, records = 0, files = 0, tests = 0;
  std::string first_test_date, last_test_date;
};

// A CT with an assessment profile kept for it, and its latest record (by
// test date) as the library holds it.
struct ProfiledCt {
  CtInfo ct;
  std::string profile;  // the profile's JSON text, as it was kept
  std::string content_hash, test_date;
  std::string path;            // where that record was last seen
  std::vector<TestRow> tests;  // its tests, in their order in the record
};

// What browsing the library needs: the history, the fleet, the search.
// Callers that only read take this.
class RecordReader {
 public:
  virtual ~RecordReader() = default;
  // True when `file.path` is in the library with this size, file time and
  // inode, so it need not be read again.
  virtual StoreOutcome IsKnownFile(const RecordIdentity& file, bool& known) = 0;
  // Every file path the library holds.
  virtual StoreOutcome FilePaths(std::vector<std::string>& out) = 0;
  virtual StoreOutcome Stats(LibraryStats& out) = 0;
  // CTs whose serial number, station, circuit or manufacturer contains
  // `text` (letter case ignored); all of them for an empty text.
  virtual StoreOutcome SearchCts(const std::string& text, int limit, std::vector<CtInfo>& out) = 0;
  // CTs with this serial number (letter case and surrounding spaces ignored).
  virtual StoreOutcome FindCtsBySerial(const std::string& serial, std::vector<CtInfo>& out) = 0;
  // The taps a CT was tested at.
  virtual StoreOutcome CtTaps(const std::string& ct_key, std::vector<std::string>& out) = 0;
  // Every test of one CT at one tap, in date order.
  virtual StoreOutcome History(const std::string& ct_key, const std::string& tap,
                               std::vector<TestRow>& out) = 0;
  // Tests at tap `tap` and nameplate ratio `nameplate_ratio` of the CTs of
  // one station and circuit (letter case and surrounding spaces ignored),
  // but not of the CT `except_ct_key`: the sister phases' candidates.
  virtual StoreOutcome CircuitTests(const std::string& station, const std::string& circuit,
                                    const std::string& tap, double nameplate_ratio,
                                    const std::string& except_ct_key,
                                    std::vector<CtTestRow>& out) = 0;
  // Every tested tap of the record with this content, with its CT, in tap
  // order; none when the library does not have it.
  virtual StoreOutcome RecordTests(const std::string& content_hash,
                                   std::vector<CtTestRow>& out) = 0;
  // The reference curve kept for a CT (its text, as the user imported it);
  // `found` false when none is kept. Kept by CT key, so it stays when the
  // CT's records are pruned and comes back when they are filed again.
  virtual StoreOutcome FindReference(const std::string& ct_key, std::string& text, bool& found) = 0;
  // The assessment profile kept for a CT (its JSON text), kept like the
  // reference curve.
  virtual StoreOutcome FindProfile(const std::string& ct_key, std::string& text, bool& found) = 0;
  // Every CT the library holds records of and keeps a profile for.
  virtual StoreOutcome ProfiledCts(std::vector<ProfiledCt>& out) = 0;
  // One page of the fleet from the CTs' stored states (one query);
  // FillDue adds the due dates.
  virtual StoreOutcome Fleet(const FleetQuery& query, FleetPage& out) = 0;
  // The CTs `query` matches (its order and paging aside) counted by
  // station and state, with those last tested before each bound (one
  // grouped query); stations in their order.
  virtual StoreOutcome FleetTally(const FleetQuery& query, const TallyBounds& bounds,
                                  std::vector<StationTally>& out) = 0;
};

// What changes the library. Every change that touches a CT's records,
// baseline or profile brings its stored fleet state up to date.
class RecordWriter {
 public:
  virtual ~RecordWriter() = default;
  virtual StoreOutcome AddRecord(const RecordEntry& entry, AddResult& result) = 0;
  // Adds several records in one transaction, which is much faster than one
  // each. A record the database refuses is left out with its words in
  // `refused` (empty for the others), and the rest are kept; an outcome
  // that is not ok (read-only, no transaction) means none was added.
  virtual StoreOutcome AddRecords(const std::vector<RecordEntry>& entries,
                                  std::vector<AddResult>& results,
                                  std::vector<std::string>& refused) = 0;
  // Drops files for which `exists` says false, then the records and CTs
  // no file refers to any more. Baselines and references stay: they belong
  // to the content and the CT, which may be filed again.
  virtual StoreOutcome Prune(const std::function<bool(const std::string&)>& exists,
                             int64_t& removed_files) = 0;
  // Marks the record with this content as its CT's baseline; `found` false
  // when the library does not have it.
  virtual StoreOutcome SetBaseline(const std::string& content_hash, bool& found) = 0;
  virtual StoreOutcome KeepReference(const std::string& ct_key, const std::string& text) = 0;
  virtual StoreOutcome KeepProfile(const std::string& ct_key, const std::string& text) = 0;
  // The bands the stored states are worked out with. The library keeps the
  // bands last set; other bands work out every CT's state again.
  virtual StoreOutcome SetTrendBands(const TrendBands& bands) = 0;
};

class RecordStore : public RecordReader, public RecordWriter {};

}  // namespace kova

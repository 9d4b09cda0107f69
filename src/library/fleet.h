#pragma once
// The fleet: every CT of the library at a glance, with the state of its
// latest tests, its assessment verdict and when it is due for a retest. The
// state is worked out here when a CT's records change and kept by the store,
// so a page of the fleet is one query of stored values.

#include <cstdint>
#include <string>
#include <vector>

#include "assess/bands.h"
#include "base/json.h"
#include "library/library_model.h"
#include "library/shown_date.h"

namespace kova {

// In rising severity: a filter "at or above" compares these numbers, and
// the store keeps them as they are.
enum class FleetState : int { kNone = 0, kOk = 1, kWarn = 2, kAlarm = 3, kFail = 4 };
// "", "OK", "WARN", "ALARM", "FAIL".
const char* FleetStateText(FleetState state);
// "warn", "ALARM", ...; false for any other word.
bool ParseFleetState(const std::string& text, FleetState& state);
// A number read back from the store; out of range is no state.
FleetState FleetStateFromNumber(int64_t n);

// The bands as the library keeps them beside its states: six numbers, exact.
std::string TrendBandsText(const TrendBands& bands);
// False (and `bands` untouched) for text that is not six positive numbers.
bool TrendBandsFromText(const std::string& text, TrendBands& bands);

// What the store keeps of a CT besides its identity.
struct FleetFacts {
  int64_t records = 0, taps = 0;
  std::string first_test_date, last_test_date;  // "YYYY-MM-DD hh:mm:ss"
  FleetState state = FleetState::kNone;
  std::string verdict;  // "PASS", "FAIL", "NOT ASSESSED"; empty without a profile
};

// The state of one tap's latest test: the worst of its changes against the
// baseline and the previous test (ratio, excitation, Rct75), and FAIL when
// the plan failed it. kNone for no tests.
FleetState LatestTestState(std::vector<TestRow> tests, const TrendBands& bands);

// A CT's facts from every test of all its records (any order). `profile` is
// the assessment profile kept for it (its JSON text), empty for none: the
// latest record is assessed from the library's values.
FleetFacts CtFleetFacts(const std::vector<TestRow>& tests, int64_t records,
                        const std::string& profile, const TrendBands& bands);

// Dates: "YYYY-MM-DD" (a longer date-time text is read by its first ten
// characters). Empty for a text that is no date.
std::string AddYears(const std::string& date, int years);
std::string AddDays(const std::string& date, int days);
// The day a CT last tested on `last_test_date` is due again.
std::string DueDate(const std::string& last_test_date, int retest_years);

// Every column of the fleet table, by which it can also be sorted.
enum class FleetColumn {
  kSerial,
  kManufacturer,
  kStation,
  kCircuit,
  kModel,
  kRecords,
  kTaps,
  kFirstTest,
  kLastTest,
  kState,
  kVerdict,
  kDue,
};
// "serial", "manufacturer", ..., "due": the names of --sort and of the
// JSON fields' columns.
const char* FleetColumnName(FleetColumn column);
bool ParseFleetColumn(const std::string& name, FleetColumn& column);
// "Serial number", "Manufacturer", ...: the column's heading in the window,
// the fleet report and the web page.
const char* FleetColumnTitle(FleetColumn column);
const std::vector<FleetColumn>& FleetColumns();

// What the user asks of the fleet.
struct FleetFilter {
  std::string text;  // in serial, station, circuit or manufacturer; case ignored
  std::string station, circuit, manufacturer;  // whole fields; case and spaces ignored
  FleetState min_state = FleetState::kNone;    // at or above this state
  bool overdue = false;                        // due before today
  int due_within_days = -1;                    // due on or before today + this; -1: any
  std::string tested_from, tested_to;          // a test on these days or between; "" open
  FleetColumn sort = FleetColumn::kSerial;
  bool descending = false;
  int limit = 100, offset = 0;
};

// The same, as the store runs it: every date rule made a bound on the
// stored dates, so no database needs date arithmetic.
struct FleetQuery {
  std::string text, station, circuit, manufacturer;  // normalised (NormalizeIdentityText)
  FleetState min_state = FleetState::kNone;
  std::string last_test_before;  // the latest test is before this date; "" any
  std::string tested_from;       // some test on or after this date; "" any
  std::string tested_before;     // ... and before this date; "" any
  FleetColumn sort = FleetColumn::kSerial;
  bool descending = false;
  int limit = 100, offset = 0;
};
// `today` is "YYYY-MM-DD".
FleetQuery MakeFleetQuery(const FleetFilter& filter, const std::string& today, int retest_years);

// One CT of the fleet.
struct FleetRow {
  CtInfo ct;  // its records in ct.records, its latest test in ct.last_test_date
  FleetFacts facts;
  std::string due_date;  // filled by FillDue
  bool overdue = false;
};
struct FleetPage {
  std::vector<FleetRow> rows;
  int64_t total = 0;  // CTs matching the filter, on every page
};

void FillDue(FleetPage& page, const std::string& today, int retest_years);

// The query's rules over rows in memory: what the store's one query must
// give, for checking it and for callers without a store.
bool FleetRowMatches(const FleetRow& row, const FleetQuery& query);
// The query's order: its column, then the CT key.
bool FleetRowBefore(const FleetRow& a, const FleetRow& b, const FleetQuery& query);
FleetPage QueryFleetRows(std::vector<FleetRow> rows, const FleetQuery& query);

// The table's texts (Windows-1252), one per FleetColumns() entry; the
// dates as `dates` shows them (ISO for files).
std::vector<std::string> FleetCells(const FleetRow& row, DateStyle dates = DateStyle::kIso);
// RFC 4180 text in UTF-8 with a header line; JSON with the same fields.
std::string FleetCsv(const FleetPage& page);
JsonValue FleetJson(const FleetPage& page);

}  // namespace kova

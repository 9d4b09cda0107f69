// The record library: importing 10,000 record files (2,000 CTs tested five
// times, made by the simulated instrument) into an empty SQLite library and
// again unchanged; one CT's history and a search with 100,000 records in
// the library; the fleet's first page, filtered by state and by overdue,
// and filing one record with its state, in a library of 100,000 records
// of mixed states. With KOVA_BENCH_PG set to a postgresql:// URI of an empty
// database the same runs against PostgreSQL; KOVA_BENCH_PG_FOUR (another
// empty database) takes four importers at once.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <thread>

#include "analysis/read_record.h"
#include "base/format.h"
#include "library/fleet.h"
#include "library/history.h"
#include "library/library_import.h"
#include "library/record_entry.h"
#include "library_stores/open_library.h"
#include "library_support/library_records.h"
#include "support/record_fixtures.h"

namespace kova {
namespace {
namespace fs = std::filesystem;

const std::string& RecordFolder() {
  static const std::string folder = [] {
    const std::string f = TempFolder("library-bench-records");
    WriteLibraryRecords(f, {2000, 5, 0, ""});
    return f;
  }();
  return folder;
}

std::string PostgresLocation() {
  const char* pg = std::getenv("KOVA_BENCH_PG");
  return pg ? pg : "";
}

std::unique_ptr<SqlRecordStore> MustOpen(const std::string& location) {
  StoreOutcome outcome;
  auto store = OpenLibrary(location, outcome);
  if (!store) {
    std::fprintf(stderr, "%s\n", outcome.detail.c_str());
    std::abort();
  }
  return store;
}

void BM_ImportIntoEmptySqlite(benchmark::State& state) {
  const std::string folder = RecordFolder();
  int n = 0;
  for (auto _ : state) {
    state.PauseTiming();
    const std::string location = TempFolder(Format("import-%d", n++)) + "/library.sqlite";
    auto store = MustOpen(location);
    state.ResumeTiming();
    const ImportSummary s = ImportRecordFiles(*store, {folder}, {});
    if (s.added != 10000) state.SkipWithError("not every record was added");
    state.PauseTiming();
    // The second import of the same folder: nothing changed.
    const auto start = std::chrono::steady_clock::now();
    const ImportSummary again = ImportRecordFiles(*store, {folder}, {});
    const double secs =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (again.unchanged != 10000) state.SkipWithError("the second import changed something");
    state.counters["reimport_s"] = secs;
    state.ResumeTiming();
  }
}
BENCHMARK(BM_ImportIntoEmptySqlite)->Unit(benchmark::kMillisecond)->Iterations(1);

// A library of 100,000 records (20,000 CTs x 5 tests) filled from entries
// of one simulated record, each with its own CT, date and content hash.
SqlRecordStore& BigLibrary(const std::string& location) {
  static std::map<std::string, std::unique_ptr<SqlRecordStore>> libraries;
  auto& store = libraries[location];
  if (store) return *store;
  store = MustOpen(location);
  LibraryStats st;
  store->Stats(st);
  if (st.records >= 100000) return *store;
  FillLibrary(*store, 20000, 5, TempFolder("big-sample"));
  return *store;
}

void History(benchmark::State& state, const std::string& location) {
  SqlRecordStore& store = BigLibrary(location);
  std::vector<CtInfo> cts;
  store.FindCtsBySerial(LibrarySerial(12345), cts);
  if (cts.size() != 1) return state.SkipWithError("the CT is missing");
  std::vector<TestRow> rows;
  for (auto _ : state) {
    store.History(cts[0].key, rows.empty() ? "X1-X5" : rows[0].tap, rows);
    auto h = BuildHistory(rows, TrendBands());
    benchmark::DoNotOptimize(h.data());
  }
  if (rows.size() != 5) state.SkipWithError("not five tests");
}

void Search(benchmark::State& state, const std::string& location) {
  SqlRecordStore& store = BigLibrary(location);
  std::vector<CtInfo> cts;
  for (auto _ : state) store.SearchCts("station 42", 200, cts);
  if (cts.empty()) state.SkipWithError("nothing found");
}

void BM_HistorySqlite100k(benchmark::State& s) {
  History(s, TempFolder("big") + "/library.sqlite");
}
void BM_SearchSqlite100k(benchmark::State& s) { Search(s, TempFolder("big") + "/library.sqlite"); }
BENCHMARK(BM_HistorySqlite100k)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SearchSqlite100k)->Unit(benchmark::kMillisecond);

void BM_HistoryPostgres100k(benchmark::State& s) {
  if (PostgresLocation().empty()) return s.SkipWithError("KOVA_BENCH_PG is not set");
  History(s, PostgresLocation());
}
void BM_SearchPostgres100k(benchmark::State& s) {
  if (PostgresLocation().empty()) return s.SkipWithError("KOVA_BENCH_PG is not set");
  Search(s, PostgresLocation());
}
BENCHMARK(BM_HistoryPostgres100k)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SearchPostgres100k)->Unit(benchmark::kMillisecond);

// The fleet's library: 20,000 CTs x 5 tests, one in ten of them warning,
// one in twenty an alarm, one in ten failed (MixedState).
SqlRecordStore& FleetLibrary(const std::string& location) {
  static std::map<std::string, std::unique_ptr<SqlRecordStore>> libraries;
  auto& store = libraries[location];
  if (store) return *store;
  store = MustOpen(location);
  LibraryStats st;
  store->Stats(st);
  if (st.records < 100000) FillLibrary(*store, 20000, 5, TempFolder("fleet-sample"), true);
  return *store;
}

std::string FleetSqlite() { return TempFolder("fleet") + "/library.sqlite"; }

void FleetPageOf(benchmark::State& state, const std::string& location, const FleetFilter& f) {
  SqlRecordStore& store = FleetLibrary(location);
  const FleetQuery q = MakeFleetQuery(f, "2026-06-15", 5);
  FleetPage page;
  for (auto _ : state) {
    if (!store.Fleet(q, page).ok()) return state.SkipWithError("the fleet query failed");
    FillDue(page, "2026-06-15", 5);
  }
  state.counters["total"] = static_cast<double>(page.total);
  if (page.rows.empty()) state.SkipWithError("an empty page");
}

FleetFilter FirstPage() { return FleetFilter(); }
FleetFilter WarnOrWorse() {
  FleetFilter f;
  f.min_state = FleetState::kWarn;
  return f;
}
FleetFilter Overdue() {
  FleetFilter f;
  f.overdue = true;
  f.sort = FleetColumn::kDue;
  return f;
}

void BM_FleetFirstPageSqlite100k(benchmark::State& s) {
  FleetPageOf(s, FleetSqlite(), FirstPage());
}
void BM_FleetWarnOrWorseSqlite100k(benchmark::State& s) {
  FleetPageOf(s, FleetSqlite(), WarnOrWorse());
}
void BM_FleetOverdueSqlite100k(benchmark::State& s) { FleetPageOf(s, FleetSqlite(), Overdue()); }
BENCHMARK(BM_FleetFirstPageSqlite100k)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FleetWarnOrWorseSqlite100k)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FleetOverdueSqlite100k)->Unit(benchmark::kMillisecond);

void BM_FleetFirstPagePostgres100k(benchmark::State& s) {
  if (PostgresLocation().empty()) return s.SkipWithError("KOVA_BENCH_PG is not set");
  FleetPageOf(s, PostgresLocation(), FirstPage());
}
void BM_FleetWarnOrWorsePostgres100k(benchmark::State& s) {
  if (PostgresLocation().empty()) return s.SkipWithError("KOVA_BENCH_PG is not set");
  FleetPageOf(s, PostgresLocation(), WarnOrWorse());
}
BENCHMARK(BM_FleetFirstPagePostgres100k)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FleetWarnOrWorsePostgres100k)->Unit(benchmark::kMillisecond);

// The summary line and the states per station: one grouped query over
// every CT.
void FleetTallyOf(benchmark::State& state, const std::string& location) {
  SqlRecordStore& store = FleetLibrary(location);
  const FleetQuery q = MakeFleetQuery(FleetFilter(), "2026-06-15", 5);
  const TallyBounds bounds = FleetTallyBounds("2026-06-15", 5);
  std::vector<StationTally> tally;
  for (auto _ : state)
    if (!store.FleetTally(q, bounds, tally).ok()) return state.SkipWithError("the tally failed");
  state.counters["stations"] = static_cast<double>(tally.size());
}
void BM_FleetTallySqlite100k(benchmark::State& s) { FleetTallyOf(s, FleetSqlite()); }
void BM_FleetTallyPostgres100k(benchmark::State& s) {
  if (PostgresLocation().empty()) return s.SkipWithError("KOVA_BENCH_PG is not set");
  FleetTallyOf(s, PostgresLocation());
}
BENCHMARK(BM_FleetTallySqlite100k)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FleetTallyPostgres100k)->Unit(benchmark::kMillisecond);

// One record filed into the 100,000: a new test of an existing CT, its
// state worked out again (the CT's five earlier tests read back).
void BM_FileOneRecordWithStateSqlite100k(benchmark::State& state) {
  SqlRecordStore& store = FleetLibrary(FleetSqlite());
  RecordEntry base;
  if (!SampleEntry(TempFolder("fleet-one"), base)) return state.SkipWithError("no sample");
  int n = 0;
  for (auto _ : state) {
    RecordEntry e = base;
    const int ct = (n * 7919) % 20000;
    e.ct.serialnumber = LibrarySerial(ct);
    e.ct.station = Format("STATION %d", ct % 97);
    e.ct.circuit = Format("FEEDER %d", ct % 40);
    e.ct.key = CtKey(e.ct.manufacturer, e.ct.serialnumber);
    e.test_date = Format("2030-06-01 09:%02d:00", n % 60);
    e.identity.content_hash = Format("f%063d", n);
    e.identity.path = Format("/records/new/%d.test", n);
    ++n;
    AddResult result;
    if (!store.AddRecord(e, result).ok() || result != AddResult::kAdded)
      return state.SkipWithError("not filed");
  }
}
BENCHMARK(BM_FileOneRecordWithStateSqlite100k)->Unit(benchmark::kMillisecond)->Iterations(200);

// Four importers of 2,500 records each into one PostgreSQL library: the
// empty database KOVA_BENCH_PG_FOUR names.
void BM_FourImportersPostgres(benchmark::State& state) {
  const char* four = std::getenv("KOVA_BENCH_PG_FOUR");
  const std::string location = four ? four : "";
  if (location.empty()) return state.SkipWithError("KOVA_BENCH_PG_FOUR is not set");
  const std::string folder = RecordFolder();
  std::vector<std::string> quarters[4];
  int i = 0;
  for (const auto& entry : fs::recursive_directory_iterator(folder))
    if (entry.is_regular_file()) quarters[i++ % 4].push_back(entry.path().string());
  for (auto _ : state) {
    std::vector<std::thread> threads;
    int64_t added[4] = {};
    for (int q = 0; q < 4; ++q)
      threads.emplace_back([&, q] {
        auto store = MustOpen(location);
        added[q] = ImportRecordFiles(*store, quarters[q], {}).added;
      });
    for (auto& t : threads) t.join();
    auto store = MustOpen(location);
    LibraryStats st;
    store->Stats(st);
    state.counters["records"] = static_cast<double>(st.records);
    state.counters["added"] = static_cast<double>(added[0] + added[1] + added[2] + added[3]);
  }
}
BENCHMARK(BM_FourImportersPostgres)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
}  // namespace kova

BENCHMARK_MAIN();

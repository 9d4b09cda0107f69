// The fleet on SQLite and PostgreSQL: the states the store keeps are the
// ones the history gives, kept up to date by filing, a baseline, a prune,
// a profile and other bands, worked out for a library of the previous
// schema, and one query per page picks what the core's rules pick.

#include <gtest/gtest.h>

#include <map>

#include "base/format.h"
#include "library/fleet.h"
#include "library/fleet_tally.h"
#include "library/record_entry.h"
#include "library_support/library_records.h"
#include "store_fixture.h"

namespace kova {
namespace {

constexpr int kCts = 20, kTests = 3;

FleetPage All(RecordReader& store) {
  FleetQuery q;
  q.limit = 1000;
  FleetPage page;
  EXPECT_TRUE(store.Fleet(q, page).ok());
  return page;
}

std::map<std::string, FleetState> States(RecordReader& store) {
  std::map<std::string, FleetState> out;
  for (const FleetRow& r : All(store).rows) out[r.ct.serialnumber] = r.facts.state;
  return out;
}

// What the history of each tap says of the CT, as the store has it.
FleetFacts FromHistory(RecordReader& store, const FleetRow& row) {
  std::vector<std::string> taps;
  EXPECT_TRUE(store.CtTaps(row.ct.key, taps).ok());
  std::vector<TestRow> all;
  for (const std::string& tap : taps) {
    std::vector<TestRow> rows;
    EXPECT_TRUE(store.History(row.ct.key, tap, rows).ok());
    all.insert(all.end(), rows.begin(), rows.end());
  }
  return CtFleetFacts(all, row.facts.records, "", TrendBands());
}

class FleetStoreTest : public StoreTest {
 protected:
  void SetUp() override {
    StoreTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    FillLibrary(*store_, kCts, kTests, folder_ + "/sample", true);
    ASSERT_TRUE(SampleEntry(folder_ + "/one", sample_));
  }

  // Files a test of CT `ct` in June of `year`, its Rct75 `factor` times
  // the sample's.
  bool Add(int ct, int year, double factor, char hash) {
    RecordEntry e = sample_;
    e.ct.serialnumber = LibrarySerial(ct);
    e.ct.station = Format("STATION %d", ct % 97);
    e.ct.circuit = Format("FEEDER %d", ct % 40);
    e.ct.key = CtKey(e.ct.manufacturer, e.ct.serialnumber);
    e.test_date = Format("%04d-06-01 09:00:00", year);
    e.identity.content_hash = std::string(64, hash);
    e.identity.path = Format("/records/ct%05d/new%d.test", ct, year);
    for (TestRow& t : e.tests) {
      t.test_date = e.test_date;
      t.rct75 *= factor;
    }
    AddResult result;
    return store_->AddRecord(e, result).ok() && result == AddResult::kAdded;
  }

  RecordEntry sample_;
};

TEST_P(FleetStoreTest, StoredStatesAreTheHistorysAndFollowEveryChange) {
  FleetPage page = All(*store_);
  ASSERT_EQ(page.total, kCts);
  ASSERT_EQ(page.rows.size(), static_cast<size_t>(kCts));
  const FleetState by_drift[] = {FleetState::kOk, FleetState::kWarn, FleetState::kAlarm,
                                 FleetState::kFail};
  for (int n = 0; n < kCts; ++n) {
    const FleetRow& r = page.rows[n];
    ASSERT_EQ(r.ct.serialnumber, LibrarySerial(n));
    const FleetFacts want = FromHistory(*store_, r);
    EXPECT_EQ(r.facts.state, by_drift[MixedState(n)]) << n;
    EXPECT_EQ(r.facts.state, want.state) << n;
    EXPECT_EQ(r.facts.records, kTests);
    EXPECT_EQ(r.facts.taps, want.taps);
    EXPECT_EQ(r.facts.first_test_date, "2000-06-01 09:00:00");
    EXPECT_EQ(r.facts.last_test_date, "2008-06-01 09:00:00");
  }

  // A new record of CT 0, 6 % off: an alarm at once.
  ASSERT_TRUE(Add(0, 2012, 1.06, 'a'));
  page = All(*store_);
  EXPECT_EQ(page.rows[0].facts.state, FleetState::kAlarm);
  EXPECT_EQ(page.rows[0].facts.records, kTests + 1);
  EXPECT_EQ(page.rows[0].facts.last_test_date, "2012-06-01 09:00:00");

  // CT 8 (6 % in 2008) goes on to 7 %: still an alarm against its first
  // test, and OK once the 2008 test is its baseline.
  ASSERT_TRUE(Add(8, 2012, 1.07, 'b'));
  EXPECT_EQ(States(*store_)[LibrarySerial(8)], FleetState::kAlarm);
  bool found = false;
  ASSERT_TRUE(store_->SetBaseline(Format("%064d", 8 * kTests + kTests - 1), found).ok());
  ASSERT_TRUE(found);
  EXPECT_EQ(States(*store_)[LibrarySerial(8)], FleetState::kOk);

  // The warning's CT (6) loses its latest record: its state, count and
  // last test follow.
  int64_t removed = 0;
  ASSERT_TRUE(
      store_
          ->Prune([](const std::string& p) { return p != "/records/ct00006/test2.test"; }, removed)
          .ok());
  EXPECT_EQ(removed, 1);
  page = All(*store_);
  EXPECT_EQ(page.rows[6].facts.state, FleetState::kOk);
  EXPECT_EQ(page.rows[6].facts.records, kTests - 1);
  EXPECT_EQ(page.rows[6].facts.last_test_date, "2004-06-01 09:00:00");

  // Bands wide enough for a 6 % change, kept by the library.
  TrendBands wide;
  wide.resistance_warn_percent = 10;
  wide.resistance_alarm_percent = 20;
  ASSERT_TRUE(store_->SetTrendBands(wide).ok());
  EXPECT_EQ(States(*store_)[LibrarySerial(18)], FleetState::kOk);
  EXPECT_EQ(States(*store_)[LibrarySerial(19)], FleetState::kFail);
  auto again = OpenStore(location_);
  ASSERT_TRUE(again);
  EXPECT_EQ(again->StateBands().resistance_alarm_percent, 20);
}

TEST_P(FleetStoreTest, TheUpgradeWorksOutEveryCtsState) {
  const auto want = States(*store_);
  {
    // A library of the previous schema: the columns are there but hold
    // nothing.
    store_.reset();
    auto db = Connect(location_);
    ASSERT_TRUE(db->Exec("UPDATE cts SET state = 0, records = 0, taps = 0"));
    ASSERT_TRUE(db->Exec("UPDATE library_meta SET value = ? WHERE name = 'schema_version'",
                         {std::to_string(kLibrarySchemaVersion - 1)}));
  }
  store_ = OpenStore(location_);
  ASSERT_TRUE(store_);
  EXPECT_EQ(States(*store_), want);
  EXPECT_EQ(All(*store_).rows.at(3).facts.records, kTests);
}

TEST_P(FleetStoreTest, OneQueryPicksAndOrdersAsTheRulesDo) {
  const std::vector<FleetRow> all = All(*store_).rows;
  auto F = [](auto change) {
    FleetFilter f;
    change(f);
    return f;
  };
  const FleetFilter filters[] = {
      FleetFilter(),
      F([](FleetFilter& f) { f.text = "sn0001"; }),
      F([](FleetFilter& f) { f.station = "station 1"; }),
      F([](FleetFilter& f) { f.circuit = "Feeder 11 "; }),
      F([](FleetFilter& f) { f.manufacturer = "kova sim"; }),
      F([](FleetFilter& f) { f.manufacturer = "sim"; }),
      F([](FleetFilter& f) { f.min_state = FleetState::kWarn; }),
      F([](FleetFilter& f) { f.min_state = FleetState::kAlarm; }),
      F([](FleetFilter& f) { f.overdue = true; }),
      F([](FleetFilter& f) { f.due_within_days = 30; }),
      F([](FleetFilter& f) {
        f.min_state = FleetState::kWarn;
        f.sort = FleetColumn::kState;
        f.descending = true;
        f.limit = 3;
        f.offset = 1;
      }),
      F([](FleetFilter& f) {
        f.sort = FleetColumn::kSerial;
        f.descending = true;
        f.limit = 5;
      }),
      F([](FleetFilter& f) { f.offset = 50; }),
  };
  for (const FleetFilter& filter : filters) {
    // Dates near the library's: the 2008 tests are due in 2013.
    for (const char* today : {"2013-05-31", "2013-06-02"}) {
      const FleetQuery q = MakeFleetQuery(filter, today, 5);
      FleetPage got;
      ASSERT_TRUE(store_->Fleet(q, got).ok());
      const FleetPage want = QueryFleetRows(all, q);
      std::string g, w;
      for (const FleetRow& r : got.rows) g += r.ct.serialnumber + " ";
      for (const FleetRow& r : want.rows) w += r.ct.serialnumber + " ";
      EXPECT_EQ(g, w) << today << " text '" << filter.text << "' station '" << filter.station
                      << "' state " << static_cast<int>(filter.min_state);
      EXPECT_EQ(got.total, want.total);
      // The summary and the chart count what the page lists, in one query.
      const TallyBounds bounds = FleetTallyBounds(today, 5);
      std::vector<StationTally> tally;
      ASSERT_TRUE(store_->FleetTally(q, bounds, tally).ok());
      const std::vector<StationTally> expected = TallyFleetRows(all, q, bounds);
      ASSERT_EQ(tally.size(), expected.size());
      for (size_t i = 0; i < tally.size(); ++i) {
        EXPECT_EQ(tally[i].station, expected[i].station);
        for (int k = 0; k < kFleetStateCount; ++k)
          EXPECT_EQ(tally[i].cts[k], expected[i].cts[k]) << tally[i].station << " state " << k;
        EXPECT_EQ(tally[i].overdue, expected[i].overdue) << tally[i].station << " " << today;
        EXPECT_EQ(tally[i].due, expected[i].due) << tally[i].station << " " << today;
      }
      EXPECT_EQ(SumTallies(tally).cts, want.total);
    }
  }
  // Tested between two days: the store looks at every test.
  FleetFilter between;
  between.tested_from = "2004-06-01";
  between.tested_to = "2004-06-01";
  FleetPage got;
  ASSERT_TRUE(store_->Fleet(MakeFleetQuery(between, "2026-01-01", 5), got).ok());
  EXPECT_EQ(got.total, kCts);
  between.tested_from = between.tested_to = "2005-01-01";
  ASSERT_TRUE(store_->Fleet(MakeFleetQuery(between, "2026-01-01", 5), got).ok());
  EXPECT_EQ(got.total, 0);
}

INSTANTIATE_TEST_SUITE_P(Backends, FleetStoreTest,
                         testing::Values(Backend::kSqlite, Backend::kPostgres), BackendName);

}  // namespace
}  // namespace kova

// The fleet's rules without a database: a CT's state from its tests, due
// dates, what a filter picks and in which order.

#include "library/fleet.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kova {
namespace {

// One test of tap X1-X5: its year, Rct75 (0: none) and the plan's word.
struct T {
  int year;
  double rct;
  const char* pass_fail = "PASS";
  bool baseline = false;
  double ratio = 0;  // measured, of a nameplate ratio of 400; 0: none
  const char* tap = "X1-X5";
};

std::vector<TestRow> Rows(const std::vector<T>& tests) {
  std::vector<TestRow> out;
  for (const T& t : tests) {
    TestRow r;
    r.tap = t.tap;
    r.test_date = std::to_string(t.year) + "-05-01 10:00:00";
    r.content_hash = "h" + std::to_string(t.year);
    r.has_resistance = t.rct > 0;
    r.rct75 = t.rct;
    r.pass_fail = t.pass_fail;
    r.baseline = t.baseline;
    r.has_ratio = t.ratio > 0;
    r.nameplate_ratio = 400;
    r.measured_ratio = t.ratio;
    out.push_back(r);
  }
  return out;
}

TEST(FleetTest, TheStateIsTheWorstOfTheLatestTestsChangesAndItsPlan) {
  struct Case {
    const char* what;
    std::vector<T> tests;
    FleetState want;
  } cases[] = {
      {"no test", {}, FleetState::kNone},
      {"one test compares with nothing", {{2010, 1.0}}, FleetState::kOk},
      {"one failed test", {{2010, 1.0, "FAIL"}}, FleetState::kFail},
      {"a small change", {{2010, 1.0}, {2014, 1.01}}, FleetState::kOk},
      {"3 % is a warning", {{2010, 1.0}, {2014, 1.03}}, FleetState::kWarn},
      {"6 % is an alarm", {{2010, 1.0}, {2014, 1.06}}, FleetState::kAlarm},
      {"creeping: against the baseline",
       {{2010, 1.0}, {2014, 1.04}, {2018, 1.06}},
       FleetState::kAlarm},
      {"the marked baseline",
       {{2010, 1.0}, {2014, 1.06, "PASS", true}, {2018, 1.07}},
       FleetState::kOk},
      {"an old alarm then back",
       {{2010, 1.0}, {2014, 1.2}, {2018, 1.2, "PASS", true}},
       FleetState::kOk},
      {"latest by date, not position", {{2018, 1.0}, {2010, 1.06}}, FleetState::kAlarm},
      {"a failed plan outranks an alarm", {{2010, 1.0}, {2014, 1.06, "fail"}}, FleetState::kFail},
      {"an earlier failure is history", {{2010, 1.0, "FAIL"}, {2014, 1.0}}, FleetState::kOk},
      {"one turn of the ratio",
       {{2010, 0, "PASS", false, 400}, {2014, 0, "PASS", false, 401}},
       FleetState::kWarn},
      {"three turns",
       {{2010, 0, "PASS", false, 400}, {2014, 0, "PASS", false, 403}},
       FleetState::kAlarm},
  };
  for (const Case& c : cases)
    EXPECT_EQ(FleetStateText(LatestTestState(Rows(c.tests), TrendBands())),
              std::string(FleetStateText(c.want)))
        << c.what;
}

TEST(FleetTest, ACtsFactsTakeItsWorstTapAndItsDates) {
  const std::vector<TestRow> rows = Rows({{2012, 1.0},
                                          {2016, 1.01},
                                          {2012, 2.0, "PASS", false, 0, "X2-X5"},
                                          {2016, 2.2, "PASS", false, 0, "X2-X5"}});
  FleetFacts f = CtFleetFacts(rows, 2, "", TrendBands());
  EXPECT_EQ(f.records, 2);
  EXPECT_EQ(f.taps, 2);
  EXPECT_EQ(f.first_test_date.substr(0, 10), "2012-05-01");
  EXPECT_EQ(f.last_test_date.substr(0, 10), "2016-05-01");
  EXPECT_EQ(f.state, FleetState::kAlarm);
  EXPECT_EQ(f.verdict, "");
  // Wider bands: the same tests are a warning.
  TrendBands wide;
  wide.resistance_alarm_percent = 20;
  EXPECT_EQ(CtFleetFacts(rows, 2, "", wide).state, FleetState::kWarn);
  // A profile that cannot be read leaves the CT not assessed.
  EXPECT_EQ(CtFleetFacts(rows, 2, "{", TrendBands()).verdict, "NOT ASSESSED");
}

TEST(FleetTest, DatesAndDueDates) {
  struct Case {
    std::string got, want;
  } cases[] = {
      {AddYears("2019-03-01 09:00:00", 5), "2024-03-01"},
      {AddYears("2020-02-29", 5), "2025-02-28"},
      {AddYears("2020-02-29", 4), "2024-02-29"},
      {AddYears("2020-13-01", 1), ""},
      {AddYears("2020-02-30", 1), ""},
      {AddYears("", 1), ""},
      {AddYears("20x0-01-01", 1), ""},
      {AddDays("2024-12-31", 1), "2025-01-01"},
      {AddDays("2024-03-01", -1), "2024-02-29"},
      {AddDays("2023-03-01", -1), "2023-02-28"},
      {AddDays("2000-01-01", 366), "2001-01-01"},
      {DueDate("2021-06-15 08:00:00", 5), "2026-06-15"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.got, c.want);
}

// The store compares stored dates with the bound MakeFleetQuery works out;
// every day of eight years, around leap days, is due as DueDate says.
TEST(FleetTest, OverdueAndDueWithinAgreeWithTheDueDateOnEveryDay) {
  for (const char* today : {"2026-06-15", "2028-02-29", "2028-02-28", "2027-03-01"})
    for (int years : {1, 4, 5})
      for (int within : {-1, 0, 1, 30, 365}) {
        FleetFilter f;
        f.overdue = within < 0;
        f.due_within_days = within;
        const FleetQuery q = MakeFleetQuery(f, today, years);
        ASSERT_FALSE(q.last_test_before.empty());
        const std::string bound = within < 0 ? today : AddDays(today, within + 1);
        for (int day = 0; day < 8 * 366; ++day) {
          FleetRow r;
          r.facts.last_test_date = AddDays("2017-01-01", day) + " 12:00:00";
          const bool due = DueDate(r.facts.last_test_date, years) < bound;
          ASSERT_EQ(FleetRowMatches(r, q), due) << today << " years " << years << " within "
                                                << within << " last " << r.facts.last_test_date;
        }
      }
}

FleetRow Row(const char* serial, const char* station, const char* circuit, FleetState state,
             int last_year, int records, const char* manufacturer = "KOVA") {
  FleetRow r;
  r.ct.serialnumber = serial;
  r.ct.manufacturer = manufacturer;
  r.ct.station = station;
  r.ct.circuit = circuit;
  r.ct.key = CtKey(manufacturer, serial);
  r.facts.state = state;
  r.facts.records = records;
  r.facts.first_test_date = "2005-01-01 00:00:00";
  r.facts.last_test_date = std::to_string(last_year) + "-01-01 00:00:00";
  return r;
}

std::string Serials(const FleetPage& page) {
  std::string out;
  for (const FleetRow& r : page.rows) out += (out.empty() ? "" : " ") + r.ct.serialnumber;
  return out;
}

TEST(FleetTest, FiltersSortingAndPaging) {
  const std::vector<FleetRow> rows = {
      Row("A1", "STATION 1", "FEEDER 1", FleetState::kOk, 2024, 3),
      Row("B2", "STATION 12", "FEEDER 1", FleetState::kWarn, 2019, 1),
      Row("C3", "Station 1 ", "FEEDER 2", FleetState::kAlarm, 2015, 5),
      Row("D4", "NORTH", "FEEDER 12", FleetState::kFail, 2022, 2, "OTHER"),
      Row("E5", "NORTH", "FEEDER 2", FleetState::kNone, 2010, 4),
  };
  struct Case {
    const char* what;
    FleetFilter filter;
    const char* want;
    int64_t total;
  };
  auto F = [](auto change) {
    FleetFilter f;
    change(f);
    return f;
  };
  const Case cases[] = {
      {"all, by serial", FleetFilter(), "A1 B2 C3 D4 E5", 5},
      {"text anywhere, any case", F([](FleetFilter& f) { f.text = "station 1"; }), "A1 B2 C3", 3},
      {"a station is a whole field", F([](FleetFilter& f) { f.station = " station 1"; }), "A1 C3",
       2},
      {"a circuit too", F([](FleetFilter& f) { f.circuit = "feeder 1"; }), "A1 B2", 2},
      {"manufacturer", F([](FleetFilter& f) { f.manufacturer = "other"; }), "D4", 1},
      {"warnings and worse", F([](FleetFilter& f) { f.min_state = FleetState::kWarn; }), "B2 C3 D4",
       3},
      {"alarms and worse", F([](FleetFilter& f) { f.min_state = FleetState::kAlarm; }), "C3 D4", 2},
      {"overdue (five years)", F([](FleetFilter& f) { f.overdue = true; }), "B2 C3 E5", 3},
      {"due within 100 days", F([](FleetFilter& f) { f.due_within_days = 100; }), "B2 C3 E5", 3},
      {"due within a year", F([](FleetFilter& f) { f.due_within_days = 365; }), "B2 C3 D4 E5", 4},
      {"tested after 2020", F([](FleetFilter& f) { f.tested_from = "2020-01-01"; }), "A1 D4", 2},
      {"worst first", F([](FleetFilter& f) {
         f.sort = FleetColumn::kState;
         f.descending = true;
       }),
       "D4 C3 B2 A1 E5", 5},
      {"most records first", F([](FleetFilter& f) {
         f.sort = FleetColumn::kRecords;
         f.descending = true;
       }),
       "C3 E5 A1 D4 B2", 5},
      {"due first", F([](FleetFilter& f) { f.sort = FleetColumn::kDue; }), "E5 C3 B2 D4 A1", 5},
      {"by station, then key", F([](FleetFilter& f) { f.sort = FleetColumn::kStation; }),
       "E5 D4 A1 C3 B2", 5},
      {"the second page", F([](FleetFilter& f) {
         f.limit = 2;
         f.offset = 2;
       }),
       "C3 D4", 5},
      {"past the end", F([](FleetFilter& f) {
         f.limit = 2;
         f.offset = 9;
       }),
       "", 5},
  };
  for (const Case& c : cases) {
    const FleetPage page = QueryFleetRows(rows, MakeFleetQuery(c.filter, "2026-06-15", 5));
    EXPECT_EQ(Serials(page), c.want) << c.what;
    EXPECT_EQ(page.total, c.total) << c.what;
  }
}

TEST(FleetTest, NamesOfStatesAndColumnsReadBack) {
  for (FleetState s : {FleetState::kOk, FleetState::kWarn, FleetState::kAlarm, FleetState::kFail}) {
    FleetState back = FleetState::kNone;
    EXPECT_TRUE(ParseFleetState(FleetStateText(s), back));
    EXPECT_EQ(back, s);
  }
  FleetState s = FleetState::kNone;
  EXPECT_TRUE(ParseFleetState(" alarm", s));
  EXPECT_EQ(s, FleetState::kAlarm);
  EXPECT_FALSE(ParseFleetState("bad", s));
  EXPECT_EQ(FleetStateFromNumber(9), FleetState::kNone);
  for (FleetColumn c : FleetColumns()) {
    FleetColumn back = FleetColumn::kSerial;
    EXPECT_TRUE(ParseFleetColumn(FleetColumnName(c), back));
    EXPECT_EQ(back, c);
  }
  FleetColumn c;
  EXPECT_FALSE(ParseFleetColumn("Serial", c));
}

TEST(FleetTest, TheLibrarysBandsReadBackOrNotAtAll) {
  TrendBands odd;
  odd.resistance_alarm_percent = 7.25;
  odd.ratio_turns = 0.1;
  TrendBands back;
  ASSERT_TRUE(TrendBandsFromText(TrendBandsText(odd), back));
  EXPECT_EQ(TrendBandsText(back), TrendBandsText(odd));
  for (const char* bad : {"", "1,3,5,10,2", "1,3,5,10,2,5,", "1,3,5,10,2,0", "1,3,5,10,2,-5",
                          "nan,3,5,10,2,5", "inf,3,5,10,2,5", "0x1,3,5,10,2,5", "1,3,5,10,2,5 x",
                          "1, 3,5,10,2,5", "1,3,5,10,2,1e999"}) {
    TrendBands b;
    b.ratio_turns = 42;
    EXPECT_FALSE(TrendBandsFromText(bad, b)) << bad;
    EXPECT_EQ(b.ratio_turns, 42) << bad;
  }
}

TEST(FleetTest, CsvAndJsonCarryTheSameFields) {
  FleetPage page;
  page.rows = {Row("S,1", "Z\xFCrich", "F \"1\"", FleetState::kAlarm, 2019, 3)};
  page.total = 7;
  FillDue(page, "2026-06-15", 5);
  EXPECT_EQ(page.rows[0].due_date, "2024-01-01");
  EXPECT_TRUE(page.rows[0].overdue);
  EXPECT_EQ(FleetCsv(page),
            "serial,manufacturer,station,circuit,model,records,taps,first_test,last_test,state,"
            "verdict,due,overdue\r\n"
            "\"S,1\",KOVA,Z\xC3\xBCrich,\"F \"\"1\"\"\",,3,0,2005-01-01,2019-01-01,ALARM,,"
            "2024-01-01,yes\r\n");
  const std::string json = FleetJson(page).Dump(0);
  for (const char* part : {"\"total\":7", "\"serial\":\"S,1\"", "\"station\":\"Z\xC3\xBCrich\"",
                           "\"records\":3", "\"state\":\"ALARM\"", "\"due\":\"2024-01-01\"",
                           "\"overdue\":true", "\"last_test\":\"2019-01-01\""})
    EXPECT_NE(json.find(part), std::string::npos) << part << " in " << json;
}

}  // namespace
}  // namespace kova

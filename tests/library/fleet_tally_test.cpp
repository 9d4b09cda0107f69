// The fleet counted and drawn: the summary line, the states-per-station
// bars, and the fleet report's pages, without a database.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/path.h"
#include "library/fleet_chart.h"
#include "library/fleet_report.h"
#include "library/fleet_tally.h"
#include "report/recording_surface.h"
#include "support/drawing_text.h"
#include "support/golden.h"

namespace kova {
namespace {

StationTally Station(const std::string& name, int64_t none, int64_t ok, int64_t warn, int64_t alarm,
                     int64_t fail, int64_t overdue = 0, int64_t due = 0) {
  StationTally t;
  t.station = name;
  const int64_t counts[] = {none, ok, warn, alarm, fail};
  for (int k = 0; k < kFleetStateCount; ++k) t.cts[k] = counts[k];
  t.overdue = overdue;
  t.due = due;
  return t;
}

TEST(FleetTally, TheSummaryLineCountsEveryStation) {
  const struct {
    std::vector<StationTally> tallies;
    const char* text;
  } cases[] = {
      {{}, "0 CTs: 0 alarms, 0 warnings, 0 failures; 0 overdue, 0 due within 90 days"},
      {{Station("A", 0, 1, 0, 0, 0)},
       "1 CT: 0 alarms, 0 warnings, 0 failures; 0 overdue, 0 due within 90 days"},
      // Due soon leaves out what is overdue already.
      {{Station("A", 2, 30, 10, 3, 1, 12, 15), Station("B", 0, 5, 7, 1, 0, 0, 2)},
       "59 CTs: 4 alarms, 17 warnings, 1 failure; 12 overdue, 5 due within 90 days"},
  };
  for (const auto& c : cases) EXPECT_EQ(FleetSummaryText(SumTallies(c.tallies)), c.text);
}

// Counted in memory as the store counts: overdue and due soon agree with
// each row's own due date on the days around it.
TEST(FleetTally, OverdueAndDueSoonAgreeWithEachRowsDueDate) {
  std::vector<FleetRow> rows;
  const char* last_tests[] = {"2021-03-01 10:00:00", "2021-02-28 09:00:00", "2020-02-29 08:00:00",
                              "2021-06-01 12:00:00", "2016-01-01 00:00:00"};
  for (const char* last : last_tests) {
    FleetRow r;
    r.ct.key = r.ct.serialnumber = last;
    r.ct.station = "S";
    r.facts.last_test_date = r.ct.last_test_date = last;
    r.facts.state = FleetState::kOk;
    rows.push_back(r);
  }
  for (const char* today : {"2026-02-27", "2026-02-28", "2026-03-01", "2026-03-02", "2026-03-03",
                            "2025-12-01", "2026-03-04"}) {
    const TallyBounds bounds = FleetTallyBounds(today, 5, 90);
    const std::vector<StationTally> t = TallyFleetRows(rows, FleetQuery(), bounds);
    ASSERT_EQ(t.size(), 1u);
    FleetPage page;
    page.rows = rows;
    FillDue(page, today, 5);
    int64_t overdue = 0, due = 0;
    const std::string soon = AddDays(today, 90);
    for (const FleetRow& r : page.rows) {
      overdue += r.overdue;
      due += r.due_date <= soon;
    }
    EXPECT_EQ(t[0].overdue, overdue) << today;
    EXPECT_EQ(t[0].due, due) << today;
  }
}

TEST(FleetChart, StationsNeedingAttentionComeFirstAndTheRestShareABar) {
  std::vector<StationTally> tallies;
  for (int i = 0; i < 13; ++i)
    tallies.push_back(Station("Station " + std::to_string(10 + i), 1, 10 + i, 0, 0, 0));
  tallies[7].cts[static_cast<int>(FleetState::kAlarm)] = 2;
  tallies[3].cts[static_cast<int>(FleetState::kFail)] = 1;
  tallies[5].cts[static_cast<int>(FleetState::kWarn)] = 4;
  const std::vector<StationTally> bars = ChartBars(tallies);
  ASSERT_EQ(bars.size(), static_cast<size_t>(kChartStations));
  EXPECT_EQ(bars[0].station, "Station 13");  // a failure
  EXPECT_EQ(bars[1].station, "Station 17");  // alarms
  EXPECT_EQ(bars[2].station, "Station 15");  // warnings
  EXPECT_EQ(bars[3].station, "Station 22");  // then the largest
  EXPECT_EQ(bars.back().station, "Other stations (4)");
  int64_t all = 0, shown = 0;
  for (const StationTally& t : tallies) all += t.Total();
  for (const StationTally& t : bars) shown += t.Total();
  EXPECT_EQ(shown, all);
}

// Every bar stays inside the chart, its segments meet end to end, and the
// longest bar is the largest station's.
TEST(FleetChart, BarsFitTheirBoxAndTheirSegmentsMeet) {
  const std::vector<StationTally> tallies = {Station("North", 1, 20, 3, 2, 1),
                                             Station("South yard", 0, 7, 0, 0, 0),
                                             Station("", 0, 2, 1, 0, 0)};
  for (const Rect box : {Rect{0, 0, 300, 200}, Rect{100, 50, 2100, 1450}, Rect{0, 0, 120, 60}}) {
    RecordingSurface s;
    DrawFleetChart(s, box, tallies);
    std::vector<Rect> fills;
    for (const DrawOp& op : s.ops())
      if (op.kind == DrawOp::kFill) fills.push_back(op.rect);
    for (const Rect& f : fills) {
      EXPECT_GE(f.left, box.left);
      EXPECT_LE(f.right, box.right);
      EXPECT_GE(f.top, box.top);
      EXPECT_LE(f.bottom, box.bottom);
    }
    // The bars' 5 + 1 + 2 segments come first, the legend's swatches after.
    ASSERT_GE(fills.size(), 8u);
    int widest = 0;
    for (size_t i = 0; i < 8; ++i) widest = std::max(widest, fills[i].right);
    // North's segments end where the next begins; its bar is the longest.
    for (size_t i = 1; i < 5; ++i) EXPECT_EQ(fills[i].left, fills[i - 1].right);
    EXPECT_EQ(fills[4].right, widest);
    EXPECT_LT(fills[5].right, widest);
  }
  RecordingSurface empty;
  DrawFleetChart(empty, {0, 0, 300, 200}, {});
  EXPECT_NE(DrawingText(empty).find("No CT matches"), std::string::npos);
}

TEST(FleetReport, TheFilterIsSaidInWords) {
  auto F = [](auto change) {
    FleetFilter f;
    change(f);
    return f;
  };
  const struct {
    FleetFilter filter;
    const char* text;
  } cases[] = {
      {FleetFilter(), ""},
      {F([](FleetFilter& f) { f.min_state = FleetState::kWarn; }), "state WARN or worse"},
      {F([](FleetFilter& f) { f.min_state = FleetState::kFail; }), "state FAIL"},
      {F([](FleetFilter& f) {
         f.text = "sn1";
         f.station = "North";
         f.overdue = true;
       }),
       "\"sn1\", station North, overdue"},
      {F([](FleetFilter& f) { f.due_within_days = 90; }), "due within 90 days"},
      {F([](FleetFilter& f) {
         f.tested_from = "2020-01-01";
         f.tested_to = "2021-12-31";
       }),
       "tested from 2020-01-01 to 2021-12-31"},
      {F([](FleetFilter& f) { f.tested_to = "2021-12-31"; }), "tested until 2021-12-31"},
  };
  for (const auto& c : cases) EXPECT_EQ(FleetFilterText(c.filter), c.text);
}

FleetReport Report(int rows) {
  FleetReport r;
  r.filter = "state WARN or worse";
  for (int i = 0; i < rows; ++i) {
    FleetRow row;
    row.ct.serialnumber = "SN" + std::to_string(1000 + i);
    row.ct.manufacturer = "KOVA SIM";
    row.ct.station = i % 2 ? "North" : "South";
    row.ct.circuit = "Feeder " + std::to_string(i % 7);
    row.facts.records = 3;
    row.facts.taps = 5;
    row.facts.first_test_date = "2012-05-01 10:00:00";
    row.facts.last_test_date = row.ct.last_test_date = "2019-05-01 10:00:00";
    row.facts.state = i % 3 ? FleetState::kWarn : FleetState::kAlarm;
    row.due_date = "2024-05-01";
    row.overdue = true;
    r.page.rows.push_back(row);
  }
  r.page.total = rows;
  r.tallies = TallyFleetRows(r.page.rows, FleetQuery(), {"2025-01-01", "2025-04-01"});
  r.printed_on = "Printed 12/11/26 10:00";
  r.dates = DateStyle::kUs;
  return r;
}

const Rect kPage{0, 0, 2970, 2100};

std::string PageText(const FleetReport& r, int index) {
  RecordingSurface s;
  DrawFleetReportPage(s, kPage, r, FleetReportPages(r), index);
  std::string text;
  for (const DrawOp& op : s.ops())
    if (op.kind == DrawOp::kText) text += op.text + "\n";
  return text;
}

// The first page has the summary and the chart above 22 rows; later pages
// hold 38 rows each, every page its footer.
TEST(FleetReport, PagesHoldTheSummaryChartAndEveryRow) {
  const struct {
    int rows;
    size_t pages;
  } cases[] = {{0, 1}, {22, 1}, {23, 2}, {60, 2}, {61, 3}};
  for (const auto& c : cases) {
    const FleetReport r = Report(c.rows);
    const auto pages = FleetReportPages(r);
    ASSERT_EQ(pages.size(), c.pages) << c.rows;
    size_t listed = 0;
    for (const FleetReportPage& p : pages) listed += p.rows;
    EXPECT_EQ(listed, static_cast<size_t>(c.rows));
    for (size_t i = 0; i < pages.size(); ++i) {
      const std::string text = PageText(r, static_cast<int>(i));
      const std::string number =
          "Page " + std::to_string(i + 1) + " of " + std::to_string(pages.size());
      EXPECT_NE(text.find(number), std::string::npos) << c.rows << "\n" << text;
      EXPECT_NE(text.find("Fleet: state WARN or worse"), std::string::npos);
      EXPECT_EQ(text.find("States per station") != std::string::npos, i == 0) << c.rows;
    }
  }
  // Dates in the user's style; the overdue due date says so.
  const std::string first = PageText(Report(3), 0);
  EXPECT_NE(first.find("05/01/19"), std::string::npos) << first;
  EXPECT_NE(first.find("05/01/24 overdue"), std::string::npos) << first;
  EXPECT_NE(first.find("3 CTs: 1 alarm, 2 warnings, 0 failures; 3 overdue"), std::string::npos)
      << first;
}

// Run with KOVA_REGENERATE_GOLDEN=1 to write it again, then look at the
// difference.
TEST(FleetReport, TheFirstPageDrawsTheSameWhole) {
  const FleetReport r = Report(8);
  RecordingSurface s;
  DrawFleetReportPage(s, kPage, r, FleetReportPages(r), 0);
  CompareWithGolden(DrawingText(s), PathJoin(std::string(KOVA_SOURCE_DIR) + "/tests/golden",
                                             "fleet-page.draw.txt"));
}

}  // namespace
}  // namespace kova

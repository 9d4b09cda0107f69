#include "library/fleet_report.h"

#include <algorithm>

#include "library/fleet_chart.h"
#include "library/row_page.h"

namespace kova {

std::string FleetFilterText(const FleetFilter& f) {
  std::vector<std::string> parts;
  if (!f.text.empty()) parts.push_back("\"" + f.text + "\"");
  if (!f.station.empty()) parts.push_back("station " + f.station);
  if (!f.circuit.empty()) parts.push_back("circuit " + f.circuit);
  if (!f.manufacturer.empty()) parts.push_back("manufacturer " + f.manufacturer);
  if (f.min_state > FleetState::kNone)
    parts.push_back(std::string("state ") + FleetStateText(f.min_state) +
                    (f.min_state < FleetState::kFail ? " or worse" : ""));
  if (f.overdue) parts.push_back("overdue");
  if (!f.overdue && f.due_within_days >= 0)
    parts.push_back("due within " + std::to_string(f.due_within_days) + " days");
  if (!f.tested_from.empty() || !f.tested_to.empty())
    parts.push_back("tested " +
                    (f.tested_from.empty() ? std::string("until") : "from " + f.tested_from) +
                    (f.tested_to.empty() || f.tested_from.empty() ? " " : " to ") + f.tested_to);
  std::string out;
  for (const std::string& p : parts) out += (out.empty() ? "" : ", ") + p;
  return out;
}

StoreOutcome GatherFleetReport(RecordReader& store, const FleetFilter& filter,
                               const std::string& today, int retest_years, FleetReport& out) {
  out.filter = FleetFilterText(filter);
  FleetFilter all = filter;
  all.offset = 0;
  all.limit = kFleetReportMaxRows;
  const FleetQuery query = MakeFleetQuery(all, today, retest_years);
  StoreOutcome outcome = store.Fleet(query, out.page);
  if (!outcome.ok()) return outcome;
  FillDue(out.page, today, retest_years);
  return store.FleetTally(query, FleetTallyBounds(today, retest_years), out.tallies);
}

namespace {

constexpr int kRows = 44;
constexpr int kContentTop = 3;
constexpr int kTableEnd = 42;     // the last table row ends here
constexpr int kSummaryRows = 16;  // the summary line and the chart

constexpr Color kHeadFill{225, 225, 225};

// The shares of the page's width, in FleetColumns() order.
const std::vector<int>& ColumnWeights() {
  static const std::vector<int> w = {14, 13, 14, 12, 10, 6, 5, 9, 9, 6, 11, 13};
  return w;
}

size_t TableRoom(bool summary) {
  return static_cast<size_t>(kTableEnd - kContentTop - 1 - (summary ? kSummaryRows : 0));
}

}  // namespace

std::vector<FleetReportPage> FleetReportPages(const FleetReport& report) {
  std::vector<FleetReportPage> pages;
  const size_t rows = report.page.rows.size();
  size_t first = 0;
  bool summary = true;
  do {
    const size_t n = std::min(TableRoom(summary), rows - first);
    pages.push_back({first, n, summary});
    first += n;
    summary = false;
  } while (first < rows);
  return pages;
}

void DrawFleetReportPage(Surface& s, const Rect& page, const FleetReport& report,
                         const std::vector<FleetReportPage>& pages, int index) {
  if (index < 0 || index >= static_cast<int>(pages.size())) return;
  const FleetReportPage& p = pages[index];
  RowPage d(s, page, kRows);
  s.FillRect(page, {255, 255, 255});
  d.Text(page.left, 0, "Fleet" + (report.filter.empty() ? std::string() : ": " + report.filter),
         0.9, 700);
  const int64_t shown = static_cast<int64_t>(report.page.rows.size());
  d.Text(page.left, 1.2,
         shown < report.page.total
             ? "The first " + std::to_string(shown) + " of " + std::to_string(report.page.total) +
                   " CTs; a filter narrows the list"
             : std::to_string(report.page.total) + " CTs");
  d.Rule(2.4);
  double row = kContentTop;
  if (p.summary) {
    d.Text(page.left, row, FleetSummaryText(SumTallies(report.tallies)), 0.65, 700);
    const int side = page.Width() * 55 / 100;
    DrawFleetChart(s, {page.left, d.Y(row + 1.5), page.left + side, d.Y(row + kSummaryRows - 0.5)},
                   report.tallies);
    row += kSummaryRows;
  }
  const auto& columns = FleetColumns();
  const std::vector<int> x = d.ColumnEdges(ColumnWeights());
  s.FillRect({page.left, d.Y(row), page.right, d.Y(row + 1)}, kHeadFill);
  for (size_t c = 0; c < columns.size(); ++c)
    d.Cell(x, static_cast<int>(c), row, FleetColumnTitle(columns[c]), 700);
  const size_t state_column = static_cast<size_t>(
      std::find(columns.begin(), columns.end(), FleetColumn::kState) - columns.begin());
  for (size_t i = 0; i < p.rows && p.first_row + i < report.page.rows.size(); ++i) {
    const FleetRow& r = report.page.rows[p.first_row + i];
    const double at = row + 1 + static_cast<double>(i);
    const std::vector<std::string> cells = FleetCells(r, report.dates);
    if (r.facts.state > FleetState::kNone && state_column < columns.size())
      s.FillRect({x[state_column], d.Y(at), x[state_column + 1], d.Y(at + 1)},
                 FleetStateTint(r.facts.state));
    for (size_t c = 0; c < cells.size() && c < columns.size(); ++c)
      d.Cell(x, static_cast<int>(c), at, cells[c],
             r.overdue && columns[c] == FleetColumn::kDue ? 700 : 400);
  }
  d.Grid(x, row, row + 1 + static_cast<double>(p.rows));
  d.Footer(report.printed_on, index, static_cast<int>(pages.size()));
}

}  // namespace kova

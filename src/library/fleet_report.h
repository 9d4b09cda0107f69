#pragma once
// The fleet report: the filtered fleet table, the summary line and the
// states-per-station chart, as pages with the print date and page numbers.
// Drawn on the report's Surface, so print and PDF share the pages.

#include <string>
#include <vector>

#include "library/fleet.h"
#include "library/fleet_tally.h"
#include "library/record_store.h"
#include "library/shown_date.h"
#include "report/surface.h"

namespace kova {

// At most this many CTs go on paper: a larger fleet is narrowed by a filter.
constexpr int kFleetReportMaxRows = 5000;

struct FleetReport {
  std::string filter;  // what was asked, in words ("State WARN or worse"); empty for all
  FleetPage page;      // the rows in the table's order, their due dates filled
  std::vector<StationTally> tallies;
  DateStyle dates = DateStyle::kIso;
  std::string printed_on;
};

// The filter in words for the report's heading.
std::string FleetFilterText(const FleetFilter& filter);

// Reads every matching CT (up to kFleetReportMaxRows) and the tally.
StoreOutcome GatherFleetReport(RecordReader& store, const FleetFilter& filter,
                               const std::string& today, int retest_years, FleetReport& out);

// Rows of the table on page `index`; the first page opens with the
// summary and the chart.
struct FleetReportPage {
  size_t first_row = 0, rows = 0;
  bool summary = false;
};
std::vector<FleetReportPage> FleetReportPages(const FleetReport& report);
void DrawFleetReportPage(Surface& s, const Rect& page, const FleetReport& report,
                         const std::vector<FleetReportPage>& pages, int index);

}  // namespace kova

#pragma once
// The states per station as stacked bars, drawn on the report's Surface so
// the Library window, the fleet report and the web pages show one picture:
// a department sees where its alarms are before it reads the table.

#include <vector>

#include "library/fleet_tally.h"
#include "report/surface.h"

namespace kova {

// At most this many stations get a bar of their own, those with the most
// failures, alarms and warnings first; the rest share one.
constexpr int kChartStations = 10;

// Strong colours for the bars, light ones for table cells.
Color FleetStateColor(FleetState state);
Color FleetStateTint(FleetState state);

// The bars in the order drawn: the stations needing attention first, the
// rest summed as "Other stations (n)" at the end.
std::vector<StationTally> ChartBars(const std::vector<StationTally>& tallies);

// `row` is the height of a bar's row; 0 sizes it for the most bars there
// can be in `r` (a page's fixed box).
void DrawFleetChart(Surface& s, const Rect& r, const std::vector<StationTally>& tallies,
                    int row = 0);
// The height the chart needs at `row` per bar (a picture sized to it).
int FleetChartHeight(const std::vector<StationTally>& tallies, int row);

}  // namespace kova

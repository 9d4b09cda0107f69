#pragma once
// The fleet at a glance above its table: how many CTs are in each state,
// overdue and due soon, and a stacked bar of states for every station,
// drawn on the report's Surface like every picture of the program.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "library/fleet.h"
#include "report/surface.h"

namespace kova {

constexpr int kSoonDueDays = 90;
constexpr int kFleetStates = 5;  // FleetState kNone .. kFail

struct StationStates {
  std::string station;  // Windows-1252
  std::array<int64_t, kFleetStates> counts{};
  int64_t Total() const;
};

struct FleetSummary {
  int64_t cts = 0, alarms = 0, warnings = 0, failures = 0, overdue = 0, due_soon = 0;
  std::vector<StationStates> stations;  // by station name as shown, case ignored
};

// Every CT of the fleet (due dates filled) summed up; "due soon" is not
// overdue and due within kSoonDueDays of `today`.
FleetSummary SummarizeFleet(const std::vector<FleetRow>& rows, const std::string& today);

// "12 CTs: 1 alarm, 2 warnings, 0 failures, 3 overdue, 4 due within 90 days".
std::string FleetSummaryLine(const FleetSummary& summary);

// The colour of a state's bar and cell.
Color FleetStateColor(FleetState state);

// The chart's height for `stations` stations; the most shown is
// kMaxChartStations, the rest named in one line.
constexpr int kMaxChartStations = 30;
int StationChartHeight(size_t stations);
// One bar per station, its length the station's CTs, in parts of each
// state's colour; a legend on top.
void DrawStationChart(Surface& s, const Rect& r, const FleetSummary& summary);

}  // namespace kova

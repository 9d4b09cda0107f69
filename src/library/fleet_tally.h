#pragma once
// The fleet counted: how many CTs of each station are in each state, and
// how many are overdue or due soon. The summary line over the fleet table
// and the states-per-station chart are drawn from it; the store counts in
// one grouped query, so it costs one page of the fleet.

#include <cstdint>
#include <string>
#include <vector>

#include "library/fleet.h"

namespace kova {

constexpr int kFleetStateCount = 5;  // kNone .. kFail
// The due window of the summary line.
constexpr int kDueSoonDays = 90;

struct StationTally {
  std::string station;
  int64_t cts[kFleetStateCount] = {};  // by FleetState number
  int64_t overdue = 0;                 // last tested before the overdue bound
  int64_t due = 0;                     // last tested before the due bound (the overdue too)
  int64_t Total() const;
};

// The bounds on the latest test date the store counts against, as
// MakeFleetQuery turns "--overdue" and "--due-within" into them.
struct TallyBounds {
  std::string overdue_before, due_before;
};
TallyBounds FleetTallyBounds(const std::string& today, int retest_years,
                             int within_days = kDueSoonDays);

// The same counts over rows in memory: what the store's query must give.
std::vector<StationTally> TallyFleetRows(const std::vector<FleetRow>& rows, const FleetQuery& query,
                                         const TallyBounds& bounds);

struct FleetSummary {
  int64_t cts = 0, warnings = 0, alarms = 0, failures = 0;
  int64_t overdue = 0;
  int64_t due_soon = 0;  // due within the window, not yet overdue
};
FleetSummary SumTallies(const std::vector<StationTally>& tallies);
// "53 CTs: 4 alarms, 17 warnings, 1 failure; 12 overdue, 3 due within 90 days".
std::string FleetSummaryText(const FleetSummary& summary, int within_days = kDueSoonDays);

}  // namespace kova

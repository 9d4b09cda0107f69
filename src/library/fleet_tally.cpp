#include "library/fleet_tally.h"

#include <algorithm>
#include <map>

#include "library/library_model.h"

namespace kova {

int64_t StationTally::Total() const {
  int64_t n = 0;
  for (int64_t c : cts) n += c;
  return n;
}

TallyBounds FleetTallyBounds(const std::string& today, int retest_years, int within_days) {
  FleetFilter overdue;
  overdue.overdue = true;
  FleetFilter due;
  due.due_within_days = std::max(0, within_days);
  return {MakeFleetQuery(overdue, today, retest_years).last_test_before,
          MakeFleetQuery(due, today, retest_years).last_test_before};
}

std::vector<StationTally> TallyFleetRows(const std::vector<FleetRow>& rows, const FleetQuery& query,
                                         const TallyBounds& bounds) {
  std::map<std::string, StationTally> by_station;
  for (const FleetRow& r : rows) {
    if (!FleetRowMatches(r, query)) continue;
    StationTally& t = by_station[r.ct.station];
    t.station = r.ct.station;
    ++t.cts[static_cast<int>(r.facts.state)];
    if (r.facts.last_test_date < bounds.overdue_before) ++t.overdue;
    if (r.facts.last_test_date < bounds.due_before) ++t.due;
  }
  std::vector<StationTally> out;
  for (auto& kv : by_station) out.push_back(std::move(kv.second));
  return out;
}

FleetSummary SumTallies(const std::vector<StationTally>& tallies) {
  FleetSummary s;
  for (const StationTally& t : tallies) {
    s.cts += t.Total();
    s.warnings += t.cts[static_cast<int>(FleetState::kWarn)];
    s.alarms += t.cts[static_cast<int>(FleetState::kAlarm)];
    s.failures += t.cts[static_cast<int>(FleetState::kFail)];
    s.overdue += t.overdue;
    s.due_soon += t.due - t.overdue;
  }
  return s;
}

namespace {

std::string Counted(int64_t n, const char* one, const char* many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

}  // namespace

std::string FleetSummaryText(const FleetSummary& s, int within_days) {
  return Counted(s.cts, "CT", "CTs") + ": " + Counted(s.alarms, "alarm", "alarms") + ", " +
         Counted(s.warnings, "warning", "warnings") + ", " +
         Counted(s.failures, "failure", "failures") + "; " + std::to_string(s.overdue) +
         " overdue, " + std::to_string(s.due_soon) + " due within " + std::to_string(within_days) +
         " days";
}

}  // namespace kova

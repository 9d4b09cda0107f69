#include "web/fleet_summary.h"

#include <algorithm>
#include <map>

#include "base/format.h"
#include "library/library_plots.h"

namespace kova {

namespace {

constexpr int kRowHeight = 22, kLegendHeight = 30, kMargin = 8;

std::string Plural(int64_t n, const char* one, const char* many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

}  // namespace

int64_t StationStates::Total() const {
  int64_t n = 0;
  for (int64_t c : counts) n += c;
  return n;
}

FleetSummary SummarizeFleet(const std::vector<FleetRow>& rows, const std::string& today) {
  FleetSummary s;
  const std::string soon = AddDays(today, kSoonDueDays);
  std::map<std::string, size_t> index;
  for (const FleetRow& r : rows) {
    ++s.cts;
    const FleetState state = r.facts.state;
    s.alarms += state == FleetState::kAlarm;
    s.warnings += state == FleetState::kWarn;
    s.failures += state == FleetState::kFail;
    s.overdue += r.overdue;
    s.due_soon += !r.overdue && !r.due_date.empty() && r.due_date <= soon;
    const std::string key = NormalizeIdentityText(r.ct.station);
    auto found = index.find(key);
    if (found == index.end()) {
      found = index.emplace(key, s.stations.size()).first;
      s.stations.push_back({r.ct.station, {}});
    }
    const int i = std::clamp(static_cast<int>(state), 0, kFleetStates - 1);
    ++s.stations[found->second].counts[i];
  }
  std::sort(s.stations.begin(), s.stations.end(),
            [](const StationStates& a, const StationStates& b) {
              return NormalizeIdentityText(a.station) < NormalizeIdentityText(b.station);
            });
  return s;
}

std::string FleetSummaryLine(const FleetSummary& s) {
  return Plural(s.cts, "CT", "CTs") + ": " + Plural(s.alarms, "alarm", "alarms") + ", " +
         Plural(s.warnings, "warning", "warnings") + ", " +
         Plural(s.failures, "failure", "failures") + ", " + std::to_string(s.overdue) +
         " overdue, " + std::to_string(s.due_soon) + " due within " + std::to_string(kSoonDueDays) +
         " days";
}

Color FleetStateColor(FleetState state) {
  switch (state) {
    case FleetState::kOk:
      return StateColor(ChangeFlag::kOk);
    case FleetState::kWarn:
      return StateColor(ChangeFlag::kWarn);
    case FleetState::kAlarm:
      return StateColor(ChangeFlag::kAlarm);
    case FleetState::kFail:
      return {110, 0, 110};
    case FleetState::kNone:
      break;
  }
  return {170, 170, 170};
}

int StationChartHeight(size_t stations) {
  const size_t shown = std::min<size_t>(stations, kMaxChartStations);
  return kLegendHeight + static_cast<int>(shown) * kRowHeight + kRowHeight + 2 * kMargin;
}

void DrawStationChart(Surface& s, const Rect& r, const FleetSummary& summary) {
  s.SelectFont({"Arial", 14, 400, false});
  s.SetTextColor({0, 0, 0});
  s.SetBackgroundColor({255, 255, 255});
  // The legend: a square of each state's colour and its name.
  int x = r.left + kMargin;
  const int legend_y = r.top + kMargin;
  for (int i = 0; i < kFleetStates; ++i) {
    const auto state = static_cast<FleetState>(i);
    const std::string name = i == 0 ? "no state" : FleetStateText(state);
    s.FillRect({x, legend_y + 2, x + 12, legend_y + 14}, FleetStateColor(state));
    s.TextAt(x + 16, legend_y, name);
    x += 16 + s.TextWidth(name) + 18;
  }
  const size_t shown = std::min<size_t>(summary.stations.size(), kMaxChartStations);
  int64_t most = 1;
  int label = 0;
  for (size_t i = 0; i < shown; ++i) {
    most = std::max(most, summary.stations[i].Total());
    label = std::max(label, s.TextWidth(summary.stations[i].station));
  }
  label = std::min(label, r.Width() / 3);
  const int bar_left = r.left + kMargin + label + 8;
  const int count_room = s.TextWidth("000000") + 8;
  const int bar_width = std::max(1, r.right - kMargin - count_room - bar_left);
  int y = r.top + kMargin + kLegendHeight;
  for (size_t i = 0; i < shown; ++i, y += kRowHeight) {
    const StationStates& st = summary.stations[i];
    s.SaveState();
    s.ClipTo({r.left + kMargin, y, bar_left - 4, y + kRowHeight});
    s.TextAt(r.left + kMargin, y + 2, st.station);
    s.RestoreState();
    int64_t before = 0;
    for (int k = 0; k < kFleetStates; ++k) {
      if (st.counts[k] == 0) continue;
      const int a = bar_left + static_cast<int>(before * bar_width / most);
      before += st.counts[k];
      const int b = bar_left + static_cast<int>(before * bar_width / most);
      s.FillRect({a, y + 3, std::max(a + 1, b), y + kRowHeight - 3},
                 FleetStateColor(static_cast<FleetState>(k)));
    }
    s.TextAt(bar_left + static_cast<int>(st.Total() * bar_width / most) + 6, y + 2,
             std::to_string(st.Total()));
  }
  if (summary.stations.size() > shown)
    s.TextAt(r.left + kMargin, y + 2,
             Format("and %zu more stations", summary.stations.size() - shown));
}

}  // namespace kova

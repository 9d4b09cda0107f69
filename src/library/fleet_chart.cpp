#include "library/fleet_chart.h"

#include <algorithm>
#include <tuple>

namespace kova {

Color FleetStateColor(FleetState state) {
  switch (state) {
    case FleetState::kOk:
      return {110, 180, 110};
    case FleetState::kWarn:
      return {235, 185, 50};
    case FleetState::kAlarm:
      return {215, 65, 55};
    case FleetState::kFail:
      return {120, 20, 90};
    case FleetState::kNone:
      break;
  }
  return {185, 185, 185};
}

Color FleetStateTint(FleetState state) {
  switch (state) {
    case FleetState::kOk:
      return {222, 242, 222};
    case FleetState::kWarn:
      return {255, 232, 180};
    case FleetState::kAlarm:
      return {255, 200, 200};
    case FleetState::kFail:
      return {235, 200, 230};
    case FleetState::kNone:
      break;
  }
  return {255, 255, 255};
}

namespace {

int64_t Count(const StationTally& t, FleetState s) { return t.cts[static_cast<int>(s)]; }

// Worse states first, then the larger station, then its name.
bool NeedsAttentionFirst(const StationTally& a, const StationTally& b) {
  auto key = [](const StationTally& t) {
    return std::make_tuple(Count(t, FleetState::kFail), Count(t, FleetState::kAlarm),
                           Count(t, FleetState::kWarn), t.Total());
  };
  if (key(a) != key(b)) return key(a) > key(b);
  return a.station < b.station;
}

// Drawn left to right: what needs attention is read first.
constexpr FleetState kStackOrder[] = {FleetState::kFail, FleetState::kAlarm, FleetState::kWarn,
                                      FleetState::kOk, FleetState::kNone};
const char* LegendText(FleetState s) {
  return s == FleetState::kNone ? "no state" : FleetStateText(s);
}

constexpr Color kBlack{0, 0, 0}, kAxis{150, 150, 150};

}  // namespace

std::vector<StationTally> ChartBars(const std::vector<StationTally>& tallies) {
  std::vector<StationTally> bars = tallies;
  std::sort(bars.begin(), bars.end(), NeedsAttentionFirst);
  if (bars.size() <= static_cast<size_t>(kChartStations)) return bars;
  StationTally other;
  const size_t rest = bars.size() - (kChartStations - 1);
  other.station = "Other stations (" + std::to_string(rest) + ")";
  for (size_t i = kChartStations - 1; i < bars.size(); ++i) {
    for (int k = 0; k < kFleetStateCount; ++k) other.cts[k] += bars[i].cts[k];
    other.overdue += bars[i].overdue;
    other.due += bars[i].due;
  }
  bars.resize(kChartStations - 1);
  bars.push_back(other);
  return bars;
}

int FleetChartHeight(const std::vector<StationTally>& tallies, int row) {
  // The title, the bars and the legend.
  return (static_cast<int>(ChartBars(tallies).size()) + 3) * row;
}

void DrawFleetChart(Surface& s, const Rect& r, const std::vector<StationTally>& tallies,
                    int given_row) {
  const std::vector<StationTally> bars = ChartBars(tallies);
  // Rows: the title, a bar per station, the legend; the font follows the
  // row so the chart reads the same on screen and paper.
  // Sized for the most bars there can be, so a small fleet is not drawn
  // in giant letters.
  const int row = given_row > 0
                      ? given_row
                      : std::max(8, std::min(r.Height() / (kChartStations + 3), r.Width() / 12));
  const int font = std::max(6, row * 55 / 100);
  s.SetTextColor(kBlack);
  s.SelectFont({"Arial", font, 700, false});
  s.TextLine({r.left, r.top, r.right, r.top + row}, "States per station", false);
  s.SelectFont({"Arial", font, 400, false});
  if (bars.empty()) {
    s.TextLine({r.left, r.top + row, r.right, r.top + 2 * row}, "No CT matches", false);
    return;
  }
  int label = 0, widest_count = 0;
  int64_t most = 1;
  for (const StationTally& b : bars) {
    label = std::max(label, s.TextWidth(b.station.empty() ? "(no station)" : b.station));
    widest_count = std::max(widest_count, s.TextWidth(std::to_string(b.Total())));
    most = std::max(most, b.Total());
  }
  const int gap = font / 2;
  label = std::min(label, r.Width() * 35 / 100);
  const int bar_left = r.left + label + gap;
  const int bar_right = std::max(bar_left + 1, r.right - widest_count - gap);
  int y = r.top + row;
  for (const StationTally& b : bars) {
    s.SetTextColor(kBlack);
    s.TextLine({r.left, y + (row - font) / 2, r.left + label, y + row},
               b.station.empty() ? "(no station)" : b.station, false);
    int x = bar_left;
    int64_t done = 0;
    for (FleetState st : kStackOrder) {
      const int64_t n = Count(b, st);
      if (n == 0) continue;
      done += n;
      // Ends worked out from the running sum, so the segments meet exactly.
      const int end = bar_left + static_cast<int>(static_cast<long double>(bar_right - bar_left) *
                                                  static_cast<long double>(done) /
                                                  static_cast<long double>(most));
      s.FillRect({x, y + row / 6, std::max(x + 1, end), y + row - row / 6}, FleetStateColor(st));
      x = end;
    }
    s.TextLine({x + gap, y + (row - font) / 2, r.right, y + row}, std::to_string(b.Total()), false);
    y += row;
  }
  s.SetPen(kAxis, PenStyle::kSolid, 1);
  s.Line(bar_left, r.top + row, bar_left, y);
  // The legend: a swatch and a word per state.
  y += row / 3;
  int x = bar_left;
  for (FleetState st : kStackOrder) {
    const std::string word = LegendText(st);
    const int wide = font + gap / 2 + s.TextWidth(word);
    // A word that does not fit goes on the next line, or is left out
    // below the box rather than drawn outside it.
    if (x + wide > r.right && x > bar_left) x = bar_left, y += row * 3 / 4;
    if (x + wide > r.right || y + row > r.bottom) break;
    s.FillRect({x, y + row / 4, x + font, y + row / 4 + font}, FleetStateColor(st));
    x += font + gap / 2;
    s.SetTextColor(kBlack);
    s.TextLine({x, y + row / 4, r.right, y + row}, word, false);
    x += s.TextWidth(word) + gap * 2;
  }
}

}  // namespace kova

#include "library/library_plots.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>

#include "base/format.h"
#include "library/history_table.h"

namespace kova {
namespace {

constexpr Color kBlack{0, 0, 0}, kGrid{215, 215, 215}, kWhite{255, 255, 255};
constexpr Color kDateColors[kMaxOverlaidDates] = {{0, 0, 200},   {200, 0, 0},   {0, 140, 0},
                                                  {170, 0, 170}, {220, 120, 0}, {0, 150, 150}};
// The bands: inside the warn band pale green, up to the alarm band pale
// yellow, beyond it the page's white.
constexpr Color kWarnBandFill{222, 242, 222}, kAlarmBandFill{255, 244, 204};
constexpr Color kBaselineColor{20, 40, 160}, kUncomparedColor{150, 150, 150};
constexpr Color kLineColor{110, 110, 110};

void Font(Surface& s, int height, int weight = 400) {
  s.SelectFont({"Arial", std::max(8, height), weight, false});
}

// Whole decades around [lo, hi].
void Decades(double lo, double hi, int& d0, int& d1) {
  d0 = static_cast<int>(std::floor(std::log10(lo)));
  d1 = static_cast<int>(std::ceil(std::log10(hi)));
  if (d1 <= d0) d1 = d0 + 1;
}

bool Leap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

double YearFraction(int y, int m, int d) {
  static const int kBefore[12] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
  const int day = kBefore[m - 1] + (m > 2 && Leap(y) ? 1 : 0) + d - 1;
  return y + day / (Leap(y) ? 366.0 : 365.0);
}

int Digits(const std::string& text, size_t at, size_t n) {
  int v = 0;
  for (size_t i = at; i < at + n; ++i) {
    if (text[i] < '0' || text[i] > '9') return -1;
    v = v * 10 + (text[i] - '0');
  }
  return v;
}

}  // namespace

Color OverlayDateColor(int i) { return kDateColors[((i % 6) + 6) % 6]; }

std::vector<size_t> OverlayChoice(size_t count, const std::vector<size_t>& selected) {
  std::vector<size_t> out;
  for (size_t i : selected)
    if (i < count && out.size() < static_cast<size_t>(kMaxOverlaidDates)) out.push_back(i);
  if (!selected.empty()) return out;
  for (size_t i = count > kMaxOverlaidDates ? count - kMaxOverlaidDates : 0; i < count; ++i)
    out.push_back(i);
  return out;
}

std::string AxisTicks::Text(int i) const {
  std::string t = Format("%.*f", decimals, first + step * i);
  if (t.find_first_not_of("-0.") == std::string::npos && t[0] == '-') t.erase(0, 1);  // no "-0"
  return t;
}

AxisTicks RoundTicks(double lo, double hi) {
  if (!std::isfinite(lo) || !std::isfinite(hi)) lo = 0, hi = 1;
  if (lo > hi) std::swap(lo, hi);
  if (hi - lo < std::max(std::fabs(hi), std::fabs(lo)) * 1e-9 || hi - lo < 1e-300) {
    const double d = lo == 0 ? 1.0 : std::fabs(lo) * 0.01;
    lo -= d, hi += d;
  }
  const double base = std::pow(10.0, std::floor(std::log10((hi - lo) / 6)));
  AxisTicks t;
  for (double mult : {1.0, 2.0, 2.5, 5.0, 10.0, 20.0, 25.0, 50.0}) {
    const double step = mult * base;
    const double first = std::floor(lo / step + 1e-9) * step;
    const double last = std::ceil(hi / step - 1e-9) * step;
    const int n = static_cast<int>(std::lround((last - first) / step)) + 1;
    if (n > 6) continue;
    t.first = first, t.step = step, t.count = n;
    break;
  }
  // Too few: widen evenly, below first.
  for (bool below = true; t.count < 4; below = !below, ++t.count)
    if (below) t.first -= t.step;
  const int e = static_cast<int>(std::floor(std::log10(t.step) + 1e-9));
  const double mantissa = t.step / std::pow(10.0, e);
  t.decimals = std::max(0, -e) + (std::fabs(mantissa - 2.5) < 1e-6 && e <= 0 ? 1 : 0);
  return t;
}

double YearOf(const std::string& date) {
  if (date.size() < 10 || date[4] != '-' || date[7] != '-') return 0;
  const int y = Digits(date, 0, 4), m = Digits(date, 5, 2), d = Digits(date, 8, 2);
  if (y < 0 || m < 1 || m > 12 || d < 1 || d > 31) return 0;
  return YearFraction(y, m, d);
}

std::vector<DateTick> DateTicks(double from, double to, int pixels, int char_width) {
  std::vector<DateTick> out;
  if (!(to > from) || pixels <= 0 || to - from > 1000) return out;
  const double per_year = pixels / (to - from);
  // Centred labels this far apart leave half a label between them; a month
  // may be 10 % shorter than the average one.
  auto fits = [&](double years, int chars) {
    return years * per_year * 0.9 >= 1.5 * chars * std::max(1, char_width);
  };
  for (int months : {1, 2, 3, 6}) {
    if (to - from > 3 || !fits(months / 12.0, 7)) continue;
    for (int m = static_cast<int>(std::floor(from * 12)); m <= static_cast<int>(std::ceil(to * 12));
         ++m) {
      const int y = m / 12, month = m % 12 + 1;
      const double at = YearFraction(y, month, 1);
      if ((month - 1) % months == 0 && at >= from && at <= to)
        out.push_back({at, Format("%04d-%02d", y, month)});
    }
    return out;
  }
  for (int years : {1, 2, 5, 10, 20, 50, 100, 200, 500}) {
    if (!fits(years, 4)) continue;
    for (int y = static_cast<int>(std::ceil(from)); y <= static_cast<int>(std::floor(to)); ++y)
      if (y % years == 0) out.push_back({YearFraction(y, 1, 1), Format("%04d", y)});
    return out;
  }
  return out;
}

size_t BaselineIndex(const std::vector<HistoryEntry>& history) {
  for (size_t i = 0; i < history.size(); ++i)
    if (history[i].test.baseline) return i;
  return 0;
}

namespace {

ChangeFlag Flag(const Change& c) { return c.valid ? c.flag : ChangeFlag::kNone; }

ChangeFlag Worst(const ValueChanges& v) {
  return Worse(Flag(v.ratio), Worse(Flag(v.excitation), Flag(v.resistance)));
}

}  // namespace

ChangeFlag EntryState(const HistoryEntry& e) {
  return Worse(Worst(e.vs_baseline), Worst(e.vs_previous));
}

Color StateColor(ChangeFlag flag) {
  switch (flag) {
    case ChangeFlag::kOk:
      return {0, 150, 60};
    case ChangeFlag::kWarn:
      return {235, 150, 0};
    case ChangeFlag::kAlarm:
      return {215, 0, 0};
    case ChangeFlag::kNone:
      break;
  }
  return kBaselineColor;
}

void DrawCurveOverlay(Surface& s, const Rect& r, const std::vector<TestRow>& tests,
                      DateStyle dates) {
  s.FillRect(r, kWhite);
  const int n = std::min<int>(static_cast<int>(tests.size()), kMaxOverlaidDates);
  double amin = 1e300, amax = 0, vmin = 1e300, vmax = 0;
  for (int i = 0; i < n; ++i)
    for (const CurvePoint& p : tests[i].curve) {
      if (!(p.amps > 0 && p.volts > 0 && p.amps < 1e300 && p.volts < 1e300)) continue;
      amin = std::min(amin, p.amps), amax = std::max(amax, p.amps);
      vmin = std::min(vmin, p.volts), vmax = std::max(vmax, p.volts);
    }
  Font(s, r.Height() / 30);
  const int line = s.Metrics().height;
  // Room above for the voltage axis's title, below for the current's
  // labels and title, each clear of the other axis's labels.
  const Rect P{r.left + 6 * line, r.top + 2 * line, r.right - line, r.bottom - 3 * line};
  s.SetPen(kBlack, PenStyle::kSolid, 1);
  s.Frame(P);
  if (amax <= 0 || P.Width() < 20 || P.Height() < 20) {
    s.TextLine(P.Inset(line), "No excitation curve", true);
    return;
  }
  int a0, a1, v0, v1;
  Decades(amin, amax, a0, a1);
  Decades(vmin, vmax, v0, v1);
  auto X = [&](double a) {
    return P.left + static_cast<int>((std::log10(a) - a0) / (a1 - a0) * P.Width());
  };
  auto Y = [&](double v) {
    return P.bottom - static_cast<int>((std::log10(v) - v0) / (v1 - v0) * P.Height());
  };
  s.SetTextColor(kBlack);
  for (int d = a0; d <= a1; ++d) {
    s.SetPen(kGrid, PenStyle::kSolid, 1);
    s.Line(X(std::pow(10, d)), P.top, X(std::pow(10, d)), P.bottom);
    const std::string text = Format("%g", std::pow(10, d));
    s.TextAt(X(std::pow(10, d)) - s.TextWidth(text) / 2, P.bottom + line / 2 + line / 8, text);
  }
  for (int d = v0; d <= v1; ++d) {
    s.SetPen(kGrid, PenStyle::kSolid, 1);
    s.Line(P.left, Y(std::pow(10, d)), P.right, Y(std::pow(10, d)));
    const std::string text = Format("%g", std::pow(10, d));
    s.TextAt(P.left - s.TextWidth(text) - line / 3, Y(std::pow(10, d)) - line / 2, text);
  }
  s.TextLine({P.left, P.bottom + line * 13 / 8, P.right, r.bottom}, "Excitation current [A]", true);
  s.TextAt(r.left + line / 4, P.top - 2 * line, "Excitation voltage [V]");
  for (int i = 0; i < n; ++i) {
    s.SetPen(OverlayDateColor(i), PenStyle::kSolid, 2);
    const auto& c = tests[i].curve;
    for (size_t k = 1; k < c.size(); ++k)
      if (c[k - 1].amps > 0 && c[k - 1].volts > 0 && c[k].amps > 0 && c[k].volts > 0)
        s.Line(X(c[k - 1].amps), Y(c[k - 1].volts), X(c[k].amps), Y(c[k].volts));
    // Legend, top left inside the plot.
    const int ly = P.top + line / 2 + i * line;
    s.Line(P.left + line / 2, ly + line / 2, P.left + 2 * line, ly + line / 2);
    s.SetTextColor(OverlayDateColor(i));
    s.TextAt(P.left + 2 * line + line / 2, ly, ShownDate(tests[i].test_date.substr(0, 10), dates));
  }
  s.SetTextColor(kBlack);
}

namespace {

struct PanelValue {
  const char* title;
  std::function<bool(const TestRow&, double&)> value;
  std::function<Change(const ValueChanges&)> change;
  // The warn and alarm band around the baseline test `b`, in the value's unit.
  std::function<bool(const TestRow& b, double& warn, double& alarm)> band;
  std::string band_text;
};

struct TrendPoint {
  int x;
  double v;
  ChangeFlag flag;
  bool baseline;
};

std::vector<PanelValue> Panels(const TrendBands& bands) {
  auto knee = [](const TestRow& t, double& v) { return (v = KneeVoltage(t)) > 0; };
  auto percent = [](double warn, double alarm) {
    return Format("warn \xb1%g %%, alarm \xb1%g %% of the baseline", warn, alarm);
  };
  return {
      {"Knee voltage [V]", knee, [](const ValueChanges& c) { return c.excitation; },
       [knee, bands](const TestRow& b, double& warn, double& alarm) {
         double v = 0;
         if (!knee(b, v)) return false;
         warn = v * bands.excitation_warn_percent / 100,
         alarm = v * bands.excitation_alarm_percent / 100;
         return true;
       },
       percent(bands.excitation_warn_percent, bands.excitation_alarm_percent)},
      {"Turns ratio error [%]",
       [](const TestRow& t, double& v) {
         v = t.ratio_error;
         return t.has_ratio && t.nameplate_ratio > 0;
       },
       [](const ValueChanges& c) { return c.ratio; },
       [bands](const TestRow& b, double& warn, double& alarm) {
         // A change of one turn moves the error by measured / nameplate^2.
         if (!b.has_ratio || !(b.nameplate_ratio > 0) || !(b.measured_ratio > 0)) return false;
         const double per_turn = 100.0 * b.measured_ratio / (b.nameplate_ratio * b.nameplate_ratio);
         warn = bands.ratio_turns * per_turn, alarm = bands.ratio_alarm_turns * per_turn;
         return true;
       },
       Format("warn \xb1%g, alarm \xb1%g turns from the baseline", bands.ratio_turns,
              bands.ratio_alarm_turns)},
      {"Rct at 75\xb0"
       "C [ohm]",
       [](const TestRow& t, double& v) {
         v = t.rct75;
         return t.has_resistance;
       },
       [](const ValueChanges& c) { return c.resistance; },
       [bands](const TestRow& b, double& warn, double& alarm) {
         if (!b.has_resistance || !(b.rct75 > 0)) return false;
         warn = b.rct75 * bands.resistance_warn_percent / 100;
         alarm = b.rct75 * bands.resistance_alarm_percent / 100;
         return true;
       },
       percent(bands.resistance_warn_percent, bands.resistance_alarm_percent)},
  };
}

}  // namespace

void DrawTrendPlot(Surface& s, const Rect& r, const std::vector<HistoryEntry>& history,
                   const TrendBands& bands) {
  s.FillRect(r, kWhite);
  Font(s, r.Height() / 42);
  const int line = std::max(1, s.Metrics().height);
  const int cw = std::max(1, s.TextWidth("0000000000") / 10);
  double d0 = 1e300, d1 = -1e300;
  for (const HistoryEntry& e : history) {
    const double y = YearOf(e.test.test_date);
    if (y > 0) d0 = std::min(d0, y), d1 = std::max(d1, y);
  }
  if (d0 > d1) d0 = 2000, d1 = 2001;
  const double pad = std::max((d1 - d0) * 0.05, 0.25);
  d0 -= pad, d1 += pad;
  const int left = r.left + 6 * line, right = r.right - 2 * line;
  const int panel_h = (r.Height() - 2 * line) / 3;
  auto X = [&](double y) { return left + static_cast<int>((y - d0) / (d1 - d0) * (right - left)); };
  const std::vector<DateTick> ticks = DateTicks(d0, d1, right - left, cw);
  const size_t base = BaselineIndex(history);
  const std::vector<PanelValue> panels = Panels(bands);
  for (int p = 0; p < 3; ++p) {
    const PanelValue& panel = panels[p];
    const int top = r.top + p * panel_h;
    // The title row, then the panel; its top tick label stays below the title.
    const Rect P{left, top + 2 * line, right, top + panel_h - line / 2};
    s.SetTextColor(kBlack);
    Font(s, line, 700);
    s.TextAt(r.left + line / 4, top + line / 4, panel.title);
    const int title_w = s.TextWidth(panel.title);
    Font(s, line);
    std::vector<TrendPoint> points;
    double lo = 1e300, hi = -1e300;
    for (size_t i = 0; i < history.size(); ++i) {
      const HistoryEntry& e = history[i];
      double v = 0;
      if (!panel.value(e.test, v) || !std::isfinite(v) || YearOf(e.test.test_date) <= 0) continue;
      points.push_back({X(YearOf(e.test.test_date)), v,
                        Worse(Flag(panel.change(e.vs_baseline)), Flag(panel.change(e.vs_previous))),
                        i == base});
      lo = std::min(lo, v), hi = std::max(hi, v);
    }
    double base_v = 0, warn = 0, alarm = 0;
    const bool banded = !history.empty() && panel.value(history[base].test, base_v) &&
                        panel.band(history[base].test, warn, alarm) && alarm > 0;
    if (banded) {
      s.TextAt(r.left + line / 4 + title_w + line, top + line / 4, panel.band_text);
      // The axis shows the whole alarm band and a little beyond: a change
      // inside the bands stays small on the page.
      lo = std::min(lo, base_v - alarm * 1.2), hi = std::max(hi, base_v + alarm * 1.2);
    }
    s.SetPen(kBlack, PenStyle::kSolid, 1);
    if (points.empty()) {
      s.Frame(P);
      s.TextLine({P.left, (P.top + P.bottom - line) / 2, P.right, P.bottom}, "No values", true);
      continue;
    }
    const AxisTicks axis = RoundTicks(lo, hi);
    const double a0 = axis.first, a1 = axis.Last();
    auto Y = [&](double v) {
      const double at = P.bottom - (v - a0) / (a1 - a0) * P.Height();
      return static_cast<int>(std::lround(std::min<double>(P.bottom, std::max<double>(P.top, at))));
    };
    if (banded) {
      s.FillRect({P.left, Y(base_v + alarm), P.right, Y(base_v - alarm)}, kAlarmBandFill);
      s.FillRect({P.left, Y(base_v + warn), P.right, Y(base_v - warn)}, kWarnBandFill);
    }
    s.SetPen(kGrid, PenStyle::kSolid, 1);
    for (const DateTick& t : ticks) s.Line(X(t.at), P.top, X(t.at), P.bottom);
    for (int i = 0; i < axis.count; ++i) {
      const int y = Y(axis.first + axis.step * i);
      s.SetPen(kGrid, PenStyle::kSolid, 1);
      s.Line(P.left, y, P.right, y);
      s.SetPen(kBlack, PenStyle::kSolid, 1);
      s.Line(P.left - line / 4, y, P.left, y);
      const std::string text = axis.Text(i);
      s.TextAt(P.left - s.TextWidth(text) - line / 3, y - line / 2, text);
    }
    if (banded) {
      s.SetPen(kBaselineColor, PenStyle::kSolid, 2);
      s.Line(P.left, Y(base_v), P.right, Y(base_v));
      s.SetTextColor(kBaselineColor);
      const int w = s.TextWidth("baseline");
      s.TextAt(P.right - w - line / 4, std::max(P.top, Y(base_v) - line - line / 8), "baseline");
      s.SetTextColor(kBlack);
    }
    s.SetPen(kBlack, PenStyle::kSolid, 1);
    s.Frame(P);
    s.SetPen(kLineColor, PenStyle::kSolid, 1);
    for (size_t k = 1; k < points.size(); ++k)
      s.Line(points[k - 1].x, Y(points[k - 1].v), points[k].x, Y(points[k].v));
    const int d = std::max(3, line / 4);
    for (const TrendPoint& pt : points) {
      const int y = Y(pt.v);
      const int size = pt.baseline ? d + d / 2 : d;
      s.SetPen(kBlack, PenStyle::kSolid, 1);
      s.SetBrush(pt.baseline                    ? kBaselineColor
                 : pt.flag == ChangeFlag::kNone ? kUncomparedColor
                                                : StateColor(pt.flag));
      s.Rectangle({pt.x - size, y - size, pt.x + size + 1, y + size + 1});
    }
  }
  s.SetTextColor(kBlack);
  Font(s, line);
  // Below the lowest panel's bottom tick label.
  const int axis_y = r.top + 3 * panel_h + line / 8;
  for (const DateTick& t : ticks) {
    const int w = s.TextWidth(t.text);
    s.TextAt(X(t.at) - w / 2, axis_y, t.text);
  }
}

}  // namespace kova

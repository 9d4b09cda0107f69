#include "library/library_plots.h"

#include <algorithm>
#include <cmath>
#include <functional>

#include "base/format.h"
#include "library/history_table.h"

namespace kova {
namespace {

constexpr Color kBlack{0, 0, 0}, kGrid{200, 200, 200}, kWhite{255, 255, 255};
constexpr Color kDateColors[kMaxOverlaidDates] = {{0, 0, 200},   {200, 0, 0},   {0, 140, 0},
                                                  {170, 0, 170}, {220, 120, 0}, {0, 150, 150}};

void Font(Surface& s, int height, int weight = 400) {
  s.SelectFont({"Arial", std::max(8, height), weight, false});
}

// Whole decades around [lo, hi].
void Decades(double lo, double hi, int& d0, int& d1) {
  d0 = static_cast<int>(std::floor(std::log10(lo)));
  d1 = static_cast<int>(std::ceil(std::log10(hi)));
  if (d1 <= d0) d1 = d0 + 1;
}

// Days since 2000-01-01 of a "YYYY-MM-DD ..." text (a plain year fraction is
// enough to space tests along the axis).
double Years(const std::string& date) {
  if (date.size() < 10) return 0;
  const int y = std::atoi(date.substr(0, 4).c_str());
  const int m = std::atoi(date.substr(5, 2).c_str());
  const int d = std::atoi(date.substr(8, 2).c_str());
  return y + (m - 1) / 12.0 + (d - 1) / 365.0;
}

}  // namespace

Color OverlayDateColor(int i) { return kDateColors[((i % 6) + 6) % 6]; }

void DrawCurveOverlay(Surface& s, const Rect& r, const std::vector<TestRow>& tests) {
  s.FillRect(r, kWhite);
  const int n = std::min<int>(static_cast<int>(tests.size()), kMaxOverlaidDates);
  double amin = 1e300, amax = 0, vmin = 1e300, vmax = 0;
  for (int i = 0; i < n; ++i)
    for (const CurvePoint& p : tests[i].curve) {
      amin = std::min(amin, p.amps), amax = std::max(amax, p.amps);
      vmin = std::min(vmin, p.volts), vmax = std::max(vmax, p.volts);
    }
  Font(s, r.Height() / 30);
  const int line = s.Metrics().height;
  const Rect P{r.left + 6 * line, r.top + line, r.right - line, r.bottom - 3 * line};
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
  for (int d = a0; d <= a1; ++d) {
    s.SetPen(kGrid, PenStyle::kSolid, 1);
    s.Line(X(std::pow(10, d)), P.top, X(std::pow(10, d)), P.bottom);
    s.TextAt(X(std::pow(10, d)) - line, P.bottom + line / 4, Format("%g", std::pow(10, d)));
  }
  for (int d = v0; d <= v1; ++d) {
    s.SetPen(kGrid, PenStyle::kSolid, 1);
    s.Line(P.left, Y(std::pow(10, d)), P.right, Y(std::pow(10, d)));
    s.TextAt(r.left + line / 2, Y(std::pow(10, d)) - line / 2, Format("%g V", std::pow(10, d)));
  }
  s.TextLine({P.left, P.bottom + line + line / 4, P.right, r.bottom}, "Excitation current [A]",
             true);
  for (int i = 0; i < n; ++i) {
    s.SetPen(OverlayDateColor(i), PenStyle::kSolid, 2);
    const auto& c = tests[i].curve;
    for (size_t k = 1; k < c.size(); ++k)
      s.Line(X(c[k - 1].amps), Y(c[k - 1].volts), X(c[k].amps), Y(c[k].volts));
    // Legend, top left inside the plot.
    const int ly = P.top + line / 2 + i * line;
    s.Line(P.left + line / 2, ly + line / 2, P.left + 2 * line, ly + line / 2);
    s.SetTextColor(OverlayDateColor(i));
    s.TextAt(P.left + 2 * line + line / 2, ly, tests[i].test_date.substr(0, 10));
  }
  s.SetTextColor(kBlack);
}

void DrawTrendPlot(Surface& s, const Rect& r, const std::vector<HistoryEntry>& history) {
  s.FillRect(r, kWhite);
  Font(s, r.Height() / 30);
  const int line = s.Metrics().height;
  struct Panel {
    const char* title;
    std::function<bool(const TestRow&, double&)> value;
  } panels[] = {
      {"Knee voltage [V]", [](const TestRow& t, double& v) { return (v = KneeVoltage(t)) > 0; }},
      {"Turns ratio error [%]",
       [](const TestRow& t, double& v) {
         v = t.ratio_error;
         return t.has_ratio && t.nameplate_ratio > 0;
       }},
      {"Rct at 75\xb0"
       "C [ohm]",
       [](const TestRow& t, double& v) {
         v = t.rct75;
         return t.has_resistance;
       }},
  };
  double y0 = 1e300, y1 = -1e300;
  for (const HistoryEntry& e : history) {
    const double y = Years(e.test.test_date);
    y0 = std::min(y0, y), y1 = std::max(y1, y);
  }
  if (history.empty()) y0 = 2000, y1 = 2001;
  if (y1 - y0 < 1) y0 -= 0.5, y1 += 0.5;
  const int left = r.left + 7 * line, right = r.right - 4 * line;
  const int panel_h = (r.Height() - 3 * line) / 3;
  auto X = [&](double y) { return left + static_cast<int>((y - y0) / (y1 - y0) * (right - left)); };
  for (int p = 0; p < 3; ++p) {
    const Rect P{left, r.top + line + p * panel_h + line, right, r.top + (p + 1) * panel_h};
    s.SetTextColor(kBlack);
    s.TextAt(P.left, P.top - line, panels[p].title);
    s.SetPen(kBlack, PenStyle::kSolid, 1);
    s.Frame(P);
    std::vector<std::pair<int, double>> points;
    double lo = 1e300, hi = -1e300;
    for (const HistoryEntry& e : history) {
      double v = 0;
      if (!panels[p].value(e.test, v) || !std::isfinite(v)) continue;
      points.push_back({X(Years(e.test.test_date)), v});
      lo = std::min(lo, v), hi = std::max(hi, v);
    }
    if (points.empty()) continue;
    const double pad = hi > lo ? (hi - lo) * 0.15 : std::max(std::fabs(hi) * 0.05, 0.01);
    lo -= pad, hi += pad;
    auto Y = [&](double v) {
      return P.bottom - static_cast<int>((v - lo) / (hi - lo) * P.Height());
    };
    s.TextAt(r.left + line / 2, P.top, Format("%.4g", hi));
    s.TextAt(r.left + line / 2, P.bottom - line, Format("%.4g", lo));
    s.SetPen(kDateColors[p], PenStyle::kSolid, 2);
    for (size_t k = 1; k < points.size(); ++k)
      s.Line(points[k - 1].first, Y(points[k - 1].second), points[k].first, Y(points[k].second));
    s.SetBrush(kDateColors[p]);
    for (const auto& pt : points)
      s.Rectangle({pt.first - 3, Y(pt.second) - 3, pt.first + 4, Y(pt.second) + 4});
  }
  s.SetTextColor(kBlack);
  for (const HistoryEntry& e : history)
    s.TextAt(X(Years(e.test.test_date)) - 2 * line, r.bottom - line - line / 4,
             e.test.test_date.substr(0, 10));
}

}  // namespace kova

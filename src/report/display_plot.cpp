// CDisplayTest::DrawPlot: the excitation curve on log-log axes of four
// decades each, 0.001 A .. 10 A across and 1 V .. 10000 V up, shifted by
// whole decades when measured points lie outside them.

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "analysis/display_rules.h"
#include "analysis/excitation.h"
#include "assess/comparisons.h"
#include "base/format.h"
#include "base/path.h"
#include "report/display_test.h"
#include "report/report_document.h"

namespace kova {

struct PlotAxes {
  Rect P;
  int d = 0;  // one decade
  PlotDecades decades;
  double amps_factor = 1000, volts_factor = 1;  // the first decade's values to 1
};

namespace {

const char* const kVoltageLabels[5] = {"    1 V", "   10 V", " 100 V", "1000 V", "10000 V"};
const char* const kCurrentLabels[5] = {" .001 A", " .01 A", " 0.1 A", " 1.0 A", "  10 A"};

// How far the decades may shift: labels of at most seven characters.
constexpr int kLowestAmpsDecade = -7, kHighestAmpsDecade = 2;
constexpr int kLowestVoltsDecade = -3, kHighestVoltsDecade = 3;

// 10^e by whole multiplications: exactly 1000 for 3, as the plot has always
// scaled its currents.
double PowerOfTen(int e) {
  double v = 1;
  for (int i = 0; i < e; ++i) v *= 10;
  for (int i = 0; i > e; --i) v /= 10;
  return v;
}

std::string VoltageLabel(int e) {
  if (e >= 0 && e <= 4) return kVoltageLabels[e];
  return Format("%5g V", PowerOfTen(e));
}

std::string CurrentLabel(int e) {
  if (e >= -3 && e <= 1) return kCurrentLabels[e + 3];
  switch (e) {
    case -4:
      return ".0001 A";
    case -5:
      return " 10 \xB5"
             "A";
    case -6:
      return "  1 \xB5"
             "A";
    case -7:
      return ".1 \xB5"
             "A";
    default:
      return Format("%g A", PowerOfTen(e));
  }
}

PlotAxes MakeAxes(const Rect& P, int d, const PlotDecades& decades) {
  PlotAxes a;
  a.P = P;
  a.d = d;
  a.decades = decades;
  a.amps_factor = PowerOfTen(-decades.amps);
  a.volts_factor = PowerOfTen(-decades.volts);
  return a;
}

// Offset of one log10 step, truncated, kept inside what an int can hold.
bool LogOffset(double value, int d, int& out) {
  if (!(value > 0) || !std::isfinite(value)) return false;  // 0, negative or NaN: off the axis
  const double v = std::log10(value) * d;
  out = static_cast<int>(std::clamp(v, -1e7, 1e7));
  return true;
}

// Where a point of `volts` over `amps` falls in the plot area; false when it
// cannot sit on the logarithmic axes.
bool PlacePoint(const PlotAxes& a, double volts, double amps, int& x, int& y) {
  int dy = 0, dx = 0;
  if (!LogOffset(volts * a.volts_factor, a.d, dy) || !LogOffset(amps * a.amps_factor, a.d, dx)) {
    return false;
  }
  x = a.P.left + dx;
  y = a.P.bottom - dy;
  return true;
}

// Joins the points in order; a point off the axes breaks the line.
void PlotPoints(Surface& s, const PlotAxes& a, const std::vector<CurvePoint>& points,
                double volts_factor) {
  bool have_prev = false;
  int px = 0, py = 0;
  for (const CurvePoint& p : points) {
    int x = 0, y = 0;
    const bool placed = PlacePoint(a, p.volts * volts_factor, p.amps, x, y);
    if (placed && have_prev) s.Line(px, py, x, y);
    have_prev = placed;
    px = x;
    py = y;
  }
}

// The band around the reference, shaded under the grid: its upper edge
// left to right, then its lower edge back. Nothing when a corner cannot be
// placed (a band of 100 % or more has no lower edge).
void ShadeBand(Surface& s, const PlotAxes& a, const std::vector<CurvePoint>& points,
               double band_percent) {
  std::vector<Point> corners;
  for (int edge = 0; edge < 2; ++edge) {
    const double factor = edge == 0 ? 1 + band_percent / 100 : 1 - band_percent / 100;
    for (size_t k = 0; k < points.size(); ++k) {
      const CurvePoint& p = points[edge == 0 ? k : points.size() - 1 - k];
      int x = 0, y = 0;
      if (!PlacePoint(a, p.volts * factor, p.amps, x, y)) return;
      corners.push_back({x, y});
    }
  }
  s.SaveState();
  s.ClipTo(a.P);
  s.FillPolygon(corners, kReferenceBandColor);
  s.RestoreState();
}

// The legend in the plot's top left corner, on its own background so that
// no grid line runs through it; with `sample` a stretch of the reference's
// dashed line before its first line. A line too long for the plot goes on below.
void DrawLegend(Surface& s, const PlotAxes& a, int h, int w, std::vector<std::string> lines,
                Color background, bool sample, int width) {
  const int x = a.P.left + h, y = a.P.top + h / 2;
  const int sample_width = sample ? 4 * w : 0;
  const int text_x = sample ? x + sample_width + w : x;
  const int room = a.P.right - text_x - w;
  // Too long for the plot: continued on a line below, at a blank.
  std::vector<std::string> fitted;
  for (std::string rest : lines) {
    while (s.TextWidth(rest) > room) {
      size_t cut = rest.rfind(' ');
      while (cut != std::string::npos && cut > 0 && s.TextWidth(rest.substr(0, cut)) > room)
        cut = rest.rfind(' ', cut - 1);
      if (cut == std::string::npos || cut == 0) break;  // one word: clipped
      fitted.push_back(rest.substr(0, cut));
      rest.erase(0, cut + 1);
    }
    fitted.push_back(rest);
  }
  lines = fitted;
  int widest = 0;
  for (const std::string& line : lines) widest = std::max(widest, s.TextWidth(line));
  const int count = static_cast<int>(lines.size());
  const Rect box{x - w / 2, y - h / 4, text_x + widest + w / 2, y + count * h + h / 4};
  s.FillRect(box, background);
  s.SetPen(kReferenceColor, PenStyle::kSolid, 1);
  s.Frame(box);
  if (sample) {
    s.SetPen(kReferenceColor, PenStyle::kDash, width);
    s.Line(x, y + h / 2, x + sample_width, y + h / 2);
  }
  s.SetTextColor(kReferenceColor);
  for (int i = 0; i < count; ++i) s.TextAt(text_x, y + i * h, lines[static_cast<size_t>(i)]);
  s.SetTextColor(kReportColors[0]);
}

// The reference kept for the CT, scaled to the tap, dashed in its own
// colour with the edges of its band and a legend naming where it came
// from. A reference that cannot be drawn says why in the legend; nothing
// when the CT has none.
void DrawReference(Surface& s, const PlotAxes& a, const KeptReference& kept,
                   const ReferenceComparison& c, double band_percent, int width, int h, int w,
                   Color background) {
  if (!kept.loaded()) {
    if (kept.state == KeptReference::State::kNone && kept.why.empty()) return;
    DrawLegend(s, a, h, w,
               {(kept.state == KeptReference::State::kUnusable ? "Reference curve not used: "
                                                               : "Reference curve not drawn: ") +
                kept.why},
               background, false, width);
    return;
  }
  if (c.scaled.points().empty()) return;
  s.SetPen(kReferenceColor, PenStyle::kDash, width);
  PlotPoints(s, a, c.scaled.points(), 1.0);
  s.SetPen(kReferenceColor, PenStyle::kSolid, std::max(1, width / 2));
  PlotPoints(s, a, c.scaled.points(), 1 + band_percent / 100);
  PlotPoints(s, a, c.scaled.points(), 1 - band_percent / 100);
  std::string source = "from " + FileNameOf(kept.where);
  if (kept.curve.turns > 0) source += Format(", %g turns", kept.curve.turns);
  DrawLegend(s, a, h, w, {Format("Reference curve, band \xB1%g %%", band_percent), source},
             background, true, width);
}

}  // namespace

PlotDecades DecadesHolding(double min_amps, double max_amps, double min_volts, double max_volts,
                           double volts_span) {
  PlotDecades d;
  if (min_amps > 0 && min_amps <= max_amps && std::isfinite(max_amps)) {
    const double lo = std::log10(min_amps), hi = std::log10(max_amps);
    if (lo < d.amps) d.amps = static_cast<int>(std::floor(lo));
    if (hi > d.amps + 4) d.amps = static_cast<int>(std::ceil(hi)) - 4;
    d.amps = std::clamp(d.amps, kLowestAmpsDecade, kHighestAmpsDecade);
  }
  if (min_volts > 0 && min_volts <= max_volts && std::isfinite(max_volts)) {
    const double lo = std::log10(min_volts), hi = std::log10(max_volts);
    if (lo < d.volts) d.volts = static_cast<int>(std::floor(lo));
    if (hi > d.volts + volts_span) d.volts = static_cast<int>(std::ceil(hi - volts_span));
    d.volts = std::clamp(d.volts, kLowestVoltsDecade, kHighestVoltsDecade);
  }
  return d;
}

PlotDecades CDisplayTest::PlotRange(int t, bool all_tests, double volts_span) const {
  constexpr double kInf = std::numeric_limits<double>::infinity();
  double amps_lo = kInf, amps_hi = -kInf, volts_lo = kInf, volts_hi = -kInf;
  const int records = (doc_ && doc_->overlaycount() != 0) ? doc_->overlaycount() : 1;
  const int n = ReportDataPointSlots(Rec());
  auto take = [&](const TapTest& tap) {
    for (int i = 0; i < n; ++i) {
      const double a = tap.dpAmps[i], v = tap.dpVolts[i];
      // Only what the curve can draw: both values on the logarithmic axes.
      if (!(a > 0) || !(v > 0) || !std::isfinite(a) || !std::isfinite(v)) continue;
      amps_lo = std::min(amps_lo, a);
      amps_hi = std::max(amps_hi, a);
      volts_lo = std::min(volts_lo, v);
      volts_hi = std::max(volts_hi, v);
    }
  };
  for (int ri = 0; ri < records && ri < kOverlayColorCount; ++ri) {
    const TestRecord& source = doc_ ? doc_->Record(ri) : Rec();
    if (!all_tests) {
      take(source.taps[std::clamp(t, 0, kMaxTaps - 1)]);
      continue;
    }
    for (int pos = 0; pos < ordered_count_; ++pos) take(source.taps[OrderedTest(pos)]);
  }
  return DecadesHolding(amps_lo, amps_hi, volts_lo, volts_hi, volts_span);
}

void CDisplayTest::PlotCurve(const PlotAxes& axes, const TapTest& tap) {
  const int n = ReportDataPointSlots(Rec());
  int last = 0;
  for (int i = n - 1; i >= 0; --i) {
    if (tap.dpAmps[i] != 0) {
      last = i;
      break;
    }
  }
  // A point off the axes breaks the curve: the segments on either side of
  // it are left out, never drawn towards infinity.
  bool have_prev = false;
  int px = 0, py = 0;
  for (int i = 0; i < n && i <= last; ++i) {
    int x = 0, y = 0;
    const bool placed = PlacePoint(axes, tap.dpVolts[i], tap.dpAmps[i], x, y);
    if (placed && have_prev) s_->Line(px, py, x, y);
    have_prev = placed;
    px = x;
    py = y;
  }
}

void CDisplayTest::DrawPlot(const Rect& r, int t, bool all_tests) {
  if (!s_) return;
  const bool frame = !all_tests || t == 0;
  s_->SelectFont({"Courier New", r.Height() / 40, 800, true});
  const TextMetrics m = s_->Metrics();
  const int h = m.height, w = m.ave_char_width;
  if (frame) s_->DrawText(r, "CT Excitation Plot", kTextCenter);

  const Rect P{r.left + 9 * w, r.top + h, r.right - w, r.bottom - 9 * w};
  const int d = P.Width() / 4;
  // Every test of an all-tests plot is drawn on the decades of all of them.
  const double volts_span = d > 0 ? static_cast<double>(P.Height()) / d : 4;
  const PlotAxes axes = MakeAxes(P, d, PlotRange(t, all_tests, volts_span));
  const int curve = printing_ ? 8 : 2;
  const int test = all_tests ? OrderedTest(t) : std::clamp(t, 0, kMaxTaps - 1);
  // On one test's plot, of a record or an overlay of records of one CT.
  const bool reference = !all_tests && doc_ != nullptr;
  ReferenceComparison compared;
  if (reference && doc_->reference().loaded()) {
    compared = CompareWithReference(doc_->Record(0), test + 1, doc_->reference().curve,
                                    doc_->bands().reference_percent);
  }
  const Color background =
      printing_ ? kReportColors[kWhiteIndex]
                : (all_tests ? kReportColors[kWhiteIndex] : kSingleTestPlotBackground);
  if (!printing_ && frame) {
    SetPenColor(background, PenStyle::kSolid, 2);
    s_->Rectangle(P);
  }
  if (!compared.scaled.points().empty()) {
    ShadeBand(*s_, axes, compared.scaled.points(), doc_->bands().reference_percent);
  }
  if (frame) {
    const int grid = printing_ ? 5 : 2;
    SetPen(0, PenStyle::kSolid, grid);
    s_->Frame(P);
    for (int k = 1; k <= 3; ++k) s_->Line(P.left, P.bottom - k * d, P.right, P.bottom - k * d);
    for (int k = 1; k <= 4; ++k) s_->Line(P.left + k * d, P.top, P.left + k * d, P.bottom);
    int m_[10] = {};
    for (int j = 2; j <= 9; ++j) m_[j] = static_cast<int>(std::log10(static_cast<double>(j)) * d);
    SetPen(0, PenStyle::kSolid, 1);
    for (int k = 0; k <= 4; ++k) {
      const int y0 = P.bottom - k * d;
      s_->TextAt(P.left - 8 * w, y0 - h / 2, VoltageLabel(axes.decades.volts + k));
      if (k == 4) continue;
      for (int j = 2; j <= 9; ++j) {
        // Four decades can be taller than the plot area: no fine line above it.
        if (y0 - m_[j] >= P.top) s_->Line(P.left, y0 - m_[j], P.right, y0 - m_[j]);
      }
    }
    s_->TextAt(P.left - 8 * w, P.bottom - 3 * d - m_[2] - h / 2,
               Format("%4g V", 2 * PowerOfTen(axes.decades.volts + 3)));
    for (int k = 0; k <= 4; ++k) {
      const int x0 = P.left + k * d;
      s_->TextAt(x0 - 5 * w, P.bottom + h / 2, CurrentLabel(axes.decades.amps + k));
      if (k == 4) continue;
      for (int j = 2; j <= 9; ++j) s_->Line(x0 + m_[j], P.top, x0 + m_[j], P.bottom);
    }
  }

  s_->SaveState();
  s_->ClipTo(P);
  const int records = (doc_ && doc_->overlaycount() != 0) ? doc_->overlaycount() : 1;
  // On paper the curve is 8 units wide: the knee mark must stand well clear
  // of it, and a frame sets it off from a curve of its own colour.
  const int half = printing_ ? 30 : 3;
  for (int ri = 0; ri < records && ri < kOverlayColorCount; ++ri) {
    const TestRecord& source = doc_ ? doc_->Record(ri) : Rec();
    const TapTest& tap = source.taps[test];
    const Color color =
        records > 1 ? kOverlayColors[ri] : ReportColor(all_tests ? TestColorIndex(test) : 0);
    SetPenColor(color, PenStyle::kSolid, curve);
    PlotCurve(axes, tap);
    const CurvePoint knee = TapKnee(Rec().kneetype, tap);
    int x = 0, y = 0;
    if (PlacePoint(axes, knee.volts, knee.amps, x, y)) {
      const bool hidden_on_paper =
          color == kReportColors[kLightGreyIndex] || color == kReportColors[kWhiteIndex];
      const Rect mark{x - half, y - half, x + half, y + half};
      s_->FillRect(mark, printing_ && hidden_on_paper ? kReportColors[0] : color);
      if (printing_) {
        SetPenColor(kReportColors[0], PenStyle::kSolid, curve / 2);
        s_->Frame(mark);
        SetPenColor(color, PenStyle::kSolid, curve);
      }
    }
  }
  if (reference) {
    DrawReference(*s_, axes, doc_->reference(), compared, doc_->bands().reference_percent, curve, h,
                  w, background);
  }
  s_->RestoreState();
}

}  // namespace kova

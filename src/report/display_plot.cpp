// CDisplayTest::DrawPlot: the excitation curve on log-log axes of four
// decades each, 0.001 A .. 10 A across and 1 V .. 10000 V up.

#include <algorithm>
#include <cmath>

#include "analysis/display_rules.h"
#include "analysis/excitation.h"
#include "assess/comparisons.h"
#include "base/format.h"
#include "report/display_test.h"
#include "report/report_document.h"

namespace kova {
namespace {

const char* const kVoltageLabels[5] = {"    1 V", "   10 V", " 100 V", "1000 V", "10000 V"};
const char* const kCurrentLabels[5] = {" .001 A", " .01 A", " 0.1 A", " 1.0 A", "  10 A"};

// Offset of one log10 step, truncated, kept inside what an int can hold.
bool LogOffset(double value, int d, int& out) {
  if (!(value > 0) || !std::isfinite(value)) return false;  // 0, negative or NaN: off the axis
  const double v = std::log10(value) * d;
  out = static_cast<int>(std::clamp(v, -1e7, 1e7));
  return true;
}

// Where a point of `volts` over `amps` falls in the plot area; false when it
// cannot sit on the logarithmic axes.
bool PlacePoint(const Rect& P, int d, double volts, double amps, int& x, int& y) {
  int dy = 0, dx = 0;
  if (!LogOffset(volts, d, dy) || !LogOffset(amps * 1000, d, dx)) return false;
  x = P.left + dx;
  y = P.bottom - dy;
  return true;
}

// The reference curve and its band: dark blue, apart from every test colour.
constexpr Color kReferenceColor{0, 0, 160};

// Joins the points in order; a point off the axes breaks the line.
void PlotPoints(Surface& s, const Rect& P, int d, const std::vector<CurvePoint>& points,
                double volts_factor) {
  bool have_prev = false;
  int px = 0, py = 0;
  for (const CurvePoint& p : points) {
    int x = 0, y = 0;
    const bool placed = PlacePoint(P, d, p.volts * volts_factor, p.amps, x, y);
    if (placed && have_prev) s.Line(px, py, x, y);
    have_prev = placed;
    px = x;
    py = y;
  }
}

// The reference kept for the CT, scaled to test `test` (from 0) of `rec`,
// with its band in voltage at equal current and one line of legend. A
// reference that cannot be drawn says why in the legend; nothing when the
// CT has none.
void DrawReference(Surface& s, const Rect& P, int d, const TestRecord& rec, int test,
                   const KeptReference& kept, double band_percent, int width, int text_height) {
  const int legend_x = P.left + text_height, legend_y = P.top + text_height / 2;
  if (!kept.loaded()) {
    if (kept.state == KeptReference::State::kNone && kept.why.empty()) return;
    s.SetTextColor(kReferenceColor);
    s.TextAt(legend_x, legend_y,
             (kept.state == KeptReference::State::kUnusable ? "Reference curve not used: "
                                                            : "Reference curve not drawn: ") +
                 kept.why);
    s.SetTextColor(kReportColors[0]);
    return;
  }
  const ReferenceComparison c = CompareWithReference(rec, test + 1, kept.curve, band_percent);
  if (c.scaled.points().empty()) return;
  s.SetPen(kReferenceColor, PenStyle::kSolid, width);
  PlotPoints(s, P, d, c.scaled.points(), 1.0);
  s.SetPen(kReferenceColor, PenStyle::kSolid, std::max(1, width / 2));
  PlotPoints(s, P, d, c.scaled.points(), 1 + band_percent / 100);
  PlotPoints(s, P, d, c.scaled.points(), 1 - band_percent / 100);
  s.SetTextColor(kReferenceColor);
  s.TextAt(legend_x, legend_y, Format("Reference curve, band \xB1%g %%", band_percent));
  s.SetTextColor(kReportColors[0]);
}

}  // namespace

void CDisplayTest::PlotCurve(const Rect& P, int d, const TapTest& tap) {
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
    const bool placed = PlacePoint(P, d, tap.dpVolts[i], tap.dpAmps[i], x, y);
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
  if (!printing_ && frame) {
    SetPenColor(all_tests ? kReportColors[kWhiteIndex] : kSingleTestPlotBackground,
                PenStyle::kSolid, 2);
    s_->Rectangle(P);
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
      s_->TextAt(P.left - 8 * w, y0 - h / 2, kVoltageLabels[k]);
      if (k == 4) continue;
      for (int j = 2; j <= 9; ++j) {
        // Four decades can be taller than the plot area: no fine line above it.
        if (y0 - m_[j] >= P.top) s_->Line(P.left, y0 - m_[j], P.right, y0 - m_[j]);
      }
    }
    s_->TextAt(P.left - 8 * w, P.bottom - 3 * d - m_[2] - h / 2, "2000 V");
    for (int k = 0; k <= 4; ++k) {
      const int x0 = P.left + k * d;
      s_->TextAt(x0 - 5 * w, P.bottom + h / 2, kCurrentLabels[k]);
      if (k == 4) continue;
      for (int j = 2; j <= 9; ++j) s_->Line(x0 + m_[j], P.top, x0 + m_[j], P.bottom);
    }
  }

  s_->SaveState();
  s_->ClipTo(P);
  const int records = (doc_ && doc_->overlaycount() != 0) ? doc_->overlaycount() : 1;
  const int curve = printing_ ? 8 : 2;
  // On paper the curve is 8 units wide: the knee mark must stand well clear
  // of it, and a frame sets it off from a curve of its own colour.
  const int half = printing_ ? 30 : 3;
  const int test = all_tests ? OrderedTest(t) : std::clamp(t, 0, kMaxTaps - 1);
  for (int ri = 0; ri < records && ri < kOverlayColorCount; ++ri) {
    const TestRecord& source = doc_ ? doc_->Record(ri) : Rec();
    const TapTest& tap = source.taps[test];
    const Color color =
        records > 1 ? kOverlayColors[ri] : ReportColor(all_tests ? TestColorIndex(test) : 0);
    SetPenColor(color, PenStyle::kSolid, curve);
    PlotCurve(P, d, tap);
    const CurvePoint knee = TapKnee(Rec().kneetype, tap);
    int x = 0, y = 0;
    if (PlacePoint(P, d, knee.volts, knee.amps, x, y)) {
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
  // On one test's plot, of a record or an overlay of records of one CT.
  if (!all_tests && doc_ != nullptr) {
    DrawReference(*s_, P, d, doc_->Record(0), test, doc_->reference(),
                  doc_->bands().reference_percent, std::max(1, curve / 2), h);
  }
  s_->RestoreState();
}

}  // namespace kova

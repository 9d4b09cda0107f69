// The excitation plot's decades follow the measured points: a curve below
// 1 mA or 1 V, or past 10 A or the plot's top, shifts them by whole decades
// and its labels with them; a curve inside them is drawn where it always was.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "base/format.h"
#include "records/test_record.h"
#include "report/display_test.h"
#include "report/recording_surface.h"

namespace kova {
namespace {

// A plot of 1024 units: h 25, w 12, the plot area (108, 25, 1012, 916), a
// decade 226 units, 891 / 226 = 3.94 decades high.
constexpr double kSpan = 891.0 / 226;

TEST(PlotDecades, ShiftToHoldTheMeasuredPoints) {
  const struct {
    const char* what;
    double amps_lo, amps_hi, volts_lo, volts_hi;
    PlotDecades want;
  } cases[] = {
      {"inside the four decades", 0.001, 10, 1, 8000, {-3, 0}},
      {"nothing measured", 1, 0, 1, 0, {-3, 0}},
      {"currents of a high-ratio CT", 0.00002, 0.05, 5, 2000, {-5, 0}},
      {"four and a half decades: the highest kept", 0.00002, 0.5, 5, 2000, {-4, 0}},
      {"just below 1 mA", 0.00099, 0.2, 3, 900, {-4, 0}},
      {"past 10 A", 0.01, 50, 1, 100, {-2, 0}},
      {"five decades: the highest kept", 0.0002, 20, 1, 100, {-2, 0}},
      {"below 1 V", 0.001, 1, 0.2, 500, {-3, -1}},
      {"above the plot's top", 0.001, 1, 5, 20000, {-3, 1}},
      {"far below: as far as the labels go", 1e-12, 1e-11, 1e-9, 1e-8, {-7, -3}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const PlotDecades got = DecadesHolding(c.amps_lo, c.amps_hi, c.volts_lo, c.volts_hi, kSpan);
    EXPECT_EQ(got.amps, c.want.amps);
    EXPECT_EQ(got.volts, c.want.volts);
  }
}

// Every measured point on the plot, the labels naming the decades drawn.
TEST(PlotDecades, EveryPointDrawnInsideWithLabelsThatFollow) {
  const struct {
    const char* what;
    double amps_from, amps_ratio, volts_from, volts_ratio;  // point i: from * ratio^i
    std::vector<std::string> current_labels, voltage_labels;
  } cases[] = {
      {"inside",
       0.002,
       1.3,
       2,
       1.2,
       {" .001 A", " .01 A", " 0.1 A", " 1.0 A", "  10 A"},
       {"    1 V", "   10 V", " 100 V", "1000 V", "10000 V", "2000 V"}},
      {"microamps",
       0.00002,
       1.25,
       2,
       1.2,
       {" 10 \xB5"
        "A",
        ".0001 A", " .001 A", " .01 A", " 0.1 A"},
       {"    1 V", "   10 V", " 100 V", "1000 V", "10000 V", "2000 V"}},
      {"millivolts and tens of amps",
       0.012,
       1.3,
       0.05,
       1.2,
       {" .01 A", " 0.1 A", " 1.0 A", "  10 A", "100 A"},
       {" 0.01 V", "  0.1 V", "    1 V", "   10 V", " 100 V", "  20 V"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TestRecord rec;
    rec.numtests = 1;
    TapTest& tap = rec.taps[0];
    tap.uTestType = kExcitationTest;
    for (int i = 0; i < 32; ++i) {
      tap.dpAmps[i] = c.amps_from * std::pow(c.amps_ratio, i);
      tap.dpVolts[i] = c.volts_from * std::pow(c.volts_ratio, i);
    }
    RecordingSurface s;
    CDisplayTest painter;
    painter.Setup(&s, rec, false, nullptr);
    painter.DrawPlot({0, 0, 1024, 1024}, 0, false);

    const Rect P{108, 25, 1012, 916};
    int segments = 0;
    std::vector<std::string> below, left;
    for (const DrawOp& op : s.ops()) {
      if (op.kind == DrawOp::kText && op.rect.top == P.bottom + 12) below.push_back(op.text);
      if (op.kind == DrawOp::kText && op.rect.left == P.left - 8 * 12) left.push_back(op.text);
      if (op.kind != DrawOp::kLine || op.pen_width != 2 || op.pen != kReportColors[0]) continue;
      if (op.rect.left == P.left || op.rect.top == P.top) continue;  // a grid line
      ++segments;
      for (const int x : {op.rect.left, op.rect.right}) {
        EXPECT_GE(x, P.left);
        EXPECT_LE(x, P.right);
      }
      for (const int y : {op.rect.top, op.rect.bottom}) {
        EXPECT_GE(y, P.top);
        EXPECT_LE(y, P.bottom);
      }
    }
    EXPECT_EQ(segments, 31);
    // No grid line crosses a label: a label's ink, characters half its
    // height wide, against every grid line drawn.
    for (const DrawOp& text : s.ops()) {
      if (text.kind != DrawOp::kText) continue;
      const int last = static_cast<int>(text.text.find_last_not_of(' '));
      const int first = static_cast<int>(text.text.find_first_not_of(' '));
      const int h = text.font.height;
      const Rect ink{text.rect.left + first * h / 2, text.rect.top,
                     text.rect.left + (last + 1) * h / 2, text.rect.top + h};
      for (const DrawOp& line : s.ops()) {
        if (line.kind != DrawOp::kLine) continue;
        const Rect& l = line.rect;
        const bool crosses =
            std::max(l.left, l.right) > ink.left && std::min(l.left, l.right) < ink.right &&
            std::max(l.top, l.bottom) > ink.top && std::min(l.top, l.bottom) < ink.bottom;
        EXPECT_FALSE(crosses) << "\"" << text.text << "\" crossed at " << l.left << "," << l.top;
      }
    }
    EXPECT_EQ(below, c.current_labels);
    EXPECT_EQ(left, c.voltage_labels);
  }
}

}  // namespace
}  // namespace kova

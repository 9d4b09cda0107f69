// The library's overlay and trend pictures on a recording surface.

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <tuple>

#include "base/format.h"
#include "library/library_plots.h"
#include "report/recording_surface.h"

namespace kova {
namespace {

TestRow Dated(int year, double scale) {
  TestRow t;
  t.test_date = Format("%04d-05-01 10:00:00", year);
  for (double a : {0.01, 0.1, 1.0}) t.curve.push_back({100 * scale * std::pow(a, 0.2), a});
  t.knee45_v = 90 * scale;
  t.kneetype = 2;
  t.has_ratio = true;
  t.nameplate_ratio = 240;
  t.measured_ratio = 239.5;
  t.ratio_error = -0.21;
  return t;
}

bool Inside(const Rect& outer, int x, int y) {
  return x >= outer.left && x <= outer.right && y >= outer.top && y <= outer.bottom;
}

TEST(LibraryPlots, OverlayShowsSixDatesEachInItsColourInsideThePicture) {
  std::vector<TestRow> tests;
  for (int i = 0; i < 8; ++i) tests.push_back(Dated(2010 + i, 1.0 - 0.02 * i));
  const Rect r{10, 20, 810, 620};
  RecordingSurface s;
  DrawCurveOverlay(s, r, tests);
  std::set<std::string> legend;
  std::set<std::tuple<int, int, int>> colours;
  for (const DrawOp& op : s.ops()) {
    if (op.kind == DrawOp::kText && op.text.rfind("201", 0) == 0) {
      legend.insert(op.text);
      colours.insert({op.pen.r, op.pen.g, op.pen.b});
    }
    if (op.kind == DrawOp::kLine) {
      EXPECT_TRUE(Inside(r, op.rect.left, op.rect.top) && Inside(r, op.rect.right, op.rect.bottom))
          << op.rect.left << "," << op.rect.top;
    }
  }
  EXPECT_EQ(legend, (std::set<std::string>{"2010-05-01", "2011-05-01", "2012-05-01", "2013-05-01",
                                           "2014-05-01", "2015-05-01"}));
  EXPECT_EQ(colours.size(), 6u);

  RecordingSurface empty;
  DrawCurveOverlay(empty, r, {TestRow()});
  EXPECT_EQ(empty.TextsContaining("No excitation curve").size(), 1u);
}

TEST(LibraryPlots, TrendLabelsEveryDateAndLeavesMissingValuesOut) {
  std::vector<HistoryEntry> history(3);
  for (int i = 0; i < 3; ++i) history[i].test = Dated(2015 + 3 * i, 1.0);
  history[1].test.has_resistance = true;  // one Rct value only: a point, no line
  history[1].test.rct75 = 0.6;
  const Rect r{0, 0, 900, 600};
  RecordingSurface s;
  DrawTrendPlot(s, r, history);
  for (const char* date : {"2015-05-01", "2018-05-01", "2021-05-01"})
    EXPECT_EQ(s.TextsContaining(date).size(), 1u) << date;
  int rct_points = 0;
  for (const DrawOp& op : s.ops()) {
    if (op.kind == DrawOp::kRectangle && op.brush == OverlayDateColor(2)) ++rct_points;
    if (op.kind == DrawOp::kLine || op.kind == DrawOp::kRectangle) {
      EXPECT_TRUE(Inside(r, op.rect.left, op.rect.top) && Inside(r, op.rect.right, op.rect.bottom));
    }
  }
  EXPECT_EQ(rct_points, 1);
  // An empty history still draws its frames without a value.
  RecordingSurface none;
  DrawTrendPlot(none, r, {});
  EXPECT_TRUE(none.TextsContaining("201").empty());
}

}  // namespace
}  // namespace kova

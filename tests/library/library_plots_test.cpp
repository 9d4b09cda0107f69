// The library's overlay and trend pictures on a recording surface.

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <tuple>

#include "base/format.h"
#include "library/library_plots.h"
#include "library/trend_fixture.h"
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
  // The legend's dates in the user's style, as the history table beside it.
  RecordingSurface day_first;
  DrawCurveOverlay(day_first, r, tests, DateStyle::kEu);
  EXPECT_EQ(day_first.TextsContaining("01/05/10").size(), 1u);

  RecordingSurface empty;
  DrawCurveOverlay(empty, r, {TestRow()});
  EXPECT_EQ(empty.TextsContaining("No excitation curve").size(), 1u);
}

TEST(LibraryPlots, TrendLabelsItsYearsAndLeavesMissingValuesOut) {
  std::vector<HistoryEntry> history(3);
  for (int i = 0; i < 3; ++i) history[i].test = Dated(2015 + 3 * i, 1.0);
  history[1].test.has_resistance = true;  // one Rct value only: a point, no line
  history[1].test.rct75 = 0.6;
  const Rect r{0, 0, 900, 600};
  RecordingSurface s;
  DrawTrendPlot(s, r, history);
  for (const char* year : {"2016", "2018", "2021"})
    EXPECT_EQ(s.TextsContaining(year).size(), 1u) << year;
  int rct_points = 0;
  const int rct_top = r.top + 2 * (r.Height() - 2 * (600 / 42)) / 3;
  for (const DrawOp& op : s.ops()) {
    if (op.kind == DrawOp::kRectangle && op.rect.top > rct_top) ++rct_points;
    if (op.kind == DrawOp::kLine || op.kind == DrawOp::kRectangle) {
      EXPECT_TRUE(Inside(r, op.rect.left, op.rect.top) && Inside(r, op.rect.right, op.rect.bottom));
    }
  }
  EXPECT_EQ(rct_points, 1);
  // An empty history still draws its frames without a value.
  RecordingSurface none;
  DrawTrendPlot(none, r, {});
  EXPECT_TRUE(none.TextsContaining("201").empty());
  EXPECT_EQ(none.TextsContaining("No values").size(), 3u);
}

TEST(LibraryPlots, RoundTicksAreFourToSixRoundValuesCoveringTheRange) {
  const struct {
    double lo, hi;
    const char* first;  // the first tick's text
  } ranges[] = {{0, 1, "0.0"},
                {1.828, 2.062, "1.8"},
                {1.945, 1.945, "1.92"},
                {0.0001, 0.00013, "0.00010"},
                {-0.31, 0.25, "-0.4"},
                {100, 1000, "0"},
                {239.9, 240.1, "239.90"},
                {-0.0021, 0.0012, "-0.003"},
                {12345, 67890, "0"},
                {0, 0, "-1.0"},
                {5, -5, "-5.0"},
                {61.2, 77.9, "60"}};
  for (const auto& c : ranges) {
    SCOPED_TRACE(Format("%g .. %g", c.lo, c.hi));
    const AxisTicks t = RoundTicks(c.lo, c.hi);
    EXPECT_GE(t.count, 4);
    EXPECT_LE(t.count, 6);
    EXPECT_LE(t.first, std::min(c.lo, c.hi) + 1e-12);
    EXPECT_GE(t.Last(), std::max(c.lo, c.hi) - 1e-12);
    const double e = std::pow(10.0, std::floor(std::log10(t.step) + 1e-9));
    const double mantissa = t.step / e;
    EXPECT_TRUE(std::fabs(mantissa - 1) < 1e-9 || std::fabs(mantissa - 2) < 1e-9 ||
                std::fabs(mantissa - 2.5) < 1e-9 || std::fabs(mantissa - 5) < 1e-9)
        << mantissa;
    EXPECT_NEAR(t.first / t.step, std::round(t.first / t.step), 1e-6) << "a multiple of the step";
    std::set<std::string> texts;
    for (int i = 0; i < t.count; ++i) texts.insert(t.Text(i));
    EXPECT_EQ(texts.size(), static_cast<size_t>(t.count)) << "every tick reads differently";
    EXPECT_EQ(t.Text(0), c.first);
  }
}

TEST(LibraryPlots, DateTicksNeverCollide) {
  const struct {
    double from, to;
    int pixels, char_width;
    const char* one;  // a label the axis must have
  } axes[] = {{2010.54, 2012.03, 800, 10, "2011-01"}, {2010.54, 2012.03, 2400, 10, "2011-02"},
              {2015.2, 2015.5, 500, 8, "2015-04"},    {1990, 2030, 300, 8, "2000"},
              {2010, 2011, 200, 10, "2010"},          {2000, 2010.9, 900, 12, "2005"}};
  for (const auto& a : axes) {
    SCOPED_TRACE(Format("%g .. %g over %d", a.from, a.to, a.pixels));
    const std::vector<DateTick> ticks = DateTicks(a.from, a.to, a.pixels, a.char_width);
    ASSERT_FALSE(ticks.empty());
    bool found = false;
    for (size_t i = 0; i < ticks.size(); ++i) {
      found = found || ticks[i].text == a.one;
      EXPECT_GE(ticks[i].at, a.from);
      EXPECT_LE(ticks[i].at, a.to);
      if (i == 0) continue;
      const double gap = (ticks[i].at - ticks[i - 1].at) / (a.to - a.from) * a.pixels;
      const double half_widths =
          (ticks[i].text.size() + ticks[i - 1].text.size()) * a.char_width / 2.0;
      EXPECT_GE(gap, half_widths + 0.4 * ticks[i].text.size() * a.char_width)
          << ticks[i - 1].text << " " << ticks[i].text;
    }
    EXPECT_TRUE(found) << a.one;
  }
}

bool Overlap(const DrawOp& a, const DrawOp& b) {
  auto box = [](const DrawOp& op) {
    const int w = static_cast<int>(op.text.size()) * (op.font.height / 2);
    return Rect{op.rect.left, op.rect.top, op.rect.left + w, op.rect.top + op.font.height};
  };
  const Rect p = box(a), q = box(b);
  return p.left < q.right && q.left < p.right && p.top < q.bottom && q.top < p.bottom;
}

// Histories of every span on a small and a large picture: no label of the
// trend plot or the overlay runs into another.
TEST(LibraryPlots, NoTwoTrendLabelsOverlap) {
  const struct {
    int tests, years_apart;
    Rect r;
  } cases[] = {{8, 1, {0, 0, 900, 600}},
               {2, 0, {0, 0, 600, 420}},
               {3, 12, {0, 0, 900, 600}},
               {8, 1, {0, 0, 3800, 2700}},
               {5, 3, {100, 50, 700, 500}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(Format("%d tests %d years apart", c.tests, c.years_apart));
    std::vector<TestRow> rows;
    for (int i = 0; i < c.tests; ++i) {
      rows.push_back(DriftingTest(i));
      rows.back().test_date = Format("%04d-%02d-17 10:00:00", 2010 + i * c.years_apart, 1 + i);
    }
    RecordingSurface trend, overlay;
    DrawTrendPlot(trend, c.r, BuildHistory(rows, TrendBands()));
    DrawCurveOverlay(overlay, c.r, rows);
    for (const RecordingSurface* s : {&trend, &overlay}) {
      std::vector<DrawOp> texts;
      for (const DrawOp& op : s->ops())
        if (op.kind == DrawOp::kText) texts.push_back(op);
      for (size_t i = 0; i < texts.size(); ++i)
        for (size_t j = i + 1; j < texts.size(); ++j)
          EXPECT_FALSE(Overlap(texts[i], texts[j])) << texts[i].text << " / " << texts[j].text;
    }
  }
}

// The Rct that moved by 0.0001 ohm: both points stay on the baseline, the
// axis spans the alarm band, and the warn and alarm bands are shaded around
// the baseline in each panel.
TEST(LibraryPlots, ATinyChangeStaysInsideTheBandsDrawnAroundTheBaseline) {
  std::vector<TestRow> rows = {DriftingTest(0), DriftingTest(0)};
  rows[1].test_date = "2012-01-09 10:00:00";
  rows[1].rct75 += 0.0001;
  rows[1].content_hash = "other";
  const auto history = BuildHistory(rows, TrendBands());
  const Rect r{0, 0, 900, 600};
  RecordingSurface s;
  DrawTrendPlot(s, r, history);
  std::vector<DrawOp> points, fills, baselines;
  for (const DrawOp& op : s.ops()) {
    if (op.kind == DrawOp::kRectangle) points.push_back(op);
    if (op.kind == DrawOp::kFill && op.brush != Color{255, 255, 255}) fills.push_back(op);
    if (op.kind == DrawOp::kLine && op.pen_width == 2) baselines.push_back(op);
  }
  ASSERT_EQ(points.size(), 6u);  // two tests, three panels
  for (size_t p = 0; p < 6; p += 2)
    EXPECT_LE(std::abs(points[p].rect.top + points[p].rect.bottom - points[p + 1].rect.top -
                       points[p + 1].rect.bottom),
              2)
        << "panel " << p / 2;
  EXPECT_EQ(points[0].brush, StateColor(ChangeFlag::kNone)) << "the baseline";
  EXPECT_EQ(points[5].brush, StateColor(ChangeFlag::kOk));
  ASSERT_EQ(fills.size(), 6u);  // alarm and warn band of each panel
  ASSERT_EQ(baselines.size(), 3u);
  for (int p = 0; p < 3; ++p) {
    const DrawOp &alarm = fills[2 * p], &warn = fills[2 * p + 1];
    const int base_y = baselines[p].rect.top;
    EXPECT_LT(alarm.rect.top, warn.rect.top);
    EXPECT_GT(alarm.rect.bottom, warn.rect.bottom);
    EXPECT_NEAR((alarm.rect.top + alarm.rect.bottom) / 2.0, base_y, 1.5);
    EXPECT_NEAR((warn.rect.top + warn.rect.bottom) / 2.0, base_y, 1.5);
  }
  EXPECT_EQ(s.TextsContaining("1.945").size(), 0u) << "round ticks, not the value twice";
  EXPECT_EQ(s.TextsContaining("baseline").size(), 6u);  // three titles' bands, three marks
}

TEST(LibraryPlots, EachPointTakesItsFlagsColour) {
  const auto history = DriftingHistory(8);
  RecordingSurface s;
  DrawTrendPlot(s, {0, 0, 900, 600}, history);
  std::vector<Color> knee, rct;
  for (const DrawOp& op : s.ops())
    if (op.kind == DrawOp::kRectangle) (knee.size() < 8 ? knee : rct).push_back(op.brush);
  ASSERT_EQ(knee.size(), 8u);
  for (int i = 1; i < 8; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(knee[i], StateColor(Worse(history[i].vs_baseline.excitation.flag,
                                        history[i].vs_previous.excitation.flag)));
  }
  const std::set<std::tuple<int, int, int>> want = {
      {StateColor(ChangeFlag::kOk).r, StateColor(ChangeFlag::kOk).g, StateColor(ChangeFlag::kOk).b},
      {StateColor(ChangeFlag::kWarn).r, StateColor(ChangeFlag::kWarn).g,
       StateColor(ChangeFlag::kWarn).b},
      {StateColor(ChangeFlag::kAlarm).r, StateColor(ChangeFlag::kAlarm).g,
       StateColor(ChangeFlag::kAlarm).b}};
  std::set<std::tuple<int, int, int>> seen;
  for (const Color& c : knee) seen.insert({c.r, c.g, c.b});
  for (const auto& w : want) EXPECT_EQ(seen.count(w), 1u) << "OK, WARN and ALARM all shown";
  EXPECT_EQ(EntryState(history[0]), ChangeFlag::kNone);
  EXPECT_EQ(EntryState(history[7]), ChangeFlag::kAlarm);
}

TEST(LibraryPlots, TheOverlayShowsTheLatestSixUnlessDatesAreChosen) {
  const struct {
    size_t count;
    std::vector<size_t> selected, shown;
  } cases[] = {{8, {}, {2, 3, 4, 5, 6, 7}},
               {3, {}, {0, 1, 2}},
               {0, {}, {}},
               {8, {7, 1}, {7, 1}},
               {8, {0, 1, 2, 3, 4, 5, 6, 7}, {0, 1, 2, 3, 4, 5}},
               {5, {2, 9}, {2}}};
  for (const auto& c : cases) EXPECT_EQ(OverlayChoice(c.count, c.selected), c.shown) << c.count;
}

}  // namespace
}  // namespace kova

// Pictures in SVG drawn by the same code as the screen and the paper: a
// report page and a CT's trend, each compared whole with its golden file.

#include <gtest/gtest.h>

#include "base/codepage.h"
#include "base/path.h"
#include "library/library_plots.h"
#include "library/trend_fixture.h"
#include "platform/report_printing.h"
#include "platform/svg_surface.h"
#include "platform/test_app.h"
#include "report/display_test.h"
#include "report/recording_surface.h"
#include "support/golden.h"
#include "support/record_fixtures.h"

namespace kova {
namespace {

std::string Golden(const char* name) {
  return PathJoin(std::string(KOVA_SOURCE_DIR) + "/tests/golden", name);
}

TEST(SvgSurface, AReportPageAndATrendMatchTheirGoldenFiles) {
  TestApp();
  auto rec = MakeSampleRecord(1, 3);
  rec->station = "A&B <sub> \"1\" \x01";
  ReportDocument doc;
  ASSERT_TRUE(doc.SetRecords({*rec}));
  FitScreenPages(doc, 1100, 825);
  const std::string page = DrawSvg(1100, 825, [&](Surface& s, const Rect& r) {
    CDisplayTest p;
    p.Setup(&s, doc.Record(0), false, &doc);
    p.DrawPage(r, 0);
  });
  ASSERT_EQ(page.rfind("<?xml", 0), 0u);
  EXPECT_NE(page.find("<svg width=\"1100\" height=\"825\""), std::string::npos);
  EXPECT_NE(page.find("A&amp;B &lt;sub&gt;"), std::string::npos);
  EXPECT_EQ(page.find('\x01'), std::string::npos);
  CompareWithGolden(page, Golden("web-report-page.svg"));

  const auto history = DriftingHistory(8);
  const std::string trend = DrawSvg(
      900, 640, [&](Surface& s, const Rect& r) { DrawTrendPlot(s, r, history, TrendBands()); });
  CompareWithGolden(trend, Golden("web-trend.svg"));
  // The same drawing: every text the trend draws on a recording surface
  // is in the SVG.
  RecordingSurface recorded;
  DrawTrendPlot(recorded, {0, 0, 900, 640}, history, TrendBands());
  for (const DrawOp& op : recorded.ops()) {
    if (op.kind == DrawOp::kText && !op.text.empty()) {
      EXPECT_NE(trend.find(">" + Cp1252ToUtf8(op.text) + "<"), std::string::npos) << op.text;
    }
  }
  EXPECT_EQ(
      DrawInlineSvg(900, 640,
                    [&](Surface& s, const Rect& r) { DrawTrendPlot(s, r, history, TrendBands()); }),
      trend.substr(trend.find("<svg")));
  EXPECT_EQ(DrawSvg(0, 10, [](Surface&, const Rect&) {}), "");
  EXPECT_EQ(DrawSvg(20001, 10, [](Surface&, const Rect&) {}), "");
}

}  // namespace
}  // namespace kova

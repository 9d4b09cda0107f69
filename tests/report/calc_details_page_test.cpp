#include "report/calc_details_page.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <iterator>
#include <map>
#include <memory>
#include <string>

#include "assess/assess_fixtures.h"
#include "base/file_io.h"
#include "base/path.h"
#include "report/display_test.h"
#include "report/recording_surface.h"
#include "report/report_document.h"
#include "support/record_fixtures.h"

namespace kova {
namespace {

// A record file whose folder may hold a profile and a reference beside it.
std::unique_ptr<TestRecord> RecordIn(const std::string& folder) {
  auto rec = CurveRecord(PowerLaw(233.24, 0.6, 6.0), 20, 400);
  rec->taps[0].fWindingRes = 2000;
  rec->fullpath = PathJoin(folder, "r.test");
  return rec;
}

std::string Drawn(const ReportDocument& doc, int page) {
  RecordingSurface s;
  CDisplayTest painter;
  painter.Setup(&s, doc.Record(0), true, &doc);
  painter.DrawPage({0, 0, 1700, 2200}, page);
  std::string text;
  for (const DrawOp& op : s.ops()) {
    if (op.kind == DrawOp::kText) text += op.text + "\n";
  }
  return text;
}

TEST(CalculationDetailsPage, DetailsAskedForEndWithTheWorking) {
  const std::string folder = TempFolder("details");
  std::filesystem::remove(PathJoin(folder, "r.assess.json"));  // left by another run
  auto rec = RecordIn(folder);
  // Without a profile or a reference: the working of every value all the
  // same, when the details are asked for.
  ReportDocument doc;
  doc.ShowCalculationDetails(true);
  ASSERT_TRUE(doc.SetRecords({*rec}));
  EXPECT_EQ(doc.pages().back().kind, kCalculationDetailsPage);
  EXPECT_EQ(doc.details_lines(), CalculationDetailsLines(*rec));
  EXPECT_NE(Drawn(doc, doc.pagecount() - 1).find("Calculation details"), std::string::npos);

  ASSERT_TRUE(
      WriteFileAtomically(PathJoin(folder, "r.assess.json"),
                          std::string(R"({"class":"5P","isr":1,"alf":20,"burden_va":10})")));
  ASSERT_TRUE(doc.SetRecords({*rec}));
  const std::vector<std::string>& lines = doc.details_lines();
  EXPECT_EQ(lines.front(), "IEC 61869-2 class 5P, Test 1 (tap X1-X5)");
  const int pages = DetailsPageCount(lines);
  EXPECT_GE(pages,
            static_cast<int>((lines.size() + kDetailsLinesPerPage - 1) / kDetailsLinesPerPage));
  ASSERT_GE(doc.pagecount(), pages + 1);
  EXPECT_EQ(doc.pages()[doc.pagecount() - pages - 1].kind, kTestPlanPage);
  EXPECT_EQ(doc.pages().back(), (ReportPage{pages - 1, kCalculationDetailsPage}));

  const std::string first = Drawn(doc, doc.pagecount() - pages);
  EXPECT_NE(first.find("Calculation details (1 of " + std::to_string(pages) + ")"),
            std::string::npos)
      << first;
  EXPECT_NE(first.find("composite error: 3.00 %"), std::string::npos) << first;
  EXPECT_NE(first.find("KOVA-7100 Software Version"), std::string::npos);
  // The last page ends with the last line of the details.
  const std::string last = Drawn(doc, doc.pagecount() - 1);
  EXPECT_NE(last.find(lines.back()), std::string::npos);

  // A broken profile is named on the page, not hidden.
  ASSERT_TRUE(WriteFileAtomically(PathJoin(folder, "r.assess.json"), std::string("{")));
  EXPECT_EQ(CalculationDetailsLines(*rec).front().rfind("Assessment profile not used: ", 0), 0u);
}

// References kept somewhere else than beside the record: by serial number.
class KeptBySerial : public ReferenceKeeper {
 public:
  KeptReference Find(const TestRecord& rec) override {
    auto it = kept.find(rec.serialnumber);
    return it == kept.end() ? KeptReference{} : it->second;
  }
  bool Keep(const TestRecord&, const ReferenceCurve&, std::string&, std::string& why) override {
    why = "not here";
    return false;
  }
  std::map<std::string, KeptReference> kept;
};

KeptReference Reference(const char* csv) { return ReferenceFromText(csv, "the test's keeper"); }

// The document asks its keeper for the CT's reference; an overlay compares
// and draws it only when every record shares it, and says so when not.
TEST(CalculationDetailsPage, ReferenceFromTheKeeperForRecordsAndOverlays) {
  const std::string folder = TempFolder("details-keeper");
  std::filesystem::remove(PathJoin(folder, "r.assess.json"));
  auto a = RecordIn(folder);
  a->serialnumber = "A";
  a->taps[0].fTestRatio = 400;
  TestRecord b = *a;
  b.serialnumber = "B";
  b.fullpath = PathJoin(folder, "b.test");
  auto keeper = std::make_shared<KeptBySerial>();
  const KeptReference ref = Reference("turns,800\nvoltmeter,rms\n200,0.05\n400,0.5\n800,5\n");
  keeper->kept["A"] = ref;
  keeper->kept["U"] = Reference("turns,800\n");

  auto blue_lines = [](const ReportDocument& doc, std::string& legend) {
    RecordingSurface s;
    CDisplayTest painter;
    painter.Setup(&s, doc.Record(0), false, &doc);
    painter.DrawPlot({0, 0, 1024, 1024}, 0, false);
    int n = 0;
    legend.clear();
    for (const DrawOp& op : s.ops()) {
      if (op.kind == DrawOp::kLine && op.pen == kReferenceColor) ++n;
      if (op.kind == DrawOp::kText && op.pen == kReferenceColor) {
        legend += (legend.empty() ? "" : " / ") + op.text;
      }
    }
    return n;
  };
  auto has = [](const ReportDocument& doc, const std::string& text) {
    for (const std::string& l : doc.details_lines())
      if (l.find(text) != std::string::npos) return true;
    return false;
  };
  struct Case {
    const char* what;
    std::vector<TestRecord> records;
    const char* detail;  // a line of the details
    int lines;           // reference lines drawn on the first test's plot, the legend's included
    const char* legend;
  } const cases[] = {
      {"one record of a CT with a reference",
       {*a},
       "  kept in the test's keeper",
       7,
       "Reference curve, band \xB1"
       "5 % / from the test's keeper, 800 turns"},
      {"one record of a CT without", {b}, "Taps of this CT", 0, ""},
      {"overlay of one CT",
       {*a, *a},
       "Record 2 of 2: r.test",
       7,
       "Reference curve, band \xB1"
       "5 % / from the test's keeper, 800 turns"},
      {"overlay of two CTs",
       {*a, b},
       "Reference curve not compared: the overlaid records do not share one reference curve",
       0,
       "Reference curve not drawn: the overlaid records do not share one / reference curve"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ReportDocument doc;
    doc.SetReferenceKeeper(keeper);
    doc.ShowCalculationDetails(true);
    ASSERT_TRUE(doc.SetRecords(c.records));
    EXPECT_EQ(doc.pages().back().kind, kCalculationDetailsPage);
    EXPECT_TRUE(has(doc, c.detail));
    std::string legend;
    EXPECT_EQ(blue_lines(doc, legend), c.lines);
    EXPECT_EQ(legend, c.legend);
  }
  // One that cannot be used is named, on the page and on the plot.
  b.serialnumber = "U";
  ReportDocument doc;
  doc.SetReferenceKeeper(keeper);
  doc.ShowCalculationDetails(true);
  ASSERT_TRUE(doc.SetRecords({b}));
  EXPECT_TRUE(has(doc, "Reference curve not used: not a reference curve: "));
  std::string legend;
  EXPECT_EQ(blue_lines(doc, legend), 0);
  EXPECT_EQ(legend.rfind("Reference curve not used: not a reference curve: ", 0), 0u) << legend;
}

}  // namespace
}  // namespace kova

namespace kova {
namespace {

// The reference kept beside the record is drawn on the test's plot scaled to
// the tap (V with the turns, I against them) with its band from the document
// in voltage at equal current; no reference, no extra lines.
TEST(ReferenceOnPlot, DrawnScaledWithItsBand) {
  const std::string folder = TempFolder("refplot");
  auto rec = RecordIn(folder);
  rec->taps[0].fTestRatio = 400;                                 // measured turns of the tap
  std::filesystem::remove(PathJoin(folder, "r.reference.csv"));  // a folder left by another run
  const Color blue = kReferenceColor;
  std::vector<DrawOp> shades;
  size_t first_grid_line = 0, shade_at = 0, last_grid_line = 0, box_at = 0;
  DrawOp legend_text{}, legend_box{}, last_legend_line{};
  size_t widest = 0;
  auto draw = [&](double band, std::vector<DrawOp>& lines, Rect& P, std::string& legend) {
    ReportDocument doc;
    ComparisonBands bands;
    bands.reference_percent = band;
    doc.SetComparisonBands(bands);
    ASSERT_TRUE(doc.SetRecords({*rec}));
    RecordingSurface s;
    CDisplayTest painter;
    painter.Setup(&s, doc.Record(0), false, &doc);
    painter.DrawPlot({0, 0, 1024, 1024}, 0, false);
    shades.clear();
    legend.clear();
    widest = 0;
    first_grid_line = s.ops().size();
    for (size_t i = 0; i < s.ops().size(); ++i) {
      const DrawOp& op = s.ops()[i];
      if (op.kind == DrawOp::kFrame && op.pen == kReportColors[0]) P = op.rect;
      if (op.kind == DrawOp::kLine && op.pen == blue) lines.push_back(op);
      if (op.kind == DrawOp::kLine && op.pen == kReportColors[0]) {
        first_grid_line = std::min(first_grid_line, i);
        last_grid_line = i;
      }
      if (op.kind == DrawOp::kFill && op.brush == kSingleTestPlotBackground) {
        legend_box = op;
        box_at = i;
      }
      if (op.kind == DrawOp::kPolygon) {
        shades.push_back(op);
        shade_at = i;
      }
      if (op.kind == DrawOp::kText && op.pen == blue) {
        if (legend.empty()) legend_text = op;
        legend += (legend.empty() ? "" : " / ") + op.text;
        widest = std::max(widest, op.text.size());
        last_legend_line = op;
      }
    }
  };
  std::vector<DrawOp> lines;
  Rect P{};
  std::string legend;
  draw(10, lines, P, legend);
  EXPECT_TRUE(lines.empty());  // nothing beside the record yet
  EXPECT_TRUE(shades.empty());
  EXPECT_EQ(legend, "");

  // Taken on 800 turns: on this 400-turn tap half the voltage, twice the current.
  ASSERT_TRUE(WriteFileAtomically(PathJoin(folder, "r.reference.csv"),
                                  std::string("turns,800\nvoltmeter,rms\n"
                                              "200,0.05\n400,0.5\n800,5\n")));
  draw(10, lines, P, legend);
  EXPECT_EQ(legend,
            "Reference curve, band \xB1"
            "10 % / from r.reference.csv, 800 turns");
  const int d = P.Width() / 4;
  // The record's currents span eight decades, from far below 1 mA to 15 A:
  // the decades shift to hold the highest.
  double amps_lo = 1e9, amps_hi = 0, volts_lo = 1e9, volts_hi = 0;
  for (int i = 0; i < 64; ++i) {
    amps_lo = std::min(amps_lo, rec->taps[0].dpAmps[i]);
    amps_hi = std::max(amps_hi, rec->taps[0].dpAmps[i]);
    volts_lo = std::min(volts_lo, rec->taps[0].dpVolts[i]);
    volts_hi = std::max(volts_hi, rec->taps[0].dpVolts[i]);
  }
  const PlotDecades decades =
      DecadesHolding(amps_lo, amps_hi, volts_lo, volts_hi, static_cast<double>(P.Height()) / d);
  EXPECT_EQ(decades.amps, -2);
  auto x = [&](double amps) {
    return P.left + static_cast<int>(std::log10(amps) * d - decades.amps * d);
  };
  auto y = [&](double volts) {
    return P.bottom - static_cast<int>(std::log10(volts) * d - decades.volts * d);
  };
  struct Segment {
    const char* what;
    double v1, a1, v2, a2;
  } const want[] = {
      {"reference", 100, 0.1, 200, 1.0},  {"reference", 200, 1.0, 400, 10},
      {"band +10 %", 110, 0.1, 220, 1.0}, {"band +10 %", 220, 1.0, 440, 10},
      {"band -10 %", 90, 0.1, 180, 1.0},  {"band -10 %", 180, 1.0, 360, 10},
  };
  // The reference dashed, its band's edges solid; then the legend's sample.
  ASSERT_EQ(lines.size(), std::size(want) + 1);
  EXPECT_EQ(lines.back().pen_style, PenStyle::kDash);
  lines.pop_back();
  for (size_t i = 0; i < lines.size(); ++i) {
    EXPECT_EQ(lines[i].pen_style, i < 2 ? PenStyle::kDash : PenStyle::kSolid);
    SCOPED_TRACE(std::string(want[i].what) + " segment " + std::to_string(i % 2));
    const Rect& l = lines[i].rect;
    EXPECT_NEAR(l.left, x(want[i].a1), 1);
    EXPECT_NEAR(l.top, y(want[i].v1), 1);
    EXPECT_NEAR(l.right, x(want[i].a2), 1);
    EXPECT_NEAR(l.bottom, y(want[i].v2), 1);
  }
  // The band shaded under the grid: the +10 % edge out, the -10 % edge back.
  ASSERT_EQ(shades.size(), 1u);
  EXPECT_EQ(shades[0].brush, kReferenceBandColor);
  EXPECT_LT(shade_at, first_grid_line);
  ASSERT_EQ(shades[0].points.size(), 6u);
  EXPECT_NEAR(shades[0].points[0].y, y(110), 1);
  EXPECT_NEAR(shades[0].points[2].x, x(10), 1);
  EXPECT_NEAR(shades[0].points[3].y, y(360), 1);
  EXPECT_NEAR(shades[0].points[5].y, y(90), 1);
  EXPECT_EQ(shades[0].points[5].x, shades[0].points[0].x);
  // The legend sits on its own background, laid over the grid lines.
  EXPECT_GT(box_at, last_grid_line);
  const int h = legend_text.font.height;
  EXPECT_LE(legend_box.rect.left, legend_text.rect.left);
  EXPECT_LE(legend_box.rect.top, legend_text.rect.top);
  EXPECT_GE(legend_box.rect.bottom, last_legend_line.rect.top + h);
  EXPECT_GE(legend_box.rect.right, legend_text.rect.left + static_cast<int>(widest) * (h / 2));
  EXPECT_LE(legend_box.rect.right, P.right);
}

}  // namespace
}  // namespace kova

// Report pages drawn on the recording surface (line height = font height,
// character width = half of it). On a 2400 x 1220 screen page the inner
// rectangle is (20, 20, 2380, 1200): body font 28 (cw 14), table font 22
// (cw 11), text from (25, 25), header separator S = 165, test table rows
// R = 42 and columns K = 393, table bottom T = 291.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>

#include "records/test_record.h"
#include "report/display_test.h"
#include "report/recording_surface.h"
#include "report/report_document.h"

namespace kova {
namespace {

const Rect kPage{0, 0, 2400, 1220};

std::unique_ptr<TestRecord> PlainRecord(int tests) {
  auto rec = std::make_unique<TestRecord>();
  rec->filename = "T1.test";
  rec->numtests = tests;
  rec->kneetypestr = "IEEE 30 Deg";
  static const int kCodes[] = {4, 3, 2, 1, 7, 6, 5, 9, 8, 10};
  for (int t = 0; t < tests; ++t) {
    TapTest& tap = rec->taps[t];
    tap.nTapConnection = kCodes[t % 10];
    tap.uTestType = kRatioTest | kResistanceTest | kExcitationTest;
    tap.nNamePlateNum = 600;
    tap.fNamePlateDen = 5;
    tap.fTestRatio = 120;
    for (int i = 0; i < 32; ++i) {
      tap.dpVolts[i] = 200.0 / (i + 1);
      tap.dpAmps[i] = 1.0 / ((i + 1) * (i + 1));
    }
    for (int g = 0; g < kGraphPointsPerTap; ++g) {
      tap.graph[g].gpVolts = 100 - g;
      tap.graph[g].gpAmps = 0.01 * (g + 1);
    }
    tap.fKneeVtg30 = 100;
    tap.fKneeCur30 = 0.1;
  }
  return rec;
}

struct Drawn {
  RecordingSurface s;
  // The text drawn with its box's top-left corner at (x, y), or "?".
  std::string At(int x, int y) const {
    for (const DrawOp& op : s.ops()) {
      if ((op.kind == DrawOp::kText || op.kind == DrawOp::kText16) && op.rect.left == x &&
          op.rect.top == y) {
        return op.text;
      }
    }
    return "?";
  }
  bool HasLine(int x1, int y1, int x2, int y2) const {
    return std::any_of(s.ops().begin(), s.ops().end(), [&](const DrawOp& op) {
      return op.kind == DrawOp::kLine && op.rect.left == x1 && op.rect.top == y1 &&
             op.rect.right == x2 && op.rect.bottom == y2;
    });
  }
};

std::unique_ptr<Drawn> Draw(const ReportDocument& doc, int page_index, bool printing = false,
                            Rect page = kPage) {
  auto d = std::make_unique<Drawn>();
  CDisplayTest painter;
  painter.Setup(&d->s, doc.Record(0), printing, &doc);
  painter.DrawPage(page, page_index);
  return d;
}

ReportDocument Single(const TestRecord& rec) {
  ReportDocument doc;
  doc.SetRecords({rec});
  return doc;
}

TEST(ReportPages, TestPageHeaderTableAndPointLists) {
  auto rec = PlainRecord(1);
  rec->taps[0].dpAmps[31] = 0;  // listed first, with an empty impedance
  rec->taps[0].dpVolts[30] = 0;
  rec->taps[0].dpAmps[30] = 0;  // not listed, no number used
  const auto d = Draw(Single(*rec), 0);
  // Header: three columns, separator.
  EXPECT_EQ(d->At(25, 25), "     FILENAME: T1.test             ");
  EXPECT_EQ(d->At(25 + 42 * 14, 25 + 28), "        MODEL:                               ");
  EXPECT_EQ(d->At(25 + 92 * 14, 25), "     TEST # 1: X1-X5        ");
  EXPECT_EQ(d->At(25 + 92 * 14, 25 + 2 * 28), "    KNEE TYPE: IEEE 30 Deg  ");
  EXPECT_TRUE(d->HasLine(20, 165, 2380, 165));
  // Test table: cells, and the fifth divider stops above the last row.
  EXPECT_EQ(d->At(34, 172), "IEEE 30");
  EXPECT_EQ(d->At(34, 172 + 42), "Vkp[Volts]: 100.00");
  EXPECT_EQ(d->At(34 + 3 * 393, 172), "NP-RATIO: 600/5.0");
  EXPECT_EQ(d->At(34 + 3 * 393, 172 + 84), "N/A");  // error exactly 0
  EXPECT_EQ(d->At(34 + 4 * 393, 172 + 84), "Winding Res: 0.00 milliohms");
  EXPECT_EQ(d->At(34 + 5 * 393, 172), "Phase Angle:0.00\xB0");
  EXPECT_EQ(d->At(34 + 5 * 393, 172 + 42), "In Phase");
  EXPECT_TRUE(d->HasLine(20 + 5 * 393, 165, 20 + 5 * 393, 165 + 84));
  EXPECT_TRUE(d->HasLine(20 + 4 * 393, 165, 20 + 4 * 393, 165 + 126));
  // Data points in the table font from D = 904: 16 rows a column.
  EXPECT_EQ(d->At(915, 302), "CT DATA POINTS");
  EXPECT_EQ(d->At(915, 324), "POINT  CUR(A)  VTG(V)  Z(OHM) ");
  EXPECT_EQ(d->At(915, 346), "1      0.0000  6.25           ");
  EXPECT_EQ(d->At(915, 346 + 22), "2      0.0011  6.67    6000.00");
  EXPECT_EQ(d->At(915 + 32 * 11, 324), "POINT  CUR(A)  VTG(V)  Z(OHM) ");
  EXPECT_EQ(d->At(915 + 32 * 11, 346).substr(0, 7), "17     ");
  // Graph points below the line at G - L, 11 rows then a new column.
  EXPECT_TRUE(d->HasLine(904, 709, 2380, 709));
  EXPECT_EQ(d->At(915, 731), "GRAPH POINTS");
  // Their impedances reach 10000.00: a column one character wider.
  EXPECT_EQ(d->At(915, 753), "POINT  CUR(A)  VTG(V)  Z(OHM)  ");
  EXPECT_EQ(d->At(915, 775), "1      0.0100  100.00  10000.00");
  EXPECT_EQ(d->At(915 + 33 * 11, 753), "POINT  CUR(A)  VTG(V)  Z(OHM)  ");
  EXPECT_EQ(d->At(915 + 33 * 11, 775).substr(0, 7), "12     ");
  // Screen hint, measured from the page origin.
  EXPECT_EQ(d->At(590, 1176), "(Double click to edit file)");
}

TEST(ReportPages, PointListColumnBreaksByModelAndUse) {
  struct Case {
    int model, ctusage, overlay, rows;
  } cases[] = {{1, 0, 0, 16}, {2, 0, 0, 22}, {2, 0, 2, 16}, {2, 2, 0, 13}};
  for (const Case& c : cases) {
    auto rec = PlainRecord(1);
    rec->deviceversion = c.model;
    rec->classsettings.ctusage = c.ctusage;
    for (int i = 0; i < 64; ++i) {
      rec->taps[0].dpVolts[i] = 300.0 - i;
      rec->taps[0].dpAmps[i] = 0.5;
    }
    ReportDocument doc;
    if (c.overlay) {
      doc.SetRecords({*rec, *rec});
    } else {
      doc.SetRecords({*rec});
    }
    const int page = c.ctusage == 2 ? 0 : (c.overlay ? 1 : 0);
    const auto d = Draw(doc, page);
    const auto rows = d->s.TextsContaining("0.5000");
    ASSERT_GT(rows.size(), static_cast<size_t>(c.rows)) << c.model << " " << c.ctusage;
    EXPECT_EQ(rows[c.rows - 1].rect.left, rows[0].rect.left) << c.model;
    EXPECT_GT(rows[c.rows].rect.left, rows[0].rect.left) << c.model << " " << c.ctusage;
  }
}

TEST(ReportPages, EmptyEleventhGraphPointStartsNoSecondColumn) {
  auto rec = PlainRecord(1);
  rec->taps[0].graph[10] = GraphPoint{};
  const auto d = Draw(Single(*rec), 0);
  const DrawOp* g12 = d->s.FindText("12     0.1200");
  ASSERT_NE(g12, nullptr);
  EXPECT_EQ(g12->rect.left, 915);
  EXPECT_EQ(g12->rect.top, 753 + 11 * 22);
}

TEST(ReportPages, RatioErrorAndPhaseCellsOnTestAndSummaryPages) {
  struct Case {
    double ratio, phase;
    const char* test_error;
    const char* test_phase;
    const char* summary_error;
    const char* summary_phase;
  } cases[] = {
      {120, -5, "N/A", "In Phase", "0.000 %", "-5.00\xB0 [In \xD8]"},
      {240.6, 999, "% ERROR: > 99", "N/A", "100.500 %", "N/A"},
      {121.2, 180, "% ERROR: 1.0000", "Out of Phase", "1.000 %", "180.00\xB0 [Out \xD8]"},
      {120, 90, "N/A", "N/A", "0.000 %", "90.00\xB0 "},
  };
  for (const Case& c : cases) {
    auto rec = PlainRecord(1);
    rec->taps[0].fTestRatio = c.ratio;
    rec->taps[0].fTestPhase = c.phase;
    const ReportDocument doc = Single(*rec);
    const auto test = Draw(doc, 0);
    EXPECT_EQ(test->At(34 + 3 * 393, 172 + 84), c.test_error) << c.ratio;
    EXPECT_EQ(test->At(34 + 5 * 393, 172 + 42), c.test_phase) << c.phase;
    // Summary: body font, h = 7, the row R = 42 below the header row.
    const auto sum = Draw(doc, 1);
    const int row_y = 165 + 7 + 42;
    EXPECT_EQ(sum->At(20 + 14 + 97 * 14, row_y), c.summary_error) << c.ratio;
    EXPECT_EQ(sum->At(20 + 14 + 109 * 14, row_y), c.summary_phase) << c.phase;
  }
}

TEST(ReportPages, SummaryRowsFollowTheTapOrderWithTheirPosition) {
  auto rec = PlainRecord(3);  // X1-X5, X1-X4, X1-X3
  rec->taporder = "X1-X3,X1-X2,X1-X5";
  const auto d = Draw(Single(*rec), 3);
  EXPECT_EQ(d->At(20 + 7, 172), "Test");
  EXPECT_EQ(d->At(20 + 7 + 126 * 14, 172), "Winding Res");
  // X1-X3 at position 1, X1-X5 at position 3; X1-X4 is not in the order.
  EXPECT_EQ(d->At(34, 172 + 42), "1");
  EXPECT_EQ(d->At(20 + 14 + 6 * 14, 172 + 42), "X1-X3");
  EXPECT_EQ(d->At(34, 172 + 84), "3");
  EXPECT_EQ(d->At(20 + 14 + 6 * 14, 172 + 84), "X1-X5");
  EXPECT_TRUE(d->s.TextsContaining("X1-X4").empty());
  // Grid: numtests + 1 lines; the table bottom is S + 4R.
  EXPECT_TRUE(d->HasLine(20, 165 + 4 * 42, 2380, 165 + 4 * 42));
  // The colour square of test 2 (X1-X3) in colour 2.
  const auto square = std::find_if(d->s.ops().begin(), d->s.ops().end(), [](const DrawOp& op) {
    return op.kind == DrawOp::kRectangle && op.rect.left == 20 + 3 * 14 && op.rect.top == 214;
  });
  ASSERT_NE(square, d->s.ops().end());
  EXPECT_EQ(square->brush, kReportColors[2]);
  EXPECT_NE(d->s.FindText("Test Notepad"), nullptr);
}

TEST(ReportPages, PassFailTableMarksAndSettingsText) {
  auto rec = PlainRecord(1);
  rec->passfail.pfenable = 1;
  rec->passfail.pfkneepointtype = 1;
  rec->passfail.pfkneevoltage[0] = 100;  // X1-X5, position 0
  rec->taps[0].fKneeVtg45 = 95;
  rec->taps[0].fTestRatio = 121.2;  // 1 % against the 1 % metering limit
  const ReportDocument doc = Single(*rec);
  const auto d = Draw(doc, 2);
  EXPECT_EQ(d->At(25 + 92 * 14, 25), "               PASS / FAIL REPORT");
  EXPECT_EQ(d->At(20 + 7 + 13 * 14, 172), "IEEE 45");
  EXPECT_EQ(d->At(20 + 14 + 13 * 14, 214), "95.00 [P]");
  EXPECT_EQ(d->At(20 + 14 + 67 * 14, 214), "1.000 % [F]");
  EXPECT_EQ(d->At(20 + 14 + 85 * 14, 214), "0.00\xB0 [P]");
  EXPECT_NE(d->s.FindText("CT Type: C100"), nullptr);
  EXPECT_NE(d->s.FindText("Knee-Point Voltage Deviation: 20%"), nullptr);
}

TEST(ReportPages, BurdenAndInsulationBlockInBothLayouts) {
  auto rec = PlainRecord(1);
  rec->taps[0].uTestType |= kBurdenTest | kInsulationTest;
  rec->B200fBurdenReqCur = 5.7;
  rec->B200fMeggerReqV = 1000;
  rec->B200fMeggerOhms = 1500;
  const ReportDocument doc = Single(*rec);
  // Page (0,4): one block at 4K + 2cw of the table font, top T + R.
  const auto one = Draw(doc, 1);
  EXPECT_EQ(one->At(20 + 4 * 393 + 22, 291 + 42), "BURDEN TEST RESULTS");
  EXPECT_EQ(one->At(20 + 4 * 393 + 22, 291 + 42 + 2 * 22), "5 AMP BURDEN TEST");
  EXPECT_EQ(one->At(20 + 4 * 393 + 22, 291 + 42 + 9 * 22), "1000V INSULATION RES TEST RESULTS");
  EXPECT_EQ(one->At(20 + 4 * 393 + 22, 291 + 42 + 13 * 22), "RESISTANCE:   >1,000 MEG-OHMS");
  // Summary: side by side below the table (TB = 165 + 2R = 249, top TB + R).
  const auto sum = Draw(doc, 2);
  const int U = 2360 / 10;
  EXPECT_EQ(sum->At(20 + 7 * U + 33, 249 + 42), "BURDEN TEST RESULTS");
  EXPECT_EQ(sum->At(20 + 4 * U + 22, 249 + 42), "1000V INSULATION RES TEST RESULTS");
  // The note pad starts half a line below the burden block's last line.
  const DrawOp* note = sum->s.FindText("Test Notepad");
  ASSERT_NE(note, nullptr);
  EXPECT_EQ(note->rect.top, 249 + 42 + 8 * 22 + 11);
}

TEST(ReportPages, ErrorTablePageCentresTheInstrumentsTable) {
  auto rec = PlainRecord(1);
  rec->taps[0].burdentable = "#01 STD BURDEN VA/COS 12.5 PHASE ERROR TABLE";
  const auto d = Draw(Single(*rec), 1);
  const DrawOp* title = d->s.FindText("CURRENT RATIO ERROR TABLE");
  ASSERT_NE(title, nullptr);
  EXPECT_TRUE(title->centred);
  EXPECT_EQ(title->rect.left, 2380 * 50 / 100);
  EXPECT_NE(d->s.FindText(" STD BURDEN "), nullptr);
  EXPECT_NE(d->s.FindText("VA/COS 12.5 "), nullptr);
  EXPECT_NE(d->s.FindText("PHASE ERROR TABLE"), nullptr);
  EXPECT_NE(d->s.FindText("Note: \"*\" Estimated value"), nullptr);
}

TEST(ReportPages, TestPlanPageListsTestsAndTheClassTable) {
  auto rec = PlainRecord(2);
  rec->burdenenabled = 1;
  rec->classdone = 1;
  rec->classresult = "C100";
  rec->tapmode = "Multi Tap";
  rec->classtap = "X1-X5";
  rec->rows[0].name = "C10";
  rec->rows[0].Rb = 0.09;
  const auto d = Draw(Single(*rec), 3);
  const int x0 = 20 + 5 * 14;
  EXPECT_EQ(d->At(x0 + 35 * 14, 165 + 56), "Ratio");
  EXPECT_EQ(d->At(x0, 165 + 112), "X1-X5");
  EXPECT_EQ(d->At(x0 + 15 * 14, 165 + 112), " 600/5.0 ");
  EXPECT_EQ(d->At(x0 + 48 * 14, 165 + 140), "[X]");
  const int burden_y = 165 + 140 + 56;
  EXPECT_EQ(d->At(x0, burden_y), "Burden Test     [X]");
  EXPECT_EQ(d->At(x0, burden_y + 28), "Insulation Test [ ]");
  EXPECT_EQ(d->At(x0, burden_y + 84), "Classification: C100 for Multi Tap: X1-X5");
  EXPECT_EQ(d->At(x0, burden_y + 84 + 3 * 28), "Class: C10");
  EXPECT_EQ(d->At(x0 + 15 * 14, burden_y + 84 + 3 * 28), "Br: 0.09");
  EXPECT_EQ(d->s.FindText("(Double click"), nullptr);
}

TEST(ReportPages, OverlayLegendAndDetailHalves) {
  auto a = PlainRecord(1);
  auto b = PlainRecord(1);
  b->filename = "T2.test";
  b->taps[0].nTapConnection = 1;
  ReportDocument doc;
  doc.SetRecords({*a, *b});
  // Overlaid: B = 1180 / 60 = 19, body font 23 (cw 11).
  const auto legend = Draw(doc, 0);
  const DrawOp* first = legend->s.FindText("      TEST #1: T1.test");
  const DrawOp* second = legend->s.FindText("      TEST #2: T2.test");
  ASSERT_TRUE(first && second);
  EXPECT_EQ(first->pen, kOverlayColors[0]);
  EXPECT_EQ(second->pen, kOverlayColors[1]);
  EXPECT_EQ(second->rect.top, first->rect.top + 23);
  EXPECT_NE(second->text.find("Tap: X1-X2"), std::string::npos);
  EXPECT_EQ(legend->At(25 + 67 * 11, 25), "TEST # 1");
  EXPECT_EQ(legend->s.FindText("(Double click"), nullptr);  // no hint on overlays

  const auto detail = Draw(doc, 1);
  const auto names = detail->s.TextsContaining("FILENAME");
  ASSERT_EQ(names.size(), 2u);
  EXPECT_EQ(names[1].rect.top, 20 + 590);
  EXPECT_NE(names[1].text.find("T2.test"), std::string::npos);
}

TEST(ReportPages, PrintModeAvoidsLightGreyAndWhiteAndPrintsTheFooter) {
  auto rec = PlainRecord(20);
  rec->passfail.pfenable = 1;
  rec->taps[3].uTestType |= kBurdenTest;
  const ReportDocument doc = Single(*rec);
  for (int i = 0; i < doc.pagecount(); ++i) {
    const auto d = Draw(doc, i, true);
    for (const Color& c : d->s.ColorsUsed()) {
      EXPECT_NE(c, kReportColors[kLightGreyIndex]) << "page " << i;
      EXPECT_NE(c, kReportColors[kWhiteIndex]) << "page " << i;
    }
    const bool footer = d->s.FindText("KOVA-7100 Software Version: 3.0") != nullptr;
    EXPECT_EQ(footer, doc.pages()[i].kind != kTestPlanPage) << "page " << i;
  }
  // On screen the summary's curve of test 7 is grey (colour 8).
  int summary = 0;
  while (doc.pages()[static_cast<size_t>(summary)].kind != kSummaryPage) ++summary;
  const auto screen = Draw(doc, summary);
  EXPECT_TRUE(std::any_of(screen->s.ops().begin(), screen->s.ops().end(), [](const DrawOp& op) {
    return op.kind == DrawOp::kLine && op.pen == kReportColors[8] && op.pen_width == 2;
  }));
}

TEST(ReportPages, NarrowPagesTakeSmallerFontsSoTheHeaderFits) {
  auto rec = PlainRecord(1);
  const auto d = Draw(Single(*rec), 0, false, {0, 0, 1600, 1200});
  const DrawOp* freq = d->s.FindText("    FREQUENCY");
  ASSERT_NE(freq, nullptr);
  const int cw = freq->font.height / 2;
  EXPECT_LT(cw, 14);  // smaller than on the wide page
  EXPECT_LE(freq->rect.left + static_cast<int>(freq->text.size()) * cw, 1580);
}

TEST(ReportPages, NonFiniteValuesNeverPrintNan) {
  auto rec = PlainRecord(1);
  rec->taps[0].fKneeVtg30 = std::nan("");
  rec->taps[0].fTestRatio = std::numeric_limits<double>::infinity();
  rec->taps[0].dpVolts[3] = std::nan("");
  rec->B200fBurdenReqCur = std::nan("");
  rec->taps[0].uTestType |= kBurdenTest;
  const ReportDocument doc = Single(*rec);
  for (int i = 0; i < doc.pagecount(); ++i) {
    const auto d = Draw(doc, i);
    EXPECT_TRUE(d->s.TextsContaining("nan").empty()) << i;
    EXPECT_TRUE(d->s.TextsContaining("inf").empty()) << i;
  }
}

}  // namespace
}  // namespace kova

namespace kova {
namespace {

// Plot in a 1024 square on the recording surface: font 25 (w 12), plot
// area (108, 25, 1012, 916), decade d = 226.
TEST(ReportPlot, PointsOffTheLogAxesAreLeftOut) {
  struct Case {
    double knee_v, knee_a;
    bool marked;
    int x, y;
  } cases[] = {
      {100, 0.1, true, 108 + 2 * 226, 916 - 2 * 226},
      {10, 1.0, true, 108 + 3 * 226, 916 - 226},
      {0, 0.1, false, 0, 0},
      {-5, 1.0, false, 0, 0},
      {100, std::nan(""), false, 0, 0},
  };
  for (const Case& c : cases) {
    auto rec = PlainRecord(1);
    rec->taps[0].fKneeVtg30 = c.knee_v;
    rec->taps[0].fKneeCur30 = c.knee_a;
    rec->taps[0].dpVolts[5] = 0;       // a point at 0 V inside the curve
    rec->taps[0].dpAmps[31] = 0.0011;  // the curve inside the plot's first decades
    RecordingSurface s;
    CDisplayTest painter;
    painter.Setup(&s, *rec, false, nullptr);
    painter.DrawPlot({0, 0, 1024, 1024}, 0, false);
    std::vector<Rect> marks;
    int curve_lines = 0;
    for (const DrawOp& op : s.ops()) {
      if (op.kind == DrawOp::kFill) marks.push_back(op.rect);
      if (op.kind == DrawOp::kLine && op.pen_width == 2 && op.pen == kReportColors[0] &&
          op.rect.left != op.rect.right && op.rect.top != op.rect.bottom) {
        ++curve_lines;
        EXPECT_GT(op.rect.bottom, -10000);  // never towards minus infinity
      }
    }
    // 32 points, 31 segments, less the two that touch the point at 0 V.
    EXPECT_EQ(curve_lines, 29) << c.knee_v;
    ASSERT_EQ(marks.size(), c.marked ? 1u : 0u) << c.knee_v;
    if (c.marked) {
      EXPECT_EQ(marks[0].left, c.x - 3);
      EXPECT_EQ(marks[0].top, c.y - 3);
      EXPECT_EQ(marks[0].right, c.x + 3);
    }
  }
}

TEST(ReportPlot, KneeMarksStandOutOnPaper) {
  for (bool printing : {false, true}) {
    auto rec = PlainRecord(1);
    rec->taps[0].fKneeVtg30 = 100;
    rec->taps[0].fKneeCur30 = 0.1;
    RecordingSurface s;
    CDisplayTest painter;
    painter.Setup(&s, *rec, printing, nullptr);
    painter.DrawPlot({0, 0, 1024, 1024}, 0, false);
    int curve_width = 0;
    std::vector<Rect> marks, frames;
    for (const DrawOp& op : s.ops()) {
      if (op.kind == DrawOp::kFill) marks.push_back(op.rect);
      if (op.kind == DrawOp::kFrame && op.pen == kReportColors[0]) frames.push_back(op.rect);
      if (op.kind == DrawOp::kLine && op.rect.left != op.rect.right)
        curve_width = std::max(curve_width, op.pen_width);
    }
    ASSERT_EQ(marks.size(), 1u) << printing;
    const Rect m = marks[0];
    frames.erase(std::remove_if(frames.begin(), frames.end(),
                                [&](const Rect& f) {
                                  return f.left != m.left || f.top != m.top || f.right != m.right ||
                                         f.bottom != m.bottom;
                                }),
                 frames.end());
    // On paper the mark is several curve widths across and framed in black.
    if (printing) {
      EXPECT_GE(marks[0].right - marks[0].left, 6 * curve_width);
      EXPECT_EQ(frames.size(), 1u);
    } else {
      EXPECT_TRUE(frames.empty());
    }
  }
}

}  // namespace
}  // namespace kova

// Report drawing through QPainter: the plot's pixels, print colours, fonts
// and the PDF's text.

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <cstdio>
#include <memory>
#include <string>

#include "base/format.h"
#include "platform/qpainter_surface.h"
#include "platform/report_printing.h"
#include "platform/test_app.h"
#include "report/display_test.h"
#include "support/record_fixtures.h"

namespace kova {
namespace {

struct Canvas {
  explicit Canvas(QColor fill, int w = 1024, int h = 1024) : image(w, h, QImage::Format_RGB32) {
    TestApp();
    image.fill(fill);
    painter.begin(&image);
    surface = std::make_unique<QPainterSurface>(painter);
  }
  QColor At(int x, int y) {
    if (painter.isActive()) painter.end();
    return image.pixelColor(x, y);
  }
  QImage image;
  QPainter painter;
  std::unique_ptr<QPainterSurface> surface;
};

// The plot area and decade of DrawPlot in a 1024 square, from the fonts.
void PlotGeometry(Surface& s, Rect& P, int& d) {
  s.SelectFont({"Courier New", 1024 / 40, 800, true});
  const TextMetrics m = s.Metrics();
  P = {9 * m.ave_char_width, m.height, 1024 - m.ave_char_width, 1024 - 9 * m.ave_char_width};
  d = P.Width() / 4;
}

std::unique_ptr<TestRecord> KneeOnlyRecord(int tests) {
  auto rec = std::make_unique<TestRecord>();
  rec->numtests = tests;
  rec->kneetype = 1;
  for (int t = 0; t < tests; ++t) {
    rec->taps[t].nTapConnection = t + 1;
    rec->taps[t].fKneeVtg30 = 100;
    rec->taps[t].fKneeCur30 = 0.1;
  }
  return rec;
}

TEST(PlotPixels, KneeMarkSitsOnTheDecadesOfItsVoltageAndCurrent) {
  struct Case {
    double volts, amps;
    int up, right;
  } cases[] = {{100, 0.1, 2, 2}, {10, 1.0, 1, 3}};
  for (const Case& c : cases) {
    auto rec = KneeOnlyRecord(1);
    rec->taps[0].fKneeVtg30 = c.volts;
    rec->taps[0].fKneeCur30 = c.amps;
    Canvas canvas(Qt::white);
    CDisplayTest painter;
    painter.Setup(canvas.surface.get(), *rec, false, nullptr);
    Rect P;
    int d = 0;
    PlotGeometry(*canvas.surface, P, d);
    painter.DrawPlot({0, 0, 1024, 1024}, 0, false);
    const int x = P.left + c.right * d, y = P.bottom - c.up * d;
    EXPECT_EQ(canvas.At(x, y), QColor(Qt::black)) << c.volts;
    EXPECT_EQ(canvas.At(x + 2, y - 3), QColor(Qt::black)) << c.volts;  // a square of half-side 3
    EXPECT_EQ(canvas.At(x + 6, y - 6), QColor(253, 192, 124)) << c.volts;
  }
}

TEST(PlotPixels, TestSevenIsGreyInTheSummaryAndNothingLeavesThePlotArea) {
  auto rec = KneeOnlyRecord(8);
  for (int t = 0; t < 8; ++t) rec->taps[t].fKneeCur30 = 0.002 * (t + 1) * (t + 1);
  rec->taps[7].dpVolts[0] = 0;  // a point at 0 V inside the curve
  rec->taps[7].dpAmps[0] = 0.5;
  rec->taps[7].dpVolts[1] = 50;
  rec->taps[7].dpAmps[1] = 0.6;
  rec->taps[7].dpVolts[2] = 60;
  rec->taps[7].dpAmps[2] = 0.7;
  Canvas canvas(Qt::white);
  CDisplayTest painter;
  painter.Setup(canvas.surface.get(), *rec, false, nullptr);
  painter.OrderTests();
  Rect P;
  int d = 0;
  PlotGeometry(*canvas.surface, P, d);
  for (int i = 0; i < painter.OrderedTestCount(); ++i)
    painter.DrawPlot({0, 0, 1024, 1024}, i, true);
  const int x = P.left + static_cast<int>(std::log10(0.128 * 1000) * d);
  EXPECT_EQ(canvas.At(x, P.bottom - 2 * d), QColor(128, 128, 128));
  // Nothing was drawn towards the point at 0 V: the plot's bottom-left
  // corner area stays white.
  EXPECT_EQ(canvas.At(P.left + 3 * d + 40, P.bottom - 5), QColor(Qt::white));
}

TEST(PlotPixels, PrintModeNeverUsesLightGreyOrWhite) {
  auto rec = MakeSampleRecord(1, 20);
  rec->passfail.pfenable = 1;
  ReportDocument doc;
  doc.SetRecords({*rec});
  for (int page : {0, doc.pagecount() - 3, doc.pagecount() - 2}) {
    Canvas canvas(QColor(255, 0, 255), 1600, 1200);
    CDisplayTest painter;
    painter.Setup(canvas.surface.get(), doc.Record(0), true, &doc);
    painter.DrawPage({0, 0, 1600, 1200}, page);
    canvas.At(0, 0);
    int forbidden = 0;
    for (int y = 0; y < 1200; ++y) {
      const QRgb* row = reinterpret_cast<const QRgb*>(canvas.image.constScanLine(y));
      for (int x = 0; x < 1600; ++x) {
        const QRgb p = row[x] & 0xFFFFFF;
        forbidden += p == 0xC0C0C0 || p == 0xFFFFFF;
      }
    }
    EXPECT_EQ(forbidden, 0) << "page " << page;
  }
}

TEST(ReportFonts, FacesMapToMetricCompatibleFontsWithTheAskedCellHeight) {
  TestApp();
  EXPECT_EQ(ReportFontFamily("Courier New"), "Liberation Mono");
  EXPECT_EQ(ReportFontFamily("Arial"), "Liberation Sans");
  Canvas canvas(Qt::white, 100, 100);
  for (int height : {12, 28, 75}) {
    canvas.surface->SelectFont({"Courier New", height, 700, true});
    const TextMetrics m = canvas.surface->Metrics();
    EXPECT_NEAR(m.height, height, 1) << height;
    // Courier New: 0.6 em a character, the em 2048 / 2320 of the cell.
    EXPECT_NEAR(m.ave_char_width, height * 0.6 * 2048 / 2320, 1) << height;
    // Advances are fractional: a line stays within a pixel a character of
    // the whole character widths the layout counts in.
    EXPECT_NEAR(canvas.surface->TextWidth("0123456789"), 10 * m.ave_char_width, 10);
  }
}

std::string CommandOutput(const std::string& command) {
  std::string out;
  FILE* p = popen(command.c_str(), "r");
  if (!p) return out;
  char buf[4096];
  size_t n = 0;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
  pclose(p);
  return out;
}

TEST(ReportPdf, OnePageEachWithSearchableText) {
  TestApp();
  auto rec = MakeSampleRecord(2, 2);
  rec->filename = "T\xB0.test";
  ReportDocument doc;
  doc.SetRecords({*rec});
  const std::string pdf = TempFolder("reportpdf") + "/r.pdf";
  ASSERT_TRUE(PrintReportToPdf(doc, QString::fromStdString(pdf), false, QImage(),
                               "Printed 12/10/26 16:30"));
  const std::string info = CommandOutput("pdfinfo '" + pdf + "'");
  EXPECT_NE(info.find("Pages:           " + std::to_string(doc.pagecount())), std::string::npos)
      << info;
  const std::string text = CommandOutput("pdftotext -layout '" + pdf + "' -");
  for (const char* want :
       {"FILENAME: T\xC2\xB0.test", "CT DATA POINTS", "GRAPH POINTS", "SUMMARY REPORT", "TEST PLAN",
        "BURDEN TEST RESULTS", "www.helmark.example", "KOVA-7100 Software Version: 3.0"}) {
    EXPECT_NE(text.find(want), std::string::npos) << want;
  }
  // Each page's footer: when it was printed and where the page stands.
  const int pages = doc.pagecount();
  for (int page : {1, pages}) {
    EXPECT_NE(text.find(Format("Page %d of %d", page, pages)), std::string::npos) << page;
  }
  size_t printed = 0;
  for (size_t at = text.find("Printed 12/10/26 16:30"); at != std::string::npos;
       at = text.find("Printed 12/10/26 16:30", at + 1))
    ++printed;
  EXPECT_EQ(printed, static_cast<size_t>(pages));
}

}  // namespace
}  // namespace kova

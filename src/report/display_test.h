#pragma once
// CDisplayTest draws one report page at a time onto a Surface: on screen,
// on a printer page (print mode) or, for the pictures, only the excitation
// plot. It lives for one page draw.

#include <memory>
#include <string>

#include "records/test_record.h"
#include "report/report_colors.h"
#include "report/report_document.h"
#include "report/surface.h"

namespace kova {

// The character widths of a point list's columns: each as wide as its
// widest text, never narrower than the instrument's layout of 30
// characters a row in columns 32 apart.
struct PointColumns {
  int number = 6, amps = 7, volts = 7, ohms = 7;
  int Row() const { return number + amps + volts + ohms + 3; }
  int Step() const { return Row() + 2; }
};
// Over the data points of `tap`, or over its graph points.
PointColumns MeasurePointColumns(const TestRecord& rec, const TapTest& tap, bool graph);

// The decades the excitation plot shows: four across from 10^amps A and
// four up from 10^volts V; 0.001 A and 1 V unless measured points lie
// outside them.
struct PlotDecades {
  int amps = -3, volts = 0;
  bool operator==(const PlotDecades& o) const { return amps == o.amps && volts == o.volts; }
};
// The decades that hold currents from min_amps to max_amps and voltages from
// min_volts to max_volts (each range of positive values; an empty range, min
// above max, keeps its axis as it is) on a plot `volts_span` decades high.
// When a range is wider than the plot, its highest points are kept.
PlotDecades DecadesHolding(double min_amps, double max_amps, double min_volts, double max_volts,
                           double volts_span);

struct PlotAxes;  // where the plot's decades lie on the surface

class CDisplayTest {
 public:
  CDisplayTest();
  ~CDisplayTest();
  CDisplayTest(const CDisplayTest&) = delete;
  CDisplayTest& operator=(const CDisplayTest&) = delete;

  // Copies the record and keeps the other three; `document` may be null
  // (the picture export).
  void Setup(Surface* surface, const TestRecord& record, bool printing,
             const ReportDocument* document);

  // Draws entry `page_index` of the document's page list into `page`.
  void DrawPage(const Rect& page, int page_index);

  // How many pages entry `page_index` needs at this size on this surface:
  // 1, or more when its text block does not fit and goes on over
  // continuation pages (parts 1, 2, ...). Draws nothing.
  int PartsOf(const Rect& page, int page_index);

  // The tests in tap order and every test's colour (for the pictures).
  void OrderTests();
  int OrderedTestCount() const { return ordered_count_; }
  int OrderedTest(int position) const;

  // New pen and brush in one colour; in print mode light grey and white
  // become black.
  void SetPen(int color_index, PenStyle style, int width);
  void SetPenColor(Color color, PenStyle style, int width);

  // The excitation plot in the square `r`: test `t`, or with `all_tests`
  // the ordered test at position `t` (grid and title only for position 0).
  void DrawPlot(const Rect& r, int t, bool all_tests);

  // The burden and insulation results of `tap`'s record at x / top in the
  // table font. `inner` bounds the text; `u` is the column unit of the
  // side-by-side layout. Returns the y below the drawn lines.
  int DrawBurdenInsulation(const Rect& inner, int x, int top, const TapTest& tap, bool side_by_side,
                           int u);

  // A damaged record's banner across the top of a picture of `picture`'s
  // size (the pictures have no page around them).
  void DrawPictureBanner(const Rect& picture);

  // L of the body font of the last page drawn.
  int line_height() const { return line_height_; }

 private:
  struct Fonts;
  struct Layout;
  // The page's text block that may continue on further pages: its text and
  // how it flows from its own box into the continuation boxes.
  struct TextBlock;

  void DrawEntry(const Rect& whole, const ReportPage& pg);
  // The banner of a damaged record shown (the first of an overlay's), or empty.
  std::string DamageBanner() const;
  void DrawBody(const Layout& lay, const ReportPage& pg);
  // Draws the block's first share into `box` (all of it when it fits) and
  // keeps its flow for the continuation pages.
  void DrawTextBlock(const Layout& lay, const Rect& box, const std::string& text, unsigned flags);
  // A continuation page: the header, a caption, and this part's share.
  void DrawContinuation(const Layout& lay);
  Rect ContinuationBox(const Layout& lay) const;
  // Where text must end so as not to run into the footer or the hint.
  int TextBottom(const Layout& lay) const;

  void SelectBody();
  void SelectTable();
  void SelectFontAndMeasure(const FontSpec& f);
  const TestRecord& Rec() const { return *rec_; }

  int DrawHeader(const Layout& lay, int test, int kind, int y0);
  int DrawTestTable(const Layout& lay, int test, int S, int* K);
  void DrawPointLists(const Layout& lay, int test, int kind, int T);
  void DrawErrorTable(const Layout& lay, int test, int T);
  int DrawSummaryTable(const Layout& lay, int kind, int S, int* table_bottom);
  void DrawSummaryText(const Layout& lay, int kind, int left, int Y);
  void DrawPlanPage(const Layout& lay, int S);
  int DrawOverlayLegend(const Layout& lay, int test);
  void DrawRecordBlocks(const Layout& lay, const TestRecord& rec, int test, int kind, int y0);
  Rect PlotSquare(const Layout& lay, int kind, int Y0);
  void DrawFooterAndHint(const Layout& lay, int kind);
  void PlotCurve(const PlotAxes& axes, const TapTest& tap);
  // The decades that hold every measured point the plot shows.
  PlotDecades PlotRange(int t, bool all_tests, double volts_span) const;
  // Characters from the first data point column to the end of the last,
  // and across the graph points' two columns (0 where none are drawn).
  struct PointSpan {
    int list = 0, graph = 0;
  };
  PointSpan DataPointSpan(const Layout& lay) const;
  static int PointRowsPerColumn(const TestRecord& rec, bool overlaid);

  Surface* s_ = nullptr;
  bool printing_ = false;
  const ReportDocument* doc_ = nullptr;
  std::unique_ptr<TestRecord> copy_;
  const TestRecord* rec_ = nullptr;  // the copy, or the overlaid record being drawn
  std::unique_ptr<Fonts> fonts_;
  FontSpec font_;  // the font in use
  int part_ = 0;   // the part of the page being drawn
  std::unique_ptr<TextBlock> block_;
  int line_height_ = 0;
  int L_ = 0, cw_ = 0;  // metrics of the font in use
  int ordered_[kMaxTaps] = {};
  int ordered_count_ = 0;
};

}  // namespace kova

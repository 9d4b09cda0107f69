// CDisplayTest: page frame, header, test table, point lists, error table,
// burden and insulation block, footer. The summary, plan and overlay pages
// are in display_summary.cpp, the plot in display_plot.cpp.

#include "report/display_test.h"

#include <algorithm>

#include "analysis/display_rules.h"
#include "analysis/taps.h"
#include "analysis/test_result_fields.h"
#include "base/codepage.h"
#include "base/format.h"
#include "records/knee_fields.h"
#include "records/record_header.h"
#include "records/test_label.h"
#include "report/assessment_page.h"
#include "report/calc_details_page.h"
#include "report/damage_banner.h"
#include "report/display_test_internal.h"
#include "report/quiet_surface.h"
#include "report/report_texts.h"

namespace kova {
namespace {
// Characters from the inner left to the end of the header's widest line.
constexpr int kHeaderWidthChars = 127;
}  // namespace

CDisplayTest::CDisplayTest()
    : copy_(std::make_unique<TestRecord>()), fonts_(new Fonts), block_(new TextBlock) {
  rec_ = copy_.get();
}
CDisplayTest::~CDisplayTest() = default;

void CDisplayTest::Setup(Surface* surface, const TestRecord& record, bool printing,
                         const ReportDocument* document) {
  s_ = surface;
  *copy_ = record;
  rec_ = copy_.get();
  printing_ = printing;
  doc_ = document;
}

int CDisplayTest::OrderedTest(int position) const {
  if (position < 0 || position >= ordered_count_) return 0;
  return ordered_[position];
}

void CDisplayTest::OrderTests() { ordered_count_ = OrderedTests(Rec(), ordered_); }

void CDisplayTest::SetPen(int color_index, PenStyle style, int width) {
  if (printing_ && (color_index == kLightGreyIndex || color_index == kWhiteIndex)) color_index = 0;
  const Color c = ReportColor(color_index);
  s_->SetPen(c, style, width);
  s_->SetBrush(c);
}

void CDisplayTest::SetPenColor(Color color, PenStyle style, int width) {
  if (printing_ &&
      (color == kReportColors[kLightGreyIndex] || color == kReportColors[kWhiteIndex])) {
    color = kReportColors[0];
  }
  s_->SetPen(color, style, width);
  s_->SetBrush(color);
}

void CDisplayTest::SelectFontAndMeasure(const FontSpec& f) {
  s_->SelectFont(f);
  font_ = f;
  const TextMetrics m = s_->Metrics();
  L_ = m.height;
  cw_ = m.ave_char_width;
}
void CDisplayTest::SelectBody() { SelectFontAndMeasure(fonts_->body); }
void CDisplayTest::SelectTable() { SelectFontAndMeasure(fonts_->table); }

void CDisplayTest::DrawPage(const Rect& page, int page_index) {
  if (!s_ || !doc_ || page_index < 0 || page_index >= doc_->pagecount()) return;
  DrawEntry(page, doc_->pages()[page_index]);
}

int CDisplayTest::PartsOf(const Rect& page, int page_index) {
  if (!s_ || !doc_ || page_index < 0 || page_index >= doc_->pagecount()) return 1;
  ReportPage first = doc_->pages()[page_index];
  first.part = 0;
  QuietSurface quiet(*s_);
  Surface* real = s_;
  s_ = &quiet;
  DrawEntry(page, first);
  s_ = real;
  return block_->present ? block_->flow.Shares() : 1;
}

std::string CDisplayTest::DamageBanner() const {
  const int records = doc_ != nullptr ? doc_->RecordCount() : 1;
  for (int r = 0; r < std::max(1, records); ++r) {
    const TestRecord& rec = doc_ != nullptr && records > 1 ? doc_->Record(r) : Rec();
    const std::string text = DamagedRecordBanner(rec.fileend);
    if (text.empty()) continue;
    return records > 1 ? text + " (" + rec.filename + ")" : text;
  }
  return std::string();
}

void CDisplayTest::DrawEntry(const Rect& whole, const ReportPage& pg) {
  part_ = std::max(0, pg.part);
  *block_ = TextBlock();
  // A damaged record's banner takes a strip across the page's top; the
  // page is laid out below it.
  const std::string banner = DamageBanner();
  Rect page = whole;
  if (!banner.empty()) page.top += DamageBannerHeight(whole);
  Layout lay;
  lay.page = page;
  lay.inner = page.Inset(20);
  lay.kind = pg.kind;
  lay.test = std::clamp(pg.test, 0, kMaxTaps - 1);
  lay.overlaid = doc_->overlaycount() != 0;
  const Rect& inner = lay.inner;

  if (!printing_) {
    SetPen(9, PenStyle::kSolid, 1);
    s_->Rectangle(page);
    s_->SetTextColor(ReportColor(0));
    s_->SetBackgroundColor(ReportColor(kWhiteIndex));
  }
  int B = inner.Height() / (lay.overlaid ? 60 : printing_ ? 52 : 50);
  auto make_fonts = [&] {
    fonts_->body = {"Courier New", B * (printing_ ? 95 : 125) / 100, 700, true};
    fonts_->table = {"Courier New", B * (printing_ ? 88 : 98) / 100, 900, true};
    SelectTable();
    SelectBody();
  };
  make_fonts();
  // The header's third column ends some 127 characters from the left. A page
  // narrower than that for its height (a 4:3 window, a portrait sheet) takes
  // proportionally smaller fonts, so nothing runs off the page.
  const int needed = 5 + kHeaderWidthChars * cw_;
  if (needed > inner.Width() && needed > 0) {
    B = static_cast<int>(static_cast<long long>(B) * inner.Width() / needed);
    make_fonts();
  }
  // Likewise when the data point columns would run past the page (a model
  // of 64 points on the metering page's narrow plot) or, overlaid, into the
  // graph points.
  const PointSpan span = DataPointSpan(lay);
  if (span.list > 0) {
    const int D =
        lay.overlaid ? inner.left : inner.right * (lay.kind == kMeteringPage ? 19 : 38) / 100;
    const int limit = (lay.overlaid ? inner.right * 69 / 100 : inner.right) - D;
    // Overlaid, the graph points' two columns end at the inner right;
    // otherwise they sit below the data points.
    const int graph_limit = lay.overlaid ? inner.right - inner.right * 69 / 100 : limit;
    int list_width = 0, graph_width = 0;
    auto measure = [&] {
      SelectTable();
      list_width = span.list * cw_;
      graph_width = span.graph * cw_;
      SelectBody();
      return (list_width <= limit || limit <= 0) &&
             (graph_width <= graph_limit || graph_limit <= 0);
    };
    if (!measure()) {
      long long scaled = B;
      if (list_width > limit && limit > 0) scaled = scaled * limit / list_width;
      if (graph_width > graph_limit && graph_limit > 0) {
        scaled = std::min<long long>(scaled, static_cast<long long>(B) * graph_limit / graph_width);
      }
      B = static_cast<int>(scaled);
      make_fonts();
      // Font sizes are whole units: the scaled font can still be a little
      // too wide.
      while (B > 1 && !measure()) {
        --B;
        make_fonts();
      }
    }
  }
  line_height_ = L_;
  lay.body_L = L_;
  lay.body_cw = cw_;
  fonts_->footer = {"Arial", L_ * 65 / 100, 400, false};
  if (!printing_) {
    s_->FillRect(inner, ReportColor(kWhiteIndex));
    SetPen(0, PenStyle::kSolid, 1);
  } else {
    SetPen(0, PenStyle::kSolid, 5);
  }
  s_->Frame(inner);
  lay.x0 = inner.left + 5;
  lay.y0 = inner.top + 5;

  if (part_ == 0) {
    DrawBody(lay, pg);
  } else {
    // Where the earlier parts' text ended: the page laid out unseen.
    QuietSurface quiet(*s_);
    Surface* real = s_;
    s_ = &quiet;
    DrawBody(lay, pg);
    s_ = real;
    DrawContinuation(lay);
  }
  DrawFooterAndHint(lay, lay.kind);
  if (!banner.empty())
    DrawDamageBanner(*s_, {whole.left, whole.top, whole.right, page.top}, banner);
}

void CDisplayTest::DrawPictureBanner(const Rect& picture) {
  const std::string banner = DamagedRecordBanner(Rec().fileend);
  if (banner.empty()) return;
  DrawDamageBanner(
      *s_, {picture.left, picture.top, picture.right, picture.top + DamageBannerHeight(picture)},
      banner);
}

void CDisplayTest::DrawBody(const Layout& lay, const ReportPage& pg) {
  const Rect& inner = lay.inner;
  const int t = lay.test;
  switch (lay.kind) {
    case kTestPage:
    case kErrorTablePage:
    case kBurdenInsulationPage:
    case kMeteringPage: {
      const int S = DrawHeader(lay, t, lay.kind, lay.y0);
      int K = 0;
      const int T = DrawTestTable(lay, t, S, &K);
      if (lay.kind == kTestPage || lay.kind == kMeteringPage) DrawPointLists(lay, t, lay.kind, T);
      if (lay.kind == kErrorTablePage) DrawErrorTable(lay, t, T);
      if (lay.kind == kBurdenInsulationPage) {
        DrawBurdenInsulation(inner, inner.left + 4 * K, T + static_cast<int>(1.5 * lay.body_L),
                             Rec().taps[t], false, K);
      }
      DrawPlot(PlotSquare(lay, lay.kind, T), t, false);
      break;
    }
    case kSummaryPage:
    case kPassFailPage: {
      const int S = DrawHeader(lay, t, lay.kind, lay.y0);
      int TB = 0;
      const int Y = DrawSummaryTable(lay, lay.kind, S, &TB);
      SelectBody();
      const Rect plot = PlotSquare(lay, lay.kind, TB);
      for (int i = 0; i < ordered_count_; ++i) DrawPlot(plot, i, true);
      SelectBody();
      DrawSummaryText(lay, lay.kind, plot.right + 5 * cw_, Y);
      break;
    }
    case kOverlayPage: {
      const int Y0 = DrawOverlayLegend(lay, t);
      DrawPlot(PlotSquare(lay, lay.kind, Y0), t, false);
      break;
    }
    case kOverlayDetailPage: {
      DrawRecordBlocks(lay, doc_->Record(0), t, lay.kind, lay.y0);
      const int mid = inner.top + inner.Height() / 2;
      s_->Line(inner.left, mid - L_ / 2, inner.right, mid - L_ / 2);
      DrawRecordBlocks(lay, doc_->Record(1), t, lay.kind, mid);
      break;
    }
    case kThirdRecordPage:
      DrawRecordBlocks(lay, doc_->Record(2), t, lay.kind, lay.y0);
      break;
    case kTestPlanPage: {
      const int S = DrawHeader(lay, t, lay.kind, lay.y0);
      DrawPlanPage(lay, S);
      break;
    }
    case kCalculationDetailsPage:
      DrawCalculationDetails(*s_, inner, doc_->details_lines(), pg.test);
      break;
    case kAssessmentPage: {
      const int S = DrawHeader(lay, t, lay.kind, lay.y0);
      DrawAssessmentPage(*s_, {inner.left, S, inner.right, TextBottom(lay)},
                         doc_->assessment_page(), printing_);
      SelectBody();
      break;
    }
    default:
      break;
  }
}

namespace {

// The page kinds whose text block can continue, and the caption of their
// continuation pages.
const char* ContinuationCaption(int kind) {
  switch (kind) {
    case kErrorTablePage:
      return "CURRENT RATIO ERROR TABLE";
    case kSummaryPage:
      return "Test Notepad";
    case kPassFailPage:
      return "Pass / Fail settings";
    case kMeteringPage:
      return "Calculation trace";
    default:
      return "";
  }
}

// Continuation pages one text block may add; beyond them the last page
// says that the text goes on.
constexpr int kMaxTextShares = 50;
constexpr const char* kTextCutMark = "(The text goes on; the text export holds all of it.)";

}  // namespace

int CDisplayTest::TextBottom(const Layout& lay) const {
  const Rect& inner = lay.inner;
  if (printing_) return inner.bottom - 3 * lay.body_L;  // the footer's top
  const bool hint = !lay.overlaid && lay.kind != kMeteringPage;
  // The hint's box is measured from the page's origin (see the footer).
  return hint ? std::min(inner.bottom, inner.Height() - 4) : inner.bottom;
}

Rect CDisplayTest::ContinuationBox(const Layout& lay) const {
  const int S = lay.y0 + 5 * lay.body_L;
  const int top = S + L_ / 2 + 2 * L_;
  return {lay.inner.left + 5 * cw_, top, lay.inner.right - 5 * cw_, std::max(top, TextBottom(lay))};
}

void CDisplayTest::DrawTextBlock(const Layout& lay, const Rect& box, const std::string& text,
                                 unsigned flags) {
  TextBlock& b = *block_;
  b.present = true;
  b.text = text;
  b.flags = flags;
  b.font = font_;
  b.next = ContinuationBox(lay);
  const Rect first{box.left, box.top, box.right, std::min(box.bottom, TextBottom(lay))};
  b.flow = FlowText(*s_, text, (flags & kTextWordBreak) != 0, first, b.next, kMaxTextShares);
  if (b.flow.Shares() == 1 && !b.flow.cut) {
    s_->DrawText(box, text, flags);
  } else {
    DrawTextShare(*s_, text, b.flow, 0, first, flags, kTextCutMark);
  }
}

void CDisplayTest::DrawContinuation(const Layout& lay) {
  SelectBody();
  const int S = DrawHeader(lay, lay.test, lay.kind, lay.y0);
  const TextBlock& b = *block_;
  // A part this page no longer has (the list was laid out for another
  // size): the header alone.
  if (!b.present || part_ >= b.flow.Shares()) return;
  SelectFontAndMeasure(b.font);
  PutText(*s_, lay.inner, b.next.left, S + L_ / 2,
          Format("%s (continued, page %d of %d)", ContinuationCaption(lay.kind), part_ + 1,
                 b.flow.Shares()));
  DrawTextShare(*s_, b.text, b.flow, part_, b.next, b.flags, kTextCutMark);
}

CDisplayTest::PointSpan CDisplayTest::DataPointSpan(const Layout& lay) const {
  if (lay.kind != kTestPage && lay.kind != kMeteringPage && lay.kind != kOverlayDetailPage &&
      lay.kind != kThirdRecordPage) {
    return {};
  }
  PointSpan span;
  for (int r = 0; r < 3; ++r) {
    const bool drawn = lay.kind == kThirdRecordPage     ? r == 2
                       : lay.kind == kOverlayDetailPage ? r < 2
                                                        : r == 0;
    if (!drawn) continue;
    const TestRecord& rec = lay.overlaid ? doc_->Record(r) : Rec();
    const TapTest& tap = rec.taps[lay.test];
    int listed = 0;
    for (int i = 0; i < ReportDataPointSlots(rec); ++i) {
      listed += tap.dpAmps[i] != 0 || tap.dpVolts[i] != 0;
    }
    const int q = PointRowsPerColumn(rec, lay.overlaid);
    const int columns = std::max(1, (listed + q - 1) / q);
    const PointColumns c = MeasurePointColumns(rec, tap, false);
    // The last column needs its row and a margin; graph points take two.
    span.list = std::max(span.list, (columns - 1) * c.Step() + c.Row() + 1);
    if (lay.kind != kMeteringPage) {
      const PointColumns g = MeasurePointColumns(rec, tap, true);
      span.graph = std::max(span.graph, g.Step() + g.Row() + 1);
    }
  }
  return span;
}

int CDisplayTest::PointRowsPerColumn(const TestRecord& rec, bool overlaid) {
  int q = rec.deviceversion == 2 ? 22 : 16;
  if (overlaid) q = 16;
  if (rec.classsettings.ctusage == 2) q = 13;
  return q;
}

void CDisplayTest::DrawRecordBlocks(const Layout& lay, const TestRecord& rec, int test, int kind,
                                    int y0) {
  rec_ = &rec;
  SelectBody();
  const int S = DrawHeader(lay, test, kind, y0);
  int K = 0;
  const int T = DrawTestTable(lay, test, S, &K);
  DrawPointLists(lay, test, kind, T);
  rec_ = copy_.get();
}

namespace {

// "%13s: <format>" of the row's caption and value.
std::string ReportHeaderText(const TestRecord& rec, const HeaderFieldRow& row) {
  return Format("%13s: ", row.caption) + Format(row.report_format, row.value(rec).c_str());
}

}  // namespace

int CDisplayTest::DrawHeader(const Layout& lay, int test, int kind, int y0) {
  const TestRecord& r = Rec();
  const TapTest& tap = r.taps[test];
  const Rect& inner = lay.inner;
  const int x0 = lay.x0;
  // Columns 1 and 2 hold the header texts, drawn line by line.
  const std::vector<const HeaderFieldRow*> col1 = ReportHeaderRows(1), col2 = ReportHeaderRows(2);
  for (size_t i = 0; i < std::max(col1.size(), col2.size()); ++i) {
    if (i < col1.size()) {
      PutText(*s_, inner, x0, y0 + col1[i]->report_line * L_, ReportHeaderText(r, *col1[i]));
    }
    if (i < col2.size()) {
      PutText(*s_, inner, x0 + 42 * cw_, y0 + col2[i]->report_line * L_,
              ReportHeaderText(r, *col2[i]));
    }
  }
  std::vector<std::string> col3;
  if (kind == kTestPlanPage) {
    col3.push_back(Format("%13s  %-13s", " ", "TEST PLAN"));
  } else if (kind == kSummaryPage) {
    col3.push_back(Format("%13s  %-13s", " ", "SUMMARY REPORT"));
  } else if (kind == kPassFailPage) {
    col3.push_back(Format("%13s  %-13s", " ", "PASS / FAIL REPORT"));
  } else if (kind == kAssessmentPage) {
    col3.push_back(Format("%13s  %-13s", " ", "ASSESSMENT"));
  } else {
    col3.push_back(Format("%13s: %-13s", Format("TEST # %d", ReportTestNumber(test)).c_str(),
                          TapNameFromCode(tap.nTapConnection).c_str()));
  }
  const bool record_page = kind == kSummaryPage || kind == kPassFailPage || kind == kAssessmentPage;
  if (!record_page) {
    // The notes row of the test's fields, labelled as in the workbook.
    const TestFieldRow& notes = TestFieldOf(TestField::kNotes);
    col3.push_back(Format("%13s: %-20s", notes.workbook_label, notes.text(r, tap).c_str()));
  }
  for (const HeaderFieldRow* row : ReportHeaderRows(3)) col3.push_back(ReportHeaderText(r, *row));
  // The IEC verdict beside the knee type, when a profile is kept.
  if (kind == kSummaryPage && doc_ != nullptr && !doc_->assessment_page().summary_line.empty()) {
    col3.push_back("  " + Utf8ToCp1252(doc_->assessment_page().summary_line));
  }
  for (size_t i = 0; i < col3.size(); ++i) {
    PutText(*s_, inner, x0 + 92 * cw_, y0 + static_cast<int>(i) * L_, col3[i]);
  }
  const int S = y0 + 5 * L_;
  s_->Line(inner.left, S, inner.right, S);
  return S;
}

int CDisplayTest::DrawTestTable(const Layout& lay, int test, int S, int* K_out) {
  const TapTest& tap = Rec().taps[test];
  const Rect& inner = lay.inner;
  const int R = static_cast<int>(1.5 * L_);
  const int K = inner.Width() / 6;
  *K_out = K;
  for (int k = 1; k <= 3; ++k) s_->Line(inner.left, S + k * R, inner.right, S + k * R);
  for (int k = 1; k <= 5; ++k) {
    s_->Line(inner.left + k * K, S, inner.left + k * K, S + (k == 5 ? 2 : 3) * R);
  }
  const int r1 = S + L_ / 4;
  const int rows[3] = {r1, r1 + R, r1 + 2 * R};
  auto cell = [&](int col, int row, const std::string& text) {
    PutText(*s_, inner, inner.left + cw_ + col * K, rows[row], text);
  };
  for (const TestFieldRow& row : TestFieldTable()) {
    if (row.field == TestField::kKneePoints) {
      int c = 0;
      for (const KneeFieldRow& knee : kKneeFields) {
        cell(c, 0, knee.name);
        cell(c, 1,
             std::string(kKneeVoltageLabel) + ": " +
                 NumberText(kReportKneeFormats.voltage, tap.*knee.voltage));
        cell(c, 2,
             std::string(kKneeCurrentLabel) + ": " +
                 NumberText(kReportKneeFormats.current, tap.*knee.current));
        ++c;
      }
      continue;
    }
    std::string text;
    if (row.report_column >= 0 && ReportCellText(row, Rec(), tap, text)) {
      cell(row.report_column, row.report_row, text);
    }
  }
  SelectTable();
  return S + 3 * R;
}

namespace {

std::string AmpsText(double amps) { return NumberText("%2.4f", amps); }
std::string VoltsText(double volts) { return NumberText("%3.2f", volts); }

// "%-6d %-7s %-7s %-7s" of one data or graph point, each column widened to
// its widest text.
std::string PointRow(const PointColumns& c, int number, double amps, double volts) {
  return Format("%-*d %-*s %-*s %-*s", c.number, number, c.amps, AmpsText(amps).c_str(), c.volts,
                VoltsText(volts).c_str(), c.ohms, PointImpedanceText(volts, amps).c_str());
}

void Widen(PointColumns& c, double amps, double volts) {
  if (amps == 0 && volts == 0) return;
  c.amps = std::max(c.amps, static_cast<int>(AmpsText(amps).size()));
  c.volts = std::max(c.volts, static_cast<int>(VoltsText(volts).size()));
  c.ohms = std::max(c.ohms, static_cast<int>(PointImpedanceText(volts, amps).size()));
}

}  // namespace

PointColumns MeasurePointColumns(const TestRecord& rec, const TapTest& tap, bool graph) {
  PointColumns c;
  if (graph) {
    for (const GraphPoint& gp : tap.graph) Widen(c, gp.gpAmps, gp.gpVolts);
  } else {
    for (int i = 0; i < ReportDataPointSlots(rec); ++i) Widen(c, tap.dpAmps[i], tap.dpVolts[i]);
  }
  return c;
}

void CDisplayTest::DrawPointLists(const Layout& lay, int test, int kind, int T) {
  const TestRecord& r = Rec();
  const TapTest& tap = r.taps[test];
  const Rect& inner = lay.inner;
  auto header_of = [](const PointColumns& c) {
    return Format("%-*s %-*s %-*s %-*s", c.number, "POINT", c.amps, "CUR(A)", c.volts, "VTG(V)",
                  c.ohms, "Z(OHM)");
  };
  PointColumns c = MeasurePointColumns(r, tap, false);
  std::string header = header_of(c);
  const int D = lay.overlaid
                    ? inner.left
                    : (kind == kMeteringPage ? inner.right * 19 / 100 : inner.right * 38 / 100);
  s_->Line(D, T, D, inner.bottom);

  // Data points, newest slot first, in columns of Q rows.
  int x = D + cw_;
  const int title_y = T + L_ / 2;
  PutText(*s_, inner, x, title_y, Format("%s", "CT DATA POINTS"));
  const int header_y = title_y + L_;
  PutText(*s_, inner, x, header_y, header);
  const int Q = PointRowsPerColumn(r, lay.overlaid);
  int y = header_y;
  int number = 0;
  for (int i = ReportDataPointSlots(r) - 1; i >= 0; --i) {
    if (tap.dpAmps[i] == 0 && tap.dpVolts[i] == 0) continue;
    ++number;
    y += L_;
    PutText(*s_, inner, x, y, PointRow(c, number, tap.dpAmps[i], tap.dpVolts[i]));
    if (number % Q == 0) {
      x += c.Step() * cw_;
      y = header_y;
      if (i != 0) PutText(*s_, inner, x, y, header);
    }
  }

  // The next block: below the data points, or on the right when overlaid.
  int bx = D + cw_;
  int by = 0;
  if (lay.overlaid) {
    bx = inner.right * 69 / 100;
    by = T + L_ / 2;
  } else {
    by = T + (Q + 4) * L_;
    s_->Line(D, by - L_, inner.right, by - L_);
  }
  if (kind == kMeteringPage) {
    // The trace's lines are long: wrapped at the page's edge.
    DrawTextBlock(lay, {bx, by + L_, inner.right, inner.bottom}, tap.taptrace, kTextWordBreak);
    return;
  }
  c = MeasurePointColumns(r, tap, true);
  header = header_of(c);
  PutText(*s_, inner, bx, by, "GRAPH POINTS");
  const int gheader_y = by + L_;
  PutText(*s_, inner, bx, gheader_y, header);
  y = gheader_y;
  for (int g = 0; g < kGraphPointsPerTap; ++g) {
    const GraphPoint& gp = tap.graph[g];
    if (gp.gpAmps == 0 && gp.gpVolts == 0) continue;
    y += L_;
    PutText(*s_, inner, bx, y, PointRow(c, g + 1, gp.gpAmps, gp.gpVolts));
    if (g == 10) {
      bx += c.Step() * cw_;
      y = gheader_y;
      PutText(*s_, inner, bx, y, header);
    }
  }
}

void CDisplayTest::DrawErrorTable(const Layout& lay, int test, int T) {
  const TapTest& tap = Rec().taps[test];
  const Rect& inner = lay.inner;
  if (tap.burdentable.empty()) return;
  Rect box{inner.right * (printing_ ? 52 : 50) / 100, T + L_, inner.right - 5 * cw_, inner.bottom};
  s_->DrawText(box, "CURRENT RATIO ERROR TABLE", kTextCenter);
  box.top += 2 * L_;
  std::string table = tap.burdentable;
  ReplaceAll(table, "VA/COS", "\rVA/COS");
  ReplaceAll(table, "PHASE ERROR TABLE", "\r\rPHASE ERROR TABLE");
  ReplaceAll(table, "#01", "");
  table += "\rNote: \"*\" Estimated value";
  DrawTextBlock(lay, box, table, kTextCenter);
}

namespace {

// A burden or insulation block as one text of "\r"-separated lines: its
// headings, each followed by an empty line, then one line per result.
std::string ResultsText(const TestRecord& rec, ResultBlock block) {
  std::string text;
  for (const std::string& heading : ResultHeadings(block, rec)) text += heading + "\r\r";
  const std::vector<const ResultLineRow*> lines = ResultLines(block);
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) text += '\r';
    text += ResultLineLabel(*lines[i], FieldOutput::kReport) +
            lines[i]->value(rec, FieldOutput::kReport);
  }
  return text;
}

}  // namespace

int CDisplayTest::DrawBurdenInsulation(const Rect& inner, int x, int top, const TapTest& tap,
                                       bool side_by_side, int u) {
  SelectTable();
  const TestRecord& r = Rec();
  const bool burden = (tap.uTestType & kBurdenTest) != 0;
  const bool insulation = (tap.uTestType & kInsulationTest) != 0;
  const std::string btext = burden ? ResultsText(r, ResultBlock::kBurden) : "";
  const std::string itext = insulation ? ResultsText(r, ResultBlock::kInsulation) : "";
  constexpr int kBurdenLines = 9, kInsulationLines = 5;
  if (side_by_side && burden && insulation) {
    PutText(*s_, inner, x + 3 * cw_, top, btext);
    PutText(*s_, inner, inner.left + 4 * u + 2 * cw_, top, itext);
    const int burden_last = top + (kBurdenLines - 1) * L_;
    const int insulation_below = top + kInsulationLines * L_;
    return std::max(burden_last, insulation_below);
  }
  int y = top;
  if (burden && insulation) {
    PutText(*s_, inner, x + 2 * cw_, top, btext + "\r" + itext);
    y = top + (kBurdenLines + kInsulationLines) * L_;
  } else if (burden) {
    PutText(*s_, inner, x + 2 * cw_, top, btext);
    y = top + (kBurdenLines - 1) * L_;
  } else if (insulation) {
    PutText(*s_, inner, x + 2 * cw_, top, itext);
    y = top + kInsulationLines * L_;
  }
  return side_by_side ? y : y + (L_ * 3 / 2);
}

Rect CDisplayTest::PlotSquare(const Layout& lay, int kind, int Y0) {
  const Rect& inner = lay.inner;
  const int top = Y0 + 2 * L_;
  const int X = kind == kMeteringPage  ? inner.right * 18 / 100
                : kind == kOverlayPage ? inner.right
                                       : inner.right * 37 / 100;
  const int side = std::max(0, std::min(X - inner.left + 1, inner.bottom - top + 1));
  return {inner.left, top, inner.left + side, top + side};
}

void CDisplayTest::DrawFooterAndHint(const Layout& lay, int kind) {
  if (kind == kOverlayDetailPage || kind == kThirdRecordPage || kind == kTestPlanPage) return;
  const Rect& inner = lay.inner;
  if (!printing_) {
    // The hint's box is measured from the page's origin, not the inner
    // rectangle's: on screen the page starts at (0, 0), and this puts the
    // text just above the inner rectangle's bottom edge.
    if (!lay.overlaid && kind != kMeteringPage && kind != kCalculationDetailsPage) {
      s_->DrawText({inner.Width() / 4, inner.Height() - 4, inner.right, inner.bottom},
                   "(Double click to edit file)", kTextLeft);
    }
    return;
  }
  s_->SelectFont(fonts_->footer);
  const std::string text =
      Format("KOVA-7100 Software Version: %s\r", kReportSoftwareVersion) + kMakerWebAddress;
  s_->DrawText({inner.left + 8 * lay.body_cw, inner.bottom - 3 * lay.body_L,
                inner.right - 8 * lay.body_cw, inner.bottom},
               text, kTextLeft);
}

}  // namespace kova

// CDisplayTest: the summary and pass / fail tables with their text block,
// the test plan page and the overlay page's legend.

#include <algorithm>

#include "analysis/display_rules.h"
#include "analysis/pass_fail.h"
#include "analysis/taps.h"
#include "base/codepage.h"
#include "base/format.h"
#include "records/test_label.h"
#include "report/display_test.h"
#include "report/display_test_internal.h"

namespace kova {
namespace {

// Column starts in character widths from the inner left; column 0 is 0.
constexpr int kSummaryColumns[] = {0, 6, 13, 33, 53, 73, 85, 97, 109, 126};
constexpr int kPassFailColumns[] = {0, 6, 13, 31, 49, 67, 85, 103};

std::string PhaseCell(const TestRecord& rec, const TapTest& tap, bool passfail) {
  if (!PhaseMeasured(tap)) return "N/A";
  std::string mark;
  if (passfail) {
    mark = MarkText(SummaryPolarityMark(rec, tap));
  } else if (InPhaseSummaryWindow(tap)) {
    mark = "[In \xD8]";
  } else if (PolarityOf(tap) == Polarity::kOutOfPhase) {
    mark = "[Out \xD8]";
  }
  return NumberText("%3.2lf", tap.fTestPhase) + "\xB0 " + mark;
}

std::string KneeCell(double v, double i) {
  return NumberText("%3.2lf", v) + "/" + NumberText("%.4lf", i);
}

std::string ErrorCell(const TestRecord& rec, const TapTest& tap, bool passfail) {
  if (tap.fNamePlateDen == 0 || !(tap.uTestType & kRatioTest) || tap.nNamePlateNum == 0) return "";
  const RatioError e = PercentRatioError(tap);
  if (e.state != RatioErrorState::kValue) return "";
  std::string text = NumberText("%4.3lf", e.percent) + " %";
  const Mark m = passfail ? RatioMark(rec, tap) : Mark::kNone;
  if (m != Mark::kNone) text += std::string(" ") + MarkText(m);
  return text;
}

std::string ResistanceCell(const TestRecord& rec, const TapTest& tap, bool passfail) {
  const ShownResistance r = ShowResistance(tap);
  if (!r.shown) return "N/A";
  return NumberText("%3.2lf", r.value) + " " + ResistanceUnitWord(r, ResistanceUnits::kShort) +
         " " + (passfail ? MarkText(ResistanceMark(rec, tap)) : "");
}

}  // namespace

int CDisplayTest::DrawSummaryTable(const Layout& lay, int kind, int S, int* table_bottom) {
  SelectBody();
  const TestRecord& rec = Rec();
  const Rect& inner = lay.inner;
  const bool pf = kind == kPassFailPage;
  const int* cols = pf ? kPassFailColumns : kSummaryColumns;
  const int ncols = pf ? 8 : 10;
  const int R = static_cast<int>(1.5 * L_);
  const int h = cw_ / 2;
  const int numtests = rec.UsableTests();

  for (int i = 1; i <= numtests + 1; ++i) s_->Line(inner.left, S + i * R, inner.right, S + i * R);
  const int TB = S + (numtests + 1) * R;
  *table_bottom = TB;
  for (int k = 1; k < ncols; ++k) {
    s_->Line(inner.left + cols[k] * cw_, S, inner.left + cols[k] * cw_, TB);
  }

  const int header_y = S + L_ / 4;
  const std::string knee_header = KneeJudgingLabel(rec);
  const char* summary_headers[] = {"Test",           "Tap",        "IEEE30(V/I)", "IEEE45(V/I)",
                                   "IEC 10/50(V/I)", "NP-Ratio",   "M-Ratio",     "% Error",
                                   "Phase Angle",    "Winding Res"};
  const char* pf_headers[] = {"Test",    "Tap",     knee_header.c_str(), "NP-Ratio",
                              "M-Ratio", "% Error", "Phase Angle",       "Winding Res"};
  for (int k = 0; k < ncols; ++k) {
    PutText(*s_, inner, inner.left + h + cols[k] * cw_, header_y,
            pf ? pf_headers[k] : summary_headers[k]);
  }

  // One row per tap order position that has a test, each test once.
  ordered_count_ = 0;
  int y = header_y;
  for (int p = 1; p <= kTapCodes; ++p) {
    const int t = FindTestByCode(rec, TapOrderCode(rec.taporder, p));
    if (t < 0 || std::find(ordered_, ordered_ + ordered_count_, t) != ordered_ + ordered_count_) {
      continue;
    }
    ordered_[ordered_count_++] = t;
    const TapTest& tap = rec.taps[t];
    SetPen(TestColorIndex(t), PenStyle::kSolid, 1);
    y += R;
    auto cell = [&](int k, const std::string& text) {
      PutText(*s_, inner, inner.left + 2 * h + cols[k] * cw_, y, text);
    };
    PutText(*s_, inner, inner.left + cw_, y, Format("%d", p));
    s_->Rectangle({inner.left + 3 * cw_, y, inner.left + 5 * cw_, y + L_});
    cell(1, TapNameFromCode(tap.nTapConnection));
    int k = 2;
    if (pf) {
      cell(k++, NumberText("%3.2lf", KneeVoltageForJudging(rec, tap)) + " " +
                    (NominalKneeVoltage(rec, tap) != 0 ? MarkText(KneeMark(rec, tap)) : ""));
    } else {
      cell(k++, KneeCell(tap.fKneeVtg30, tap.fKneeCur30));
      cell(k++, KneeCell(tap.fKneeVtg45, tap.fKneeCur45));
      cell(k++, KneeCell(tap.fKneeVtg10, tap.fKneeCur10));
    }
    cell(k++, tap.nNamePlateNum == 0 ? std::string("N/A") : NameplateRatioText(tap));
    cell(k++,
         (tap.uTestType & kRatioTest) ? NumberText("%3.3lf", tap.fTestRatio) : std::string("N/A"));
    cell(k++, ErrorCell(rec, tap, pf));
    // The phase cell is 16-bit text: it carries the degree sign and the
    // diameter sign of the polarity marks.
    s_->TextAt16(inner.left + 2 * h + cols[k++] * cw_, y, Cp1252ToUtf16(PhaseCell(rec, tap, pf)));
    cell(k++, ResistanceCell(rec, tap, pf));
  }
  SetPen(0, PenStyle::kSolid, 1);

  for (int t = 0; t < numtests; ++t) {
    const TapTest& tap = rec.taps[t];
    if (tap.uTestType & (kBurdenTest | kInsulationTest)) {
      const int U = inner.Width() / 10;
      const int below = DrawBurdenInsulation(inner, inner.left + 7 * U, TB + R, tap, true, U);
      return below + L_ / 2;
    }
  }
  return TB + L_ / 2;
}

void CDisplayTest::DrawSummaryText(const Layout& lay, int kind, int left, int Y) {
  const TestRecord& rec = Rec();
  const Rect& inner = lay.inner;
  std::string text;
  Rect box;
  if (kind == kPassFailPage) {
    SelectBody();
    box = {left, Y + 2 * L_, inner.right, inner.bottom};
    const PassFailBlock& pf = rec.passfail;
    text = Format("CT Type: %s\n", CtTypeName(pf.pfcttype)) +
           Format("CT Location: %s\n", CtLocationName(pf.pfkneepointlocation)) +
           Format("Turns Ratio Deviation: %s\n", RatioToleranceLabel(pf).c_str()) +
           Format("Knee-Point Voltage Deviation: %s\n", KneeToleranceLabel(pf).c_str()) +
           Format("Resistance Value Deviation: %s\n",
                  ResistanceToleranceLabel(rec.resistance).c_str());
  } else {
    SelectTable();
    box = {left, Y, inner.right - 5 * cw_, inner.bottom};
    text = "Test Notepad\r\r" + rec.testnote;
  }
  if (rec.classsettings.ctusage == 2) {
    const TapTest& first = (doc_ ? doc_->Record(0) : rec).taps[0];
    text += "\rSummary Metering Class CT Report\r";
    text += Format("Test terminals: %s\r\r", TapNameFromCode(first.nTapConnection).c_str());
    for (int j = 0; j < 5; ++j) {
      const BurdenRow& row = first.taprows[j];
      text += Format("Accuracy Class: %s %s\r", row.meteringclass.c_str(), row.name.c_str());
      text += Format("RCF(10%%)=%s, RCF(100%%)=%s\r\r", row.rcf10.rcftext.c_str(),
                     row.rcf100.rcftext.c_str());
    }
  }
  DrawTextBlock(lay, box, text, kTextWordBreak);
}

void CDisplayTest::DrawPlanPage(const Layout& lay, int S) {
  SelectBody();
  const TestRecord& rec = Rec();
  const Rect& inner = lay.inner;
  const int x0 = inner.left + 5 * cw_;
  const int c = cw_;
  const struct {
    int at;
    const char* text;
  } headers[] = {{0, "Tap"},
                 {15, "Nameplate Ratio"},
                 {35, "Ratio\rTest"},
                 {48, "Excitation\rTest"},
                 {61, "Winding\rRes Test"},
                 {74, "Excitation\rVoltage (V)"},
                 {87, "Excitation\rCurrent (A)"},
                 {100, "Note"}};
  for (const auto& hd : headers) PutText(*s_, inner, x0 + hd.at * c, S + 2 * L_, hd.text);

  int y = S + 4 * L_;
  const int n = rec.UsableTests();
  for (int t = 0; t < n; ++t, y += L_) {
    const TapTest& tap = rec.taps[t];
    SetPen(TestColorIndex(t), PenStyle::kSolid, 1);
    PutText(*s_, inner, x0, y, TapNameFromCode(tap.nTapConnection));
    PutText(*s_, inner, x0 + 15 * c, y,
            Format("%4d/", tap.nNamePlateNum) + NumberText("%-4.1lf", tap.fNamePlateDen));
    if (tap.uTestType & kRatioTest) PutText(*s_, inner, x0 + 35 * c, y, "[X]");
    if (tap.uTestType & kExcitationTest) PutText(*s_, inner, x0 + 48 * c, y, "[X]");
    if (tap.uTestType & kResistanceTest) PutText(*s_, inner, x0 + 61 * c, y, "[X]");
    PutText(*s_, inner, x0 + 74 * c, y, NumberText("%.2lf", tap.fVoltageRange));
    PutText(*s_, inner, x0 + 87 * c, y, NumberText("%.2lf", tap.fCurrentRange));
    PutText(*s_, inner, x0 + 100 * c, y, tap.szTestNote);
  }
  SetPen(0, PenStyle::kSolid, 1);
  // y is one line below the last row.
  y += L_;
  PutText(*s_, inner, x0, y, Format("Burden Test     [%c]", rec.burdenenabled ? 'X' : ' '));
  y += L_;
  PutText(*s_, inner, x0, y, Format("Insulation Test [%c]", rec.insulationenabled ? 'X' : ' '));
  if (rec.classsettings.ctusage == 2) return;
  y += 2 * L_;
  PutText(*s_, inner, x0, y,
          rec.classdone == 0 ? std::string("Classification: N/A")
                             : Format("Classification: %s for %s: %s", rec.classresult.c_str(),
                                      rec.tapmode.c_str(), rec.classtap.c_str()));
  if (rec.classdone == 0) return;
  y += L_;
  PutText(*s_, inner, x0, y,
          "IRated: " + NumberText("%.2lf", rec.IRated) + " Tmeas: " +
              NumberText("%.2lf", rec.Tmeas) + " C Rmeas: " + NumberText("%.4lf", rec.Rmeas) +
              " Ohm Rct75: " + NumberText("%.4lf", rec.Rct75) + " Ohm");
  y += L_;
  for (int i = 0; i < kBurdenRows; ++i) {
    y += L_;
    const BurdenRow& row = rec.rows[i];
    PutText(*s_, inner, x0, y, Format("Class: %s", row.name.c_str()));
    PutText(*s_, inner, x0 + 15 * c, y, "Br: " + NumberText("%.2lf", row.Rb));
    PutText(*s_, inner, x0 + 30 * c, y, "Bi: " + NumberText("%.2lf", row.Xb));
    PutText(*s_, inner, x0 + 45 * c, y, "Btot: " + NumberText("%.2lf", row.Ztot));
    PutText(*s_, inner, x0 + 60 * c, y, "Vsec: " + NumberText("%.2lf", row.Vsec));
  }
}

int CDisplayTest::DrawOverlayLegend(const Layout& lay, int test) {
  const int n = std::clamp(doc_->overlaycount(), 1, kOverlayColorCount);
  for (int r = 0; r < n; ++r) {
    const TestRecord& rec = doc_->Record(r);
    s_->SetTextColor(kOverlayColors[r]);
    PutText(*s_, lay.inner, lay.x0, lay.y0 + r * L_,
            Format("%13s: %-20s Tap: %s", Format("  TEST #%d", r + 1).c_str(), rec.filename.c_str(),
                   TapNameFromCode(rec.taps[test].nTapConnection).c_str()));
  }
  s_->SetTextColor(ReportColor(0));
  PutText(*s_, lay.inner, lay.x0 + 67 * cw_, lay.y0, Format("TEST # %d", ReportTestNumber(test)));
  return lay.y0 + (n - 1) * L_ + 2 * L_;
}

}  // namespace kova

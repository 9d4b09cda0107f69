#include "export/excel_export.h"

#include <cmath>

#include "analysis/display_rules.h"
#include "analysis/pass_fail.h"
#include "analysis/taps.h"
#include "analysis/test_result_fields.h"
#include "base/format.h"
#include "base/path.h"
#include "records/knee_fields.h"
#include "records/record_header.h"

namespace kova {
namespace {

constexpr const char* kDegree = "\xB0";

// Writes the sheet row by row; `row` is the next row to fill.
class Sheet {
 public:
  explicit Sheet(WorkbookWriter& wb) : wb_(wb) {}

  void Cell(int column, const std::string& text) { wb_.SetCellText(row_, column, text); }
  void Label(const std::string& label, const std::string& value) {
    Cell(1, label);
    Cell(2, value);
    Next();
  }
  void Picture(int column, const std::string& path) {
    if (!path.empty()) wb_.InsertPicture(row_, column, path, 1.0);
  }
  void Next(int rows = 1) { row_ += rows; }
  int Row() const { return row_; }

 private:
  WorkbookWriter& wb_;
  int row_ = 1;
};

std::string TableErrorText(const TapTest& tap) {
  if (!NameplateSecondaryGiven(tap)) return "";
  const double e = RatioErrorNumber(tap);
  if (e == 0 || !std::isfinite(e)) return "N/A";
  return Format(kPercentErrorFormat, e);
}

std::string NameplateText(const TapTest& tap) {
  return tap.nNamePlateNum == 0 ? std::string("N/A") : NameplateRatioText(tap);
}

std::string ResistanceText(const TapTest& tap, ResistanceUnits units) {
  const ShownResistance r = ShowResistance(tap);
  if (!r.shown) return "N/A";
  return NumberText(kResistanceFormat, r.value) + " " + ResistanceUnitWord(r, units);
}

std::string PhaseText(const TapTest& tap, const std::string& word) {
  if (!PhaseMeasured(tap)) return "N/A";
  return NumberText(kAngleFormat, tap.fTestPhase) + kDegree + " " + word;
}

std::string PolarityWordOrEmpty(const TapTest& tap) {
  const Polarity p = PolarityOf(tap);
  return p == Polarity::kInPhase || p == Polarity::kOutOfPhase ? PolarityWord(p) : "";
}

void PassFailSettings(Sheet& s, const TestRecord& rec) {
  s.Label("CT Type", CtTypeName(rec.passfail.pfcttype));
  s.Label("CT Location", CtLocationName(rec.passfail.pfkneepointlocation));
  s.Label("Turns Ratio Deviation", RatioToleranceLabel(rec.passfail));
  s.Label("Knee-Point Voltage Deviation", KneeToleranceLabel(rec.passfail));
  s.Label("Resistor Deviation", ResistanceToleranceLabel(rec.resistance));
}

void Header(Sheet& s, const TestRecord& rec) {
  for (const HeaderFieldRow* row : SheetHeaderRows()) {
    if (row->caption != nullptr) s.Label(row->caption, WorkbookHeaderValue(rec, *row));
  }
  s.Label("PASS / FAIL", PassFailEnabled(rec) ? "Enabled" : "Disabled");
  if (PassFailEnabled(rec)) PassFailSettings(s, rec);
}

void PointHeader(Sheet& s, const char* title) {
  s.Cell(1, title);
  s.Cell(2, "CUR(A)");
  s.Cell(3, "VTG(V)");
  s.Cell(4, "Z(OHM)");
  s.Next();
}

void Points(Sheet& s, const TestRecord& rec, const TapTest& tap) {
  PointHeader(s, "DATA POINTS");
  const int slots = ExportDataPointSlots(rec);
  for (int j = 1; j <= slots; ++j) {
    const int i = slots - j;
    s.Cell(1, Format("%d", j));
    s.Cell(2, NumberText("%2.4f", tap.dpAmps[i]));
    s.Cell(3, NumberText("%3.2f", tap.dpVolts[i]));
    if (tap.dpAmps[i] != 0) s.Cell(4, NumberText("%3.2f", tap.dpVolts[i] / tap.dpAmps[i]));
    s.Next();
  }
  s.Next();
  PointHeader(s, "GRAPH POINTS");
  for (int g = 1; g <= kGraphPointsPerTap; ++g) {
    const GraphPoint& gp = tap.graph[g - 1];
    s.Cell(1, Format("%d", g));
    if (gp.gpAmps != 0 || gp.gpVolts != 0) {
      s.Cell(2, NumberText("%2.4f", gp.gpAmps));
      s.Cell(3, NumberText("%3.2f", gp.gpVolts));
      if (gp.gpAmps != 0) s.Cell(4, NumberText("%3.2f", gp.gpVolts / gp.gpAmps));
    }
    s.Next();
  }
}

// A burden or insulation block: its headings, then one row per result.
void Results(Sheet& s, const TestRecord& rec, ResultBlock block) {
  const std::vector<std::string> headings = ResultHeadings(block, rec);
  s.Next();
  for (size_t i = 0; i < headings.size(); ++i) {
    s.Cell(1, headings[i]);
    s.Next(i == 0 && headings.size() > 1 ? 2 : 1);
  }
  for (const ResultLineRow* line : ResultLines(block)) {
    s.Label(ResultLineLabel(*line, FieldOutput::kWorkbook),
            line->value(rec, FieldOutput::kWorkbook));
  }
}

void TestBlock(Sheet& s, const TestRecord& rec, const TapTest& tap, int k) {
  s.Label("TEST #", Format("%d", k));
  s.Picture(6, tap.testimagefile);
  for (const SheetLine& line : SheetTestLines(rec, tap, FieldOutput::kWorkbook)) {
    if (!line.beside.empty()) s.Cell(3, line.beside);
    s.Label(line.label, line.value);
  }
  s.Next();
  Points(s, rec, tap);
  if (tap.uTestType & kBurdenTest) Results(s, rec, ResultBlock::kBurden);
  if (tap.uTestType & kInsulationTest) Results(s, rec, ResultBlock::kInsulation);
  s.Next();
}

// The swatch of the test stored at `index`: the colour of its curve on the
// summary picture (and the XML's swatch), whatever its row.
std::string Swatch(const std::string& install_dir, int index) {
  return PathJoin(install_dir, Format("TestColor%d.bmp", index + 1));
}

// The pass/fail table's knee column header by the judged knee type.
const char* KneeColumnTitle(const TestRecord& rec) {
  switch (rec.passfail.pfkneepointtype) {
    case 0:
      return "IEEE30 V";
    case 1:
      return "IEEE45 V";
    default:
      return "IEC 10/50 V";
  }
}

void SummaryTable(Sheet& s, const TestRecord& rec, const int* order, int count,
                  const std::string& install_dir) {
  static const char* const kTitles[] = {
      "Test",     "",        "Tap",     "IEEE30 V/I",  "IEEE45 V/I",         "IEC 10/50 V/I",
      "NP-Ratio", "M-Ratio", "% Error", "Phase Angle", "Winding Resistance", "Test Note"};
  for (int c = 0; c < 12; ++c) {
    if (c != 1) s.Cell(c + 1, kTitles[c]);
  }
  s.Next();
  for (int k = 1; k <= count; ++k) {
    const TapTest& tap = rec.taps[order[k - 1]];
    s.Cell(1, Format("%d", k));
    s.Picture(2, Swatch(install_dir, order[k - 1]));
    s.Cell(3, TapNameFromCode(tap.nTapConnection));
    int column = 4;
    for (const KneeFieldRow& knee : kKneeFields) {
      s.Cell(column++, NumberText(kWorkbookSummaryFormats.voltage, tap.*knee.voltage) + "/" +
                           NumberText(kWorkbookSummaryFormats.current, tap.*knee.current));
    }
    s.Cell(7, NameplateText(tap));
    s.Cell(8, NumberText(kRatioFormat, tap.fTestRatio));
    s.Cell(9, TableErrorText(tap));
    s.Cell(10, PhaseText(tap, PolarityWordOrEmpty(tap)));
    s.Cell(11, ResistanceText(tap, ResistanceUnits::kShort));
    s.Cell(12, tap.szTestNote);
    s.Next();
  }
}

void PassFailTable(Sheet& s, const TestRecord& rec, const int* order, int count,
                   const std::string& install_dir) {
  s.Next(2);
  s.Cell(1, "PASS / FAIL REPORT");
  s.Next(2);
  PassFailSettings(s, rec);
  s.Next();
  const char* const titles[] = {"Test",      "",           "Tap",     KneeColumnTitle(rec),
                                "NP-Ratio",  "M-Ratio",    "% Error", "Phase Angle",
                                "Test Note", "Winding Res"};
  for (int c = 0; c < 10; ++c) {
    if (c != 1) s.Cell(c + 1, titles[c]);
  }
  s.Next();
  const double tolerance = RatioTolerancePercent(rec.passfail);
  for (int k = 1; k <= count; ++k) {
    const TapTest& tap = rec.taps[order[k - 1]];
    s.Cell(1, Format("%d", k));
    s.Picture(2, Swatch(install_dir, order[k - 1]));
    s.Cell(3, TapNameFromCode(tap.nTapConnection));
    s.Cell(4, NumberText("%3.3lf", KneeVoltageForJudging(rec, tap)) + " " +
                  MarkText(KneeMark(rec, tap)));
    s.Cell(5, NameplateText(tap));
    s.Cell(6, NumberText(kRatioFormat, tap.fTestRatio));
    if (NameplateSecondaryGiven(tap)) {
      // A ratio that was not measured (or a nameplate of 0) is not judged:
      // "N/A" carries no mark, as on the report.
      const std::string error = TableErrorText(tap);
      const char* mark = error == "N/A" ? "" : tolerance > RatioErrorNumber(tap) ? " [P]" : " [F]";
      s.Cell(7, error + mark);
    } else {
      s.Cell(7, "");
    }
    s.Cell(8, PhaseText(tap, MarkText(PolarityMark(rec, tap))));
    s.Cell(9, tap.szTestNote);
    const std::string res = ResistanceText(tap, ResistanceUnits::kShort);
    s.Cell(10, ShowResistance(tap).shown ? res + " " + MarkText(ResistanceMark(rec, tap)) : res);
    s.Next();
  }
}

}  // namespace

int WorkbookTestOrder(const TestRecord& rec, int out[kMaxTaps]) {
  int ordered[kTapCodes] = {};
  int count = OrderedTests(rec, ordered);
  for (int i = 0; i < count; ++i) out[i] = ordered[i];
  if (count == 0) {
    count = rec.UsableTests();
    for (int i = 0; i < count; ++i) out[i] = i;
  }
  return count;
}

void FillWorkbook(const TestRecord& rec, const std::string& install_dir, WorkbookWriter& wb) {
  Sheet s(wb);
  Header(s, rec);
  s.Next();
  int order[kMaxTaps] = {};
  const int count = WorkbookTestOrder(rec, order);
  for (int k = 1; k <= count; ++k) TestBlock(s, rec, rec.taps[order[k - 1]], k);
  s.Label("NOTE PAD:", rec.testnote);
  s.Next();
  SummaryTable(s, rec, order, count, install_dir);
  if (PassFailEnabled(rec)) PassFailTable(s, rec, order, count, install_dir);
  s.Next();
  s.Picture(2, rec.imagefile);
}

bool ExportExcel(const TestRecord& rec, const std::string& path, const std::string& install_dir,
                 WorkbookWriter& wb) {
  FillWorkbook(rec, install_dir, wb);
  return wb.Save(path);
}

}  // namespace kova

#include "analysis/test_result_fields.h"

#include <algorithm>
#include <cmath>

#include "analysis/display_rules.h"
#include "analysis/pass_fail.h"
#include "base/format.h"
#include "records/knee_fields.h"
#include "records/tap_names.h"

namespace kova {
namespace {

constexpr const char* kDegree = "\xB0";  // Windows-1252

// --- Values shared by several outputs ---------------------------------------

std::string Notes(const TestRecord&, const TapTest& tap) { return tap.szTestNote; }
std::string TapName(const TestRecord&, const TapTest& tap) {
  return TapNameFromCode(tap.nTapConnection);
}
std::string Nameplate(const TestRecord&, const TapTest& tap) { return NameplateRatioText(tap); }
std::string MeasuredRatio(const TestRecord&, const TapTest& tap) {
  return (tap.uTestType & kRatioTest) ? NumberText(kRatioFormat, tap.fTestRatio)
                                      : std::string("N/A");
}
std::string ExcitationVoltage(const TestRecord&, const TapTest& tap) {
  return NumberText(kRatioFormat, tap.fTestRatioVtg);
}
std::string ExcitationCurrent(const TestRecord&, const TapTest& tap) {
  return NumberText(kRatioFormat, tap.fTestRatioCur);
}
// The winding resistance with its unit; empty when it was not measured.
std::string Resistance(const TestRecord&, const TapTest& tap) {
  const ShownResistance r = ShowResistance(tap);
  if (!r.shown) return "";
  return NumberText(kResistanceFormat, r.value) + " " +
         ResistanceUnitWord(r, ResistanceUnits::kLong);
}
std::string ResistanceOrNa(const TestRecord& rec, const TapTest& tap) {
  const std::string shown = Resistance(rec, tap);
  return shown.empty() ? std::string("N/A") : shown;
}
std::string Phase(const TestRecord&, const TapTest& tap) {
  return PhaseMeasured(tap) ? NumberText(kAngleFormat, tap.fTestPhase) : std::string("N/A");
}
std::string PolarityName(const TestRecord&, const TapTest& tap) {
  return PolarityWord(PolarityOf(tap));
}

// --- The percent error: each output has its own wording ---------------------

// The text export: "N/A" for no error and for an error of exactly 0.
std::string TextPercentError(const TestRecord&, const TapTest& tap) {
  const RatioError e = PercentRatioError(tap);
  if (e.state != RatioErrorState::kValue || e.percent == 0) return "N/A";
  return Format(kPercentErrorFormat, e.percent);
}

// The workbook: empty without a nameplate secondary or a ratio test, "> 99"
// above 100 % (a nameplate primary of 0 against a measured ratio too).
std::string WorkbookPercentError(const TestRecord&, const TapTest& tap) {
  if (!NameplateSecondaryGiven(tap) || !(tap.uTestType & kRatioTest)) return "";
  const double e = RatioErrorNumber(tap);
  if (std::isnan(e)) return "N/A";
  return e > 100 ? std::string("> 99") : Format(kPercentErrorFormat, e);
}

// The report: an empty cell without a nameplate secondary or a ratio test, a
// bare "N/A" where there is no error (or one of 0), "> 99" above 100 %.
ReportCellValue ReportPercentError(const TestRecord&, const TapTest& tap) {
  if (tap.fNamePlateDen == 0 || !(tap.uTestType & kRatioTest)) return {true, false, ""};
  const RatioError e = PercentRatioError(tap);
  if (e.state != RatioErrorState::kValue || !std::isfinite(e.percent) || e.percent == 0) {
    return {true, false, "N/A"};
  }
  if (e.percent > 100) return {true, true, "> 99"};
  return {true, true, Format(kPercentErrorFormat, e.percent)};
}

// The XML: empty where there is no error, 0 for a nameplate primary of 0.
double XmlPercent(const TapTest& tap, bool& present) {
  const RatioError e = PercentRatioError(tap);
  present = e.state != RatioErrorState::kNotAvailable;
  return e.state == RatioErrorState::kValue ? e.percent : 0.0;
}
std::string XmlPercentError(const TestRecord&, const TapTest& tap) {
  bool present = false;
  const double percent = XmlPercent(tap, present);
  return present ? Format(kPercentErrorFormat, percent) : std::string();
}
std::string XmlPercentErrorPf(const TestRecord& rec, const TapTest& tap) {
  bool present = false;
  const double percent = XmlPercent(tap, present);
  if (!present) return "";
  std::string text = Format(kPercentErrorFormat, percent);
  if (PassFailEnabled(rec)) text += RatioTolerancePercent(rec.passfail) > percent ? " [P]" : " [F]";
  return text;
}

// --- The report's cells --------------------------------------------------------

template <TestValueFn value>
ReportCellValue Labelled(const TestRecord& rec, const TapTest& tap) {
  return {true, true, value(rec, tap)};
}
ReportCellValue ReportPolarity(const TestRecord& rec, const TapTest& tap) {
  return {true, false, PolarityName(rec, tap)};
}
// No cell at all when the resistance was not measured.
ReportCellValue ReportResistance(const TestRecord& rec, const TapTest& tap) {
  const std::string shown = Resistance(rec, tap);
  return {!shown.empty(), true, shown};
}
// The angle follows the label's colon directly, with its degree sign; "N/A"
// after a blank.
ReportCellValue ReportPhase(const TestRecord&, const TapTest& tap) {
  if (!PhaseMeasured(tap)) return {true, true, " N/A"};
  return {true, true, NumberText(kAngleFormat, tap.fTestPhase) + kDegree};
}

// --- The XML's texts -------------------------------------------------------------

std::string NameplateOrNa(const TestRecord&, const TapTest& tap) { return NameplateRatioOrNA(tap); }
std::string XmlPhase(const TestRecord&, const TapTest& tap) {
  return PhaseMeasured(tap) ? NumberText(kAngleFormat, tap.fTestPhase) + kDegree
                            : std::string("N/A");
}
// With the pass/fail mark of the resistance.
std::string XmlResistancePf(const TestRecord& rec, const TapTest& tap) {
  const std::string shown = Resistance(rec, tap);
  return shown.empty() ? shown : shown + " " + MarkText(ResistanceMark(rec, tap));
}
std::string XmlAngle(const TapTest& tap) {
  return NumberText(kAngleFormat, tap.fTestPhase) + kDegree + " ";
}
// The angle with the polarity in brackets ("[In Ø]", "[Out Ø]").
std::string XmlPhaseAngle(const TestRecord&, const TapTest& tap) {
  if (!PhaseMeasured(tap)) return "N/A";
  const Polarity p = PolarityOf(tap);
  return XmlAngle(tap) + (p == Polarity::kInPhase      ? "[In \xD8]"
                          : p == Polarity::kOutOfPhase ? "[Out \xD8]"
                                                       : "");
}
std::string XmlPhaseAnglePf(const TestRecord& rec, const TapTest& tap) {
  if (!PhaseMeasured(tap)) return "";
  return XmlAngle(tap) + MarkText(PolarityMark(rec, tap));
}

constexpr XmlTestElement kNoXml = {nullptr, nullptr, XmlTestGroup::kAfterKnees, 0};
constexpr XmlTestGroup kA = XmlTestGroup::kAfterKnees;
constexpr XmlTestGroup kB = XmlTestGroup::kAfterNameplate;
constexpr XmlTestGroup kC = XmlTestGroup::kAfterTestType;

// Differences kept on purpose:
// - the nameplate ratio of a primary of 0 reads "0/5.0" in the text export,
//   the workbook and the report, "N/A" in the XML;
// - the percent error is worded by each output its own way (see above);
// - the report labels the phase angle "Phase Angle:" with no blank, and
//   shows the polarity without a label below it; the workbook writes the
//   polarity beside the phase angle, the text export on its own line;
// - the XML carries the measured ratio twice, the winding resistance and
//   the percent error with and without their pass/fail marks, and the
//   polarity within the phase angle's text.
// clang-format off
const std::vector<TestFieldRow> kRows = {
  // field                         text label          text value          workbook label  workbook value        beside        report col/row/label              report value             XML elements
  {TestField::kNotes,             "TEST NOTES: ",      Notes,              "TEST NOTES",   Notes,                nullptr,      -1, 0, nullptr,                  nullptr,                 {{"szTestNote", Notes, kC, 1}, kNoXml, kNoXml}},
  {TestField::kTap,               "TAP: ",             TapName,            "TAP",          TapName,              nullptr,      -1, 0, nullptr,                  nullptr,                 {{"tapstr", TapName, kC, 7}, kNoXml, kNoXml}},
  {TestField::kKneePoints,        nullptr,             nullptr,            nullptr,        nullptr,              nullptr,      -1, 0, nullptr,                  nullptr,                 {kNoXml, kNoXml, kNoXml}},
  {TestField::kNameplateRatio,    "NP-RATIO: ",        Nameplate,          "NP-RATIO",     Nameplate,            nullptr,       3, 0, "NP-RATIO: ",             Labelled<Nameplate>,     {{"nameplateratio", NameplateOrNa, kB, 1}, kNoXml, kNoXml}},
  {TestField::kMeasuredRatio,     "M-RATIO: ",         MeasuredRatio,      "M-RATIO",      MeasuredRatio,        nullptr,       3, 1, "M-RATIO: ",              Labelled<MeasuredRatio>, {{"fTestRatio", MeasuredRatio, kA, 3}, {"measuredratio", MeasuredRatio, kB, 2}, kNoXml}},
  // The text export's error label has no colon.
  {TestField::kPercentError,      "% ERROR ",          TextPercentError,   "% ERROR",      WorkbookPercentError, nullptr,       3, 2, "% ERROR: ",              ReportPercentError,      {{"percenterror", XmlPercentError, kC, 2}, {"percenterrorpf", XmlPercentErrorPf, kC, 3}, kNoXml}},
  {TestField::kExcitationVoltage, "Ex V[Volts]: ",     ExcitationVoltage,  "Ex V[Volts]",  ExcitationVoltage,    nullptr,       4, 0, "Ex V[Volts]: ",          Labelled<ExcitationVoltage>, {{"fTestRatioVtg", ExcitationVoltage, kA, 2}, kNoXml, kNoXml}},
  {TestField::kExcitationCurrent, "Ex I[Amps]: ",      ExcitationCurrent,  "Ex I[Amps]",   ExcitationCurrent,    nullptr,       4, 1, "Ex I[Amps]: ",           Labelled<ExcitationCurrent>, {{"fTestRatioCur", ExcitationCurrent, kA, 1}, kNoXml, kNoXml}},
  {TestField::kWindingResistance, "Winding Res: ",     ResistanceOrNa,     "Winding Res",  ResistanceOrNa,       nullptr,       4, 2, "Winding Res: ",          ReportResistance,        {{"fWindingRes", XmlResistancePf, kA, 5}, {"windingres", Resistance, kC, 4}, kNoXml}},
  {TestField::kPhaseAngle,        "Phase Angle: ",     Phase,              "Phase Angle",  Phase,                PolarityName,  5, 0, "Phase Angle:",           ReportPhase,             {{"fTestPhase", XmlPhase, kA, 4}, {"phaseangle", XmlPhaseAngle, kC, 5}, {"phaseanglepf", XmlPhaseAnglePf, kC, 6}}},
  {TestField::kPolarity,          "Phase Angle Is: ",  PolarityName,       nullptr,        nullptr,              nullptr,       5, 1, "",                       ReportPolarity,          {kNoXml, kNoXml, kNoXml}},
};
// clang-format on

// --- Burden and insulation ----------------------------------------------------------

// The text export and the workbook give the power factor three decimals and
// the insulation current one; the report and the XML two each.
// clang-format off
const std::vector<ResultNumber> kNumbers = {
  // block                   member                             sheet      report     XML element
  {ResultBlock::kBurden,     &TestRecord::B200fBurdenReqCur,    nullptr,   nullptr,   "B200fBurdenReqCur"},
  {ResultBlock::kBurden,     &TestRecord::B200fBurdenMeasCur,   "%3.3lf",  "%3.3lf",  "B200fBurdenMeasCur"},
  {ResultBlock::kBurden,     &TestRecord::B200fBurdenTestVtg,   "%3.3lf",  "%3.3lf",  "B200fBurdenTestVtg"},
  {ResultBlock::kBurden,     &TestRecord::B200fBurdenZ,         "%3.3lf",  "%3.3lf",  "B200fBurdenZ"},
  {ResultBlock::kBurden,     &TestRecord::B200fBurdenPhase,     "%3.2lf",  "%3.2lf",  "B200fBurdenPhase"},
  {ResultBlock::kBurden,     &TestRecord::B200fBurdenCosPhi,    "%3.3lf",  "%3.2lf",  "B200fBurdenCosPhi"},
  {ResultBlock::kBurden,     &TestRecord::B200fBurdenMeasVA,    "%3.3lf",  "%3.3lf",  "B200fBurdenMeasVA"},
  {ResultBlock::kInsulation, &TestRecord::B200fMeggerReqV,      nullptr,   nullptr,   "B200fMeggerReqV"},
  {ResultBlock::kInsulation, &TestRecord::B200fMeggerMeasV,     "%3.1lf",  "%3.1lf",  "B200fMeggerMeasV"},
  {ResultBlock::kInsulation, &TestRecord::B200fMeggerL,         "%3.1lf",  "%3.2lf",  "B200fMeggerL"},
  {ResultBlock::kInsulation, &TestRecord::B200fMeggerOhms,      kMegohmsFormat, kMegohmsFormat, "B200fMeggerOhms"},
};
// clang-format on

std::string Number(const TestRecord& rec, double TestRecord::*member, FieldOutput output) {
  for (const ResultNumber& n : kNumbers) {
    if (n.member == member) return ResultNumberText(n, rec, output);
  }
  return "";  // every member named below has its row (a test walks every line)
}

std::string BurdenCurrent(const TestRecord& r, FieldOutput o) {
  return Number(r, &TestRecord::B200fBurdenMeasCur, o) + " A";
}
// The text export puts one blank after the comma, the workbook and the
// report two.
std::string BurdenVoltage(const TestRecord& r, FieldOutput o) {
  return Number(r, &TestRecord::B200fBurdenTestVtg, o) +
         (o == FieldOutput::kText ? " V, " : " V,  ") +
         Number(r, &TestRecord::B200fBurdenPhase, o) + " DEG";
}
std::string BurdenImpedance(const TestRecord& r, FieldOutput o) {
  return Number(r, &TestRecord::B200fBurdenZ, o) + " OHMS";
}
std::string BurdenVa(const TestRecord& r, FieldOutput o) {
  return Number(r, &TestRecord::B200fBurdenMeasVA, o) + " VA";
}
// The report's block ends with a blank after the power factor.
std::string BurdenPowerFactor(const TestRecord& r, FieldOutput o) {
  return Number(r, &TestRecord::B200fBurdenCosPhi, o) + (o == FieldOutput::kReport ? " " : "");
}
std::string InsulationVoltage(const TestRecord& r, FieldOutput o) {
  return Number(r, &TestRecord::B200fMeggerMeasV, o) + " V";
}
std::string InsulationCurrent(const TestRecord& r, FieldOutput o) {
  return Number(r, &TestRecord::B200fMeggerL, o) + " MICRO-AMPS";
}
std::string InsulationOhms(const TestRecord& r, FieldOutput o) {
  return Number(r, &TestRecord::B200fMeggerOhms, o);
}

// clang-format off
const std::vector<ResultLineRow> kLines = {
  {ResultBlock::kBurden,     "MEASURED CURRENT:", BurdenCurrent},
  {ResultBlock::kBurden,     "MEASURED VOLTAGE:", BurdenVoltage},
  {ResultBlock::kBurden,     "IMPEDANCE    (Z):", BurdenImpedance},
  {ResultBlock::kBurden,     "BURDEN:",           BurdenVa},
  {ResultBlock::kBurden,     "POWER FACTOR:",     BurdenPowerFactor},
  {ResultBlock::kInsulation, "VOLTAGE:",          InsulationVoltage},
  {ResultBlock::kInsulation, "CURRENT:",          InsulationCurrent},
  {ResultBlock::kInsulation, "RESISTANCE:",       InsulationOhms},
};
// clang-format on

// The report's value column within each block.
size_t ReportLabelWidth(ResultBlock block) { return block == ResultBlock::kBurden ? 18 : 14; }

}  // namespace

const char* const kMegohmsFormat = "megohms";

const std::vector<TestFieldRow>& TestFieldTable() { return kRows; }

const TestFieldRow& TestFieldOf(TestField field) {
  for (const TestFieldRow& row : kRows) {
    if (row.field == field) return row;
  }
  return kRows.front();  // every field has its row (a test checks it)
}

bool ReportCellText(const TestFieldRow& row, const TestRecord& rec, const TapTest& tap,
                    std::string& text) {
  if (row.report == nullptr) return false;
  const ReportCellValue cell = row.report(rec, tap);
  if (!cell.drawn) return false;
  text = cell.labelled && row.report_label != nullptr ? row.report_label + cell.value : cell.value;
  return true;
}

std::vector<SheetLine> SheetTestLines(const TestRecord& rec, const TapTest& tap,
                                      FieldOutput output) {
  const bool text = output == FieldOutput::kText;
  const char* separator = text ? ": " : "";
  std::vector<SheetLine> lines;
  for (const TestFieldRow& row : kRows) {
    if (row.field == TestField::kKneePoints) {
      // Both give the knee voltage three decimals.
      for (const KneeFieldRow& knee : kKneeFields) {
        lines.push_back({std::string(knee.name) + " " + kKneeVoltageLabel + separator,
                         NumberText(kTextKneeFormats.voltage, tap.*knee.voltage), ""});
        lines.push_back({std::string(knee.name) + " " + kKneeCurrentLabel + separator,
                         NumberText(kTextKneeFormats.current, tap.*knee.current), ""});
      }
    } else if (text && row.text_label != nullptr) {
      lines.push_back({row.text_label, row.text(rec, tap), ""});
    } else if (!text && row.workbook_label != nullptr) {
      lines.push_back({row.workbook_label, row.workbook(rec, tap),
                       row.workbook_beside != nullptr ? row.workbook_beside(rec, tap) : ""});
    }
  }
  return lines;
}

std::vector<const XmlTestElement*> XmlTestElements(XmlTestGroup group) {
  std::vector<const XmlTestElement*> elements;
  for (const TestFieldRow& row : kRows) {
    for (const XmlTestElement& e : row.xml) {
      if (e.name != nullptr && e.group == group) elements.push_back(&e);
    }
  }
  std::stable_sort(
      elements.begin(), elements.end(),
      [](const XmlTestElement* a, const XmlTestElement* b) { return a->place < b->place; });
  return elements;
}

const std::vector<ResultNumber>& ResultNumberTable() { return kNumbers; }

std::string ResultNumberText(const ResultNumber& number, const TestRecord& rec,
                             FieldOutput output) {
  const bool sheet = output == FieldOutput::kText || output == FieldOutput::kWorkbook;
  const char* format = sheet ? number.sheet_format : number.report_format;
  const double value = rec.*number.member;
  if (format == nullptr) return WholeNumberText(value);
  if (format == kMegohmsFormat) return InsulationResistanceText(value);
  return NumberText(format, value);
}

const std::vector<ResultLineRow>& ResultLineTable() { return kLines; }

std::vector<const ResultLineRow*> ResultLines(ResultBlock block) {
  std::vector<const ResultLineRow*> lines;
  for (const ResultLineRow& line : kLines) {
    if (line.block == block) lines.push_back(&line);
  }
  return lines;
}

std::string ResultLineLabel(const ResultLineRow& row, FieldOutput output) {
  std::string label = row.label;
  if (output == FieldOutput::kText) return label + " ";
  if (output == FieldOutput::kReport)
    label.resize(std::max(label.size(), ReportLabelWidth(row.block)), ' ');
  return label;
}

std::vector<std::string> ResultHeadings(ResultBlock block, const TestRecord& rec) {
  if (block == ResultBlock::kBurden) {
    return {"BURDEN TEST RESULTS", WholeNumberText(rec.B200fBurdenReqCur) + " AMP BURDEN TEST"};
  }
  return {WholeNumberText(rec.B200fMeggerReqV) + "V INSULATION RES TEST RESULTS"};
}

}  // namespace kova

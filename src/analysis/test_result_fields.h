#pragma once
// What one tap test's results show, in one table: each row is one field with
// its label and its text in every output. The text export's test block, the
// workbook's test block, the report's test table and the XML document's test
// element all walk this table, so a new result field is one row here.
//
// The outputs keep the layouts they always had: the text export lists the
// rows one per line in table order, the workbook the same one per row (with
// the polarity beside the phase angle), the report puts each row in a cell of
// its six-column grid, and the XML places each element among its other
// elements by group and place. Where outputs word a value differently, the
// row holds one value function per output and the comment says why.
//
// The burden and insulation results are one line table below: their labels
// once, their numbers' formats once.

#include <string>
#include <vector>

#include "records/test_record.h"

namespace kova {

enum class FieldOutput { kText, kWorkbook, kReport, kXml };

// The decimals every output gives a test's numbers (the summary tables of
// the workbook too): ratios and the excitation point three, the phase
// angle and the winding resistance two, the percent error four.
constexpr const char* kRatioFormat = "%3.3lf";
constexpr const char* kAngleFormat = "%3.2lf";
constexpr const char* kResistanceFormat = "%3.2lf";
constexpr const char* kPercentErrorFormat = "%4.4lf";

enum class TestField {
  kNotes,
  kTap,
  kKneePoints,  // a place only: the knee points' own table fills it
  kNameplateRatio,
  kMeasuredRatio,
  kPercentError,
  kExcitationVoltage,
  kExcitationCurrent,
  kWindingResistance,
  kPhaseAngle,
  kPolarity,
};

// Program text (Windows-1252) of one field of `tap` of `rec`.
using TestValueFn = std::string (*)(const TestRecord& rec, const TapTest& tap);

// One cell of the report's test table before its label is put in front.
struct ReportCellValue {
  bool drawn = true;     // false: the cell is left out
  bool labelled = true;  // false: the value stands alone
  std::string value;
};
using ReportValueFn = ReportCellValue (*)(const TestRecord& rec, const TapTest& tap);

// Where an element stands in the XML test element: after the knee points,
// after the nameplate numbers, or after the test type.
enum class XmlTestGroup { kAfterKnees, kAfterNameplate, kAfterTestType };

struct XmlTestElement {
  const char* name;  // nullptr: no element
  TestValueFn value;
  XmlTestGroup group;
  int place;  // order within the group, from 1
};

struct TestFieldRow {
  TestField field;
  // The text export's line label with its separator; nullptr: no line.
  const char* text_label;
  TestValueFn text;
  // The workbook's label in column 1, its value in column 2; nullptr: no row.
  const char* workbook_label;
  TestValueFn workbook;
  // A value the workbook writes in column 3 of this row; nullptr: none.
  TestValueFn workbook_beside;
  // The report's test table: column 3 to 5 and row 0 to 2 of its grid; a
  // column of -1: not in the table (the page header shows notes and tap).
  int report_column;
  int report_row;
  const char* report_label;
  ReportValueFn report;
  // The XML elements with a formatted text of this field, up to three.
  XmlTestElement xml[3];
};

// Every row, in the text export's and the workbook's order.
const std::vector<TestFieldRow>& TestFieldTable();

const TestFieldRow& TestFieldOf(TestField field);

// The report cell's whole text (label and value); false: no cell.
bool ReportCellText(const TestFieldRow& row, const TestRecord& rec, const TapTest& tap,
                    std::string& text);

// One line of a test block of the text export or one row of the workbook's:
// its label (the text export's with its separator), its value, and what the
// workbook writes beside it in column 3.
struct SheetLine {
  std::string label;
  std::string value;
  std::string beside;
};
// The lines of `tap` in the text export's (kText) or the workbook's
// (kWorkbook) test block, the knee points included.
std::vector<SheetLine> SheetTestLines(const TestRecord& rec, const TapTest& tap,
                                      FieldOutput output);

// The XML elements of `group`, by place.
std::vector<const XmlTestElement*> XmlTestElements(XmlTestGroup group);

// --- The burden and insulation results -------------------------------------

enum class ResultBlock { kBurden, kInsulation };

// One number the instrument measured in a burden or insulation test. The
// text export and the workbook show it as `sheet_format` says, the report
// and the XML document (and so the PDF made from it) as `report_format`.
// A format of nullptr: a whole number; kMegohmsFormat: the insulation
// resistance's own wording.
struct ResultNumber {
  ResultBlock block;
  double TestRecord::*member;
  const char* sheet_format;
  const char* report_format;
  const char* xml_element;
};
extern const char* const kMegohmsFormat;

// Every number, in the XML document's order.
const std::vector<ResultNumber>& ResultNumberTable();

std::string ResultNumberText(const ResultNumber& number, const TestRecord& rec, FieldOutput output);

// One line of a burden or insulation block.
using ResultLineFn = std::string (*)(const TestRecord& rec, FieldOutput output);
struct ResultLineRow {
  ResultBlock block;
  // The workbook's label; the text export puts a blank after it, the report
  // pads it to its block's value column (ReportLabelWidth).
  const char* label;
  ResultLineFn value;
};

const std::vector<ResultLineRow>& ResultLineTable();
std::vector<const ResultLineRow*> ResultLines(ResultBlock block);

// The label as `output` writes it, separator included.
std::string ResultLineLabel(const ResultLineRow& row, FieldOutput output);

// The block's headings: "BURDEN TEST RESULTS" and "<n> AMP BURDEN TEST", or
// "<n>V INSULATION RES TEST RESULTS" alone.
std::vector<std::string> ResultHeadings(ResultBlock block, const TestRecord& rec);

}  // namespace kova

// The one table of what a test's results show, checked against the outputs
// that walk it: for tests of every kind of result (ratio or none, nameplate
// primary of 0, large errors, winding resistance in ohms, milliohms or not
// measured, each polarity, pass/fail marks), each row's label and value
// stand where the text export, the workbook, the report's test table and
// the XML document put them, with that output's own value from the table.

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "analysis/test_result_fields.h"
#include "base/codepage.h"
#include "export/excel_export.h"
#include "export/export_xml.h"
#include "export/text_export.h"
#include "export_test_support.h"
#include "records/knee_fields.h"
#include "report/display_test.h"
#include "report/recording_surface.h"
#include "report/report_document.h"
#include "report/report_page.h"
#include "support/record_fixtures.h"

namespace kova {
namespace {

// A one-test record with burden and insulation results whose numbers have
// more decimals than any output shows, so a wrong format is seen.
std::unique_ptr<TestRecord> OneTestRecord() {
  auto rec = MakeSampleRecord(2, 1);
  rec->B200fBurdenMeasCur = 4.99876;
  rec->B200fBurdenTestVtg = 2.50049;
  rec->B200fBurdenZ = 0.500456;
  rec->B200fBurdenPhase = 36.8749;
  rec->B200fBurdenCosPhi = 0.800456;
  rec->B200fBurdenMeasVA = 12.49876;
  rec->B200fMeggerMeasV = 1002.5678;
  rec->B200fMeggerL = 0.52345;
  rec->B200fMeggerOhms = 999.876;
  return rec;
}

struct Variant {
  const char* name;
  void (*change)(TapTest& tap);
  bool pass_fail;
};

const Variant kVariants[] = {
    {"ratio, milliohms, in phase", [](TapTest&) {}, false},
    {"no ratio test, ohms, out of phase",
     [](TapTest& t) {
       t.uTestType &= ~kRatioTest;
       t.fWindingRes = 1234.5678;
       t.fTestPhase = 181.234;
     },
     true},
    {"nameplate primary 0, phase and resistance not measured",
     [](TapTest& t) {
       t.nNamePlateNum = 0;
       t.uTestType &= ~kResistanceTest;
       t.fTestPhase = 400;
     },
     false},
    {"error above 100 %, neither polarity, pass/fail on",
     [](TapTest& t) {
       t.fTestRatio = 300.123456;
       t.fTestPhase = 90.555;
       t.fTestRatioVtg = 12.34567;
       t.fTestRatioCur = 0.0456789;
     },
     true},
    {"no nameplate secondary", [](TapTest& t) { t.fNamePlateDen = 0; }, false},
};

std::vector<std::string> Lines(const std::string& text, const std::string& end) {
  std::vector<std::string> lines;
  size_t from = 0;
  for (size_t at; (at = text.find(end, from)) != std::string::npos; from = at + end.size()) {
    lines.push_back(text.substr(from, at - from));
  }
  lines.push_back(text.substr(from));
  return lines;
}

// The text export's lines of the first test block, up to its data points.
std::vector<std::string> TextBlock(const std::string& text) {
  const std::vector<std::string> all = Lines(text, "\r\n");
  auto first = std::find(all.begin(), all.end(), "TEST # 1");
  auto last = std::find(first, all.end(), "DATA POINTS\tCUR(A)\tVTG(V)\tZ(OHM)");
  std::vector<std::string> block;
  for (auto it = first; it != last; ++it) {
    if (it != first && !it->empty()) block.push_back(*it);
  }
  return block;
}

// Every text the report draws on the first page of `kind`, by where it
// starts; a text drawn in lines gives one entry a line.
std::map<std::pair<int, int>, std::string> DrawnTexts(const TestRecord& rec, int kind) {
  ReportDocument doc;
  EXPECT_TRUE(doc.SetRecords({rec}));
  RecordingSurface s;
  CDisplayTest painter;
  painter.Setup(&s, doc.Record(0), false, &doc);
  for (size_t i = 0; i < doc.pages().size(); ++i) {
    if (doc.pages()[i].kind != kind) continue;
    painter.DrawPage({0, 0, 2400, 1220}, static_cast<int>(i));
    break;
  }
  std::map<std::pair<int, int>, std::string> texts;
  for (const DrawOp& op : s.ops()) {
    if (op.kind == DrawOp::kText) texts[{op.rect.left, op.rect.top}] += op.text;
  }
  return texts;
}

bool HasLine(const std::map<std::pair<int, int>, std::string>& texts, const std::string& line) {
  for (const auto& [at, text] : texts) {
    for (const std::string& l : Lines(text, "\r")) {
      if (l == line) return true;
    }
  }
  return false;
}

// Where the XML's elements of one group stand: after and before these.
struct XmlAnchors {
  XmlTestGroup group;
  const char *after, *before;
};
const XmlAnchors kXmlAnchors[] = {
    {XmlTestGroup::kAfterKnees, "<fKneeCur45>", "<nNamePlateNum>"},
    {XmlTestGroup::kAfterNameplate, "<fNamePlateDen>", "<nTapConnection>"},
    {XmlTestGroup::kAfterTestType, "<uTestType>", "<testdata>"},
};

TEST(TestResultFields, TableHasOneRowPerFieldAndNoClashingPlaces) {
  std::map<TestField, int> rows;
  std::map<std::pair<int, int>, int> cells;
  std::map<std::string, int> elements;
  std::map<std::pair<XmlTestGroup, int>, int> places;
  for (const TestFieldRow& row : TestFieldTable()) {
    ++rows[row.field];
    EXPECT_EQ(&TestFieldOf(row.field), &row);
    EXPECT_EQ(row.text_label == nullptr, row.text == nullptr);
    EXPECT_EQ(row.workbook_label == nullptr, row.workbook == nullptr);
    if (row.report_column >= 0) {
      EXPECT_NE(row.report, nullptr);
      EXPECT_LT(row.report_row, 3) << "the test table is three rows high";
      EXPECT_LT(++cells[std::make_pair(row.report_column, row.report_row)], 2);
    }
    for (const XmlTestElement& e : row.xml) {
      if (e.name == nullptr) continue;
      EXPECT_LT(++elements[e.name], 2) << e.name;
      EXPECT_LT(++places[std::make_pair(e.group, e.place)], 2) << e.name;
    }
  }
  EXPECT_EQ(rows.size(), static_cast<size_t>(TestField::kPolarity) + 1);
  for (const auto& [field, n] : rows) EXPECT_EQ(n, 1);
}

TEST(TestResultFields, EveryOutputShowsEachRowAsTheTableSays) {
  // The report's grid, learnt from the labelled cells drawn: the left of
  // each column and the top of each row.
  std::map<int, int> column_left, row_top;
  for (const Variant& v : kVariants) {
    SCOPED_TRACE(v.name);
    auto rec = OneTestRecord();
    rec->passfail.pfenable = v.pass_fail ? 1 : 0;
    v.change(rec->taps[0]);
    const TapTest& tap = rec->taps[0];

    // The text export: one line a row, in table order, nothing else but the
    // knee points.
    const std::vector<std::string> block = TextBlock(BuildTextExport(*rec));
    size_t expected_lines = 2 * std::size(kKneeFields);
    auto next = block.begin();
    for (const TestFieldRow& row : TestFieldTable()) {
      if (row.text_label == nullptr) continue;
      ++expected_lines;
      const std::string line = row.text_label + row.text(*rec, tap);
      next = std::find(next, block.end(), line);
      EXPECT_NE(next, block.end()) << "text export: " << line;
    }
    EXPECT_EQ(block.size(), expected_lines);

    // The workbook: label in column 1, value in 2, what goes beside in 3,
    // rows in table order below the test's number.
    CellRecorder sheet;
    FillWorkbook(*rec, "/opt/kova/", sheet);
    int last_row = 0;
    for (const auto& [at, text] : sheet.cells) {
      if (last_row == 0 && at.second == 1 && text == "TEST #") last_row = at.first;
    }
    for (const TestFieldRow& row : TestFieldTable()) {
      if (row.workbook_label == nullptr) continue;
      SCOPED_TRACE(row.workbook_label);
      int r = last_row + 1;
      while (r < last_row + 40 && sheet.cells[{r, 1}] != row.workbook_label) ++r;
      ASSERT_LT(r, last_row + 40) << "workbook row missing or out of order";
      EXPECT_EQ(sheet.cells[std::make_pair(r, 2)], row.workbook(*rec, tap));
      const std::string beside = row.workbook_beside ? row.workbook_beside(*rec, tap) : "";
      EXPECT_EQ(sheet.cells[std::make_pair(r, 3)], beside);
      last_row = r;
    }

    // The report's test table: each cell at its column and row.
    const auto drawn = DrawnTexts(*rec, kTestPage);
    for (const TestFieldRow& row : TestFieldTable()) {
      std::string cell;
      if (row.report_column < 0 || !ReportCellText(row, *rec, tap, cell)) continue;
      if (row.report(*rec, tap).labelled && !cell.empty()) {
        const auto at = std::find_if(drawn.begin(), drawn.end(),
                                     [&](const auto& d) { return d.second == cell; });
        ASSERT_NE(at, drawn.end()) << "report: " << cell;
        column_left.emplace(row.report_column, at->first.first);
        row_top.emplace(row.report_row, at->first.second);
      }
    }
    for (const TestFieldRow& row : TestFieldTable()) {
      if (row.report_column < 0) continue;
      const auto left = column_left.find(row.report_column);
      const auto top = row_top.find(row.report_row);
      ASSERT_TRUE(left != column_left.end() && top != row_top.end());
      const auto at = drawn.find({left->second, top->second});
      const std::string shown = at == drawn.end() ? "" : at->second;
      std::string cell;
      EXPECT_EQ(shown, ReportCellText(row, *rec, tap, cell) ? cell : "")
          << "report column " << row.report_column << " row " << row.report_row;
    }

    // The XML document (UTF-8): each element's text, in its group between the
    // document's own elements.
    const std::string xml = BuildXmlExport(*rec, {});
    for (const XmlAnchors& group : kXmlAnchors) {
      size_t at = xml.find(group.after);
      ASSERT_NE(at, std::string::npos);
      for (const XmlTestElement* e : XmlTestElements(group.group)) {
        EXPECT_EQ(ElementText(xml, e->name), Cp1252ToUtf8(e->value(*rec, tap))) << e->name;
        const size_t here = xml.find(std::string("<") + e->name + ">");
        EXPECT_GT(here, at) << e->name << " out of its place";
        at = here;
      }
      EXPECT_LT(at, xml.find(group.before));
    }
  }
  EXPECT_EQ(column_left.size(), 3u);
  EXPECT_EQ(row_top.size(), 3u);
}

TEST(TestResultFields, BurdenAndInsulationLinesCarryEachOutputsFormat) {
  auto rec = OneTestRecord();
  const std::string text = BuildTextExport(*rec);
  CellRecorder sheet;
  FillWorkbook(*rec, "/opt/kova/", sheet);
  const auto drawn = DrawnTexts(*rec, kBurdenInsulationPage);
  const std::string xml = BuildXmlExport(*rec, {});
  for (ResultBlock block : {ResultBlock::kBurden, ResultBlock::kInsulation}) {
    for (const std::string& heading : ResultHeadings(block, *rec)) {
      EXPECT_NE(text.find("\r\n" + heading + "\r\n"), std::string::npos) << heading;
      EXPECT_TRUE(std::any_of(sheet.cells.begin(), sheet.cells.end(), [&](const auto& c) {
        return c.second == heading;
      })) << heading;
      EXPECT_TRUE(HasLine(drawn, heading)) << heading;
    }
    for (const ResultLineRow* line : ResultLines(block)) {
      SCOPED_TRACE(line->label);
      const std::string text_line = ResultLineLabel(*line, FieldOutput::kText) +
                                    line->value(*rec, FieldOutput::kText) + "\r\n";
      EXPECT_NE(text.find("\r\n" + text_line), std::string::npos) << text_line;
      EXPECT_EQ(sheet.Beside(ResultLineLabel(*line, FieldOutput::kWorkbook)),
                line->value(*rec, FieldOutput::kWorkbook));
      EXPECT_TRUE(HasLine(drawn, ResultLineLabel(*line, FieldOutput::kReport) +
                                     line->value(*rec, FieldOutput::kReport)));
    }
  }
  // The XML carries the numbers, each in its element, in table order.
  size_t at = 0;
  for (const ResultNumber& n : ResultNumberTable()) {
    EXPECT_EQ(ElementText(xml, n.xml_element), ResultNumberText(n, *rec, FieldOutput::kXml))
        << n.xml_element;
    const size_t here = xml.find(std::string("<") + n.xml_element + ">");
    EXPECT_GT(here, at) << n.xml_element;
    at = here;
  }
  // The exports read as tables and the printed report differ exactly where
  // a number's two formats do; the XML, which the PDF is made from, follows
  // the report.
  for (const ResultNumber& n : ResultNumberTable()) {
    EXPECT_EQ(ResultNumberText(n, *rec, FieldOutput::kXml),
              ResultNumberText(n, *rec, FieldOutput::kReport));
    EXPECT_EQ(ResultNumberText(n, *rec, FieldOutput::kWorkbook),
              ResultNumberText(n, *rec, FieldOutput::kText));
    const std::string sheet_format = n.sheet_format ? n.sheet_format : "";
    const std::string report_format = n.report_format ? n.report_format : "";
    EXPECT_EQ(ResultNumberText(n, *rec, FieldOutput::kText) ==
                  ResultNumberText(n, *rec, FieldOutput::kReport),
              sheet_format == report_format)
        << n.xml_element;
  }
}

}  // namespace
}  // namespace kova

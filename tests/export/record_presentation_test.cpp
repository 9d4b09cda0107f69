// The one table of what a record's header shows: every output walks it, so
// a header value reads the same in the text export, the workbook, the XML
// document, the JSON form, the report's page header and `kova record show`,
// and the outputs whose formats differ differ only as the table says.

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "base/codepage.h"
#include "export/excel_export.h"
#include "export/export_xml.h"
#include "export/record_json.h"
#include "export/record_summary.h"
#include "export/text_export.h"
#include "export_test_support.h"
#include "records/knee_fields.h"
#include "records/record_header.h"
#include "report/display_test.h"
#include "report/recording_surface.h"
#include "report/report_document.h"
#include "support/record_fixtures.h"

namespace kova {
namespace {

// Every text the report draws on the first page of `rec`.
std::vector<std::string> ReportTexts(const TestRecord& rec) {
  ReportDocument doc;
  EXPECT_TRUE(doc.SetRecords({rec}));
  RecordingSurface s;
  CDisplayTest painter;
  painter.Setup(&s, doc.Record(0), false, &doc);
  painter.DrawPage({0, 0, 2400, 1220}, 0);
  std::vector<std::string> texts;
  for (const DrawOp& op : s.ops()) {
    if (op.kind == DrawOp::kText || op.kind == DrawOp::kText16) texts.push_back(op.text);
  }
  return texts;
}

bool HasText(const std::vector<std::string>& texts, const std::string& part) {
  for (const std::string& t : texts) {
    if (t.find(part) != std::string::npos) return true;
  }
  return false;
}

// A record whose every header text is its own, so a value shown under the
// wrong label is seen.
std::unique_ptr<TestRecord> Distinct() {
  auto rec = MakeSampleRecord(1, 2, 1);
  rec->filename = "header.test";
  rec->company = "Co A";
  rec->station = "St B";
  rec->circuit = "Ci C";
  rec->manufacturer = "Mf D";
  rec->model = "Mo E";
  rec->serialnumber = "Sn F";
  rec->operatorname = "Op G";
  rec->comment = "Cm H";
  rec->testdatetime = "01/02/26 10:11:12";
  return rec;
}

TEST(RecordPresentation, TableHasOneRowPerFieldAndNoClashingPlaces) {
  std::set<HeaderField> fields;
  std::set<int> sheet_lines;
  std::set<std::pair<int, int>> report_places;
  for (const HeaderFieldRow& row : HeaderFieldTable()) {
    SCOPED_TRACE(row.caption != nullptr ? row.caption : "?");
    EXPECT_TRUE(fields.insert(row.field).second) << "one row per field";
    EXPECT_NE(row.value, nullptr);
    if (row.sheet_line > 0) {
      EXPECT_TRUE(sheet_lines.insert(row.sheet_line).second);
    }
    if (row.report_column == 1 || row.report_column == 2) {
      EXPECT_TRUE(report_places.insert({row.report_column, row.report_line}).second);
      EXPECT_LT(row.report_line, 5) << "the report header is five lines high";
    }
    if (row.report_column != 0) {
      EXPECT_NE(row.caption, nullptr);
      EXPECT_NE(row.report_format, nullptr);
    }
    if (row.text_label != nullptr) {
      EXPECT_GT(row.sheet_line, 0);
    }
    EXPECT_EQ(&HeaderRow(row.field), &row);
  }
  EXPECT_EQ(fields.size(), static_cast<size_t>(HeaderField::kTests) + 1);
}

// Each header text appears, under its own label, in every output.
TEST(RecordPresentation, EveryHeaderTextReachesEveryOutput) {
  auto rec = Distinct();
  const std::string text = BuildTextExport(*rec);
  CellRecorder sheet;
  FillWorkbook(*rec, "/opt/kova/", sheet);
  XmlExportContext ctx;
  ctx.now = 1700000000;
  const std::string xml = BuildXmlExport(*rec, ctx);
  const JsonValue json = RecordToJson(*rec);
  const std::vector<std::string> report = ReportTexts(*rec);
  const std::string summary = RecordSummaryText(*rec);
  int texts = 0;
  for (const HeaderFieldRow& row : HeaderFieldTable()) {
    if (row.record_name == nullptr) continue;
    ++texts;
    const std::string value = row.value(*rec);
    SCOPED_TRACE(row.record_name);
    EXPECT_NE(text.find(row.text_label + value + "\r\n"), std::string::npos);
    EXPECT_EQ(sheet.Beside(row.caption), value);
    EXPECT_EQ(ElementText(xml, row.record_name), value);
    ASSERT_NE(json.Find(row.record_name), nullptr);
    EXPECT_EQ(json.Find(row.record_name)->AsString(), value);
    EXPECT_TRUE(HasText(report, std::string(row.caption) + ": " + value));
    EXPECT_NE(summary.find(row.summary_label + value + "\n"), std::string::npos);
  }
  EXPECT_EQ(texts, 8) << "company, station, circuit, manufacturer, model, serial number, "
                         "operator and comment";
}

// The frequency word is one rule: code 0 is 60 Hz, every other code 50 Hz.
TEST(RecordPresentation, FrequencyWordIsTheSameInEveryOutput) {
  const struct {
    int code;
    const char* word;
  } kCases[] = {{0, "60 Hz"}, {1, "50 Hz"}, {7, "50 Hz"}, {-1, "50 Hz"}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.code);
    auto rec = Distinct();
    rec->frequency = c.code;
    EXPECT_STREQ(FrequencyWord(c.code), c.word);
    EXPECT_NE(BuildTextExport(*rec).find(std::string("FREQUENCY: ") + c.word + "\r\n"),
              std::string::npos);
    CellRecorder sheet;
    FillWorkbook(*rec, "/opt/kova/", sheet);
    EXPECT_EQ(sheet.Beside("FREQUENCY"), c.word);
    EXPECT_EQ(ElementText(BuildXmlExport(*rec, {}), "frequencystr"), c.word);
    EXPECT_TRUE(HasText(ReportTexts(*rec), std::string("FREQUENCY: ") + c.word));
    EXPECT_NE(RecordSummaryText(*rec).find(std::string("Frequency:     ") + c.word),
              std::string::npos);
  }
}

// The date: whole in the text export, the report and the XML; the workbook
// splits it at its first blank into a date and a time row.
TEST(RecordPresentation, WorkbookSplitsTheDateTheOthersShowItWhole) {
  const struct {
    const char* stored;
    const char* date;
    const char* time;
  } kCases[] = {{"01/02/26 10:11:12", "01/02/26", "10:11:12"},
                {"01/02/26", "01/02/26", ""},
                {"", "", ""},
                {"01/02/26 10:11 PM", "01/02/26", "10:11 PM"}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.stored);
    auto rec = Distinct();
    rec->testdatetime = c.stored;
    CellRecorder sheet;
    FillWorkbook(*rec, "/opt/kova/", sheet);
    EXPECT_EQ(sheet.Beside("DATE"), c.date);
    EXPECT_EQ(sheet.Beside("TIME"), c.time);
    EXPECT_NE(BuildTextExport(*rec).find(std::string("\r\nDATE: ") + c.stored + "\r\n"),
              std::string::npos);
    EXPECT_EQ(ElementText(BuildXmlExport(*rec, {}), "testdatetime"), c.stored);
  }
}

// The file name is a name of the file system (UTF-8 here, or 8-bit bytes
// when made under another locale); every 8-bit output shows it as the same
// program text, and the XML as the same UTF-8.
TEST(RecordPresentation, FileNameReadsTheSameEverywhere) {
  const struct {
    const char* system_name;
    const char* shown;  // Windows-1252
  } kCases[] = {{"plain.test", "plain.test"},
#ifndef _WIN32
                // Windows gives the program its names in the 8-bit code page.
                {"Pr\xC3\xBC"
                 "fung.test",
                 "Pr\xFC"
                 "fung.test"},
#endif
                {"T\xB0.test", "T\xB0.test"}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.shown);
    auto rec = Distinct();
    rec->filename = c.system_name;
    const std::string shown = c.shown;
    EXPECT_EQ(BuildTextExport(*rec).rfind("FILENAME: " + shown + "\r\n", 0), 0u);
    CellRecorder sheet;
    FillWorkbook(*rec, "/opt/kova/", sheet);
    EXPECT_EQ(sheet.Beside("FILENAME"), shown);
    EXPECT_TRUE(HasText(ReportTexts(*rec), "FILENAME: " + shown));
    EXPECT_NE(RecordSummaryText(*rec).find("File:          " + shown + "\n"), std::string::npos);
    EXPECT_EQ(ElementText(BuildXmlExport(*rec, {}), "filename"), Cp1252ToUtf8(shown));
  }
}

// The knee values keep each output's own decimals: three for the voltage in
// the text export and the workbook, two in the report and the XML.
TEST(RecordPresentation, KneeFormatsDifferOnlyAsTheTableSays) {
  const struct {
    KneeKind kind;
    double volts, amps;
    const char *export_volts, *report_volts, *shown_amps;
  } kCases[] = {
      {KneeKind::kIeee30, 123.4567, 0.012345, "123.457", "123.46", "0.0123"},
      {KneeKind::kIeee45, 234.5678, 0.023456, "234.568", "234.57", "0.0235"},
      {KneeKind::kIec10, 345.6789, 0.034567, "345.679", "345.68", "0.0346"},
  };
  auto rec = Distinct();
  for (int t = 0; t < rec->numtests; ++t) {  // whichever test an output lists first
    for (const auto& c : kCases) {
      rec->taps[t].*KneeField(c.kind).voltage = c.volts;
      rec->taps[t].*KneeField(c.kind).current = c.amps;
    }
  }
  const std::string text = BuildTextExport(*rec);
  CellRecorder sheet;
  FillWorkbook(*rec, "/opt/kova/", sheet);
  const std::string xml = BuildXmlExport(*rec, {});
  const std::vector<std::string> report = ReportTexts(*rec);
  for (const auto& c : kCases) {
    const KneeFieldRow& knee = KneeField(c.kind);
    SCOPED_TRACE(knee.name);
    const std::string name = knee.name;
    EXPECT_NE(text.find(name + " Vkp[Volts]: " + c.export_volts + "\r\n"), std::string::npos);
    EXPECT_NE(text.find(name + " Ikp[Amps]: " + c.shown_amps + "\r\n"), std::string::npos);
    EXPECT_EQ(sheet.Beside(name + " Vkp[Volts]"), c.export_volts);
    EXPECT_EQ(sheet.Beside(name + " Ikp[Amps]"), c.shown_amps);
    EXPECT_EQ(ElementText(xml, knee.voltage_element), c.report_volts);
    EXPECT_EQ(ElementText(xml, knee.current_element), c.shown_amps);
    EXPECT_TRUE(HasText(report, std::string("Vkp[Volts]: ") + c.report_volts));
    EXPECT_TRUE(HasText(report, std::string("Ikp[Amps]: ") + c.shown_amps));
    bool in_summary = false;
    for (const auto& [at, cell] : sheet.cells) {
      in_summary |= cell == std::string(c.export_volts) + "/" + c.shown_amps;
    }
    EXPECT_TRUE(in_summary) << "the workbook's summary table shows V/I";
  }
}

}  // namespace
}  // namespace kova

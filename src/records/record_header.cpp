#include "records/record_header.h"

#include <algorithm>

#include "base/codepage.h"
#include "base/format.h"

namespace kova {
namespace {

// The stored date text is "<date> <time>"; the workbook gives each its row.
std::string DatePart(const TestRecord& r) {
  return r.testdatetime.substr(0, r.testdatetime.find(' '));
}
std::string TimePart(const TestRecord& r) {
  const size_t blank = r.testdatetime.find(' ');
  return blank == std::string::npos ? std::string() : r.testdatetime.substr(blank + 1);
}

// The file name is a name of the file system; every 8-bit output shows it as
// program text, so a name outside ASCII reads the same everywhere.
std::string FileNameText(const TestRecord& r) { return SystemNameToCp1252(r.filename); }

constexpr const char* kWide = "%-30s";    // the report's header texts
constexpr const char* kNarrow = "%-13s";  // its third column

// clang-format off
const std::vector<HeaderFieldRow> kRows = {
  // field                      value                                                          text label     caption      workbook value  sheet report col/line/format    record name     record show
  {HeaderField::kFileName,     FileNameText,                                                  "FILENAME: ",  "FILENAME",  nullptr,        1,    1, 0, "%-20s",   nullptr,        "File:          "},
  // The report's date is padded one blank wider than its file name.
  {HeaderField::kDate,         [](const TestRecord& r) { return r.testdatetime; },             "DATE: ",      "DATE",      DatePart,       2,    1, 1, "%-20s ",  nullptr,        "Date:          "},
  {HeaderField::kTime,         TimePart,                                                      nullptr,       "TIME",      nullptr,        3,    0, 0, nullptr,   nullptr,        nullptr},
  {HeaderField::kCompany,      [](const TestRecord& r) { return r.company; },                  "COMPANY: ",   "COMPANY",   nullptr,        5,    1, 2, kWide,     "company",      "Company:       "},
  {HeaderField::kStation,      [](const TestRecord& r) { return r.station; },                  "STATION: ",   "STATION",   nullptr,        8,    1, 3, kWide,     "station",      "Station:       "},
  {HeaderField::kCircuit,      [](const TestRecord& r) { return r.circuit; },                  "CIRCUIT: ",   "CIRCUIT",   nullptr,        6,    1, 4, kWide,     "circuit",      "Circuit:       "},
  {HeaderField::kManufacturer, [](const TestRecord& r) { return r.manufacturer; },             "MFR: ",       "MFR",       nullptr,        9,    2, 0, kWide,     "manufacturer", "Manufacturer:  "},
  {HeaderField::kModel,        [](const TestRecord& r) { return r.model; },                    "MODEL: ",     "MODEL",     nullptr,        7,    2, 1, kWide,     "model",        "Model:         "},
  {HeaderField::kSerialNumber, [](const TestRecord& r) { return r.serialnumber; },             "SN: ",        "SN",        nullptr,        10,   2, 2, kWide,     "serialnumber", "Serial number: "},
  {HeaderField::kOperator,     [](const TestRecord& r) { return r.operatorname; },             "OPERATOR: ",  "OPERATOR",  nullptr,        11,   2, 3, kWide,     "operatorname", "Operator:      "},
  {HeaderField::kComment,      [](const TestRecord& r) { return r.comment; },                  "COMMENTS: ",  "COMMENTS",  nullptr,        12,   2, 4, kWide,     "comment",      "Comment:       "},
  {HeaderField::kKneeType,     [](const TestRecord& r) { return r.kneetypestr; },              "KNEE TYPE: ", "KNEE TYPE", nullptr,        13,   3, 0, kNarrow,   nullptr,        "Knee type:     "},
  {HeaderField::kFrequency,    [](const TestRecord& r) { return std::string(FrequencyWord(r.frequency)); }, "FREQUENCY: ", "FREQUENCY", nullptr, 14, 3, 0, kNarrow, nullptr, "Frequency:     "},
  // The text export's count line has no colon.
  {HeaderField::kTests,        [](const TestRecord& r) { return Format("%d", r.numtests); },   "# TESTS ",    "# TESTS",   nullptr,        4,    0, 0, nullptr,   nullptr,        "Tests:         "},
};
// clang-format on

}  // namespace

const char* FrequencyWord(int frequency) { return frequency == 0 ? "60 Hz" : "50 Hz"; }

const std::vector<HeaderFieldRow>& HeaderFieldTable() { return kRows; }

const HeaderFieldRow& HeaderRow(HeaderField field) {
  for (const HeaderFieldRow& row : kRows) {
    if (row.field == field) return row;
  }
  return kRows.front();  // every field has its row (a test checks it)
}

std::string HeaderValue(const TestRecord& rec, HeaderField field) {
  return HeaderRow(field).value(rec);
}

std::string WorkbookHeaderValue(const TestRecord& rec, const HeaderFieldRow& row) {
  return row.workbook_value != nullptr ? row.workbook_value(rec) : row.value(rec);
}

std::vector<const HeaderFieldRow*> SheetHeaderRows() {
  std::vector<const HeaderFieldRow*> rows;
  for (const HeaderFieldRow& row : kRows) {
    if (row.sheet_line > 0) rows.push_back(&row);
  }
  std::stable_sort(rows.begin(), rows.end(), [](const HeaderFieldRow* a, const HeaderFieldRow* b) {
    return a->sheet_line < b->sheet_line;
  });
  return rows;
}

std::vector<const HeaderFieldRow*> ReportHeaderRows(int column) {
  std::vector<const HeaderFieldRow*> rows;
  for (const HeaderFieldRow& row : kRows) {
    if (row.report_column == column) rows.push_back(&row);
  }
  std::stable_sort(rows.begin(), rows.end(), [](const HeaderFieldRow* a, const HeaderFieldRow* b) {
    return a->report_line < b->report_line;
  });
  return rows;
}

}  // namespace kova

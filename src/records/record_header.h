#pragma once
// What a record's header shows, in one table: the file name, the date, the
// number of tests, the eight texts the operator typed on the instrument, the
// knee type and the line frequency. The text export, the workbook, the XML
// document, the JSON form, the report's page header and `kova record show`
// all walk this table, so a new header field is one row here.
//
// The outputs disagree on order and layout, and the table says how each one
// shows a row: the text export and the workbook list the texts in the
// instrument's printout order (company, circuit, model, station, ...), the
// XML, the JSON and the report in the record's own order (the table's).

#include <string>
#include <vector>

#include "records/test_record.h"

namespace kova {

// The word of a record's or a setting's frequency code: 0 is 60 Hz, any
// other value 50 Hz.
const char* FrequencyWord(int frequency);

enum class HeaderField {
  kFileName,
  kDate,
  kTime,  // the workbook's own row: the date's time part
  kCompany,
  kStation,
  kCircuit,
  kManufacturer,
  kModel,
  kSerialNumber,
  kOperator,
  kComment,
  kKneeType,
  kFrequency,
  kTests,
};

// Program text (Windows-1252) of one field of `rec`.
using HeaderValueFn = std::string (*)(const TestRecord& rec);

struct HeaderFieldRow {
  HeaderField field;
  HeaderValueFn value;
  // The label of the text export's line, with its separator; nullptr: the
  // text export has no such line.
  const char* text_label;
  // The label of the workbook's row and of the report header; nullptr: not
  // in the workbook.
  const char* caption;
  // The workbook's value where it differs from `value`; nullptr: `value`.
  HeaderValueFn workbook_value;
  // Place in the text export's and the workbook's header, from 1; both
  // follow the instrument's printout order.
  int sheet_line;
  // The report header: column 1 or 2 with its line from 0, or column 3,
  // whose rows follow the page's own lines in table order; 0: not there.
  int report_column;
  int report_line;
  // The value's printf format after the report's "%13s: " label.
  const char* report_format;
  // The member name in the XML document and the JSON form of a header text
  // written as it stands ("company"); nullptr: those outputs place the
  // field themselves among their other members.
  const char* record_name;
  // `kova record show`: label with its padding; nullptr: not shown.
  const char* summary_label;
};

// Every row, in the record's own order.
const std::vector<HeaderFieldRow>& HeaderFieldTable();

const HeaderFieldRow& HeaderRow(HeaderField field);

// The field's text as the outputs show it.
std::string HeaderValue(const TestRecord& rec, HeaderField field);

// The row's text in the workbook.
std::string WorkbookHeaderValue(const TestRecord& rec, const HeaderFieldRow& row);

// The rows the text export and the workbook show, in their order.
std::vector<const HeaderFieldRow*> SheetHeaderRows();

// The rows the report draws in `column` (1 to 3), by line.
std::vector<const HeaderFieldRow*> ReportHeaderRows(int column);

}  // namespace kova

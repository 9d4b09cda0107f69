#pragma once
// The report sections document the program hands the generator beside the
// record's XML document (what the PDF prints beyond that document: the
// classification, each test's ratio error table and metering trace, the
// calculation details), read into the report the XML document gave.

#include <cstddef>
#include <string>

#include "reportgen/report_xml.h"

namespace kova {

// Adds the sections of the document in `bytes` to `data`, read before from
// the XML document: its record-level sections to the record, each test
// section's elements (after its testnum and testorder) to that test. False
// with `error`, and `data` untouched, when the document cannot be read
// safely, is not a sections document, belongs to another record (another
// file name) or names other tests than the XML document, in another order.
bool MergeReportSections(const char* bytes, size_t size, ReportData& data, std::string& error);

// The same from a file.
bool LoadReportSections(const std::string& path, ReportData& data, std::string& error);

}  // namespace kova

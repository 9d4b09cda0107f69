#pragma once
// The record as an XML document: the input of the report generator, and an
// export of its own when "AutoExportXml" is on. Element order, formats and
// escaping are fixed; data/kovatest.xsd describes the document.

#include <ctime>
#include <string>

#include "assess/comparisons.h"
#include "records/test_record.h"
#include "report/record_context.h"

namespace kova {

// What the document takes from outside the record.
struct XmlExportContext {
  std::string install_dir;  // folder of the colour swatches "TestColor%d.bmp"
  std::string report_logo;  // the "AppLogo" setting
  std::time_t now = 0;      // report date; 0 means the current time
  ComparisonBands bands{};  // of the calculation details' comparisons
  // The record's profile, kept reference and bands as gathered when it was
  // opened; null: what is kept beside the record file, with `bands`.
  const RecordContext* record = nullptr;
};

// The document's text: UTF-8, CR LF line ends, no byte order mark.
std::string BuildXmlExport(const TestRecord& rec, const XmlExportContext& ctx);

// Writes the document atomically, replacing any existing file; false (and
// nothing written) when the file cannot be written.
bool ExportXml(const TestRecord& rec, const std::string& path, const XmlExportContext& ctx);

// Local time as "Jan 05, 2024 03:07 PM".
std::string ReportDateText(std::time_t when);

// The burden table as the document carries it: a blank line before every
// "PHASE ERROR TABLE", and the tap marks "#01" to "#10" removed.
std::string XmlBurdenTable(const std::string& table);

}  // namespace kova

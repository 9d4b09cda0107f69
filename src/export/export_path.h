#pragma once
// Where the exports of a record file go: a subfolder beside the record
// ("Xml", "pdf", "Excel"), named like the record with a new extension.
// C:\Tests\T1.test gives C:\Tests\Xml\T1.xml, C:\Tests\pdf\T1.pdf,
// C:\Tests\Excel\T1.xlsx.

#include <string>

namespace kova {

constexpr const char* kXmlFolder = "Xml";
constexpr const char* kPdfFolder = "pdf";
constexpr const char* kExcelFolder = "Excel";

// The export path; creates the subfolder (each missing level) when it is
// missing, ignoring failures. An absolute subfolder replaces the record's
// folder; a record path without a folder gives a subfolder of the current
// folder.
std::string ExportPath(const std::string& source, const std::string& extension,
                       const std::string& subfolder);

}  // namespace kova

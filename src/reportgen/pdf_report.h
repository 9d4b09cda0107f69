#pragma once
// Draws the filled report template into a PDF with QPdfWriter.

#include <string>

#include "reportgen/report_template.h"
#include "reportgen/report_xml.h"

namespace kova {

// Writes the PDF beside its target and renames it over; false with `error`.
bool WritePdfReport(const ReportTemplate& t, const ReportData& data, const std::string& path,
                    std::string& error);

}  // namespace kova

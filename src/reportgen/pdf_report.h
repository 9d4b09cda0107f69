#pragma once
// Draws the filled report template into a PDF with QPdfWriter.

#include <string>

#include "reportgen/report_template.h"
#include "reportgen/report_xml.h"

namespace kova {

// Draws the PDF in memory and writes it whole in one atomic step (a
// temporary beside the target renamed over it); false with `error`.
bool WritePdfReport(const ReportTemplate& t, const ReportData& data, const std::string& path,
                    std::string& error);

}  // namespace kova

#pragma once
// Draws the filled report template into a PDF with QPdfWriter.

#include <map>
#include <string>
#include <vector>

#include "reportgen/report_template.h"

namespace kova {

using ReportValues = std::map<std::string, std::string>;  // element name -> UTF-8 text

struct ReportData {
  ReportValues record;              // reportinfo and reportdata
  std::vector<ReportValues> tests;  // each test's own elements
};

// Writes the PDF beside its target and renames it over; false with `error`.
bool WritePdfReport(const ReportTemplate& t, const ReportData& data, const std::string& path,
                    std::string& error);

}  // namespace kova

#pragma once
// kova library report: one CT's history report as a PDF.

#include <string>

#include "cli/cli_context.h"

namespace kova {

struct LibraryReportOptions {
  std::string location;  // --library
  std::string serial, manufacturer, tap, pdf;
  bool overwrite = false;
};

void RunLibraryReport(CliContext& ctx, const LibraryReportOptions& r);

}  // namespace kova

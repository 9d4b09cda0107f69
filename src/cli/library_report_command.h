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

// "FILE" made "FILE.pdf"; false (the reason printed) for a file that may not
// be written: one that is there without --overwrite, or the library file.
bool LibraryPdfTarget(CliContext& ctx, const std::string& location_option, bool overwrite,
                      std::string& pdf);

}  // namespace kova

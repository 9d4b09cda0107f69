// XML documents of any content handed to the report generator: read without
// network or entity expansion, leaf texts collected, nothing else.

#include <cstdint>
#include <cstdlib>
#include <string>

#include "reportgen/report_xml.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  kova::ReportData report;
  std::string error;
  if (!kova::ReadReportXml(reinterpret_cast<const char*>(data), size, report, error)) {
    if (error.empty()) std::abort();
    return 0;
  }
  return 0;
}

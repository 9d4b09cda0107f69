#pragma once
// Fixed texts printed on the report: the program version and the maker's
// web address in the footer of printed pages.

#include "base/program_version.h"

namespace kova {

constexpr const char* kReportSoftwareVersion = kProgramVersion;
constexpr const char* kMakerWebAddress = "www.helmark.example";

}  // namespace kova

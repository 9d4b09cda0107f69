#pragma once
// Fixed texts printed on the report: the program version and the maker's
// web address in the footer of printed pages.

namespace kova {

constexpr const char* kReportSoftwareVersion = "3.0";
constexpr const char* kMakerWebAddress = "www.helmark.example";

}  // namespace kova

#pragma once
// The record's XML document as the report generator uses it: the texts of
// the record's leaf elements and of each test's.

#include <cstddef>
#include <map>
#include <string>
#include <vector>

namespace kova {

using ReportValues = std::map<std::string, std::string>;  // element name -> UTF-8 text

struct ReportData {
  ReportValues record;              // reportinfo and reportdata
  std::vector<ReportValues> tests;  // each test's own elements
};

// Reads the document from memory (no network, no entity expansion); false
// with `error` when it is not well-formed XML.
bool ReadReportXml(const char* bytes, size_t size, ReportData& data, std::string& error);

// The same from a file.
bool LoadReportXml(const std::string& path, ReportData& data, std::string& error);

}  // namespace kova

#pragma once
// Checks shared by the export tests: element texts of the XML document,
// the workbook's cells by place, and validation of a written document
// against the shipped schema.

#include <map>
#include <string>
#include <utility>

#include "export/excel_export.h"

#include "support/run_program.h"

namespace kova {

// The text of the `occurrence`-th (from 0) element `name`, or "<missing>".
inline std::string ElementText(const std::string& xml, const std::string& name,
                               int occurrence = 0) {
  const std::string open = "<" + name + ">", close = "</" + name + ">";
  size_t at = 0;
  for (int i = 0; i <= occurrence; ++i) {
    at = xml.find(open, i == 0 ? 0 : at + 1);
    if (at == std::string::npos) return "<missing>";
  }
  const size_t begin = at + open.size();
  const size_t end = xml.find(close, begin);
  return end == std::string::npos ? "<missing>" : xml.substr(begin, end - begin);
}

// The workbook's cells by place.
class CellRecorder : public WorkbookWriter {
 public:
  std::map<std::pair<int, int>, std::string> cells;
  void SetCellText(int row, int column, const std::string& text) override {
    cells[{row, column}] = text;
  }
  void InsertPicture(int, int, const std::string&, double) override {}
  bool Save(const std::string&) override { return true; }
  // The value beside the label `caption` in column 1, or "<missing>".
  std::string Beside(const std::string& caption) const {
    for (const auto& [at, text] : cells) {
      if (at.second == 1 && text == caption) {
        const auto value = cells.find({at.first, 2});
        return value == cells.end() ? std::string() : value->second;
      }
    }
    return "<missing>";
  }
};

inline int CountOf(const std::string& text, const std::string& what) {
  int n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

inline std::string SchemaPath() { return std::string(KOVA_SOURCE_DIR) + "/data/kovatest.xsd"; }
inline std::string SectionsSchemaPath() {
  return std::string(KOVA_SOURCE_DIR) + "/data/kovasections.xsd";
}

#ifndef _WIN32
// xmllint's verdict; empty when the document validates.
inline std::string SchemaErrors(const std::string& xml_path,
                                const std::string& schema = SchemaPath()) {
  const ProgramResult r = RunProgram("/usr/bin/xmllint", {"--noout", "--schema", schema, xml_path});
  return r.exit_code == 0 ? std::string() : r.err + " (exit " + std::to_string(r.exit_code) + ")";
}
#endif

}  // namespace kova

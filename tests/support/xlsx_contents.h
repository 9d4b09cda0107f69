#pragma once
// A saved workbook read back from its zip parts (with the unzip tool): the
// first sheet's cells with their shared strings, and where the pictures
// are anchored. Enough to check what a spreadsheet program would show.

#include <map>
#include <set>
#include <string>
#include <utility>

namespace kova {

using CellPos = std::pair<int, int>;  // row, column, counting from 1

struct XlsxContents {
  bool read = false;                     // the zip and its sheet were found
  std::map<CellPos, std::string> cells;  // UTF-8 texts of shared-string cells
  std::set<CellPos> number_cells;        // cells holding anything but a shared string
  std::set<int> styles;                  // every cell's style index
  std::string text_style_formats;        // styles.xml, for the "@" format check
  std::set<CellPos> pictures;            // top-left anchor cells
  std::set<std::string> media;           // names below xl/media/

  std::string At(int row, int column) const;
  // First row at or after `from` whose cell in `column` is `text`; -1 if none.
  int RowOf(const std::string& text, int column = 1, int from = 1) const;
  // True when every cell uses one style whose number format is "@".
  bool AllCellsText() const;
};

XlsxContents ReadXlsx(const std::string& path);

}  // namespace kova

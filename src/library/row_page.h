#pragma once
// A printed page laid out in rows of a fixed fraction of its height, so the
// same pages come out on any page size: the library's reports (a CT's
// history, the fleet) draw their texts, tables and footers through it.

#include <string>
#include <vector>

#include "report/surface.h"

namespace kova {

class RowPage {
 public:
  RowPage(Surface& s, const Rect& page, int rows);
  int Unit() const { return unit_; }
  int Y(double row) const { return page_.top + static_cast<int>(row * unit_); }
  // A font `rows` of a row high.
  void Font(double rows, int weight = 400);
  // One line of text from `x` in row `row`, vertically centred in it.
  void Text(int x, double row, const std::string& text, double size = 0.6, int weight = 400);
  // A thin rule across the page.
  void Rule(double row);
  // The print date on the left and "Page n of m" on the right, in the last row.
  void Footer(const std::string& printed_on, int index, int pages);

  // The left edges of columns sharing the width by `weights`, and the right
  // edge last.
  std::vector<int> ColumnEdges(const std::vector<int>& weights) const;
  // A cell's text, padded inside its column.
  void Cell(const std::vector<int>& x, int column, double row, const std::string& text,
            int weight = 400);
  // The lines around the rows `head` .. `end` and between the columns.
  void Grid(const std::vector<int>& x, double head, double end);

 protected:
  Surface& s_;
  Rect page_;
  int rows_;
  int unit_ = 1;
};

}  // namespace kova

#pragma once
// The one worksheet of an exported workbook, as the sheet model fills it:
// text cells with the "@" (text) number format, pictures anchored at a cell,
// and the save. The platform writes real workbook files; tests record the
// calls.

#include <string>
#include <vector>

namespace kova {

class WorkbookWriter {
 public:
  virtual ~WorkbookWriter() = default;
  // Rows and columns count from 1. Every written cell gets the text format;
  // an empty text leaves the value empty. Texts are Windows-1252.
  virtual void SetCellText(int row, int column, const std::string& cp1252) = 0;
  // A picture file with its top-left corner at the cell, scaled by `scale`
  // (0 means unscaled). A picture that cannot be loaded is left out.
  virtual void InsertPicture(int row, int column, const std::string& path, double scale) = 0;
  // Saves the workbook, replacing an existing file; false when it cannot.
  virtual bool Save(const std::string& path) = 0;
  // Why the last Save failed ("No space left on device", ...); may be empty.
  virtual std::string Problem() const { return std::string(); }
  // What the workbook had to change to be written (a text cut to a cell's
  // limit), one line each, naming the cell.
  virtual std::vector<std::string> Notes() const { return {}; }
};

}  // namespace kova

#pragma once
// The workbook writer on libxlsxwriter: cells and pictures are collected and
// the file is made in a private folder at Save, then written over its
// target in one atomic step. Pictures go in as PNG whatever their file format (a 1024 x 1024
// 32-bit bitmap of 4 MB becomes some tens of kilobytes).

#include <string>
#include <vector>

#include "export/workbook_writer.h"

namespace kova {

class XlsxWorkbookWriter : public WorkbookWriter {
 public:
  void SetCellText(int row, int column, const std::string& cp1252) override;
  void InsertPicture(int row, int column, const std::string& path, double scale) override;
  bool Save(const std::string& path) override;
  std::string Problem() const override { return problem_; }
  std::vector<std::string> Notes() const override { return notes_; }

  // The most characters a cell holds; a longer text is cut to it, ending
  // in kCutMark.
  static constexpr size_t kMaxCellChars = 32767;
  static constexpr const char* kCutMark = " [cut]";

 private:
  struct Cell {
    int row, column;
    std::string utf8;
  };
  struct Picture {
    int row, column;
    std::string path;
    double scale;
  };
  std::vector<Cell> cells_;
  std::vector<Picture> pictures_;
  std::string problem_;
  std::vector<std::string> notes_;
};

// "A1", "B12", "AA3": the name a spreadsheet shows for a cell (from 1).
std::string CellName(int row, int column);

}  // namespace kova

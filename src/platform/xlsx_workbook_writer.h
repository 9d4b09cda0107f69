#pragma once
// The workbook writer on libxlsxwriter: cells and pictures are collected and
// the file is written in one go at Save, beside its target and renamed over
// it. Pictures go in as PNG whatever their file format (a 1024 x 1024
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
};

}  // namespace kova

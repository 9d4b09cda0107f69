#pragma once
// The record as one worksheet: the header rows, a block of rows per test
// with its data and graph points, the summary table, the pass/fail table
// when pass/fail is enabled, and the pictures at their cells. Every value
// is a text cell.

#include <string>

#include "export/workbook_writer.h"
#include "records/test_record.h"

namespace kova {

// Tests in the sheet's order: by tap order, or, when no test's tap is in the
// tap order, every test in storage order. Returns the count.
int WorkbookTestOrder(const TestRecord& rec, int out[kMaxTaps]);

// Fills the sheet. `install_dir` holds the colour swatches
// "TestColor%d.bmp"; the test and summary pictures are the record's
// `testimagefile` and `imagefile`.
void FillWorkbook(const TestRecord& rec, const std::string& install_dir, WorkbookWriter& wb);

// Fills and saves; false when the workbook cannot be saved.
bool ExportExcel(const TestRecord& rec, const std::string& path, const std::string& install_dir,
                 WorkbookWriter& wb);

}  // namespace kova

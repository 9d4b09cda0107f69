#include "export/excel_export.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <utility>

#include "analysis/taps.h"
#include "base/format.h"
#include "support/record_fixtures.h"

namespace kova {
namespace {

class RecordingWorkbook : public WorkbookWriter {
 public:
  std::map<std::pair<int, int>, std::string> cells;
  std::map<std::pair<int, int>, std::string> pictures;
  void SetCellText(int row, int column, const std::string& text) override {
    cells[{row, column}] = text;
  }
  void InsertPicture(int row, int column, const std::string& path, double scale) override {
    EXPECT_EQ(scale, 1.0);
    pictures[{row, column}] = path;
  }
  bool Save(const std::string&) override { return true; }
  std::string At(int r, int c) const {
    const auto it = cells.find({r, c});
    return it == cells.end() ? "<none>" : it->second;
  }
  int RowOf(const std::string& text, int column = 1, int from = 1) const {
    for (const auto& [rc, t] : cells) {
      if (rc.second == column && rc.first >= from && t == text) return rc.first;
    }
    return -1;
  }
};

std::unique_ptr<TestRecord> Relaying(int model, int tests) {
  auto rec = MakeSampleRecord(model, tests);
  rec->testdatetime = "03/02/19 15:27:43";
  rec->imagefile = "/x/T1 - Test Summary.bmp";
  for (int t = 0; t < tests; ++t) rec->taps[t].testimagefile = Format("/x/T1 - Test%d.bmp", t + 1);
  return rec;
}

TEST(Workbook, LayoutWithoutPassFail) {
  auto rec = Relaying(1, 2);
  RecordingWorkbook wb;
  FillWorkbook(*rec, "/inst/", wb);
  EXPECT_EQ(wb.At(2, 2), "03/02/19");
  EXPECT_EQ(wb.At(3, 2), "15:27:43");
  EXPECT_EQ(wb.At(15, 1), "PASS / FAIL");
  EXPECT_EQ(wb.At(15, 2), "Disabled");
  EXPECT_EQ(wb.At(17, 1), "TEST #");
  int order[kMaxTaps] = {};
  ASSERT_EQ(WorkbookTestOrder(*rec, order), 2);
  EXPECT_EQ(wb.pictures.at({18, 6}), rec->taps[order[0]].testimagefile);
  EXPECT_EQ(wb.At(34, 1), "DATA POINTS");
  // 32 data rows, blank, graph header, 21 rows, blank: next block.
  EXPECT_EQ(wb.At(34 + 33 + 1, 1), "GRAPH POINTS");
  const int second = 34 + 33 + 1 + 22 + 1;
  EXPECT_EQ(wb.At(second, 1), "TEST #");
  EXPECT_EQ(wb.At(second, 2), "2");
  const int note = wb.RowOf("NOTE PAD:");
  EXPECT_EQ(note, second + (second - 17));
  EXPECT_EQ(wb.At(note + 2, 4), "IEEE30 V/I");
  // The first row's swatch is the colour of the test it shows.
  EXPECT_EQ(wb.pictures.at({note + 3, 2}), Format("/inst/TestColor%d.bmp", order[0] + 1));
  EXPECT_EQ(wb.RowOf("PASS / FAIL REPORT"), -1);
  EXPECT_EQ(wb.pictures.at({note + 6, 2}), rec->imagefile);
}

TEST(Workbook, Model2HasSixtyFourDataRowsAndBurdenBlocks) {
  auto rec = Relaying(2, 1);
  rec->taps[0].uTestType |= kBurdenTest | kInsulationTest;
  rec->B200fBurdenReqCur = 5.7;
  rec->B200fMeggerReqV = 1000;
  rec->B200fMeggerOhms = 2000;
  RecordingWorkbook wb;
  FillWorkbook(*rec, "/inst/", wb);
  const int dp = wb.RowOf("DATA POINTS");
  EXPECT_EQ(wb.At(dp + 64, 1), "64");
  EXPECT_EQ(wb.At(dp + 66, 1), "GRAPH POINTS");
  const int burden = wb.RowOf("BURDEN TEST RESULTS");
  EXPECT_EQ(burden, dp + 66 + 22 + 1);
  EXPECT_EQ(wb.At(burden + 2, 1), "5 AMP BURDEN TEST");
  EXPECT_EQ(wb.At(burden + 9, 1), "1000V INSULATION RES TEST RESULTS");
  EXPECT_EQ(wb.At(burden + 12, 2), ">1,000 MEG-OHMS");
}

TEST(Workbook, PassFailValuesAndTables) {
  const struct {
    const char* what;
    double ratio;
    int type;
    double res;
    int row_offset;  // in the test block
    int summary_col, pf_col;
    const char *block, *summary, *pf;
  } cases[] = {
      // An error that is "N/A" is not judged: no mark after it.
      {"error 0", 120, 3, 1500, 11, 9, 7, "0.0000", "N/A", "N/A"},
      {"ratio not measured", 0, 2, 1500, 10, 9, 7, "N/A", "N/A", "N/A"},
      {"ratio off", 120, 2, 1500, 10, 8, 6, "N/A", "120.000", "120.000"},
      {"1500 mOhm", 120, 3, 1500, 14, 11, 10, "1.50 ohms", "1.50 ohms", "1.50 ohms "},
      {"800 mOhm", 120, 3, 800, 14, 11, 10, "800.00 milliohms", "800.00 m-ohms", "800.00 m-ohms "},
      {"large error", 600, 3, 800, 11, 9, 7, "> 99", "400.0000", "400.0000 [F]"},
  };
  for (const auto& c : cases) {
    auto rec = Relaying(1, 1);
    rec->passfail.pfenable = 1;
    TapTest& tap = rec->taps[0];
    tap.nNamePlateNum = 600;
    tap.fNamePlateDen = 5;
    tap.fTestRatio = c.ratio;
    tap.uTestType = c.type;
    tap.fWindingRes = c.res;
    RecordingWorkbook wb;
    FillWorkbook(*rec, "/inst/", wb);
    SCOPED_TRACE(c.what);
    EXPECT_EQ(wb.At(16, 1), "CT Type");
    EXPECT_EQ(wb.At(22, 1), "TEST #");
    EXPECT_EQ(wb.At(22 + c.row_offset, 2), c.block);
    const int summary = wb.RowOf("Test", 1) + 1;
    EXPECT_EQ(wb.At(summary, c.summary_col), c.summary);
    const int pf = wb.RowOf("Test", 1, summary) + 1;
    ASSERT_GT(pf, summary + 1);
    EXPECT_EQ(wb.At(pf, c.pf_col), c.pf);
    EXPECT_EQ(wb.At(pf - 1, 4), "IEEE30 V");
  }
}

// The swatch beside a test is its curve's colour, which goes with where the
// test is stored, not with its row.
TEST(Workbook, SwatchFollowsTheTestNotTheRow) {
  auto rec = Relaying(1, 2);
  rec->passfail.pfenable = 1;
  rec->taporder = std::string(TapNameFromCode(rec->taps[1].nTapConnection)) + "," +
                  TapNameFromCode(rec->taps[0].nTapConnection);
  RecordingWorkbook wb;
  FillWorkbook(*rec, "/inst/", wb);
  const int summary = wb.RowOf("Test", 1) + 1;
  const int pf = wb.RowOf("Test", 1, summary) + 1;
  for (int row : {summary, pf}) {
    EXPECT_EQ(wb.pictures.at({row, 2}), "/inst/TestColor2.bmp");
    EXPECT_EQ(wb.pictures.at({row + 1, 2}), "/inst/TestColor1.bmp");
  }
}

TEST(Workbook, StorageOrderWhenNoTapIsInTheOrder) {
  auto rec = Relaying(1, 2);
  rec->taporder = "X4-X5";
  int order[kMaxTaps] = {};
  EXPECT_EQ(WorkbookTestOrder(*rec, order), 2);
  EXPECT_EQ(order[0], 0);
  EXPECT_EQ(order[1], 1);
}

}  // namespace
}  // namespace kova

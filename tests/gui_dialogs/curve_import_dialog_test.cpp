#include "gui/assess/curve_import_dialog.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QTableWidget>

#include "gui_dialogs/dialog_app.h"

namespace kova {
namespace {

CurveImportModel ModelOf(const std::string& text) {
  ImportedCurve curve;
  CurveImportError error;
  EXPECT_TRUE(ReadCurveImport(text, curve, error)) << error.Text();
  return CurveImportModel(curve);
}

// A maker's sheet without turns or voltmeter: the preview shows its points
// in V and A, only the missing fields are asked for and OK keeps the dialog
// open, saying why, until they are filled.
TEST(CurveImportDialog, PreviewsThePointsAndAsksForWhatTheFileLacks) {
  App();
  CurveImportDialog dialog("maker.csv", ModelOf("\xEF\xBB\xBF# data sheet\r\ntap;X1-X5\r\n"
                                                "Current (mA);Voltage (V)\r\n3,7;100\r\n"
                                                "42,3;150\r\n240;200\r\n940;250\r\n2600;300\r\n"));
  EXPECT_EQ(dialog.tapField(), nullptr);  // the file gives it
  ASSERT_NE(dialog.turnsField(), nullptr);
  ASSERT_NE(dialog.voltmeterBox(), nullptr);
  EXPECT_EQ(dialog.voltmeterBox()->currentIndex(), -1);  // nothing chosen for the user
  QTableWidget* table = dialog.pointTable();
  ASSERT_EQ(table->rowCount(), 5);
  EXPECT_EQ(table->item(0, 0)->text(), "4");  // the line it came from
  EXPECT_EQ(table->item(0, 1)->text(), "100");
  EXPECT_EQ(table->item(0, 2)->text(), "0.0037");
  EXPECT_EQ(table->item(4, 2)->text(), "2.6");
  Snapshot(dialog, "import_reference_curve.png");
  EXPECT_GT(dialog.plot()->width(), 200);

  dialog.accept();
  EXPECT_NE(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(dialog.problemText(), "Turns of the tap is required");
  Type(dialog.turnsField(), "400,5");
  dialog.accept();
  EXPECT_EQ(dialog.problemText(), "Voltmeter reading is required");
  Choose(dialog.voltmeterBox(), 1);
  dialog.accept();
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_TRUE(dialog.problemText().isEmpty());
  const ReferenceCurve& ref = dialog.reference();
  EXPECT_EQ(ref.tap, "X1-X5");
  EXPECT_EQ(ref.turns, 400.5);
  EXPECT_TRUE(ref.average_rectified);
  ASSERT_EQ(ref.points.size(), 5u);
  EXPECT_DOUBLE_EQ(ref.points[2].amps, 0.24);
}

TEST(CurveImportDialog, AFileThatSaysEverythingAsksNothing) {
  App();
  CurveImportDialog dialog("kept.csv", ModelOf("tap,X1-X2\nturns,100\nvoltmeter,rms\nvolts,amps\n"
                                               "1,0.001\n10,0.01\n100,1\n"));
  EXPECT_EQ(dialog.tapField(), nullptr);
  EXPECT_EQ(dialog.turnsField(), nullptr);
  EXPECT_EQ(dialog.voltmeterBox(), nullptr);
  dialog.accept();
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_FALSE(dialog.reference().average_rectified);
  EXPECT_EQ(dialog.reference().turns, 100);
}

}  // namespace
}  // namespace kova

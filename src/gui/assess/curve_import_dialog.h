#pragma once
// "Import Reference Curve": the points of a maker's curve as read, in a
// table and on a small log-log plot, with fields for what the file does not
// say (its tap, the tap's turns, the voltmeter's reading) before the curve
// is kept. The rules live in CurveImportModel.

#include <QDialog>
#include <QWidget>

#include "assess/curve_import_model.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QTableWidget;

namespace kova {

// The points on log-log axes of the decades around them.
class CurvePreviewPlot : public QWidget {
  Q_OBJECT
 public:
  CurvePreviewPlot(const CurveImportModel& model, QWidget* parent = nullptr);
  QSize sizeHint() const override { return {360, 280}; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  const CurveImportModel& model_;
};

class CurveImportDialog : public QDialog {
  Q_OBJECT
 public:
  CurveImportDialog(const std::string& file_name, const CurveImportModel& model,
                    QWidget* parent = nullptr);

  // The fields of what the file does not give; null for what it gives.
  QLineEdit* tapField() const { return tap_; }
  QLineEdit* turnsField() const { return turns_; }
  QComboBox* voltmeterBox() const { return voltmeter_; }
  QTableWidget* pointTable() const { return table_; }
  CurvePreviewPlot* plot() const { return plot_; }
  // Why OK did not close the dialog (empty when it did).
  QString problemText() const;
  // The curve to keep, after OK.
  const ReferenceCurve& reference() const { return reference_; }

  void accept() override;

 private:
  CurveImportModel model_;
  ReferenceCurve reference_;
  QLineEdit* tap_ = nullptr;
  QLineEdit* turns_ = nullptr;
  QComboBox* voltmeter_ = nullptr;
  QTableWidget* table_ = nullptr;
  CurvePreviewPlot* plot_ = nullptr;
  QLabel* problem_ = nullptr;
};

}  // namespace kova

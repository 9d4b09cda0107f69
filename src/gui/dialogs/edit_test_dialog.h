#pragma once
// "Edit Test": corrections to a record that is open in a document, over
// EditTestModel. OK writes the edits into the record (through its binary
// record) before the dialog closes; the note, the pass/fail setup and a
// tap's ratio error values reach the record as soon as their own dialog
// closes with OK. "Save to Test Plan" writes a plan file and keeps the dialog
// open; "Repeat Tests" measures the chosen taps again and closes with OK.

#include <QDialog>
#include <string>

#include "app/edit_test_model.h"
#include "gui/dialogs/dialog_runner.h"
#include "gui/dialogs/header_fields.h"
#include "gui/dialogs/tap_grid.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QTableWidget;
class QToolButton;

namespace kova {

class Prompter;
struct TestRecord;

class EditTestDialog : public QDialog {
  Q_OBJECT
 public:
  // `connected_modelcode` is the model code of the instrument that answered
  // the quiet check, or -1; `run` measures a plan on it.
  EditTestDialog(TestRecord& rec, int connected_modelcode, Prompter& prompter,
                 std::string plan_folder, PlanRunner run, QWidget* parent = nullptr);

  void setDialogRunner(DialogRunner runner) { runner_ = std::move(runner); }
  const EditTestModel& model() const { return model_; }
  void accept() override;

  const TapRowWidgets& row(int r) const { return grid_->row(r); }
  QLineEdit* header(int i) const { return headers_[i]; }  // "Company:" … "Comments:"
  QComboBox* kneeMarker() const { return knee_; }
  QComboBox* frequency() const { return frequency_; }
  QLineEdit* temperature() const { return temp_; }
  QComboBox* ratedCurrent() const { return rated_; }
  QComboBox* ctType() const { return cttype_; }
  QTableWidget* orderList() const { return order_; }
  QCheckBox* runInsulation() const { return runinsulation_; }
  QCheckBox* runBurden() const { return runburden_; }
  QPushButton* notepadButton() const { return notepad_; }
  QPushButton* passFailButton() const { return passfail_; }
  QPushButton* savePlanButton() const { return saveplan_; }
  QPushButton* repeatButton() const { return repeat_; }

 private:
  void Build();
  TapGrid* BuildTapGrid();
  void Connect();
  void Refresh();
  void EditRatioError(int r);
  void SaveToPlan();
  void Repeat();

  TestRecord& rec_;
  Prompter& prompter_;
  std::string folder_;
  PlanRunner run_;
  DialogRunner runner_ = ModalRunner();
  EditTestModel model_;
  int order_selected_ = -1;  // no row chosen: the arrows move nothing

  QLineEdit* headers_[kHeaderFieldCount];
  QComboBox* knee_;
  QComboBox* frequency_;
  QLineEdit* temp_;
  QComboBox* rated_;
  QComboBox* cttype_;
  TapGrid* grid_;
  QTableWidget* order_;
  QToolButton* up_;
  QToolButton* down_;
  QCheckBox* runinsulation_;
  QCheckBox* runburden_;
  QPushButton* notepad_;
  QPushButton* passfail_;
  QPushButton* saveplan_;
  QPushButton* repeat_;
  QPushButton* ok_;
  QPushButton* cancel_;
};

}  // namespace kova

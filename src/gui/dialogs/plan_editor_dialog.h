#pragma once
// "Test Plan": the plan editor over PlanEditorModel. Every user action calls
// one operation of the model and the widgets are then shown from the model
// again. Undo (Ctrl+Z) and redo (Ctrl+Y) step through copies of the model
// taken before each action; typing into one field counts as one action.
//
// The caller's plan changes only when "Save" has written the plan file.

#include <QDialog>
#include <string>
#include <vector>

#include "gui/dialogs/dialog_runner.h"
#include "gui/dialogs/header_fields.h"
#include "gui/dialogs/tap_grid.h"
#include "plans/plan_editor_model.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTableWidget;
class QToolButton;

namespace kova {

class Prompter;

class PlanEditorDialog : public QDialog {
  Q_OBJECT
 public:
  PlanEditorDialog(kvTestPlan& plan, Prompter& prompter, std::string plan_folder,
                   QWidget* parent = nullptr);

  void setDialogRunner(DialogRunner runner) { runner_ = std::move(runner); }
  const PlanEditorModel& model() const { return model_; }
  // The file "Save" wrote, empty before.
  const std::string& savedPath() const { return saved_path_; }

  bool Undo();
  bool Redo();
  bool CanUndo() const { return !undo_.empty(); }
  bool CanRedo() const { return !redo_.empty(); }

  // The widgets, for the tests.
  const TapRowWidgets& row(int r) const { return grid_->row(r); }
  QRadioButton* instrument(int choice) const { return instrument_[choice]; }
  QLineEdit* header(int i) const { return headers_[i]; }  // "Company:" … "Comments:"
  QComboBox* kneeMarker() const { return knee_; }
  QComboBox* autoNamePlate() const { return autoname_; }
  QComboBox* ratedCurrent() const { return rated_; }
  QLineEdit* temperature() const { return temp_; }
  QComboBox* ctType() const { return cttype_; }
  QCheckBox* singleTap() const { return single_; }
  QCheckBox* multiTap() const { return multi_; }
  QCheckBox* columnBox(int column) const { return grid_->columnBox(column); }
  QTableWidget* orderList() const { return order_; }
  QToolButton* upButton() const { return up_; }
  QToolButton* downButton() const { return down_; }
  QCheckBox* runInsulation() const { return runinsulation_; }
  QCheckBox* runBurden() const { return runburden_; }
  QRadioButton* insulation1000V() const { return v1000_; }
  QRadioButton* burden1A() const { return a1_; }
  QPushButton* passFailButton() const { return passfail_; }
  QPushButton* saveButton() const { return save_; }

 private:
  void Build();
  TapGrid* BuildTapGrid();
  QWidget* BuildOrderList();
  void Connect();
  // Runs one user action on the model, keeping what undo needs. Typing into
  // the same field (`typing` ≥ 0 names it) continues the last action.
  template <typename F>
  void Change(F&& action, int typing = -1);
  void Refresh();
  void MoveOrder(int step);
  void EditRatioError(int r);
  void OpenPassFail();
  void Save();

  kvTestPlan& plan_;
  Prompter& prompter_;
  std::string folder_;
  std::string saved_path_;
  DialogRunner runner_ = ModalRunner();
  PlanEditorModel model_;
  std::vector<PlanEditorModel> undo_, redo_;
  int typing_ = -1;
  bool refreshing_ = false;
  int order_selected_ = -1;  // no row chosen: the arrows move nothing

  QRadioButton* instrument_[4];
  QLineEdit* headers_[kHeaderFieldCount];
  QComboBox* knee_;
  QComboBox* autoname_;
  QComboBox* rated_;
  QComboBox* classification_;
  QLineEdit* temp_;
  QComboBox* cttype_;
  QCheckBox* single_;
  QCheckBox* multi_;
  TapGrid* grid_;
  QTableWidget* order_;
  QToolButton* up_;
  QToolButton* down_;
  QCheckBox* runinsulation_;
  QCheckBox* runburden_;
  QRadioButton* v500_;
  QRadioButton* v1000_;
  QRadioButton* a1_;
  QRadioButton* a5_;
  QPushButton* passfail_;
  QPushButton* save_;
  QPushButton* cancel_;
};

}  // namespace kova

#include "gui/dialogs/plan_editor_dialog.h"
#include "gui/dialogs/file_text_field.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/plan_save.h"
#include "base/prompter.h"
#include "gui/dialogs/header_fields.h"
#include "gui/dialogs/list_widgets.h"
#include "gui/dialogs/pass_fail_dialog.h"
#include "gui/dialogs/small_dialogs.h"
#include "gui/dialogs/tap_order_list.h"

namespace kova {
namespace {

// Keys naming the text fields for the coalescing of typed changes.
constexpr int kTypingHeader = 0, kTypingTemp = 10, kTypingRated = 11, kTypingRowTexts = 20;

// The three texts of each row, 20 keys apart.
int TypingKey(int row, TapText field) {
  return kTypingRowTexts + 20 * static_cast<int>(field) + row;
}

}  // namespace

PlanEditorDialog::PlanEditorDialog(kvTestPlan& plan, Prompter& prompter, std::string plan_folder,
                                   QWidget* parent)
    : QDialog(parent), plan_(plan), prompter_(prompter), folder_(std::move(plan_folder)) {
  setWindowTitle("Test Plan");
  model_.Load(plan);
  Build();
  Connect();
  Refresh();
}

void PlanEditorDialog::Build() {
  auto* layout = new QVBoxLayout(this);
  auto* top = new QHBoxLayout();

  auto* device = new QGroupBox("Select device type test plan", this);
  auto* device_layout = new QVBoxLayout(device);
  for (int i = 0; i < 4; ++i) {
    instrument_[i] = new QRadioButton(ToQ(InstrumentChoices()[i]), device);
    device_layout->addWidget(instrument_[i]);
  }
  device_layout->addStretch(1);
  top->addWidget(device);

  auto* header = AddHeaderFields(this, headers_, kPlanHeaderTextChars);
  headers_[5]->setEnabled(false);  // "SN:" and "Operator:" are not the plan's to set
  headers_[6]->setEnabled(false);
  top->addWidget(header, 1);

  auto* settings = new QGroupBox(this);
  auto* form = new QFormLayout(settings);
  knee_ = new QComboBox(settings);
  knee_->addItems(ToQList(KneeMarkerEntries()));
  autoname_ = new QComboBox(settings);
  autoname_->addItems(ToQList(AutoNamePlateEntries()));
  rated_ = new QComboBox(settings);
  rated_->setEditable(true);
  rated_->addItems(ToQList(RatedCurrentEntries()));
  classification_ = new QComboBox(settings);
  classification_->addItem("IEEE C57.13");
  temp_ = new QLineEdit(settings);
  cttype_ = new QComboBox(settings);
  cttype_->addItems(ToQList(CtTypeEntries()));
  form->addRow("Knee Point Marker:", knee_);
  form->addRow("Auto Name Plate", autoname_);
  form->addRow("Current (A):", rated_);
  form->addRow("Classification:", classification_);
  form->addRow("Temp (C):", temp_);
  form->addRow("CT Type:", cttype_);
  auto* taps = new QHBoxLayout();
  single_ = new QCheckBox("Single Tap", settings);
  multi_ = new QCheckBox("Multi Tap", settings);
  taps->addWidget(single_);
  taps->addWidget(multi_);
  form->addRow(taps);
  top->addWidget(settings);
  layout->addLayout(top);

  auto* middle = new QHBoxLayout();
  middle->addWidget(BuildTapGrid(), 1);
  middle->addWidget(BuildOrderList());
  layout->addLayout(middle);

  auto* bottom = new QHBoxLayout();
  auto* insulation = new QGroupBox(this);
  auto* ins_layout = new QHBoxLayout(insulation);
  runinsulation_ = new QCheckBox("Run Insulation Test", insulation);
  v500_ = new QRadioButton("500V", insulation);
  v1000_ = new QRadioButton("1,000V", insulation);
  ins_layout->addWidget(runinsulation_);
  ins_layout->addWidget(v500_);
  ins_layout->addWidget(v1000_);
  auto* burden = new QGroupBox(this);
  auto* burden_layout = new QHBoxLayout(burden);
  runburden_ = new QCheckBox("Run Burden Test", burden);
  a1_ = new QRadioButton("Test Current = 1A", burden);
  a5_ = new QRadioButton("Test Current = 5A", burden);
  burden_layout->addWidget(runburden_);
  burden_layout->addWidget(a1_);
  burden_layout->addWidget(a5_);
  bottom->addWidget(insulation);
  bottom->addWidget(burden);
  bottom->addStretch(1);
  passfail_ = PlainButton("Pass / Fail", this);
  save_ = PlainButton("Save", this);
  cancel_ = PlainButton("Cancel", this);
  bottom->addWidget(passfail_);
  bottom->addWidget(save_);
  bottom->addWidget(cancel_);
  layout->addLayout(bottom);
}

TapGrid* PlanEditorDialog::BuildTapGrid() {
  TapGridActions act;
  act.typed = [this](int r, TapText field, const std::string& text) {
    Change([&] { model_.rows[r].Text(field) = text; }, TypingKey(r, field));
  };
  act.test = [this](int r, TestColumn column, bool on) {
    Change([&] { model_.SetTest(r, column, on); });
  };
  act.whole_column = [this](TestColumn column, bool on) {
    Change([&] { model_.SetColumn(column, on); });
  };
  act.voltage = [this](int r, int entry) { Change([&] { model_.ChooseVoltage(r, entry); }); };
  act.current = [this](int r, int entry) { Change([&] { model_.ChooseCurrent(r, entry); }); };
  act.ratio_error = [this](int r) { EditRatioError(r); };
  grid_ = new TapGrid(kPlanRows, kColumnBoxes, std::move(act), this);
  return grid_;
}

QWidget* PlanEditorDialog::BuildOrderList() {
  auto* box = new QGroupBox(this);
  auto* layout = new QVBoxLayout(box);
  auto* row = new QHBoxLayout();
  const TapOrderList order = AddTapOrderList(box, row, kPlanRows);
  order_ = order.table;
  up_ = order.up;
  down_ = order.down;
  layout->addLayout(row);
  auto* hint = new QLabel("Select tap and then press up or down to change order.", box);
  hint->setWordWrap(true);
  hint->setMaximumWidth(180);
  layout->addWidget(hint);
  return box;
}

template <typename F>
void PlanEditorDialog::Change(F&& action, int typing) {
  if (refreshing_) return;
  if (typing < 0 || typing != typing_) {
    undo_.push_back(model_);
    redo_.clear();
  }
  typing_ = typing;
  action();
  Refresh();
}

bool PlanEditorDialog::Undo() {
  if (undo_.empty()) return false;
  redo_.push_back(model_);
  model_ = undo_.back();
  undo_.pop_back();
  typing_ = -1;
  Refresh();
  return true;
}

bool PlanEditorDialog::Redo() {
  if (redo_.empty()) return false;
  undo_.push_back(model_);
  model_ = redo_.back();
  redo_.pop_back();
  typing_ = -1;
  Refresh();
  return true;
}

void PlanEditorDialog::Connect() {
  for (int i = 0; i < 4; ++i) {
    connect(instrument_[i], &QRadioButton::clicked, this,
            [this, i] { Change([&] { model_.SetInstrument(i); }); });
  }
  for (int i = 0; i < kHeaderFieldCount; ++i) {
    connect(headers_[i], &QLineEdit::textChanged, this, [this, i](const QString& text) {
      Change([&] { HeaderText(model_, i) = FromQ(text); }, kTypingHeader + i);
    });
  }
  connect(knee_, qOverload<int>(&QComboBox::activated), this,
          [this](int entry) { Change([&] { model_.kneemarker = entry; }); });
  connect(autoname_, qOverload<int>(&QComboBox::activated), this,
          [this](int entry) { Change([&] { model_.ChooseAutoNamePlate(entry); }); });
  connect(rated_, qOverload<int>(&QComboBox::activated), this, [this](int entry) {
    Change([&] { model_.SetRatedCurrent(FromQ(rated_->itemText(entry))); });
  });
  connect(rated_->lineEdit(), &QLineEdit::textEdited, this, [this](const QString& text) {
    Change([&] { model_.SetRatedCurrent(FromQ(text)); }, kTypingRated);
  });
  connect(temp_, &QLineEdit::textChanged, this, [this](const QString& text) {
    Change([&] { model_.temperature = FromQ(text); }, kTypingTemp);
  });
  connect(cttype_, qOverload<int>(&QComboBox::activated), this,
          [this](int entry) { Change([&] { model_.cttype = entry; }); });
  connect(single_, &QCheckBox::clicked, this,
          [this](bool on) { Change([&] { model_.ClickSingleTap(on); }); });
  connect(multi_, &QCheckBox::clicked, this,
          [this](bool on) { Change([&] { model_.ClickMultiTap(on); }); });
  // Only a row the user can see selected moves.
  connect(order_, &QTableWidget::itemSelectionChanged, this, [this] {
    const QList<QTableWidgetItem*> chosen = order_->selectedItems();
    order_selected_ = chosen.isEmpty() ? -1 : chosen.front()->row();
  });
  connect(up_, &QToolButton::clicked, this, [this] { MoveOrder(-1); });
  connect(down_, &QToolButton::clicked, this, [this] { MoveOrder(1); });
  connect(runinsulation_, &QCheckBox::clicked, this,
          [this](bool on) { Change([&] { model_.SetRunInsulation(on); }); });
  connect(runburden_, &QCheckBox::clicked, this,
          [this](bool on) { Change([&] { model_.SetRunBurden(on); }); });
  connect(v500_, &QRadioButton::clicked, this,
          [this] { Change([&] { model_.insulation1000v = false; }); });
  connect(v1000_, &QRadioButton::clicked, this,
          [this] { Change([&] { model_.insulation1000v = true; }); });
  connect(a1_, &QRadioButton::clicked, this, [this] { Change([&] { model_.burden1a = true; }); });
  connect(a5_, &QRadioButton::clicked, this, [this] { Change([&] { model_.burden1a = false; }); });
  connect(passfail_, &QPushButton::clicked, this, &PlanEditorDialog::OpenPassFail);
  connect(save_, &QPushButton::clicked, this, &PlanEditorDialog::Save);
  connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
  auto* undo = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z), this);
  connect(undo, &QShortcut::activated, this, [this] { Undo(); });
  auto* redo = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Y), this);
  connect(redo, &QShortcut::activated, this, [this] { Redo(); });
}

void PlanEditorDialog::Refresh() {
  refreshing_ = true;
  const PlanEditorModel& m = model_;
  for (int i = 0; i < 4; ++i) instrument_[i]->setChecked(m.instrument == i);
  for (int i = 0; i < kHeaderFieldCount; ++i) ShowText(headers_[i], HeaderText(m, i));
  ShowChoices(knee_, KneeMarkerEntries(), m.kneemarker);
  ShowChoices(autoname_, AutoNamePlateEntries(), m.autonameplate);
  {
    const QSignalBlocker block(rated_);
    const int entry = rated_->findText(ToQ(m.ratedcurrent));
    if (rated_->lineEdit()->text() != ToQ(m.ratedcurrent)) {
      if (entry >= 0) {
        rated_->setCurrentIndex(entry);
      } else {
        rated_->setEditText(ToQ(m.ratedcurrent));
      }
    }
    rated_->setEnabled(m.ratedcurrent_enabled);
  }
  ShowText(temp_, m.temperature);
  ShowChoices(cttype_, CtTypeEntries(), m.cttype);
  ShowCheck(single_, m.singletap);
  ShowCheck(multi_, m.multitap);
  grid_->Show(m.rows, kPlanRows);
  for (int r = 0; r < kPlanRows; ++r) order_->item(r, 1)->setText(ToQ(m.order[r]));
  ShowCheck(runinsulation_, m.runinsulation, m.runtests_enabled);
  ShowCheck(runburden_, m.runburden, m.runtests_enabled);
  v500_->setChecked(!m.insulation1000v);
  v1000_->setChecked(m.insulation1000v);
  a1_->setChecked(m.burden1a);
  a5_->setChecked(!m.burden1a);
  v500_->setEnabled(m.insulationchoice_enabled);
  v1000_->setEnabled(m.insulationchoice_enabled);
  a1_->setEnabled(m.burdenchoice_enabled);
  a5_->setEnabled(m.burdenchoice_enabled);
  refreshing_ = false;
}

void PlanEditorDialog::MoveOrder(int step) {
  int moved = order_selected_;
  Change([&] { moved = model_.MoveOrder(order_selected_, step); });
  order_selected_ = moved;
  if (moved >= 0) order_->setCurrentCell(moved, 1);
}

void PlanEditorDialog::EditRatioError(int r) {
  RatioErrorDialog dialog(model_.rows[r].ratioerror, prompter_, this);
  if (runner_(dialog) != QDialog::Accepted) return;
  bool warn = false;
  Change([&] { warn = model_.SetRatioError(r, dialog.values()); });
  if (warn) prompter_.Message(kDeviceCaption, kOneAmpWarning, Buttons::Ok, Icon::Warning);
}

void PlanEditorDialog::OpenPassFail() {
  PassFailBlock passfail = model_.plan.passfail;
  ResistanceBlock resistance = model_.plan.resistance;
  PassFailDialog dialog(passfail, resistance, prompter_, this);
  if (runner_(dialog) != QDialog::Accepted) return;
  Change([&] {
    model_.plan.passfail = passfail;
    model_.plan.resistance = resistance;
  });
}

void PlanEditorDialog::Save() {
  kvTestPlan stored;
  std::string error;
  PlanEditorModel trial = model_;
  if (!trial.Store(stored, error)) {
    prompter_.Message(kDeviceCaption, error, Buttons::Ok, Icon::Warning);
    return;
  }
  std::string path;
  if (SavePlanAsking(stored, prompter_, folder_, path) != PlanSaveOutcome::kSaved) return;
  model_ = trial;
  plan_ = stored;
  saved_path_ = path;
  accept();
}

}  // namespace kova

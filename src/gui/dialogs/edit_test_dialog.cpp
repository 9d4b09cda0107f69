#include "gui/dialogs/edit_test_dialog.h"
#include "gui/dialogs/file_text_field.h"

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
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <memory>

#include "app/plan_save.h"
#include "base/prompter.h"
#include "gui/dialogs/header_fields.h"
#include "gui/dialogs/list_widgets.h"
#include "gui/dialogs/pass_fail_dialog.h"
#include "gui/dialogs/small_dialogs.h"
#include "gui/dialogs/tap_order_list.h"
#include "plans/test_plan.h"
#include "records/test_record.h"

namespace kova {

EditTestDialog::EditTestDialog(TestRecord& rec, int connected_modelcode, Prompter& prompter,
                               std::string plan_folder, PlanRunner run, QWidget* parent)
    : QDialog(parent),
      rec_(rec),
      prompter_(prompter),
      folder_(std::move(plan_folder)),
      run_(std::move(run)) {
  setWindowTitle("Edit Test");
  model_.Open(rec, connected_modelcode);
  Build();
  Connect();
  Refresh();
}

void EditTestDialog::Build() {
  auto* layout = new QVBoxLayout(this);
  auto* top = new QHBoxLayout();
  auto* header = AddHeaderFields(this, headers_, kHeaderTextChars);
  top->addWidget(header, 1);

  auto* settings = new QGroupBox(this);
  auto* form = new QFormLayout(settings);
  knee_ = new QComboBox(settings);
  knee_->addItems(ToQList(KneeMarkerEntries()));
  frequency_ = new QComboBox(settings);
  frequency_->addItems(ToQList(FrequencyEntries()));
  temp_ = new QLineEdit(settings);
  rated_ = new QComboBox(settings);
  rated_->setEditable(true);
  rated_->addItems(ToQList(RatedCurrentEntries()));
  cttype_ = new QComboBox(settings);
  cttype_->addItems(ToQList(CtTypeEntries()));
  form->addRow("Knee Point Marker:", knee_);
  form->addRow("Frequency:", frequency_);
  form->addRow("Temp (C):", temp_);
  form->addRow("Current (A):", rated_);
  form->addRow("CT Type:", cttype_);
  top->addWidget(settings);

  auto* side = new QVBoxLayout();
  notepad_ = PlainButton("Notepad", this);
  passfail_ = PlainButton("Pass / Fail Setup", this);
  side->addWidget(notepad_);
  side->addWidget(passfail_);
  side->addStretch(1);
  top->addLayout(side);
  layout->addLayout(top);

  auto* middle = new QHBoxLayout();
  middle->addWidget(BuildTapGrid(), 1);
  auto* orderbox = new QGroupBox(this);
  auto* orderlayout = new QHBoxLayout(orderbox);
  const TapOrderList order = AddTapOrderList(orderbox, orderlayout, kEditRows);
  order_ = order.table;
  up_ = order.up;
  down_ = order.down;
  middle->addWidget(orderbox);
  layout->addLayout(middle);

  auto* bottom = new QHBoxLayout();
  runinsulation_ = new QCheckBox("Run Insulation Test", this);
  runburden_ = new QCheckBox("Run Burden Test", this);
  bottom->addWidget(runinsulation_);
  bottom->addWidget(runburden_);
  bottom->addStretch(1);
  saveplan_ = PlainButton("Save to Test Plan", this);
  repeat_ = PlainButton("Repeat Tests", this);
  ok_ = PlainButton("OK", this);
  cancel_ = PlainButton("Cancel", this);
  for (QPushButton* b : {saveplan_, repeat_, ok_, cancel_}) bottom->addWidget(b);
  layout->addLayout(bottom);
}

TapGrid* EditTestDialog::BuildTapGrid() {
  TapGridActions act;
  act.typed = [this](int r, TapText field, const std::string& text) {
    model_.rows[r].Text(field) = text;
  };
  act.test = [this](int r, TestColumn column, bool on) {
    model_.SetTest(r, column, on);
    Refresh();
  };
  act.repeat = [this](int r, bool on) {
    model_.SetRepeat(r, on);
    Refresh();
  };
  act.voltage = [this](int r, int entry) {
    model_.ChooseVoltage(r, entry);
    Refresh();
  };
  act.current = [this](int r, int entry) { model_.ChooseCurrent(r, entry); };
  act.ratio_error = [this](int r) { EditRatioError(r); };
  grid_ = new TapGrid(kEditRows, kRepeatColumn, std::move(act), this);
  return grid_;
}

void EditTestDialog::Connect() {
  for (int i = 0; i < kHeaderFieldCount; ++i) {
    connect(headers_[i], &QLineEdit::textEdited, this,
            [this, i](const QString& text) { HeaderText(model_, i) = FromQ(text); });
  }
  connect(knee_, qOverload<int>(&QComboBox::activated), this,
          [this](int entry) { model_.kneemarker = entry; });
  connect(frequency_, qOverload<int>(&QComboBox::activated), this,
          [this](int entry) { model_.frequency = entry; });
  connect(temp_, &QLineEdit::textEdited, this,
          [this](const QString& text) { model_.temperature = FromQ(text); });
  connect(rated_, &QComboBox::currentTextChanged, this,
          [this](const QString& text) { model_.ratedcurrent = FromQ(text); });
  connect(cttype_, qOverload<int>(&QComboBox::activated), this,
          [this](int entry) { model_.cttype = entry; });
  // Only a row the user can see selected moves.
  connect(order_, &QTableWidget::itemSelectionChanged, this, [this] {
    const QList<QTableWidgetItem*> chosen = order_->selectedItems();
    order_selected_ = chosen.isEmpty() ? -1 : chosen.front()->row();
  });
  for (QToolButton* arrow : {up_, down_}) {
    const int step = arrow == up_ ? -1 : 1;
    connect(arrow, &QToolButton::clicked, this, [this, step] {
      order_selected_ = model_.MoveOrder(order_selected_, step);
      Refresh();
      if (order_selected_ >= 0) order_->setCurrentCell(order_selected_, 1);
    });
  }
  connect(runinsulation_, &QCheckBox::clicked, this, [this](bool on) {
    model_.SetRunInsulation(on);
    Refresh();
  });
  connect(runburden_, &QCheckBox::clicked, this, [this](bool on) {
    model_.SetRunBurden(on);
    Refresh();
  });
  connect(notepad_, &QPushButton::clicked, this, [this] {
    TestNoteDialog dialog(rec_.testnote, this);
    if (runner_(dialog) == QDialog::Accepted) rec_.testnote = dialog.note();
  });
  connect(passfail_, &QPushButton::clicked, this, [this] {
    PassFailDialog dialog(rec_.passfail, rec_.resistance, prompter_, this);
    runner_(dialog);
  });
  connect(saveplan_, &QPushButton::clicked, this, &EditTestDialog::SaveToPlan);
  connect(repeat_, &QPushButton::clicked, this, &EditTestDialog::Repeat);
  connect(ok_, &QPushButton::clicked, this, &EditTestDialog::accept);
  connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
}

void EditTestDialog::Refresh() {
  const EditTestModel& m = model_;
  for (int i = 0; i < kHeaderFieldCount; ++i) ShowText(headers_[i], HeaderText(m, i));
  ShowChoices(knee_, KneeMarkerEntries(), m.kneemarker);
  ShowChoices(frequency_, FrequencyEntries(), m.frequency);
  ShowText(temp_, m.temperature);
  if (rated_->currentText() != ToQ(m.ratedcurrent)) {
    const QSignalBlocker block(rated_);
    const int entry = rated_->findText(ToQ(m.ratedcurrent));
    if (entry >= 0) {
      rated_->setCurrentIndex(entry);
    } else {
      rated_->setEditText(ToQ(m.ratedcurrent));
    }
  }
  ShowChoices(cttype_, CtTypeEntries(), m.cttype);
  grid_->Show(m.rows, m.rowcount);
  for (int r = 0; r < kEditRows; ++r) order_->item(r, 1)->setText(ToQ(m.order[r]));
  ShowCheck(runinsulation_, m.runinsulation, m.runinsulation_enabled);
  ShowCheck(runburden_, m.runburden, m.runburden_enabled);
  repeat_->setEnabled(m.repeat_enabled);
}

void EditTestDialog::EditRatioError(int r) {
  RatioErrorDialog dialog(model_.rows[r].ratioerror, prompter_, this);
  if (runner_(dialog) != QDialog::Accepted) return;
  bool warn = false;
  std::string error;
  if (!model_.SetRatioError(rec_, r, dialog.values(), warn, error)) {
    prompter_.Message(kDeviceCaption, error, Buttons::Ok, Icon::Warning);
    return;
  }
  Refresh();
  if (warn) prompter_.Message(kDeviceCaption, kOneAmpWarning, Buttons::Ok, Icon::Warning);
}

void EditTestDialog::SaveToPlan() {
  auto plan = std::make_unique<kvTestPlan>();
  std::string error;
  if (!model_.BuildSavePlan(rec_, *plan, error)) {
    prompter_.Message(kDeviceCaption, error, Buttons::Ok, Icon::Warning);
    return;
  }
  std::string path;
  SavePlanAsking(*plan, prompter_, folder_, path);
}

void EditTestDialog::Repeat() {
  if (!run_ || !RepeatTests(model_, rec_, run_, prompter_)) return;
  QDialog::accept();
}

void EditTestDialog::accept() {
  std::string error;
  if (!model_.Apply(rec_, error)) {
    prompter_.Message(kDeviceCaption, error, Buttons::Ok, Icon::Warning);
    return;
  }
  QDialog::accept();
}

}  // namespace kova

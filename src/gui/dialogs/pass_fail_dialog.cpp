#include "gui/dialogs/pass_fail_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "base/prompter.h"
#include "gui/dialogs/list_widgets.h"
#include "plans/plan_editor_model.h"

namespace kova {

PassFailDialog::PassFailDialog(PassFailBlock& passfail, ResistanceBlock& resistance,
                               Prompter& prompter, QWidget* parent)
    : QDialog(parent), passfail_(passfail), resistance_(resistance), prompter_(prompter) {
  setWindowTitle("Pass / Fail Setup");
  model_.Load(passfail, resistance);
  auto* layout = new QHBoxLayout(this);

  auto* left = new QVBoxLayout();
  enable_ = new QCheckBox("Enable Pass / Fail", this);
  enable_->setChecked(model_.enable);
  left->addWidget(enable_);
  auto* form = new QFormLayout();
  const std::vector<std::string>* entries[6] = {&PassFailCtTypes(),       &PassFailLocations(),
                                                &TurnsRatioDeviations(),  &KneePointTypes(),
                                                &KneeVoltageDeviations(), &ResistanceDeviations()};
  const int selected[6] = {model_.cttype,   model_.location,      model_.ratiodeviation,
                           model_.kneetype, model_.kneedeviation, model_.resdeviation};
  for (int i = 0; i < 6; ++i) {
    lists_[i] = new QComboBox(this);
    ShowChoices(lists_[i], *entries[i], selected[i]);
  }
  customratio_ = new QLineEdit(ToQ(model_.customratio), this);
  customratio_->setMaxLength(static_cast<int>(kCustomRatioChars));
  customratio_->setFixedWidth(48);
  ratiopercent_ = new QLabel("%", this);
  customres_ = new QLineEdit(ToQ(model_.customres), this);
  customres_->setFixedWidth(64);
  respercent_ = new QLabel("%", this);
  auto with_custom = [](QComboBox* list, QLineEdit* field, QLabel* percent) {
    auto* row = new QHBoxLayout();
    row->addWidget(list, 1);
    row->addWidget(field);
    row->addWidget(percent);
    return row;
  };
  form->addRow("CT Type:", lists_[kCtType]);
  form->addRow("CT Location:", lists_[kLocation]);
  form->addRow("Turns Ratio Deviation:",
               with_custom(lists_[kRatioDeviation], customratio_, ratiopercent_));
  form->addRow("Knee Point Type:", lists_[kKneeType]);
  form->addRow("Knee-Point Voltage Deviation:", lists_[kKneeDeviation]);
  form->addRow("Resistance Value Deviation",
               with_custom(lists_[kResDeviation], customres_, respercent_));
  left->addLayout(form);
  left->addStretch(1);
  layout->addLayout(left);

  auto* table = new QGroupBox(this);
  auto* grid = new QGridLayout(table);
  grid->addWidget(new QLabel("Knee Voltage", table), 0, 1);
  grid->addWidget(new QLabel("Resistance", table), 0, 2);
  for (int r = 0; r < kTapTableSize; ++r) {
    grid->addWidget(new QLabel(ToQ(RowTapName(r)), table), r + 1, 0);
    knee_[r] = new QLineEdit(ToQ(model_.kneevoltage[r]), table);
    res_[r] = new QLineEdit(ToQ(model_.resistance[r]), table);
    knee_[r]->setFixedWidth(90);
    res_[r]->setFixedWidth(90);
    grid->addWidget(knee_[r], r + 1, 1);
    grid->addWidget(res_[r], r + 1, 2);
  }
  layout->addWidget(table);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  left->addWidget(buttons);

  for (int i : {kRatioDeviation, kResDeviation}) {
    connect(lists_[i], qOverload<int>(&QComboBox::activated), this, [this] { ShowCustomFields(); });
  }
  ShowCustomFields();
}

void PassFailDialog::ShowCustomFields() {
  model_.ratiodeviation = lists_[kRatioDeviation]->currentIndex();
  model_.resdeviation = lists_[kResDeviation]->currentIndex();
  customratio_->setVisible(model_.CustomRatioVisible());
  ratiopercent_->setVisible(model_.CustomRatioVisible());
  customres_->setVisible(model_.CustomResVisible());
  respercent_->setVisible(model_.CustomResVisible());
}

void PassFailDialog::accept() {
  model_.enable = enable_->isChecked();
  model_.cttype = lists_[kCtType]->currentIndex();
  model_.location = lists_[kLocation]->currentIndex();
  model_.ratiodeviation = lists_[kRatioDeviation]->currentIndex();
  model_.kneetype = lists_[kKneeType]->currentIndex();
  model_.kneedeviation = lists_[kKneeDeviation]->currentIndex();
  model_.resdeviation = lists_[kResDeviation]->currentIndex();
  model_.customratio = FromQ(customratio_->text());
  model_.customres = FromQ(customres_->text());
  for (int r = 0; r < kTapTableSize; ++r) {
    model_.kneevoltage[r] = FromQ(knee_[r]->text());
    model_.resistance[r] = FromQ(res_[r]->text());
  }
  std::string error;
  if (!model_.Store(passfail_, resistance_, error)) {
    prompter_.Message(kDeviceCaption, error, Buttons::Ok, Icon::Warning);
    return;
  }
  QDialog::accept();
}

}  // namespace kova

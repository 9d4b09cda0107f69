#include "gui/dialogs/small_dialogs.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "base/prompter.h"
#include "gui/qt_text.h"

namespace kova {
namespace {

QDialogButtonBox* OkCancel(QDialog* dialog) {
  auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
  QObject::connect(box, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
  QObject::connect(box, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
  return box;
}

}  // namespace

TestNoteDialog::TestNoteDialog(const std::string& note, QWidget* parent) : QDialog(parent) {
  setWindowTitle("Test Note");
  auto* layout = new QVBoxLayout(this);
  edit_ = new QPlainTextEdit(ToQ(NoteForEditor(note)), this);
  edit_->setMinimumSize(420, 220);
  layout->addWidget(edit_);
  layout->addWidget(OkCancel(this));
}

std::string TestNoteDialog::note() const { return NoteForRecord(FromQ(edit_->toPlainText())); }

RatioErrorDialog::RatioErrorDialog(const RatioErrorValues& values, Prompter& prompter,
                                   QWidget* parent)
    : QDialog(parent), values_(values), prompter_(prompter) {
  setWindowTitle("Current Ratio Error Calculation");
  model_.Load(values);
  auto* layout = new QVBoxLayout(this);
  run_ = new QCheckBox("Run Test\n(requires res. test)", this);
  layout->addWidget(run_);
  auto* form = new QFormLayout();
  const char* labels[3] = {"Max Burden:", "Power Factor:\n[Cos Phi]", "Rated Sec Cur:"};
  const char* hints[3] = {"[0-500 VA]", "[0.00 - 1.00]", "[1.0 - 5.0 A]"};
  for (int i = 0; i < 3; ++i) {
    fields_[i] = new QLineEdit(this);
    auto* row = new QHBoxLayout();
    row->addWidget(fields_[i]);
    row->addWidget(new QLabel(hints[i], this));
    form->addRow(labels[i], row);
  }
  layout->addLayout(form);
  layout->addWidget(OkCancel(this));
  Show();
  connect(run_, &QCheckBox::clicked, this, [this](bool checked) {
    model_.ClickRun(checked);
    Show();
  });
}

void RatioErrorDialog::Show() {
  run_->setChecked(model_.run);
  fields_[0]->setText(ToQ(model_.burden_va));
  fields_[1]->setText(ToQ(model_.cos_phi));
  fields_[2]->setText(ToQ(model_.sec_current));
}

void RatioErrorDialog::accept() {
  model_.run = run_->isChecked();
  model_.burden_va = FromQ(fields_[0]->text());
  model_.cos_phi = FromQ(fields_[1]->text());
  model_.sec_current = FromQ(fields_[2]->text());
  std::string error;
  if (!model_.Store(values_, error)) {
    prompter_.Message(kDeviceCaption, error, Buttons::Ok, Icon::Warning);
    return;
  }
  QDialog::accept();
}

OverrideDialog::OverrideDialog(TestRecord& rec, int shown_test, Prompter& prompter, QWidget* parent)
    : QDialog(parent), rec_(rec), test_(shown_test), prompter_(prompter) {
  setWindowTitle("Override Test Data");
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout();
  const OverrideFields initial;
  const char* labels[3] = {"Data Point:", "Current:", "Voltage:"};
  const std::string* texts[3] = {&initial.point, &initial.current, &initial.voltage};
  for (int i = 0; i < 3; ++i) {
    fields_[i] = new QLineEdit(ToQ(*texts[i]), this);
    form->addRow(labels[i], fields_[i]);
  }
  layout->addLayout(form);
  layout->addWidget(OkCancel(this));
}

void OverrideDialog::accept() {
  OverrideFields f;
  f.point = FromQ(fields_[0]->text());
  f.current = FromQ(fields_[1]->text());
  f.voltage = FromQ(fields_[2]->text());
  std::string error;
  if (!ApplyOverride(rec_, test_, f, error)) {
    prompter_.Message(kDeviceCaption, error, Buttons::Ok, Icon::Warning);
    return;
  }
  QDialog::accept();
}

}  // namespace kova

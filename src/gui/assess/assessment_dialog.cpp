#include "gui/assess/assessment_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include "assess/comparisons.h"
#include "assess/explain.h"
#include "gui/qt_text.h"

namespace kova {

namespace {

QLineEdit* Field(const std::string& text) {
  auto* e = new QLineEdit(ToQ(text));
  e->setMaximumWidth(120);
  return e;
}

// The model's label: the one the messages name the field by.
QString Label(const char* member) { return ToQ(ProfileFieldRowLabel(member)); }

}  // namespace

AssessmentDialog::AssessmentDialog(const TestRecord& rec, const AssessmentProfileModel& model,
                                   double tap_band_percent, QWidget* parent)
    : QDialog(parent), rec_(rec), tap_band_(tap_band_percent), model_(model) {
  setWindowTitle(QStringLiteral("Assessment Profile"));
  class_ = new QComboBox;
  for (const std::string& n : AssessmentProfileModel::ClassNames()) class_->addItem(ToQ(n));
  class_->setCurrentIndex(model_.class_index);
  as_va_ = new QRadioButton(QStringLiteral("VA and power factor"));
  as_rx_ = new QRadioButton(QStringLiteral("R + jX"));
  (model_.burden_as_va ? as_va_ : as_rx_)->setChecked(true);
  isr_ = Field(model_.isr);
  alf_ = Field(model_.alf);
  va_ = Field(model_.burden_va);
  pf_ = Field(model_.power_factor);
  pf_->setPlaceholderText(QStringLiteral("0.8; 1.0 < 5 VA"));
  r_ = Field(model_.burden_r);
  x_ = Field(model_.burden_x);
  kx_ = Field(model_.kx);
  rb_ = Field(model_.rb);
  ek_ = Field(model_.ek);
  ek_->setPlaceholderText(QStringLiteral("Kx Isr (Rct + Rb)"));
  ie_max_ = Field(model_.ie_max);
  rct_max_ = Field(model_.rct_max);
  turns_ = Field(model_.turns_tolerance);
  test_ = Field(model_.test);
  test_->setPlaceholderText(QStringLiteral("first with a curve"));

  auto* form = new QFormLayout;
  form->addRow(Label("class"), class_);
  form->addRow(Label("isr"), isr_);
  form->addRow(Label("test"), test_);
  form->addRow(Label("alf"), alf_);
  auto* burden = new QHBoxLayout;
  burden->addWidget(as_va_);
  burden->addWidget(as_rx_);
  form->addRow(QStringLiteral("Rated burden:"), burden);
  form->addRow(Label("burden_va"), va_);
  form->addRow(Label("power_factor"), pf_);
  form->addRow(Label("burden_r"), r_);
  form->addRow(Label("burden_x"), x_);
  form->addRow(Label("kx"), kx_);
  form->addRow(Label("rb"), rb_);
  form->addRow(Label("ek"), ek_);
  form->addRow(Label("ie_max"), ie_max_);
  form->addRow(Label("rct_max"), rct_max_);
  form->addRow(Label("turns_tolerance"), turns_);

  result_ = new QPlainTextEdit;
  result_->setReadOnly(true);
  result_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  result_->setMinimumSize(560, 300);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  connect(buttons, &QDialogButtonBox::accepted, this, &AssessmentDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &AssessmentDialog::reject);

  auto* columns = new QHBoxLayout;
  columns->addLayout(form);
  columns->addWidget(result_, 1);
  auto* top = new QVBoxLayout(this);
  top->addLayout(columns);
  top->addWidget(buttons);

  const auto changed = [this] { UpdateFields(); };
  connect(class_, &QComboBox::currentIndexChanged, this, changed);
  connect(as_va_, &QRadioButton::toggled, this, changed);
  for (QLineEdit* e :
       {isr_, alf_, va_, pf_, r_, x_, kx_, rb_, ek_, ie_max_, rct_max_, turns_, test_}) {
    connect(e, &QLineEdit::textChanged, this, changed);
  }
  UpdateFields();
}

void AssessmentDialog::ReadFields() {
  model_.class_index = class_->currentIndex();
  model_.burden_as_va = as_va_->isChecked();
  model_.isr = FromQ(isr_->text().trimmed());
  model_.alf = FromQ(alf_->text().trimmed());
  model_.burden_va = FromQ(va_->text().trimmed());
  model_.power_factor = FromQ(pf_->text().trimmed());
  model_.burden_r = FromQ(r_->text().trimmed());
  model_.burden_x = FromQ(x_->text().trimmed());
  model_.kx = FromQ(kx_->text().trimmed());
  model_.rb = FromQ(rb_->text().trimmed());
  model_.ek = FromQ(ek_->text().trimmed());
  model_.ie_max = FromQ(ie_max_->text().trimmed());
  model_.rct_max = FromQ(rct_max_->text().trimmed());
  model_.turns_tolerance = FromQ(turns_->text().trimmed());
  model_.test = FromQ(test_->text().trimmed());
}

// Enables the fields that apply and shows the assessment as they stand.
void AssessmentDialog::UpdateFields() {
  ReadFields();
  for (QWidget* w : {static_cast<QWidget*>(alf_), static_cast<QWidget*>(as_va_),
                     static_cast<QWidget*>(as_rx_)}) {
    w->setEnabled(model_.ProtectionFieldsApply());
  }
  va_->setEnabled(model_.VaFieldsApply());
  pf_->setEnabled(model_.VaFieldsApply());
  r_->setEnabled(model_.RxFieldsApply());
  x_->setEnabled(model_.RxFieldsApply());
  for (QLineEdit* e : {kx_, rb_, ek_, ie_max_, rct_max_, turns_}) {
    e->setEnabled(model_.PxFieldsApply());
  }
  AssessmentProfile p;
  std::string error;
  std::string text;
  if (!model_.Store(p, error)) {
    text = "Not assessed yet: " + error + "\n";
  } else {
    for (const std::string& l : AssessmentLines(AssessRecord(rec_, p), p)) text += l + "\n";
  }
  text += "\n";
  for (const std::string& l : TapLines(CompareTaps(rec_, tap_band_), tap_band_)) {
    text += l + "\n";
  }
  result_->setPlainText(ToQ(text));
}

QString AssessmentDialog::ResultText() const { return result_->toPlainText(); }

void AssessmentDialog::accept() {
  ReadFields();
  std::string error;
  if (!model_.Store(profile_, error)) {
    QMessageBox::warning(this, QStringLiteral("Assessment Profile"), ToQ(error));
    return;
  }
  QDialog::accept();
}

}  // namespace kova

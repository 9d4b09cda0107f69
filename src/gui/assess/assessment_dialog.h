#pragma once
// "Assessment Profile": the protection class and burden a record is
// assessed against, with the assessment and the comparison flags of the
// record as the fields stand. The rules live in AssessmentProfileModel.

#include <QDialog>
#include <string>

#include "assess/comparisons.h"
#include "assess/profile_model.h"
#include "records/test_record.h"

class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QRadioButton;

namespace kova {

class AssessmentDialog : public QDialog {
  Q_OBJECT
 public:
  AssessmentDialog(const TestRecord& rec, const AssessmentProfileModel& model,
                   double tap_band_percent = kTapBandPercent, QWidget* parent = nullptr);

  const AssessmentProfileModel& model() const { return model_; }
  // The checked profile after OK.
  const AssessmentProfile& profile() const { return profile_; }
  // The text of the result pane (for the tests).
  QString ResultText() const;

  void accept() override;

 private:
  void ReadFields();
  void UpdateFields();

  const TestRecord& rec_;
  double tap_band_;
  AssessmentProfileModel model_;
  AssessmentProfile profile_;
  QComboBox* class_ = nullptr;
  QRadioButton* as_va_ = nullptr;
  QRadioButton* as_rx_ = nullptr;
  QLineEdit *isr_, *alf_, *va_, *pf_, *r_, *x_, *kx_, *rb_, *ek_, *ie_max_, *rct_max_, *turns_,
      *test_;
  QPlainTextEdit* result_ = nullptr;
};

}  // namespace kova

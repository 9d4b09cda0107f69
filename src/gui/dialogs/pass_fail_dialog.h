#pragma once
// "Pass / Fail Setup": the acceptance limits of a plan, its pass/fail block
// and resistance block. OK stores them into the blocks handed in.

#include <QDialog>

#include "plans/pass_fail_model.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

namespace kova {

class Prompter;

class PassFailDialog : public QDialog {
  Q_OBJECT
 public:
  PassFailDialog(PassFailBlock& passfail, ResistanceBlock& resistance, Prompter& prompter,
                 QWidget* parent = nullptr);
  void accept() override;

  // For the tests.
  QCheckBox* enableBox() const { return enable_; }
  QComboBox* list(int i) const { return lists_[i]; }  // in the order of the form
  QLineEdit* customRatio() const { return customratio_; }
  QLineEdit* customResistance() const { return customres_; }
  QLineEdit* kneeVoltage(int row) const { return knee_[row]; }
  QLineEdit* resistance(int row) const { return res_[row]; }

  enum List { kCtType, kLocation, kRatioDeviation, kKneeType, kKneeDeviation, kResDeviation };

 private:
  void ShowCustomFields();
  PassFailBlock& passfail_;
  ResistanceBlock& resistance_;
  Prompter& prompter_;
  PassFailModel model_;
  QCheckBox* enable_;
  QComboBox* lists_[6];
  QLineEdit* customratio_;
  QLineEdit* customres_;
  QLabel* ratiopercent_;
  QLabel* respercent_;
  QLineEdit* knee_[kTapTableSize];
  QLineEdit* res_[kTapTableSize];
};

}  // namespace kova

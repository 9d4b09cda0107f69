#pragma once
// "Test Note", "Current Ratio Error Calculation" and "Override Test Data".

#include <QDialog>
#include <string>

#include "app/override_command.h"
#include "plans/ratio_error.h"

class QCheckBox;
class QLineEdit;
class QPlainTextEdit;

namespace kova {

class Prompter;
struct TestRecord;

class TestNoteDialog : public QDialog {
  Q_OBJECT
 public:
  TestNoteDialog(const std::string& note, QWidget* parent = nullptr);
  // The edited text with the record's line ends.
  std::string note() const;
  QPlainTextEdit* editor() const { return edit_; }

 private:
  QPlainTextEdit* edit_;
};

class RatioErrorDialog : public QDialog {
  Q_OBJECT
 public:
  RatioErrorDialog(const RatioErrorValues& values, Prompter& prompter, QWidget* parent = nullptr);
  RatioErrorValues values() const { return values_; }
  QCheckBox* runBox() const { return run_; }
  QLineEdit* field(int i) const { return fields_[i]; }
  void accept() override;

 private:
  void Show();
  RatioErrorModel model_;
  RatioErrorValues values_;
  Prompter& prompter_;
  QCheckBox* run_;
  QLineEdit* fields_[3];
};

class OverrideDialog : public QDialog {
  Q_OBJECT
 public:
  // Works on test `shown_test` of `rec`; OK writes the point into the record.
  OverrideDialog(TestRecord& rec, int shown_test, Prompter& prompter, QWidget* parent = nullptr);
  QLineEdit* field(int i) const { return fields_[i]; }
  void accept() override;

 private:
  TestRecord& rec_;
  int test_;
  Prompter& prompter_;
  QLineEdit* fields_[3];
};

}  // namespace kova

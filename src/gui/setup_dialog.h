#pragma once
// The "Application Setup" dialog: shows SetupValues and hands them back;
// the rules are the core's (app/setup_model.h).

#include <QDialog>

#include "app/setup_model.h"
#include "base/prompter.h"

class QComboBox;
class QCheckBox;
class QRadioButton;
class QLineEdit;

namespace kova {

class SetupDialog : public QDialog {
  Q_OBJECT
 public:
  SetupDialog(const SetupValues& values, Prompter& prompter, QWidget* parent = nullptr);
  SetupValues Values() const;

  QComboBox* ports = nullptr;
  QComboBox* speed = nullptr;
  QCheckBox* usb = nullptr;
  QCheckBox* autodetect = nullptr;
  QRadioButton* landscape = nullptr;
  QRadioButton* portrait = nullptr;
  QComboBox* frequency = nullptr;
  QComboBox* dateformat = nullptr;
  QLineEdit* filepath = nullptr;
  QLineEdit* planpath = nullptr;
  QLineEdit* logo = nullptr;
  QCheckBox* xml = nullptr;
  QCheckBox* pdf = nullptr;
  QCheckBox* excel = nullptr;

  void BrowseFolder(QLineEdit* field);
  void BrowseLogo();
  // Auto Detect off lets a port name be typed and the speed be chosen.
  void ShowCommControls(bool autodetect);
  // OK: a typed port name that cannot be one keeps the dialog open.
  void accept() override;

 private:
  SetupValues values_;
  Prompter& prompter_;
};

}  // namespace kova

#pragma once
// The "Application Setup" dialog: shows SetupValues and hands them back;
// the rules are the core's (app/setup_model.h).

#include <QDialog>
#include <functional>

#include "app/connection_probe.h"
#include "app/setup_model.h"
#include "base/prompter.h"

class QComboBox;
class QCheckBox;
class QRadioButton;
class QLineEdit;
class QLabel;
class QPushButton;

namespace kova {

// Asks the chosen port or USB which instrument answers (runs on a worker).
using ConnectionProbe = std::function<ProbeOutcome(const ProbeTarget&)>;

class SetupDialog : public QDialog {
  Q_OBJECT
 public:
  // Without `probe` there is no "Test Connection" button.
  SetupDialog(const SetupValues& values, Prompter& prompter, QWidget* parent = nullptr,
              ConnectionProbe probe = nullptr);
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
  QPushButton* test_connection = nullptr;
  QLabel* connection_answer = nullptr;

  void BrowseFolder(QLineEdit* field);
  void BrowseLogo();
  // Auto Detect off lets the speed be chosen.
  void ShowCommControls(bool autodetect);
  // "Test Connection": what answers where the dialog's choice points.
  void TestConnection();
  // OK: a typed port name that cannot be one keeps the dialog open.
  void accept() override;

 private:
  void ShowPortNameFirst();

  SetupValues values_;
  Prompter& prompter_;
  ConnectionProbe probe_;
};

}  // namespace kova

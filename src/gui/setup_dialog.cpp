#include "gui/setup_dialog.h"

#include <algorithm>

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "gui/qt_text.h"
#include "records/record_header.h"

namespace kova {

namespace {

QComboBox* ListOf(QWidget* parent, std::initializer_list<const char*> texts, int selected) {
  auto* box = new QComboBox(parent);
  for (const char* t : texts) box->addItem(QString::fromUtf8(t));
  box->setCurrentIndex(selected >= 0 && selected < box->count() ? selected : 0);
  return box;
}

}  // namespace

SetupDialog::SetupDialog(const SetupValues& values, Prompter& prompter, QWidget* parent,
                         ConnectionProbe probe)
    : QDialog(parent), values_(values), prompter_(prompter), probe_(std::move(probe)) {
  setWindowTitle(QStringLiteral("Application Setup"));
  auto* layout = new QVBoxLayout(this);

  auto* comm = new QGroupBox(QStringLiteral("Communication"), this);
  auto* comm_form = new QFormLayout(comm);
  ports = new QComboBox(comm);
  for (size_t i = 0; i < values.ports.size(); ++i) {
    const std::string& shown =
        i < values.port_labels.size() ? values.port_labels[i] : values.ports[i];
    ports->addItem(PathToQ(shown));
  }
  ports->setCurrentIndex(values.portindex);
  ports->setMaxVisibleItems(12);
  ports->setInsertPolicy(QComboBox::NoInsert);
  ports->setMinimumContentsLength(14);
  // A port's label (its name, what the system says of it, its USB ids) is
  // read whole: the box is as wide as the longest, up to about 60
  // characters, and its list as wide as the longest.
  int widest = 0;
  for (int i = 0; i < ports->count(); ++i)
    widest = std::max(widest, ports->fontMetrics().horizontalAdvance(ports->itemText(i)));
  ports->view()->setMinimumWidth(widest + 40);
  ports->setMinimumWidth(std::min(widest + 48, ports->fontMetrics().averageCharWidth() * 60));
  connect(ports, qOverload<int>(&QComboBox::currentIndexChanged), this,
          [this] { ShowPortNameFirst(); });
  comm_form->addRow(QStringLiteral("COM Port:"), ports);
  speed = ListOf(comm, {kSetupSpeeds[0], kSetupSpeeds[1]}, values.comspeed == 0 ? 0 : 1);
  comm_form->addRow(QStringLiteral("Speed:"), speed);
  usb = new QCheckBox(QStringLiteral("Use USB port"), comm);
  usb->setChecked(values.usb);
  autodetect = new QCheckBox(QStringLiteral("Auto Detect"), comm);
  autodetect->setChecked(values.autodetect);
  auto* checks = new QHBoxLayout;
  checks->addWidget(usb);
  checks->addWidget(autodetect);
  checks->addStretch(1);
  comm_form->addRow(checks);
  ShowCommControls(values.autodetect);
  if (CommControlsFor(values.autodetect).port_typed && !values.porttext.empty())
    ports->setEditText(PathToQ(values.porttext));
  connect(autodetect, &QCheckBox::toggled, this, &SetupDialog::ShowCommControls);
  auto* usb_hint = new QLabel(QString::fromUtf8(kUsbHint), comm);
  usb_hint->setWordWrap(true);
  comm_form->addRow(usb_hint);
  if (probe_) {
    test_connection = new QPushButton(QStringLiteral("Test Connection"), comm);
    test_connection->setAutoDefault(false);
    connection_answer = new QLabel(comm);
    connection_answer->setWordWrap(true);
    connection_answer->setTextInteractionFlags(Qt::TextSelectableByMouse);
    connection_answer->setObjectName(QStringLiteral("connection_answer"));
    comm_form->addRow(test_connection);
    comm_form->addRow(connection_answer);
    connect(test_connection, &QPushButton::clicked, this, &SetupDialog::TestConnection);
  }

  auto* report = new QGroupBox(QStringLiteral("Printing and records"), this);
  auto* report_form = new QFormLayout(report);
  landscape = new QRadioButton(QStringLiteral("Landscape"), report);
  portrait = new QRadioButton(QStringLiteral("Portrait"), report);
  (values.orientation == 1 ? portrait : landscape)->setChecked(true);
  auto* orientation = new QHBoxLayout;
  orientation->addWidget(landscape);
  orientation->addWidget(portrait);
  orientation->addStretch(1);
  report_form->addRow(QStringLiteral("Orientation:"), orientation);
  frequency = ListOf(report, {FrequencyWord(0), FrequencyWord(1)}, values.frequency);
  report_form->addRow(QStringLiteral("Frequency:"), frequency);
  dateformat = ListOf(report, {kSetupDateFormats[0], kSetupDateFormats[1]}, values.dateformat);
  report_form->addRow(QStringLiteral("Date Format:"), dateformat);

  auto* folders = new QGroupBox(QStringLiteral("Folders and report logo"), this);
  auto* grid = new QGridLayout(folders);
  auto add_path = [&](int row, const char* label, const std::string& value) {
    auto* edit = new QLineEdit(PathToQ(value), folders);
    edit->setMinimumWidth(380);
    auto* browse = new QPushButton(QStringLiteral("Browse"), folders);
    grid->addWidget(new QLabel(QString::fromUtf8(label), folders), row, 0);
    grid->addWidget(edit, row, 1);
    grid->addWidget(browse, row, 2);
    return std::make_pair(edit, browse);
  };
  auto [file_edit, file_browse] = add_path(0, "Test Record Path", values.filepath);
  auto [plan_edit, plan_browse] = add_path(1, "Test Plan Path", values.planpath);
  auto [logo_edit, logo_browse] = add_path(2, "Report Logo ", values.logo);
  filepath = file_edit;
  planpath = plan_edit;
  logo = logo_edit;
  grid->addWidget(new QLabel(QString::fromUtf8(kLogoHint), folders), 3, 1, 1, 2);
  connect(file_browse, &QPushButton::clicked, this, [this] { BrowseFolder(filepath); });
  connect(plan_browse, &QPushButton::clicked, this, [this] { BrowseFolder(planpath); });
  connect(logo_browse, &QPushButton::clicked, this, &SetupDialog::BrowseLogo);

  auto* exports = new QGroupBox(QStringLiteral("Auto Export"), this);
  auto* export_row = new QHBoxLayout(exports);
  xml = new QCheckBox(QStringLiteral("Xml"), exports);
  pdf = new QCheckBox(QStringLiteral("PDF"), exports);
  excel = new QCheckBox(QStringLiteral("Excel"), exports);
  xml->setChecked(values.exportxml);
  pdf->setChecked(values.exportpdf);
  excel->setChecked(values.exportexcel);
  export_row->addWidget(xml);
  export_row->addWidget(pdf);
  export_row->addWidget(excel);
  export_row->addStretch(1);

  auto* top = new QHBoxLayout;
  top->addWidget(comm, 1);
  top->addWidget(report, 1);
  layout->addLayout(top);
  layout->addWidget(folders);
  layout->addWidget(exports);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  layout->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void SetupDialog::ShowPortNameFirst() {
  // A label too long for the box shows its start: the port's name.
  if (ports->lineEdit() != nullptr) ports->lineEdit()->setCursorPosition(0);
}

void SetupDialog::ShowCommControls(bool autodetect) {
  const CommControls c = CommControlsFor(autodetect);
  if (ports->isEditable() != c.port_typed) {
    const int index = ports->currentIndex();
    ports->setEditable(c.port_typed);
    if (c.port_typed) {
      ports->lineEdit()->setMaxLength(static_cast<int>(kMaxPortNameChars));
      ports->setToolTip(QStringLiteral("Choose a port or type its name"));
    } else {
      ports->setToolTip(QString());
    }
    if (index >= 0) ports->setCurrentIndex(index);
    ShowPortNameFirst();
  }
  speed->setEnabled(c.speed);
}

void SetupDialog::TestConnection() {
  const SetupValues v = Values();
  const std::string problem = v.usb ? "" : SetupProblem(v);
  if (!problem.empty()) {
    connection_answer->setText(ToQ(problem));
    return;
  }
  const ProbeTarget target = ProbeTargetOf(v);
  ProbeOutcome outcome;
  prompter_.RunWaiting("Testing the connection ...\r\rPlease wait.", [&] {
    outcome = probe_(target);
    return outcome.found;
  });
  QString text = ToQ(outcome.text);
  text.replace(QStringLiteral("\r"), QStringLiteral("\n"));
  connection_answer->setText(text);
  // An instrument found at the other speed: the choice follows it.
  if (outcome.found && !target.usb && outcome.baud != 0 && speed->isEnabled())
    speed->setCurrentIndex(outcome.baud == 19200 ? 0 : 1);
}

void SetupDialog::accept() {
  const std::string problem = SetupProblem(Values());
  if (!problem.empty()) {
    prompter_.Message(kDeviceCaption, problem, Buttons::Ok, Icon::Warning);
    ports->setFocus();
    return;
  }
  switch (PrepareSetupFolders(Values(), prompter_)) {
    case SetupFolder::kRecords:
      filepath->setFocus();
      return;
    case SetupFolder::kPlans:
      planpath->setFocus();
      return;
    case SetupFolder::kNone:
      break;
  }
  QDialog::accept();
}

SetupValues SetupDialog::Values() const {
  SetupValues v = values_;
  v.portindex = ports->currentIndex();
  // The box showing its selection's label is no typed name.
  const bool selection =
      ports->currentIndex() >= 0 && ports->currentText() == ports->itemText(ports->currentIndex());
  v.porttext = selection ? std::string() : PathFromQ(ports->currentText());
  v.comspeed = speed->currentIndex();
  v.usb = usb->isChecked();
  v.autodetect = autodetect->isChecked();
  v.orientation = portrait->isChecked() ? 1 : 0;
  v.frequency = frequency->currentIndex();
  v.dateformat = dateformat->currentIndex();
  v.filepath = PathFromQ(filepath->text());
  v.planpath = PathFromQ(planpath->text());
  v.logo = PathFromQ(logo->text());
  v.exportxml = xml->isChecked();
  v.exportpdf = pdf->isChecked();
  v.exportexcel = excel->isChecked();
  return v;
}

void SetupDialog::BrowseFolder(QLineEdit* field) {
  std::string start = PathFromQ(field->text());
  if (start.empty()) start = PathFromQ(QDir::currentPath());
  std::string folder;
  if (prompter_.ChooseFolder("Select Path", start, folder)) field->setText(PathToQ(folder));
}

void SetupDialog::BrowseLogo() {
  std::string path;
  if (!prompter_.ChooseOpenFile("Report Logo", PathFromQ(logo->text()),
                                "Bitmap Files (*.bmp) |*.bmp||", path))
    return;
  if (path.find('.') == std::string::npos) path += ".bmp";
  logo->setText(PathToQ(path));
}

}  // namespace kova

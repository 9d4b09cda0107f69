#include "gui/assess/curve_import_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "base/format.h"
#include "gui/qt_text.h"

namespace kova {

namespace {

// "0.001", "10", "1e+06": a decade's label.
QString DecadeText(int power, const char* unit) {
  return ToQ(Format("%g %s", std::pow(10.0, power), unit));
}

}  // namespace

CurvePreviewPlot::CurvePreviewPlot(const CurveImportModel& model, QWidget* parent)
    : QWidget(parent), model_(model) {
  setMinimumSize(300, 220);
}

void CurvePreviewPlot::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), Qt::white);
  const CurveImportModel::Decades d = model_.PlotDecades();
  const QFontMetrics fm = p.fontMetrics();
  const int left = fm.horizontalAdvance(QStringLiteral("10000 V")) + 8;
  const int bottom = height() - 2 * fm.height() - 4;
  const int right = width() - fm.horizontalAdvance(QStringLiteral("0.0001 A")) / 2 - 4;
  const int top = fm.height() / 2 + 4;
  if (right <= left || bottom <= top) return;
  const double vspan = d.volts_high - d.volts_low, aspan = d.amps_high - d.amps_low;
  const auto x_of = [&](double amps) {
    return left + (std::log10(amps) - d.amps_low) / aspan * (right - left);
  };
  const auto y_of = [&](double volts) {
    return bottom - (std::log10(volts) - d.volts_low) / vspan * (bottom - top);
  };
  p.setPen(QColor(200, 200, 200));
  for (int a = d.amps_low; a <= d.amps_high; ++a) {
    const int x = static_cast<int>(x_of(std::pow(10.0, a)));
    p.drawLine(x, top, x, bottom);
  }
  for (int v = d.volts_low; v <= d.volts_high; ++v) {
    const int y = static_cast<int>(y_of(std::pow(10.0, v)));
    p.drawLine(left, y, right, y);
  }
  p.setPen(Qt::black);
  p.drawRect(left, top, right - left, bottom - top);
  for (int a = d.amps_low; a <= d.amps_high; ++a) {
    const QString t = DecadeText(a, "A");
    const int x = static_cast<int>(x_of(std::pow(10.0, a)));
    p.drawText(x - fm.horizontalAdvance(t) / 2, bottom + fm.ascent() + 2, t);
  }
  for (int v = d.volts_low; v <= d.volts_high; ++v) {
    const QString t = DecadeText(v, "V");
    // Kept inside the frame's height, clear of the current labels below it.
    const int y = std::clamp(static_cast<int>(y_of(std::pow(10.0, v))) + fm.ascent() / 2,
                             top + fm.ascent(), bottom);
    p.drawText(left - fm.horizontalAdvance(t) - 4, y, t);
  }
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(0, 0, 160), 2));
  QPainterPath path;
  for (const ImportedPoint& pt : model_.curve().points) {
    const QPointF at(x_of(pt.point.amps), y_of(pt.point.volts));
    if (path.elementCount() == 0) {
      path.moveTo(at);
    } else {
      path.lineTo(at);
    }
  }
  p.drawPath(path);
  p.setBrush(QColor(0, 0, 160));
  for (const ImportedPoint& pt : model_.curve().points) {
    p.drawEllipse(QPointF(x_of(pt.point.amps), y_of(pt.point.volts)), 2.5, 2.5);
  }
}

CurveImportDialog::CurveImportDialog(const std::string& file_name, const CurveImportModel& model,
                                     QWidget* parent)
    : QDialog(parent), model_(model) {
  setWindowTitle(QStringLiteral("Import Reference Curve"));
  auto* about = new QLabel;
  QString said = QStringLiteral("<b>") + PathToQ(file_name).toHtmlEscaped() +
                 QStringLiteral("</b>: ") + QString::number(model_.curve().points.size()) +
                 QStringLiteral(" points");
  for (const std::string& l : model_.curve().read_as) said += QStringLiteral("<br>") + ToQ(l);
  for (const std::string& l : model_.Said())
    said += QStringLiteral("<br>") + ToQ(l).toHtmlEscaped();
  about->setText(said);
  about->setTextFormat(Qt::RichText);
  auto* form = new QFormLayout;
  if (model_.Asks(ImportField::kTap)) {
    tap_ = new QLineEdit(ToQ(model_.tap));
    tap_->setPlaceholderText(QStringLiteral("may stay empty"));
    tap_->setMaxLength(20);
    tap_->setMaximumWidth(200);
    form->addRow(ToQ(CurveImportModel::Label(ImportField::kTap)) + QStringLiteral(":"), tap_);
  }
  if (model_.Asks(ImportField::kTurns)) {
    turns_ = new QLineEdit(ToQ(model_.turns));
    turns_->setPlaceholderText(QStringLiteral("required"));
    turns_->setMaximumWidth(200);
    form->addRow(ToQ(CurveImportModel::Label(ImportField::kTurns)) + QStringLiteral(":"), turns_);
  }
  if (model_.Asks(ImportField::kVoltmeter)) {
    voltmeter_ = new QComboBox;
    for (const std::string& n : CurveImportModel::VoltmeterNames()) voltmeter_->addItem(ToQ(n));
    voltmeter_->setPlaceholderText(QStringLiteral("choose"));
    voltmeter_->setMaximumWidth(200);
    voltmeter_->setCurrentIndex(model_.voltmeter_index);
    form->addRow(ToQ(CurveImportModel::Label(ImportField::kVoltmeter)) + QStringLiteral(":"),
                 voltmeter_);
  }

  const std::vector<CurveImportModel::Row> rows = model_.Rows();
  table_ = new QTableWidget(static_cast<int>(rows.size()), 3);
  table_->setHorizontalHeaderLabels(
      {QStringLiteral("Line"), QStringLiteral("Voltage (V)"), QStringLiteral("Current (A)")});
  table_->verticalHeader()->hide();
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
    const CurveImportModel::Row& row = rows[static_cast<size_t>(r)];
    int c = 0;
    for (const std::string* text : {&row.line, &row.volts, &row.amps}) {
      auto* item = new QTableWidgetItem(ToQ(*text));
      item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      table_->setItem(r, c++, item);
    }
  }
  table_->resizeColumnsToContents();
  table_->setMinimumWidth(260);
  plot_ = new CurvePreviewPlot(model_);

  problem_ = new QLabel;
  problem_->setStyleSheet(QStringLiteral("color: #b00000"));
  problem_->setWordWrap(true);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Keep"));
  connect(buttons, &QDialogButtonBox::accepted, this, &CurveImportDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &CurveImportDialog::reject);

  auto* preview = new QHBoxLayout;
  preview->addWidget(table_);
  preview->addWidget(plot_, 1);
  auto* top = new QVBoxLayout(this);
  top->addWidget(about);
  top->addLayout(form);
  top->addLayout(preview, 1);
  top->addWidget(problem_);
  top->addWidget(buttons);
  resize(720, 460);
}

QString CurveImportDialog::problemText() const { return problem_->text(); }

void CurveImportDialog::accept() {
  if (tap_ != nullptr) model_.tap = FromQ(tap_->text());
  if (turns_ != nullptr) model_.turns = FromQ(turns_->text());
  if (voltmeter_ != nullptr) model_.voltmeter_index = voltmeter_->currentIndex();
  std::string error;
  if (!model_.Store(reference_, error)) {
    problem_->setText(ToQ(error));
    return;
  }
  problem_->clear();
  QDialog::accept();
}

}  // namespace kova

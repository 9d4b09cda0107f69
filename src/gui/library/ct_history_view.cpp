#include "gui/library/ct_history_view.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

#include "base/codepage.h"
#include "base/file_io.h"
#include "gui/library/library_tables.h"
#include "gui/library/surface_view.h"
#include "gui/qt_text.h"
#include "library/history_table.h"
#include "library/library_plots.h"
#include "library/store_messages.h"

namespace kova {

CtHistoryView::CtHistoryView(RecordReader& store, TrendBands bands, RecordOpener open_record,
                             StatusSink status, QWidget* parent)
    : QWidget(parent),
      store_(store),
      bands_(bands),
      open_record_(std::move(open_record)),
      status_(std::move(status)) {
  auto* root = new QVBoxLayout(this);
  root->setContentsMargins(0, 0, 0, 0);
  auto* top = new QHBoxLayout;
  back_ = new QPushButton(QStringLiteral("\u2190 Fleet"), this);
  back_->setToolTip(QStringLiteral("Back to the fleet (Alt+Left)"));
  title_ = new QLabel(this);
  title_->setTextFormat(Qt::PlainText);
  top->addWidget(back_);
  top->addWidget(title_, 1);
  top->addWidget(new QLabel(QStringLiteral("Tap:"), this));
  taps_ = new QComboBox(this);
  taps_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  top->addWidget(taps_);
  root->addLayout(top);

  auto* split = new QSplitter(Qt::Vertical, this);
  QStringList headers;
  for (const std::string& c : HistoryColumns()) headers << ToQ(c);
  table_ = NewLibraryTable(headers, split);
  for (int c = 0; c < headers.size(); ++c) {
    const std::string tip = HistoryColumnTip(HistoryColumns()[c]);
    if (!tip.empty()) table_->horizontalHeaderItem(c)->setToolTip(ToQ(tip));
  }
  auto* plots = new QSplitter(Qt::Horizontal, split);
  overlay_ = new SurfaceView(plots);
  trend_ = new SurfaceView(plots);
  overlay_->setMinimumSize(260, 220);
  trend_->setMinimumSize(260, 220);
  split->setSizes({300, 340});
  root->addWidget(split, 1);

  connect(taps_, &QComboBox::currentTextChanged, this, [this] { ShowHistory(); });
  connect(table_, &QTableWidget::itemSelectionChanged, this, [this] { UpdateOverlay(); });
  // A double-click or Enter.
  connect(table_, &QTableWidget::cellActivated, this, [this](int row, int) { OpenRow(row); });
}

void CtHistoryView::ShowCt(const CtInfo& ct) {
  ct_ = ct;
  std::string title = ct.manufacturer + " " + ct.serialnumber;
  if (!ct.station.empty()) title += ", " + ct.station;
  if (!ct.circuit.empty()) title += ", " + ct.circuit;
  title_->setText(ToQ(title));
  taps_->blockSignals(true);
  taps_->clear();
  std::vector<std::string> taps;
  const StoreOutcome outcome = store_.CtTaps(ct.key, taps);
  if (!outcome.ok()) status_(ToQ(StoreOutcomeText(outcome)));
  for (const std::string& t : taps) taps_->addItem(ToQ(t));
  // The full winding first: the tap most tests are judged on.
  const int full = taps_->findText(QStringLiteral("X1-X5"));
  if (full >= 0) taps_->setCurrentIndex(full);
  taps_->blockSignals(false);
  ShowHistory();
}

void CtHistoryView::ChooseTap(const QString& tap) { taps_->setCurrentText(tap); }
QString CtHistoryView::Tap() const { return taps_->currentText(); }

void CtHistoryView::SetDateStyle(DateStyle dates) {
  dates_ = dates;
  if (!ct_.key.empty()) ShowHistory();
}

void CtHistoryView::ShowHistory() {
  history_.clear();
  if (!ct_.key.empty() && taps_->count() > 0) {
    std::vector<TestRow> rows;
    const StoreOutcome outcome = store_.History(ct_.key, FromQ(taps_->currentText()), rows);
    if (!outcome.ok()) status_(ToQ(StoreOutcomeText(outcome)));
    history_ = BuildHistory(rows, bands_);
  }
  table_->setRowCount(static_cast<int>(history_.size()));
  for (int i = 0; i < static_cast<int>(history_.size()); ++i) {
    const auto cells = HistoryCells(history_[i], dates_);
    for (int c = 0; c < static_cast<int>(cells.size()); ++c) {
      auto* item =
          new QTableWidgetItem(c + 1 == static_cast<int>(cells.size())
                                   ? QString::fromStdString(SystemNameToUtf8(cells[c].text))
                                   : ToQ(cells[c].text));
      if (cells[c].flag != ChangeFlag::kNone) item->setBackground(ChangeFlagColor(cells[c].flag));
      table_->setItem(i, c, item);
    }
  }
  table_->resizeColumnsToContents();
  auto history = history_;
  trend_->SetPainter([history, bands = bands_](Surface& s, const Rect& r) {
    DrawTrendPlot(s, r, history, bands);
  });
  UpdateOverlay();
}

std::vector<size_t> CtHistoryView::SelectedRows() const {
  std::vector<size_t> selected;
  for (int i = 0; i < static_cast<int>(history_.size()); ++i)
    if (table_->item(i, 0) && table_->item(i, 0)->isSelected())
      selected.push_back(static_cast<size_t>(i));
  return selected;
}

void CtHistoryView::UpdateOverlay() {
  // The selected dates, or the latest six when none is selected.
  const std::vector<size_t> selected = SelectedRows();
  if (selected.size() > kMaxOverlaidDates)
    status_(QStringLiteral("The overlay shows the first six chosen dates"));
  overlaid_ = OverlayChoice(history_.size(), selected);
  std::vector<TestRow> chosen;
  for (size_t i : overlaid_) chosen.push_back(history_[i].test);
  overlay_->SetPainter([chosen, dates = dates_](Surface& s, const Rect& r) {
    DrawCurveOverlay(s, r, chosen, dates);
  });
}

void CtHistoryView::OpenRow(int row) {
  if (row < 0 || row >= static_cast<int>(history_.size()) || !open_record_) return;
  const std::string& path = history_[row].test.path;
  // Filed from another computer or a share not mounted here: the history
  // holds its values, the file cannot be opened.
  if (!FileExists(path)) {
    status_(QStringLiteral("This record was filed from %1, which this computer cannot "
                           "reach; the history shows the values the library holds.")
                .arg(PathToQ(path)));
    return;
  }
  open_record_(path);
}

}  // namespace kova

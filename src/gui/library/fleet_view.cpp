#include "gui/library/fleet_view.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

#include "gui/library/library_tables.h"
#include "gui/library/surface_view.h"
#include "gui/qt_text.h"
#include "library/fleet_chart.h"
#include "library/store_messages.h"

namespace kova {

QStringList FleetColumnTitles() {
  QStringList titles;
  for (FleetColumn c : FleetColumns()) titles << QString::fromLatin1(FleetColumnTitle(c));
  return titles;
}

namespace {

constexpr int kColumnSlack = 10;

// Shown in the CSV and the fleet report; left out of the window's table so
// what decides (state, verdict, due) fits a laptop's screen beside the chart.
bool HiddenInWindow(FleetColumn column) {
  return column == FleetColumn::kModel || column == FleetColumn::kTaps ||
         column == FleetColumn::kFirstTest;
}

int ColumnIndex(FleetColumn column) {
  const auto& all = FleetColumns();
  for (size_t i = 0; i < all.size(); ++i)
    if (all[i] == column) return static_cast<int>(i);
  return -1;
}

QColor VerdictTextColor(const std::string& verdict) {
  if (verdict == VerdictCell(Verdict::kPass)) return VerdictColor(Verdict::kPass);
  if (verdict == VerdictCell(Verdict::kFail)) return VerdictColor(Verdict::kFail);
  if (verdict == VerdictCell(Verdict::kNotAssessed)) return VerdictColor(Verdict::kNotAssessed);
  return QColor();
}

}  // namespace

FleetView::FleetView(RecordReader& store, CtOpener open_ct, StatusSink status, QWidget* parent)
    : QWidget(parent),
      store_(store),
      open_ct_(std::move(open_ct)),
      status_(std::move(status)),
      today_(TodayIso()) {
  filter_.limit = kFleetPageRows;
  auto* root = new QHBoxLayout(this);
  root->setContentsMargins(0, 0, 0, 0);
  auto* split = new QSplitter(Qt::Horizontal, this);
  auto* left = new QWidget(split);
  auto* left_layout = new QVBoxLayout(left);
  left_layout->setContentsMargins(0, 0, 0, 0);
  table_ = NewLibraryTable(FleetColumnTitles(), left);
  table_->horizontalHeader()->setSortIndicatorShown(true);
  table_->horizontalHeader()->setSectionsClickable(true);
  table_->horizontalHeader()->setSortIndicator(0, Qt::AscendingOrder);
  table_->setToolTip(QStringLiteral("Double-click or Enter: the CT's history"));
  for (FleetColumn c : FleetColumns())
    if (HiddenInWindow(c)) table_->setColumnHidden(ColumnIndex(c), true);
  left_layout->addWidget(table_, 1);
  auto* paging = new QHBoxLayout;
  previous_ = new QPushButton(QStringLiteral("Previous"), left);
  next_ = new QPushButton(QStringLiteral("Next"), left);
  page_label_ = new QLabel(left);
  paging->addWidget(page_label_, 1);
  paging->addWidget(previous_);
  paging->addWidget(next_);
  left_layout->addLayout(paging);
  chart_ = new SurfaceView(split);
  chart_->setMinimumSize(240, 200);
  split->setStretchFactor(0, 3);
  split->setStretchFactor(1, 1);
  split->setSizes({1000, 280});
  root->addWidget(split);

  connect(table_->horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int section) {
    const auto& all = FleetColumns();
    if (section < 0 || section >= static_cast<int>(all.size())) return;
    // A second click on the same column turns the order round.
    const bool again = all[section] == filter_.sort;
    SortBy(all[section], again ? !filter_.descending : false);
  });
  connect(table_, &QTableWidget::cellActivated, this, [this](int row, int) { OpenRow(row); });
  connect(previous_, &QPushButton::clicked, this, [this] { PreviousPage(); });
  connect(next_, &QPushButton::clicked, this, [this] { NextPage(); });
}

void FleetView::SetFilter(const FleetFilter& filter) {
  const FleetColumn sort = filter_.sort;
  const bool descending = filter_.descending;
  filter_ = filter;
  filter_.sort = sort;
  filter_.descending = descending;
  filter_.limit = kFleetPageRows;
  filter_.offset = 0;
  Fill();
}

void FleetView::Refresh() { Fill(); }

void FleetView::SortBy(FleetColumn column, bool descending) {
  filter_.sort = column;
  filter_.descending = descending;
  filter_.offset = 0;
  table_->horizontalHeader()->setSortIndicator(
      ColumnIndex(column), descending ? Qt::DescendingOrder : Qt::AscendingOrder);
  Fill();
}

void FleetView::NextPage() {
  if (filter_.offset + kFleetPageRows >= page_.total) return;
  filter_.offset += kFleetPageRows;
  Fill();
}

void FleetView::PreviousPage() {
  if (filter_.offset == 0) return;
  filter_.offset = std::max(0, filter_.offset - kFleetPageRows);
  Fill();
}

void FleetView::SetDateStyle(DateStyle dates) {
  dates_ = dates;
  Fill();
}

void FleetView::SetVerdicts(std::map<std::string, CtVerdict> verdicts) {
  verdicts_ = std::move(verdicts);
}

FleetFilter FleetView::Filter() const {
  FleetFilter f = filter_;
  f.offset = 0;
  return f;
}

QString FleetView::PageText() const {
  if (page_.total == 0) return QStringLiteral("No CT matches");
  const int64_t first = filter_.offset + 1;
  const int64_t last = filter_.offset + static_cast<int64_t>(page_.rows.size());
  return QStringLiteral("CTs %1\u2013%2 of %3").arg(first).arg(last).arg(page_.total);
}

void FleetView::Fill() {
  const FleetQuery query = MakeFleetQuery(filter_, today_, retest_years_);
  StoreOutcome outcome = store_.Fleet(query, page_);
  if (outcome.ok())
    outcome = store_.FleetTally(query, FleetTallyBounds(today_, retest_years_), tallies_);
  if (!outcome.ok()) {
    page_ = FleetPage();
    tallies_.clear();
    status_(ToQ(StoreOutcomeText(outcome)));
  }
  FillDue(page_, today_, retest_years_);
  const int state_column = ColumnIndex(FleetColumn::kState);
  const int verdict_column = ColumnIndex(FleetColumn::kVerdict);
  const int due_column = ColumnIndex(FleetColumn::kDue);
  table_->setUpdatesEnabled(false);
  table_->setRowCount(static_cast<int>(page_.rows.size()));
  for (int i = 0; i < static_cast<int>(page_.rows.size()); ++i) {
    const FleetRow& r = page_.rows[i];
    const std::vector<std::string> cells = FleetCells(r, dates_);
    for (int c = 0; c < static_cast<int>(cells.size()); ++c) {
      auto* item = new QTableWidgetItem(ToQ(cells[c]));
      if (c == state_column && r.facts.state != FleetState::kNone)
        item->setBackground(FleetStateCellColor(r.facts.state));
      if (c == verdict_column) {
        const auto kept = verdicts_.find(r.ct.key);
        std::string verdict = r.facts.verdict;
        if (kept != verdicts_.end()) {
          const CtVerdict& v = kept->second;
          verdict = VerdictCell(v.verdict);
          item->setText(ToQ(verdict));
          item->setToolTip(ToQ(v.test + (v.rating.empty() ? "" : ", " + v.rating) +
                               (v.why.empty() ? "" : "\n" + v.why)));
        }
        if (VerdictTextColor(verdict).isValid()) item->setBackground(VerdictTextColor(verdict));
      }
      if (c == due_column && r.overdue) {
        QFont bold = item->font();
        bold.setBold(true);
        item->setFont(bold);
      }
      table_->setItem(i, c, item);
    }
  }
  table_->setUpdatesEnabled(true);
  table_->resizeColumnsToContents();
  // A little room over the measured width: glyphs drawn under X with
  // hinting come out a few pixels wider than their metrics say.
  // The last column stretches to the edge anyway.
  for (int c = 0; c + 1 < table_->columnCount(); ++c)
    table_->setColumnWidth(c, table_->columnWidth(c) + kColumnSlack);
  page_label_->setText(PageText());
  previous_->setEnabled(filter_.offset > 0);
  next_->setEnabled(filter_.offset + static_cast<int64_t>(page_.rows.size()) < page_.total);
  auto tallies = tallies_;
  chart_->SetPainter(
      [tallies](Surface& s, const Rect& r) { DrawFleetChart(s, r.Inset(6), tallies); });
  if (!page_.rows.empty()) {
    table_->blockSignals(true);
    table_->setCurrentCell(0, 0);
    table_->blockSignals(false);
  }
}

void FleetView::OpenRow(int row) {
  if (row < 0 || row >= static_cast<int>(page_.rows.size()) || !open_ct_) return;
  open_ct_(page_.rows[row]);
}

}  // namespace kova

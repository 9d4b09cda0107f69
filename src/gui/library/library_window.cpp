#include "gui/library/library_window.h"

#include <QAction>
#include <QComboBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPageLayout>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QStackedWidget>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <atomic>

#include "analysis/read_record.h"
#include "app/document_names.h"
#include "base/cancel_token.h"
#include "base/file_io.h"
#include "gui/device/gui_thread.h"
#include "gui/library/ct_history_view.h"
#include "gui/library/fleet_view.h"
#include "gui/qt_text.h"
#include "library/fleet_tally.h"
#include "library/history_table.h"
#include "library/store_messages.h"
#include "library_stores/open_library.h"
#include "platform/surface_pages_pdf.h"
#include "report/page_footer.h"

namespace kova {
namespace {

// A test whose curve the library lacks is read from its file when this
// computer reaches it.
bool ReadReachableRecord(const std::string& path, TestRecord& rec) {
  return FileExists(path) && ReadRecordFile(rec, path, RecordDefaults());
}

// The state filter's choices, in the order of the box.
const FleetState kStateChoices[] = {FleetState::kNone, FleetState::kWarn, FleetState::kAlarm,
                                    FleetState::kFail};
const int kDueChoices[] = {-1, 0, kDueSoonDays};

}  // namespace

LibraryWindow::LibraryWindow(std::unique_ptr<RecordStore> store, std::string location,
                             TrendBands bands, RecordOpener open_record, QWidget* parent)
    : QWidget(parent, Qt::Window),
      store_(std::move(store)),
      location_(std::move(location)),
      bands_(bands) {
  setWindowTitle(QStringLiteral("Library"));
  // The stored states follow the bands the user reads the history with; a
  // library this user may not change keeps its own.
  store_->SetTrendBands(bands_);

  auto* root = new QVBoxLayout(this);
  auto* top = new QHBoxLayout;
  search_ = new QLineEdit(this);
  search_->setPlaceholderText(QStringLiteral("Search serial number, station, circuit, maker"));
  search_->setClearButtonEnabled(true);
  state_ = new QComboBox(this);
  state_->addItems({QStringLiteral("Every state"), QStringLiteral("WARN or worse"),
                    QStringLiteral("ALARM or worse"), QStringLiteral("FAIL")});
  due_ = new QComboBox(this);
  due_->addItems({QStringLiteral("Any due date"), QStringLiteral("Overdue"),
                  QStringLiteral("Due within %1 days").arg(kDueSoonDays)});
  auto* add = new QPushButton(QStringLiteral("Add Folder..."), this);
  auto* csv = new QPushButton(QStringLiteral("Export CSV..."), this);
  auto* pdf = new QPushButton(QStringLiteral("Save as PDF..."), this);
  auto* print = new QPushButton(QStringLiteral("Print..."), this);
  top->addWidget(search_, 1);
  top->addWidget(state_);
  top->addWidget(due_);
  top->addWidget(add);
  top->addWidget(csv);
  top->addWidget(pdf);
  top->addWidget(print);
  root->addLayout(top);
  summary_ = new QLabel(this);
  summary_->setTextFormat(Qt::RichText);
  summary_->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
  root->addWidget(summary_);

  const auto status = [this](const QString& text) { SetStatus(text); };
  pages_ = new QStackedWidget(this);
  fleet_ = new FleetView(
      *store_, [this](const FleetRow&) { ChooseCt(CtTable()->currentRow()); }, status, pages_);
  history_ = new CtHistoryView(*store_, bands_, std::move(open_record), status, pages_);
  pages_->addWidget(fleet_);
  pages_->addWidget(history_);
  root->addWidget(pages_, 1);
  status_ = new QLabel(this);
  status_->setTextFormat(Qt::PlainText);
  root->addWidget(status_);

  connect(search_, &QLineEdit::textChanged, this, [this] { ApplyFilter(); });
  // Type a serial number, Enter: its history.
  connect(search_, &QLineEdit::returnPressed, this, [this] {
    if (CtTable()->rowCount() > 0) ChooseCt(std::max(0, CtTable()->currentRow()));
  });
  connect(state_, qOverload<int>(&QComboBox::currentIndexChanged), this, [this] { ApplyFilter(); });
  connect(due_, qOverload<int>(&QComboBox::currentIndexChanged), this, [this] { ApplyFilter(); });
  connect(summary_, &QLabel::linkActivated, this, [this] { ShowProblems(); });
  connect(history_->BackButton(), &QPushButton::clicked, this, [this] { ShowFleet(); });
  auto* back = new QAction(this);
  back->setShortcuts({QKeySequence(Qt::ALT | Qt::Key_Left), QKeySequence(Qt::Key_Backspace)});
  back->setShortcutContext(Qt::WidgetWithChildrenShortcut);
  addAction(back);
  connect(back, &QAction::triggered, this, [this] {
    // Backspace in the search field edits it.
    if (!search_->hasFocus()) ShowFleet();
  });
  connect(add, &QPushButton::clicked, this, &LibraryWindow::ChooseFolderAndImport);
  connect(csv, &QPushButton::clicked, this, &LibraryWindow::ChooseAndSaveCsv);
  connect(pdf, &QPushButton::clicked, this, &LibraryWindow::ChooseAndSavePdf);
  connect(print, &QPushButton::clicked, this, &LibraryWindow::ChoosePrinterAndPrint);
  resize(1200, 700);
  RefreshVerdicts();
  ApplyFilter();
  search_->setFocus();
}

LibraryWindow::~LibraryWindow() = default;

void LibraryWindow::Search(const QString& text) {
  search_->setText(text);  // applied through textChanged
  ApplyFilter();
}

void LibraryWindow::FilterState(FleetState at_least) {
  for (int i = 0; i < static_cast<int>(std::size(kStateChoices)); ++i)
    if (kStateChoices[i] == at_least) state_->setCurrentIndex(i);
}

void LibraryWindow::FilterDue(int days) {
  int index = 0;
  for (int i = 0; i < static_cast<int>(std::size(kDueChoices)); ++i)
    if (kDueChoices[i] == days) index = i;
  due_->setCurrentIndex(index);
}

void LibraryWindow::SetDateStyle(DateStyle dates) {
  dates_ = dates;
  fleet_->SetDateStyle(dates);
  history_->SetDateStyle(dates);
}

void LibraryWindow::SetRetestYears(int years) {
  fleet_->SetRetestYears(years);
  fleet_->Refresh();
  UpdateSummary();
}

void LibraryWindow::SetToday(const std::string& today) {
  fleet_->SetToday(today);
  fleet_->Refresh();
  UpdateSummary();
}

void LibraryWindow::ApplyFilter() {
  FleetFilter f;
  f.text = FromQ(search_->text());
  f.min_state = kStateChoices[std::max(0, state_->currentIndex())];
  const int due = kDueChoices[std::max(0, due_->currentIndex())];
  f.overdue = due == 0;
  f.due_within_days = due > 0 ? due : -1;
  fleet_->SetFilter(f);
  // The fleet again, the focus left where the user types.
  pages_->setCurrentWidget(fleet_);
  UpdateSummary();
}

void LibraryWindow::UpdateSummary() {
  QString text = ToQ(FleetSummaryText(SumTallies(fleet_->Tallies()))).toHtmlEscaped();
  size_t damaged = 0, unreadable = 0;
  for (const ImportProblem& p : problems_) (p.unreadable ? unreadable : damaged) += 1;
  if (!problems_.empty()) {
    QStringList parts;
    if (damaged > 0)
      parts << (damaged == 1 ? QStringLiteral("1 damaged file")
                             : QStringLiteral("%1 damaged files").arg(damaged));
    if (unreadable > 0)
      parts << (unreadable == 1 ? QStringLiteral("1 unreadable file")
                                : QStringLiteral("%1 unreadable files").arg(unreadable));
    text += QStringLiteral("; <a href=\"problems\">%1 not filed</a>").arg(parts.join(", "));
  }
  summary_->setText(text);
}

QString LibraryWindow::SummaryText() const {
  QString plain = summary_->text();
  plain.remove(QRegularExpression(QStringLiteral("<[^>]*>")));
  return plain;
}

void LibraryWindow::ShowProblems() {
  QString list;
  for (const ImportProblem& p : problems_)
    list += PathToQ(p.path) + QStringLiteral(": ") + ToQ(p.reason) + QLatin1Char('\n');
  QMessageBox box(QMessageBox::Information, QStringLiteral("Library"),
                  QStringLiteral("These files were not filed in the library:"), QMessageBox::Ok,
                  this);
  box.setDetailedText(list);
  box.setInformativeText(list.left(2000));
  box.exec();
}

void LibraryWindow::ShowFleet() {
  pages_->setCurrentWidget(fleet_);
  fleet_->Table()->setFocus();
}

bool LibraryWindow::ShowingFleet() const { return pages_->currentWidget() == fleet_; }

void LibraryWindow::ChooseCt(int row) {
  const FleetPage& page = fleet_->Page();
  if (row < 0 || row >= static_cast<int>(page.rows.size())) return;
  CtTable()->setCurrentCell(row, 0);
  history_->ShowCt(page.rows[row].ct);
  pages_->setCurrentWidget(history_);
  history_->HistoryTable()->setFocus();
}

void LibraryWindow::ChooseTap(const QString& tap) { history_->ChooseTap(tap); }
QTableWidget* LibraryWindow::CtTable() const { return fleet_->Table(); }
QTableWidget* LibraryWindow::HistoryTable() const { return history_->HistoryTable(); }
const std::vector<HistoryEntry>& LibraryWindow::History() const { return history_->History(); }

void LibraryWindow::RefreshVerdicts() {
  std::vector<CtVerdict> all;
  const StoreOutcome outcome = AssessLibrary(*store_, {}, ReadReachableRecord, all);
  if (!outcome.ok()) SetStatus(ToQ(StoreOutcomeText(outcome)));
  std::map<std::string, CtVerdict> by_key;
  for (CtVerdict& v : all) by_key.emplace(v.ct.key, std::move(v));
  fleet_->SetVerdicts(std::move(by_key));
  fleet_->Refresh();
}

QString LibraryWindow::VerdictText(int row) const {
  static const int column = [] {
    const auto& all = FleetColumns();
    for (size_t i = 0; i < all.size(); ++i)
      if (all[i] == FleetColumn::kVerdict) return static_cast<int>(i);
    return 0;
  }();
  const QTableWidgetItem* item = CtTable()->item(row, column);
  return item ? item->text() : QString();
}

void LibraryWindow::SetStatus(const QString& text) { status_->setText(text); }
QString LibraryWindow::StatusText() const { return status_->text(); }

bool LibraryWindow::HistoryReportOf(HistoryReport& report) {
  if (history_->Ct().key.empty()) return false;
  std::string why;
  const StoreOutcome outcome =
      GatherHistoryReport(*store_, history_->Ct(), "", bands_, ReadReachableRecord, report, why);
  if (!outcome.ok()) {
    SetStatus(ToQ(StoreOutcomeText(outcome)));
    return false;
  }
  // The tap shown keeps the dates chosen for its overlay.
  const std::string shown = FromQ(history_->Tap());
  for (HistoryReportTap& tap : report.taps)
    if (tap.tap == shown) tap.overlay_selected = history_->SelectedRows();
  report.printed_on = PrintedNowText(dates_ == DateStyle::kEu);
  return true;
}

bool LibraryWindow::FleetReportOf(FleetReport& report) {
  const StoreOutcome outcome =
      GatherFleetReport(*store_, fleet_->Filter(), fleet_->Today(), fleet_->RetestYears(), report);
  if (!outcome.ok()) {
    SetStatus(ToQ(StoreOutcomeText(outcome)));
    return false;
  }
  report.dates = dates_;
  report.printed_on = PrintedNowText(dates_ == DateStyle::kEu);
  return true;
}

bool LibraryWindow::SaveCsv(const QString& path) {
  std::string text;
  if (ShowingFleet()) {
    // Every matching CT, not only the page shown: the same rows the
    // command writes.
    FleetFilter all = fleet_->Filter();
    all.limit = 1000000;
    FleetPage page;
    const StoreOutcome outcome =
        store_->Fleet(MakeFleetQuery(all, fleet_->Today(), fleet_->RetestYears()), page);
    if (!outcome.ok()) {
      SetStatus(ToQ(StoreOutcomeText(outcome)));
      return false;
    }
    FillDue(page, fleet_->Today(), fleet_->RetestYears());
    text = FleetCsv(page);
  } else {
    HistoryReport report;
    if (!HistoryReportOf(report)) return false;
    std::vector<HistoryEntry> all;
    for (const HistoryReportTap& tap : report.taps)
      all.insert(all.end(), tap.history.begin(), tap.history.end());
    text = HistoryCsv(all);
  }
  return WriteFileAtomically(PathFromQ(path), text);
}

bool LibraryWindow::SavePdf(const QString& path) {
  // Drawn in memory, checked whole, then written through the one atomic
  // write: a failed or interrupted save leaves an existing file as it was,
  // and no fixed temporary name can be planted beside the target.
  std::string why;
  if (ShowingFleet()) {
    FleetReport report;
    if (!FleetReportOf(report)) return false;
    const auto pages = FleetReportPages(report);
    return SurfacePagesToPdf(
        PathFromQ(path), static_cast<int>(pages.size()), false,
        [&](Surface& s, const Rect& page, int i) {
          DrawFleetReportPage(s, page, report, pages, i);
        },
        "Fleet", why);
  }
  HistoryReport report;
  if (!HistoryReportOf(report)) return false;
  const auto pages = HistoryReportPages(report);
  return SurfacePagesToPdf(
      PathFromQ(path), static_cast<int>(pages.size()), false,
      [&](Surface& s, const Rect& page, int i) {
        DrawHistoryReportPage(s, page, report, pages, i);
      },
      "CT history " + report.ct.serialnumber, why);
}

bool LibraryWindow::Print(QPrinter& printer) {
  printer.setPageOrientation(QPageLayout::Landscape);
  if (ShowingFleet()) {
    FleetReport report;
    if (!FleetReportOf(report)) return false;
    printer.setDocName(QStringLiteral("Fleet"));
    const auto pages = FleetReportPages(report);
    return PrintSurfacePages(printer, static_cast<int>(pages.size()),
                             [&](Surface& s, const Rect& page, int i) {
                               DrawFleetReportPage(s, page, report, pages, i);
                             });
  }
  HistoryReport report;
  if (!HistoryReportOf(report)) return false;
  printer.setDocName(ToQ("CT history " + report.ct.serialnumber));
  const auto pages = HistoryReportPages(report);
  return PrintSurfacePages(printer, static_cast<int>(pages.size()),
                           [&](Surface& s, const Rect& page, int i) {
                             DrawHistoryReportPage(s, page, report, pages, i);
                           });
}

QString LibraryWindow::ProposedName(const char* extension) const {
  // "<serial> history.pdf" for a CT, "fleet.pdf" for the fleet.
  std::string stem = ShowingFleet() ? "fleet.pdf" : HistoryPdfName(history_->Ct().serialnumber);
  const size_t dot = stem.rfind('.');
  if (dot != std::string::npos) stem.resize(dot);
  return PathToQ(stem + extension);
}

void LibraryWindow::ChooseAndSaveCsv() {
  QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Export CSV"),
                                              ProposedName(".csv"), QStringLiteral("CSV (*.csv)"));
  if (path.isEmpty()) return;
  if (!path.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive)) path += QStringLiteral(".csv");
  if (!SaveCsv(path))
    QMessageBox::warning(this, QStringLiteral("Warning"),
                         QStringLiteral("Cannot write %1").arg(path));
  else
    SetStatus(QStringLiteral("Saved %1").arg(path));
}

void LibraryWindow::ChooseAndSavePdf() {
  QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Save as PDF"),
                                              ProposedName(".pdf"), QStringLiteral("PDF (*.pdf)"));
  if (path.isEmpty()) return;
  path = PathToQ(WithPdfExtension(PathFromQ(path)));
  if (!SavePdf(path))
    QMessageBox::warning(this, QStringLiteral("Warning"),
                         QStringLiteral("Cannot write %1").arg(path));
  else
    SetStatus(QStringLiteral("Saved %1").arg(path));
}

void LibraryWindow::ChoosePrinterAndPrint() {
  QPrinter printer(QPrinter::HighResolution);
  QPrintDialog dialog(&printer, this);
  if (dialog.exec() != QDialog::Accepted) return;
  if (!Print(printer))
    QMessageBox::warning(this, QStringLiteral("Warning"), QStringLiteral("Cannot print"));
}

void LibraryWindow::ChooseFolderAndImport() {
  const QString folder = QFileDialog::getExistingDirectory(this, QStringLiteral("Add Folder"));
  if (!folder.isEmpty()) ImportFolder(PathFromQ(folder));
}

void LibraryWindow::ImportFolder(const std::string& folder) {
  QProgressDialog progress(QStringLiteral("Adding records to the library..."),
                           QStringLiteral("Cancel"), 0, 0, this);
  progress.setWindowModality(Qt::WindowModal);
  progress.setMinimumDuration(300);
  CancelToken cancel;
  std::atomic<size_t> done{0}, total{0};
  ImportSummary summary;
  QTimer tick;
  connect(&tick, &QTimer::timeout, &progress, [&] {
    progress.setMaximum(static_cast<int>(total.load()));
    progress.setValue(static_cast<int>(done.load()));
  });
  connect(&progress, &QProgressDialog::canceled, this, [&cancel] { cancel.Cancel(); });
  // The worker has a connection of its own (connections stay on the thread
  // that opened them); the progress window closes when it ends, and a
  // Cancel waits for the file at hand.
  tick.start(100);
  const TrendBands bands = bands_;
  RunOnWorker(progress, [&] {
    StoreOutcome outcome;
    auto store = OpenLibrary(location_, outcome, LibraryUse::kFile);
    if (store) {
      store->SetTrendBands(bands);
      summary = ImportRecordFiles(*store, {folder}, RecordDefaults(), &cancel,
                                  [&](size_t d, size_t t) { done = d, total = t; });
    } else {
      summary.store = outcome;
    }
    return summary.store.ok();
  });
  tick.stop();
  progress.reset();
  QString text = QStringLiteral("Added %1, found at a new path %2, unchanged %3, not readable %4")
                     .arg(summary.added)
                     .arg(summary.new_paths)
                     .arg(summary.unchanged)
                     .arg(summary.problems.size());
  if (summary.cancelled) text += QStringLiteral(" (cancelled)");
  if (!summary.store.ok()) text = ToQ(StoreOutcomeText(summary.store));
  problems_ = summary.problems;
  SetStatus(text);
  RefreshVerdicts();
  ApplyFilter();
}

}  // namespace kova

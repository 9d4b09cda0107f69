#include "gui/library/library_window.h"

#include <QBuffer>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <atomic>

#include "analysis/read_record.h"
#include "app/document_names.h"
#include "base/cancel_token.h"
#include "base/codepage.h"
#include "base/file_io.h"
#include "export/whole_pdf.h"
#include "gui/device/gui_thread.h"
#include "gui/library/surface_view.h"
#include "gui/qt_text.h"
#include "library/history_table.h"
#include "library/library_assess.h"
#include "library/library_import.h"
#include "library/library_plots.h"
#include "library/store_messages.h"
#include "library_stores/open_library.h"
#include "platform/qpainter_surface.h"

namespace kova {
namespace {

QString Q(const std::string& cp1252) { return QString::fromStdString(Cp1252ToUtf8(cp1252)); }
std::string Cp(const QString& text) { return Utf8ToCp1252(text.toStdString()); }

QColor FlagColor(ChangeFlag flag) {
  switch (flag) {
    case ChangeFlag::kOk:
      return QColor(200, 240, 200);
    case ChangeFlag::kWarn:
      return QColor(255, 225, 120);
    case ChangeFlag::kAlarm:
      return QColor(255, 150, 150);
    case ChangeFlag::kNone:
      break;
  }
  return QColor();
}

constexpr int kVerdictColumn = 6;

QColor VerdictColor(Verdict v) {
  switch (v) {
    case Verdict::kPass:
      return FlagColor(ChangeFlag::kOk);
    case Verdict::kFail:
      return FlagColor(ChangeFlag::kAlarm);
    case Verdict::kNotAssessed:
      break;
  }
  return FlagColor(ChangeFlag::kWarn);
}

QTableWidget* NewTable(const QStringList& headers, QWidget* parent) {
  auto* t = new QTableWidget(0, headers.size(), parent);
  t->setHorizontalHeaderLabels(headers);
  t->setSelectionBehavior(QAbstractItemView::SelectRows);
  t->setEditTriggers(QAbstractItemView::NoEditTriggers);
  t->verticalHeader()->hide();
  t->horizontalHeader()->setStretchLastSection(true);
  return t;
}

}  // namespace

LibraryWindow::LibraryWindow(std::unique_ptr<RecordStore> store, std::string location,
                             TrendBands bands, RecordOpener open_record, QWidget* parent)
    : QWidget(parent, Qt::Window),
      store_(std::move(store)),
      location_(std::move(location)),
      bands_(bands),
      open_record_(std::move(open_record)) {
  setWindowTitle(QStringLiteral("Library"));
  auto* root = new QVBoxLayout(this);
  auto* top = new QHBoxLayout;
  search_ = new QLineEdit(this);
  search_->setPlaceholderText(
      QStringLiteral("Search serial number, station, circuit, manufacturer"));
  auto* add = new QPushButton(QStringLiteral("Add Folder..."), this);
  auto* pdf = new QPushButton(QStringLiteral("Save as PDF..."), this);
  auto* print = new QPushButton(QStringLiteral("Print..."), this);
  top->addWidget(search_, 1);
  top->addWidget(add);
  top->addWidget(pdf);
  top->addWidget(print);
  root->addLayout(top);

  auto* split = new QSplitter(Qt::Vertical, this);
  auto* upper = new QSplitter(Qt::Horizontal, split);
  cts_ = NewTable(
      {"Serial number", "Manufacturer", "Station", "Circuit", "Tests", "Last test", "Verdict"},
      upper);
  auto* right = new QWidget(upper);
  auto* right_layout = new QVBoxLayout(right);
  right_layout->setContentsMargins(0, 0, 0, 0);
  auto* tap_row = new QHBoxLayout;
  tap_row->addWidget(new QLabel(QStringLiteral("Tap:"), right));
  taps_ = new QComboBox(right);
  tap_row->addWidget(taps_, 1);
  right_layout->addLayout(tap_row);
  QStringList headers;
  for (const std::string& c : HistoryColumns()) headers << Q(c);
  history_table_ = NewTable(headers, right);
  for (int c = 0; c < headers.size(); ++c) {
    const std::string tip = HistoryColumnTip(HistoryColumns()[c]);
    if (!tip.empty()) history_table_->horizontalHeaderItem(c)->setToolTip(Q(tip));
  }
  right_layout->addWidget(history_table_);
  auto* plots = new QSplitter(Qt::Horizontal, split);
  overlay_ = new SurfaceView(plots);
  trend_ = new SurfaceView(plots);
  overlay_->setMinimumSize(300, 260);
  trend_->setMinimumSize(300, 260);
  upper->setSizes({420, 780});
  split->setSizes({420, 340});
  root->addWidget(split, 1);
  status_ = new QLabel(this);
  root->addWidget(status_);

  connect(search_, &QLineEdit::textChanged, this, &LibraryWindow::Search);
  connect(cts_, &QTableWidget::currentCellChanged, this,
          [this](int row, int, int, int) { ChooseCt(row); });
  connect(taps_, &QComboBox::currentTextChanged, this, [this] { ShowHistory(); });
  connect(history_table_, &QTableWidget::itemSelectionChanged, this, [this] { UpdateOverlay(); });
  connect(history_table_, &QTableWidget::cellDoubleClicked, this, [this](int row, int) {
    if (row < 0 || row >= static_cast<int>(history_.size()) || !open_record_) return;
    const std::string& path = history_[row].test.path;
    // Filed from another computer or a share not mounted here: the history
    // holds its values, the file cannot be opened.
    if (!FileExists(path)) {
      status_->setText(QStringLiteral("This record was filed from %1, which this computer cannot "
                                      "reach; the history shows the values the library holds.")
                           .arg(PathToQ(path)));
      return;
    }
    open_record_(path);
  });
  connect(add, &QPushButton::clicked, this, &LibraryWindow::ChooseFolderAndImport);
  connect(pdf, &QPushButton::clicked, this, [this] {
    // "<serial> history.pdf" is proposed; ".pdf" is added when left out.
    const int row = cts_->currentRow();
    const std::string serial = row >= 0 && row < static_cast<int>(ct_list_.size())
                                   ? ct_list_[row].serialnumber
                                   : std::string();
    QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Save as PDF"),
                                                PathToQ(HistoryPdfName(serial)),
                                                QStringLiteral("PDF (*.pdf)"));
    if (!path.isEmpty()) path = PathToQ(WithPdfExtension(PathFromQ(path)));
    if (!path.isEmpty() && !SavePdf(path))
      QMessageBox::warning(this, QStringLiteral("Warning"),
                           QStringLiteral("Cannot write %1").arg(path));
  });
  connect(print, &QPushButton::clicked, this, &LibraryWindow::ChoosePrinterAndPrint);
  resize(1200, 760);
  RefreshVerdicts();
  Search(QString());
}

LibraryWindow::~LibraryWindow() = default;

void LibraryWindow::Search(const QString& text) {
  const StoreOutcome outcome = store_->SearchCts(Cp(text), 500, ct_list_);
  if (!outcome.ok()) status_->setText(Q(StoreOutcomeText(outcome)));
  cts_->setRowCount(static_cast<int>(ct_list_.size()));
  for (int i = 0; i < static_cast<int>(ct_list_.size()); ++i) {
    const CtInfo& ct = ct_list_[i];
    const std::string cells[] = {ct.serialnumber,
                                 ct.manufacturer,
                                 ct.station,
                                 ct.circuit,
                                 std::to_string(ct.records),
                                 ct.last_test_date.substr(0, 10)};
    for (int c = 0; c < 6; ++c) cts_->setItem(i, c, new QTableWidgetItem(Q(cells[c])));
    auto* verdict = new QTableWidgetItem;
    const auto kept = verdicts_.find(ct.key);
    if (kept != verdicts_.end()) {
      const CtVerdict& v = kept->second;
      verdict->setText(Q(VerdictCell(v.verdict)));
      verdict->setToolTip(Q(v.test + (v.rating.empty() ? "" : ", " + v.rating) +
                            (v.why.empty() ? "" : "\n" + v.why)));
      verdict->setBackground(VerdictColor(v.verdict));
    }
    cts_->setItem(i, kVerdictColumn, verdict);
  }
  cts_->resizeColumnsToContents();
  // A new list in the same row moves no cell: show its first CT anyway.
  cts_->blockSignals(true);
  cts_->setCurrentCell(ct_list_.empty() ? -1 : 0, 0);
  cts_->blockSignals(false);
  ChooseCt(ct_list_.empty() ? -1 : 0);
}

void LibraryWindow::RefreshVerdicts() {
  verdicts_.clear();
  // A test whose curve the library lacks is read from its file when this
  // computer reaches it.
  const RecordFileReader read = [](const std::string& path, TestRecord& rec) {
    return FileExists(path) && ReadRecordFile(rec, path, RecordDefaults());
  };
  std::vector<CtVerdict> all;
  const StoreOutcome outcome = AssessLibrary(*store_, {}, read, all);
  if (!outcome.ok()) status_->setText(Q(StoreOutcomeText(outcome)));
  for (CtVerdict& v : all) verdicts_.emplace(v.ct.key, std::move(v));
}

QString LibraryWindow::VerdictText(int row) const {
  const QTableWidgetItem* item = cts_->item(row, kVerdictColumn);
  return item ? item->text() : QString();
}

void LibraryWindow::ChooseCt(int row) {
  taps_->blockSignals(true);
  taps_->clear();
  if (row >= 0 && row < static_cast<int>(ct_list_.size())) {
    std::vector<std::string> taps;
    store_->CtTaps(ct_list_[row].key, taps);
    for (const std::string& t : taps) taps_->addItem(Q(t));
    // The full winding first: the tap most tests are judged on.
    const int full = taps_->findText(QStringLiteral("X1-X5"));
    if (full >= 0) taps_->setCurrentIndex(full);
  }
  taps_->blockSignals(false);
  ShowHistory();
}

void LibraryWindow::ChooseTap(const QString& tap) { taps_->setCurrentText(tap); }

void LibraryWindow::ShowHistory() {
  history_.clear();
  const int row = cts_->currentRow();
  if (row >= 0 && row < static_cast<int>(ct_list_.size()) && taps_->count() > 0) {
    std::vector<TestRow> rows;
    const StoreOutcome outcome = store_->History(ct_list_[row].key, Cp(taps_->currentText()), rows);
    if (!outcome.ok()) status_->setText(Q(StoreOutcomeText(outcome)));
    history_ = BuildHistory(rows, bands_);
  }
  history_table_->setRowCount(static_cast<int>(history_.size()));
  for (int i = 0; i < static_cast<int>(history_.size()); ++i) {
    const auto cells = HistoryCells(history_[i]);
    for (int c = 0; c < static_cast<int>(cells.size()); ++c) {
      auto* item =
          new QTableWidgetItem(c + 1 == static_cast<int>(cells.size())
                                   ? QString::fromStdString(SystemNameToUtf8(cells[c].text))
                                   : Q(cells[c].text));
      if (cells[c].flag != ChangeFlag::kNone) item->setBackground(FlagColor(cells[c].flag));
      history_table_->setItem(i, c, item);
    }
  }
  history_table_->resizeColumnsToContents();
  auto history = history_;
  trend_->SetPainter([history](Surface& s, const Rect& r) { DrawTrendPlot(s, r, history); });
  UpdateOverlay();
}

std::vector<TestRow> LibraryWindow::OverlaidTests() const {
  // The selected dates, or the latest six when none is selected.
  std::vector<TestRow> chosen;
  for (int i = 0; i < static_cast<int>(history_.size()); ++i)
    if (history_table_->item(i, 0) && history_table_->item(i, 0)->isSelected())
      chosen.push_back(history_[i].test);
  if (chosen.empty())
    for (size_t i = history_.size() > 6 ? history_.size() - 6 : 0; i < history_.size(); ++i)
      chosen.push_back(history_[i].test);
  return chosen;
}

void LibraryWindow::UpdateOverlay() {
  std::vector<TestRow> chosen = OverlaidTests();
  if (chosen.size() > kMaxOverlaidDates) {
    status_->setText(QStringLiteral("The overlay shows the first six chosen dates"));
    chosen.resize(kMaxOverlaidDates);
  }
  overlay_->SetPainter([chosen](Surface& s, const Rect& r) { DrawCurveOverlay(s, r, chosen); });
}

bool LibraryWindow::PaintPlots(QPagedPaintDevice& device) {
  QPainter painter;
  if (!painter.begin(&device)) return false;
  QPainterSurface surface(painter);
  const int w = device.width(), h = device.height();
  DrawTrendPlot(surface, Rect{0, 0, w, h / 2 - 40}, history_);
  std::vector<TestRow> chosen = OverlaidTests();
  if (chosen.size() > kMaxOverlaidDates) chosen.resize(kMaxOverlaidDates);
  DrawCurveOverlay(surface, Rect{0, h / 2 + 40, w, h}, chosen);
  return painter.end();
}

bool LibraryWindow::SavePdf(const QString& path) {
  // Drawn in memory, checked whole, then written through the one atomic
  // write: a failed or interrupted save leaves an existing file as it was,
  // and no fixed temporary name can be planted beside the target.
  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  {
    QPdfWriter writer(&buffer);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setResolution(300);
    writer.setTitle(QStringLiteral("Library"));
    if (!PaintPlots(writer)) return false;
  }
  const QByteArray& bytes = buffer.data();
  if (!IsWholePdf(bytes.constData(), static_cast<size_t>(bytes.size()))) return false;
  return WriteFileAtomically(PathFromQ(path), bytes.constData(), static_cast<size_t>(bytes.size()));
}

bool LibraryWindow::Print(QPrinter& printer) {
  printer.setDocName(QStringLiteral("Library"));
  // The plots' gaps and strokes are in device pixels: at the saved PDF's
  // resolution the printed page is laid out as that one.
  printer.setResolution(300);
  return PaintPlots(printer);
}

void LibraryWindow::ChoosePrinterAndPrint() {
  QPrinter printer(QPrinter::HighResolution);
  QPrintDialog dialog(&printer, this);
  if (dialog.exec() != QDialog::Accepted) return;
  if (!Print(printer))
    QMessageBox::warning(this, QStringLiteral("Warning"), QStringLiteral("Cannot print"));
}

QString LibraryWindow::StatusText() const { return status_->text(); }

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
  RunOnWorker(progress, [&] {
    StoreOutcome outcome;
    auto store = OpenLibrary(location_, outcome, LibraryUse::kFile);
    if (store)
      summary = ImportRecordFiles(*store, {folder}, RecordDefaults(), &cancel,
                                  [&](size_t d, size_t t) { done = d, total = t; });
    else
      summary.store = outcome;
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
  if (!summary.store.ok()) text = Q(StoreOutcomeText(summary.store));
  status_->setText(text);
  RefreshVerdicts();
  Search(search_->text());
}

}  // namespace kova

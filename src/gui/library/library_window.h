#pragma once
// The Library window: search the CTs, pick one and a tap, read its history
// with the changes coloured by their flags, open a record (double-click),
// overlay the excitation curves of up to six dates, and see the trend plot.
// A CT with an assessment profile kept for it shows its latest verdict.
// A folder import runs on a worker thread behind a progress bar with Cancel.

#include <QWidget>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "library/history.h"
#include "library/library_assess.h"
#include "library/record_store.h"

class QLineEdit;
class QTableWidget;
class QComboBox;
class QLabel;
class QPushButton;
class QPagedPaintDevice;
class QPrinter;

namespace kova {

class SurfaceView;

class LibraryWindow : public QWidget {
  Q_OBJECT
 public:
  using RecordOpener = std::function<void(const std::string& path)>;
  // `location` is what the store was opened from (for a folder import's
  // own connection on the worker thread).
  LibraryWindow(std::unique_ptr<RecordStore> store, std::string location, TrendBands bands,
                RecordOpener open_record, QWidget* parent = nullptr);
  ~LibraryWindow() override;

  // For tests and the command's keyboard flow.
  void Search(const QString& text);
  void ChooseCt(int row);
  void ChooseTap(const QString& tap);
  QTableWidget* CtTable() const { return cts_; }
  QTableWidget* HistoryTable() const { return history_table_; }
  const std::vector<HistoryEntry>& History() const { return history_; }
  // Assesses every CT with a profile again (after a profile was kept).
  void RefreshVerdicts();
  // "PASS", "FAIL", "NOT ASSESSED" or empty, of the CT in `row`.
  QString VerdictText(int row) const;
  // The line under the tables: what an import or an opening did.
  QString StatusText() const;
  // Imports `folder` with the progress bar; returns when done or cancelled.
  void ImportFolder(const std::string& folder);
  // The trend plot and the overlay on one A4 page; false when not written.
  bool SavePdf(const QString& path);
  // The same page on a printer the user chose; false when not printed.
  bool Print(QPrinter& printer);

 private:
  void ShowHistory();
  void UpdateOverlay();
  void ChooseFolderAndImport();
  std::vector<TestRow> OverlaidTests() const;
  bool PaintPlots(QPagedPaintDevice& device);
  void ChoosePrinterAndPrint();

  std::unique_ptr<RecordStore> store_;
  std::string location_;
  TrendBands bands_;
  RecordOpener open_record_;
  std::vector<CtInfo> ct_list_;
  std::vector<HistoryEntry> history_;
  std::map<std::string, CtVerdict> verdicts_;  // by CT key
  QLineEdit* search_ = nullptr;
  QTableWidget* cts_ = nullptr;
  QComboBox* taps_ = nullptr;
  QTableWidget* history_table_ = nullptr;
  SurfaceView* overlay_ = nullptr;
  SurfaceView* trend_ = nullptr;
  QLabel* status_ = nullptr;
};

}  // namespace kova

#pragma once
// The Library window opens on the fleet: a summary line (CTs, alarms,
// warnings, failures, overdue, due soon; files an import could not file),
// filters that apply as typed, the fleet table and the states per station.
// A CT opens on its history page, which goes back to the fleet; a test
// there opens its record. The fleet or the CT shown goes to CSV, PDF or a
// printer. A folder import runs on a worker thread behind a progress bar
// with Cancel.

#include <QWidget>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "library/fleet_report.h"
#include "library/history.h"
#include "library/history_report.h"
#include "library/library_assess.h"
#include "library/library_import.h"
#include "library/record_store.h"
#include "library/shown_date.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPrinter;
class QPushButton;
class QStackedWidget;
class QTableWidget;

namespace kova {

class CtHistoryView;
class FleetView;

class LibraryWindow : public QWidget {
  Q_OBJECT
 public:
  using RecordOpener = std::function<void(const std::string& path)>;
  // `location` is what the store was opened from (for a folder import's
  // own connection on the worker thread). The stored states are brought to
  // `bands` first.
  LibraryWindow(std::unique_ptr<RecordStore> store, std::string location, TrendBands bands,
                RecordOpener open_record, QWidget* parent = nullptr);
  ~LibraryWindow() override;

  // The fleet's filters, as the fields above the table set them.
  void Search(const QString& text);
  void FilterState(FleetState at_least);
  // -1 any, 0 overdue, else due within that many days.
  void FilterDue(int days);
  void SetDateStyle(DateStyle dates);
  void SetRetestYears(int years);
  void SetToday(const std::string& today);

  // The fleet page, and a CT's history page (row of the fleet table).
  void ShowFleet();
  void ChooseCt(int row);
  bool ShowingFleet() const;
  void ChooseTap(const QString& tap);

  QLineEdit* SearchField() const { return search_; }
  QTableWidget* CtTable() const;
  FleetView* Fleet() const { return fleet_; }
  CtHistoryView* CtHistory() const { return history_; }
  QTableWidget* HistoryTable() const;
  const std::vector<HistoryEntry>& History() const;
  // Assesses every CT with a profile again (after a profile was kept).
  void RefreshVerdicts();
  // "PASS", "FAIL", "NOT ASSESSED" or empty, of the CT in `row`.
  QString VerdictText(int row) const;
  QString SummaryText() const;
  // The files the last import could not file, with why.
  const std::vector<ImportProblem>& Problems() const { return problems_; }
  // The line under the tables: what an import or an opening did.
  QString StatusText() const;
  // Imports `folder` with the progress bar; returns when done or cancelled.
  void ImportFolder(const std::string& folder);

  // The page shown: the fleet (every matching CT) or the CT's history
  // (every tap), as CSV; false when not written.
  bool SaveCsv(const QString& path);
  // The page shown as its report: the fleet report or the CT's history
  // report (the tap shown keeps its overlay's chosen dates).
  bool SavePdf(const QString& path);
  bool Print(QPrinter& printer);
  // The names the save dialogs propose.
  QString ProposedName(const char* extension) const;

 private:
  void ApplyFilter();
  void UpdateSummary();
  bool HistoryReportOf(HistoryReport& report);
  bool FleetReportOf(FleetReport& report);
  void ChooseFolderAndImport();
  void ChooseAndSaveCsv();
  void ChooseAndSavePdf();
  void ChoosePrinterAndPrint();
  void ShowProblems();
  void SetStatus(const QString& text);

  std::unique_ptr<RecordStore> store_;
  std::string location_;
  TrendBands bands_;
  DateStyle dates_ = DateStyle::kIso;
  std::vector<ImportProblem> problems_;
  QLineEdit* search_ = nullptr;
  QComboBox* state_ = nullptr;
  QComboBox* due_ = nullptr;
  QLabel* summary_ = nullptr;
  QStackedWidget* pages_ = nullptr;
  FleetView* fleet_ = nullptr;
  CtHistoryView* history_ = nullptr;
  QLabel* status_ = nullptr;
};

}  // namespace kova

#pragma once
// The fleet page of the Library window: every CT with its state, verdict
// and due date, sorted by clicking a header and paged, beside the chart of
// the states per station. Each page is one query of stored values.

#include <QWidget>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "library/fleet.h"
#include "library/fleet_tally.h"
#include "library/library_assess.h"
#include "library/record_store.h"
#include "library/shown_date.h"

class QLabel;
class QPushButton;
class QTableWidget;

namespace kova {

class SurfaceView;

// Rows a page of the fleet table holds.
constexpr int kFleetPageRows = 500;

class FleetView : public QWidget {
 public:
  using CtOpener = std::function<void(const FleetRow& row)>;
  using StatusSink = std::function<void(const QString& text)>;
  FleetView(RecordReader& store, CtOpener open_ct, StatusSink status, QWidget* parent = nullptr);

  // What the table shows: the filter's rules with the view's own sort and
  // page; a new filter starts on the first page.
  void SetFilter(const FleetFilter& filter);
  // The same filter again (after an import, a new setting).
  void Refresh();
  void SortBy(FleetColumn column, bool descending);
  void NextPage();
  void PreviousPage();
  void SetToday(const std::string& today) { today_ = today; }
  void SetRetestYears(int years) { retest_years_ = years; }
  void SetDateStyle(DateStyle dates);
  // Tooltips with the rating and the reasons of CTs assessed from their files.
  void SetVerdicts(std::map<std::string, CtVerdict> verdicts);

  // The filter with the sort in effect (its page not applied).
  FleetFilter Filter() const;
  const std::string& Today() const { return today_; }
  int RetestYears() const { return retest_years_; }
  QTableWidget* Table() const { return table_; }
  const FleetPage& Page() const { return page_; }
  const std::vector<StationTally>& Tallies() const { return tallies_; }
  // "CTs 1–500 of 20000".
  QString PageText() const;

 private:
  void Fill();
  void OpenRow(int row);

  RecordReader& store_;
  CtOpener open_ct_;
  StatusSink status_;
  FleetFilter filter_;
  std::string today_;
  int retest_years_ = 5;
  DateStyle dates_ = DateStyle::kIso;
  std::map<std::string, CtVerdict> verdicts_;
  FleetPage page_;
  std::vector<StationTally> tallies_;
  QTableWidget* table_ = nullptr;
  SurfaceView* chart_ = nullptr;
  QPushButton* previous_ = nullptr;
  QPushButton* next_ = nullptr;
  QLabel* page_label_ = nullptr;
};

// The fleet table's column titles, in FleetColumns() order.
QStringList FleetColumnTitles();

}  // namespace kova

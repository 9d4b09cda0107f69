#pragma once
// One CT's page of the Library window: its identity, a tap, the history
// with the changes coloured by their flags, the excitation overlay of up to
// six dates (the latest six when none is chosen) and the trend plot. A
// double-click opens the record; "Fleet" goes back.

#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "library/history.h"
#include "library/record_store.h"
#include "library/shown_date.h"

class QComboBox;
class QLabel;
class QPushButton;
class QTableWidget;

namespace kova {

class SurfaceView;

class CtHistoryView : public QWidget {
 public:
  using RecordOpener = std::function<void(const std::string& path)>;
  using StatusSink = std::function<void(const QString& text)>;
  CtHistoryView(RecordReader& store, TrendBands bands, RecordOpener open_record, StatusSink status,
                QWidget* parent = nullptr);

  // Shows `ct`, its full winding first.
  void ShowCt(const CtInfo& ct);
  const CtInfo& Ct() const { return ct_; }
  void ChooseTap(const QString& tap);
  QString Tap() const;
  void SetDateStyle(DateStyle dates);
  QPushButton* BackButton() const { return back_; }
  QTableWidget* HistoryTable() const { return table_; }
  const std::vector<HistoryEntry>& History() const { return history_; }
  std::vector<size_t> SelectedRows() const;
  // The rows the overlay draws, as indexes into History().
  const std::vector<size_t>& OverlaidRows() const { return overlaid_; }

 private:
  void ShowHistory();
  void UpdateOverlay();
  void OpenRow(int row);

  RecordReader& store_;
  TrendBands bands_;
  RecordOpener open_record_;
  StatusSink status_;
  DateStyle dates_ = DateStyle::kIso;
  CtInfo ct_;
  std::vector<HistoryEntry> history_;
  std::vector<size_t> overlaid_;
  QPushButton* back_ = nullptr;
  QLabel* title_ = nullptr;
  QComboBox* taps_ = nullptr;
  QTableWidget* table_ = nullptr;
  SurfaceView* overlay_ = nullptr;
  SurfaceView* trend_ = nullptr;
};

}  // namespace kova

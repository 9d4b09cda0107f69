#pragma once
// The two directory dialogs of the instrument: "Device Directory" (stored
// tests, downloaded into record files) and "Test Plan Directory" (plan
// slots: the slot that receives a plan, or the plans to fetch). Their rules
// live in device/directory_choice.h; the downloads run in TransferDialog.

#include <QDialog>
#include <string>
#include <vector>

#include "device/directory_choice.h"
#include "library/shown_date.h"

class QLineEdit;
class QPushButton;
class QTreeWidget;

namespace kova {

class RecordExporter;
class RudDevice;

// A list with full-row selection of several rows, columns as wide as their
// sample texts.
QTreeWidget* MakeDirectoryList(QWidget* parent, const std::vector<DirectoryColumn>& columns);
// The selected rows' indexes, in list order.
std::vector<int> SelectedRows(const QTreeWidget* list);

class DeviceDirectoryDialog : public QDialog {
  Q_OBJECT
 public:
  // Shows the directory table as the device holds it, its dates in
  // `dates`; `show_type` adds the "Type" column.
  DeviceDirectoryDialog(RudDevice& device, bool show_type, DateStyle dates, QWidget* parent);
  // The automatic export after each downloaded record; none when null.
  void SetExporter(RecordExporter* exporter) { exporter_ = exporter; }

  // After OK: the last file written by the download, every file written,
  // how many tests were chosen and the folder they went to.
  const std::string& LastFile() const { return lastfile_; }
  const std::vector<std::string>& Written() const { return written_; }
  size_t Chosen() const { return chosen_; }
  const std::string& Folder() const { return folder_; }
  QTreeWidget* List() const { return list_; }
  QLineEdit* Prefix() const { return prefix_; }
  QPushButton* DownloadButton() const { return download_; }

  void OnDownload();

 private:
  RudDevice& device_;
  RecordExporter* exporter_ = nullptr;
  QTreeWidget* list_ = nullptr;
  QLineEdit* prefix_ = nullptr;
  QPushButton* download_ = nullptr;
  std::string lastfile_;
  std::vector<std::string> written_;
  size_t chosen_ = 0;
  std::string folder_;
};

class PlanDirectoryDialog : public QDialog {
  Q_OBJECT
 public:
  PlanDirectoryDialog(RudDevice& device, PlanDirectoryMode mode, QWidget* parent);

  // Slot mode, after OK: the slot chosen.
  int Slot() const { return slot_; }
  // Download mode, after OK: the files written.
  const std::vector<std::string>& Written() const { return written_; }
  QTreeWidget* List() const { return list_; }
  QLineEdit* Prefix() const { return prefix_; }
  QPushButton* SelectAllButton() const { return select_all_; }

  void accept() override;

 private:
  RudDevice& device_;
  PlanDirectoryMode mode_;
  std::vector<PlanDirectoryRow> rows_;
  QTreeWidget* list_ = nullptr;
  QLineEdit* prefix_ = nullptr;
  QPushButton* select_all_ = nullptr;
  int slot_ = 0;
  std::vector<std::string> written_;
};

}  // namespace kova

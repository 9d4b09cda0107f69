#pragma once
// "Downloaded Tests": after a download of several tests, what was saved
// where, and which of them to open ("Open All", "Open Selected"), or the
// folder to show.

#include <QDialog>
#include <functional>
#include <string>
#include <vector>

#include "app/batch_summary.h"

class QLabel;
class QPushButton;
class QTreeWidget;

namespace kova {

class BatchSummaryDialog : public QDialog {
  Q_OBJECT
 public:
  // `show_folder` opens the folder in the file manager.
  BatchSummaryDialog(std::vector<SavedRecordRow> rows, const std::string& heading,
                     std::function<void()> show_folder, QWidget* parent);

  // After the dialog closed: the files to open (none after Close).
  const std::vector<std::string>& ToOpen() const { return to_open_; }

  QTreeWidget* List() const { return list_; }
  QPushButton* OpenAllButton() const { return open_all_; }
  QPushButton* OpenSelectedButton() const { return open_selected_; }
  QPushButton* ShowFolderButton() const { return show_folder_button_; }
  QLabel* Message() const { return message_; }

 private:
  void Choose(SummaryChoice choice);

  std::vector<SavedRecordRow> rows_;
  std::function<void()> show_folder_;
  std::vector<std::string> to_open_;
  QTreeWidget* list_ = nullptr;
  QLabel* message_ = nullptr;
  QPushButton* open_all_ = nullptr;
  QPushButton* open_selected_ = nullptr;
  QPushButton* show_folder_button_ = nullptr;
};

}  // namespace kova

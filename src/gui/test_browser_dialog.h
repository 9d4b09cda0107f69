#pragma once
// The "Open Test" dialog: the record files of one folder with a few header
// fields each; returns the file or files the user selected. The listing
// rules are the core's (app/test_browser.h); the list fills in steps so the
// window stays responsive on a large folder.

#include <QDialog>
#include <memory>
#include <string>
#include <vector>

#include "app/app_settings.h"
#include "app/settings_store.h"
#include "app/test_browser.h"
#include "base/prompter.h"

class QLineEdit;
class QTreeWidget;
class QTimer;
class QLabel;

namespace kova {

class TestBrowserDialog : public QDialog {
  Q_OBJECT
 public:
  TestBrowserDialog(CAppInfo& info, SettingsStore& store, Prompter& prompter,
                    const std::string& title, bool multiple, QWidget* parent = nullptr);
  ~TestBrowserDialog() override;

  // Empties the list and fills it from the current folder in steps.
  void Fill();
  // Runs the remaining fill steps at once (tests, benchmarks).
  void FinishFill();
  bool Filling() const;
  const std::vector<std::string>& Result() const { return result_; }
  QTreeWidget* List() const { return list_; }
  // The rows in list order (after sorting).
  std::vector<BrowserRow> ShownRows() const;

  void SelectPath();
  void accept() override;
  void done(int r) override;

 private:
  void FillStep();
  void RestoreColumns();
  void StoreColumns() const;
  void WidenColumnsToContent();

  CAppInfo& info_;
  SettingsStore& store_;
  Prompter& prompter_;
  bool multiple_;
  QLineEdit* folder_ = nullptr;
  QTreeWidget* list_ = nullptr;
  QLabel* count_ = nullptr;
  QTimer* timer_ = nullptr;
  std::unique_ptr<RecordFolderScan> scan_;
  size_t shown_ = 0;
  std::vector<BrowserRow> rows_;  // indexed by each item's row number
  std::vector<std::string> result_;
};

// What the main window asks for when a command needs record files.
class RecordChooser {
 public:
  virtual ~RecordChooser() = default;
  virtual bool Choose(const std::string& title, bool multiple, std::vector<std::string>& files) = 0;
};

class BrowserRecordChooser : public RecordChooser {
 public:
  BrowserRecordChooser(CAppInfo& info, SettingsStore& store, Prompter& prompter, QWidget* parent)
      : info_(info), store_(store), prompter_(prompter), parent_(parent) {}
  bool Choose(const std::string& title, bool multiple, std::vector<std::string>& files) override;
  // The browser belongs to this window (made after us).
  void SetParent(QWidget* parent) { parent_ = parent; }

 private:
  CAppInfo& info_;
  SettingsStore& store_;
  Prompter& prompter_;
  QWidget* parent_;
};

}  // namespace kova

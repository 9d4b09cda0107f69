#pragma once
// "Transferring Test": the window of a batch download (tests or plans), of
// the resend of the current test, and of a remote test run. It runs the core
// object on a worker thread while it is up (modal over its parent), shows
// what the object reports (status, the instrument's last line, the prompt,
// items and bytes) on the window's thread, passes Continue and Abort (and
// Escape) on, and ends with OK when the object succeeded.

#include <QDialog>
#include <QElapsedTimer>
#include <functional>
#include <string>

#include "device/transfer_observer.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace kova {

class BatchTransfer;
class RemoteRun;

class TransferDialog : public QDialog, public TransferObserver {
  Q_OBJECT
 public:
  explicit TransferDialog(QWidget* parent);
  ~TransferDialog() override;

  // Binds the dialog to its core object; call one before Run.
  void BindBatch(BatchTransfer& batch, bool plans);
  void BindRun(RemoteRun& run);
  // Shows the dialog modally and runs the transfer; QDialog::Accepted when it
  // succeeded.
  int Run();

  // Where the Abort of a run took effect: the dialog is gone from the screen
  // while the instrument is reset (milliseconds since the click; -1: none).
  qint64 AbortToHiddenMs() const { return abort_to_hidden_ms_; }

  QPushButton* ContinueButton() const { return continue_; }
  QPushButton* AbortButton() const { return abort_; }
  QString Status() const;
  QString Line() const;
  QString Prompt() const;
  QProgressBar* ProgressBar() const { return progress_; }
  QString ProgressText() const;

  // TransferObserver: called from the worker, shown on the window's thread.
  void SetStatusText(const std::string& text) override;
  void SetLineText(const std::string& text) override;
  void SetPromptText(const std::string& text) override;
  void ShowContinue(bool shown) override;
  void SetWaitCursor(bool on) override;
  void Refresh() override;
  void ItemStarted(size_t index, size_t count, int number, const std::string& name) override;
  void Progress(const TransferProgress& progress) override;
  void ItemEnded(size_t index, bool ok, const std::string& name) override;

 protected:
  // Esc and the close button act as Abort while the transfer runs.
  void reject() override;

 private:
  void OnAbort();
  void OnContinue();
  void ShowBytes();
  void ShowProgress(const TransferProgress& progress);
  void ShowItemStarted(size_t index, size_t count, int number, const std::string& name);
  void ShowItemEnded(size_t index, bool ok);
  void ShowWaitCursor(bool on);

  std::function<bool()> operation_;
  std::function<void()> abort_action_;
  std::function<void()> continue_action_;
  QLabel* status_ = nullptr;
  QLabel* line_ = nullptr;
  QLabel* prompt_ = nullptr;
  QLabel* item_text_ = nullptr;
  QProgressBar* progress_ = nullptr;
  QPushButton* continue_ = nullptr;
  QPushButton* abort_ = nullptr;
  bool plans_ = false;
  bool running_ = false;
  bool wait_cursor_ = false;
  size_t index_ = 0, count_ = 0, bytes_ = 0;
  size_t expected_bytes_ = 0;  // the size of the previous item, a guess for this one
  int number_ = 0;
  QElapsedTimer abort_clock_;
  qint64 abort_to_hidden_ms_ = -1;
};

}  // namespace kova

#pragma once
// What the "Transferring Test" window shows while a download or a remote
// test run is in progress. The core objects call it; the desktop window, the
// command-line tool and the tests implement what they need. Texts are
// Windows-1252 bytes.

#include <cstddef>
#include <string>

namespace kova {

// Where a transfer stands: item `item` (0-based) of `items`, `bytes` of its
// reply received so far.
struct TransferProgress {
  size_t item = 0;
  size_t items = 1;
  size_t bytes = 0;
};

class TransferObserver {
 public:
  virtual ~TransferObserver() = default;

  // The status line: the number of the item in progress, or the run step.
  virtual void SetStatusText(const std::string& text) { (void)text; }
  // The last line the instrument sent during a run, with its CR LF.
  virtual void SetLineText(const std::string& text) { (void)text; }
  // What the user is asked to do (empty: nothing).
  virtual void SetPromptText(const std::string& text) { (void)text; }
  // The Continue button appears when the instrument waits for the cables.
  virtual void ShowContinue(bool shown) { (void)shown; }
  // The wait cursor during the abort ending of a run.
  virtual void SetWaitCursor(bool on) { (void)on; }
  // Repaint now: the texts above changed.
  virtual void Refresh() {}

  // Downloads: item `index` (0-based) of `count` starts, to the file `name`.
  virtual void ItemStarted(size_t index, size_t count, int number, const std::string& name) {
    (void)index, (void)count, (void)number, (void)name;
  }
  // The reply of the current item grew.
  virtual void Progress(const TransferProgress& progress) { (void)progress; }
  // Item `index` ended; `ok` when its file was written.
  virtual void ItemEnded(size_t index, bool ok, const std::string& name) {
    (void)index, (void)ok, (void)name;
  }
};

}  // namespace kova

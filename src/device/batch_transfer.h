#pragma once
// Bringing stored tests and plans from the instrument to disk: the item list
// of "Download Test" with its file names, and the transfer that fetches the
// items one by one into a folder the user picks, asking before it replaces a
// file. Also the single fetch of the instrument's current test ("Resend").
//
// A file is written only after the instrument's whole reply arrived and made
// sense, and it is written atomically: a stall, an abort or a garbled reply
// never leaves a partial file and never replaces a good one.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "device/rud_device.h"
#include "device/transfer_observer.h"

namespace kova {

struct TransferItem {
  int number = 0;    // test or plan number on the instrument
  std::string name;  // record mode: the file name
};

// The date part of a download name: the entry's date with every "/" removed,
// cut before its first space; characters that cannot stand in a file name
// become "_".
std::string DownloadDatePart(const std::string& datetime);
// "%s%s-%03d.tst-kova7k" of the name head (the prefix and "-", or nothing
// for an empty prefix), the date part and the entry's number.
std::string DownloadFileName(const std::string& prefix, const DirectoryEntry& entry);
// One item per selected row (indexes into the device's directory table, in
// list order). False, with "Please select test first", when nothing is
// selected; rows outside the table are ignored.
bool MakeDownloadItems(RudDevice& device, const std::string& prefix,
                       const std::vector<int>& selected_rows, std::vector<TransferItem>& items);

// Why the last fetch failed.
enum class FetchFailure {
  kNone,
  kDevice,     // the link or the instrument; the message was shown
  kWriteFile,  // the file could not be written; nothing was shown
};

class BatchTransfer {
 public:
  static constexpr size_t kMaxItems = 512;
  static constexpr uint32_t kItemPauseMs = 200;

  BatchTransfer(RudDevice& device, TransferObserver& observer);
  BatchTransfer(const BatchTransfer&) = delete;
  BatchTransfer& operator=(const BatchTransfer&) = delete;

  // --- what to fetch -------------------------------------------------------
  bool planmode = false;    // items are plans, stored as "%s%d.%s" (prefix, number, "plan")
  bool resendmode = false;  // the instrument's current test, without selecting one
  std::string prefix;       // plan mode: the file name prefix
  // False when the list already holds kMaxItems.
  bool AddItem(int number, const std::string& name = std::string());
  const std::vector<TransferItem>& items() const { return items_; }

  // --- running -------------------------------------------------------------
  // Resend mode: fetches into the item's name ("RunTest.test" without an
  // item). Otherwise asks for a folder ("Select Folder to store files"),
  // makes it the current folder, and fetches every item into it. True when
  // the last item attempted succeeded, and when none was (folder choice
  // cancelled, Cancel at the first overwrite question).
  bool RunTransfers();

  // One stored test into a record file; true when the file was written.
  bool DownloadRecord(int number, const std::string& path);
  // One stored plan into a plan file; true when the file was written.
  bool DownloadPlan(int number, const std::string& path);

  // The Abort button: stops the line read in progress; that item fails and
  // the batch goes on with the next.
  void Abort();
  // No further item starts once the current one has ended.
  void StopBatch() { stop_ = true; }

  // --- results ---------------------------------------------------------------
  // The last file written, with the chosen folder; empty when none was.
  const std::string& lastfile() const { return lastfile_; }
  const std::vector<std::string>& written() const { return written_; }
  FetchFailure lastfailure() const { return lastfailure_; }
  // The folder chosen by the last RunTransfers (empty: none).
  const std::string& folder() const { return folder_; }

  // --- hooks for the environment (tests replace them) ------------------------
  // The pause before each item (a real sleep; the window is not refreshed).
  std::function<void(uint32_t ms)> pause;
  // The program's current folder, and making a folder the current one.
  std::function<std::string()> current_folder;
  std::function<bool(const std::string&)> change_folder;

 private:
  bool FetchItem(size_t index, const std::string& path, int number);
  void ShowStatus(int number);

  RudDevice& device_;
  TransferObserver& observer_;
  std::vector<TransferItem> items_;
  std::string lastfile_;
  std::vector<std::string> written_;
  std::string folder_;
  FetchFailure lastfailure_ = FetchFailure::kNone;
  bool stop_ = false;
};

}  // namespace kova

#pragma once
// Bringing stored tests and plans from the instrument to disk: the item list
// of "Download Test" with its file names, and the transfer that fetches the
// items one by one into a folder the user picks, asking before it replaces a
// file. Also the single fetch of the instrument's current test ("Resend").
//
// This is the object the transfer window and the command-line tool drive:
// the device layer fetches, this decides the folder, the names and the
// overwrite answers, and saves each record through the one save operation.
// Its questions are typed (TransferQuestions) and its progress is typed
// (TransferProgress), so neither face interprets texts.
//
// A file is written only after the instrument's whole reply arrived and made
// sense, and it is written atomically: a stall, an abort or a garbled reply
// never leaves a partial file and never replaces a good one.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "device/item_fetch.h"
#include "device/rud_device.h"
#include "device/transfer_observer.h"
#include "records/test_record.h"

namespace kova {

class RecordExporter;

// The answer to "Overwrite file %s".
struct OverwriteReply {
  enum Kind {
    kReplaceAll,  // Yes: replace, and do not ask again for later items
    kNewName,     // No, and a new name typed: `new_name` (without extension, a system name)
    kSkip,        // No, and no new name: this item is skipped
    kSkipAll,     // this item and every later one whose file exists are skipped
    kCancel,      // Cancel: the batch stops
  };
  Kind kind = kCancel;
  std::string new_name;
};

// The questions a batch asks the user.
class TransferQuestions {
 public:
  virtual ~TransferQuestions() = default;
  // "Select Folder to store files"; false when the user cancels.
  virtual bool ChooseFolder(const std::string& start, std::string& folder) = 0;
  // A file named `file_name` exists in the chosen folder.
  virtual OverwriteReply AskOverwrite(const std::string& file_name) = 0;
};

// The buttons of "Overwrite file %s", in order: Yes replaces this file and
// every later one, "Rename\x85" asks for a new name ("New Filename"), Skip
// keeps the file and goes on, "Skip All" keeps it and every later file that
// exists without asking again, Cancel stops the batch.
enum : size_t {
  kOverwriteYes,
  kOverwriteRename,
  kOverwriteSkip,
  kOverwriteSkipAll,
  kOverwriteCancel
};
const std::vector<std::string>& OverwriteButtons();

// The questions as the instrument's program words them, through the
// prompter: the folder dialog, "Overwrite file %s" with the buttons above,
// and after "Rename\x85" the "New Filename" prompt (left empty: skipped).
class PrompterQuestions : public TransferQuestions {
 public:
  explicit PrompterQuestions(Prompter& prompter) : prompter_(prompter) {}
  bool ChooseFolder(const std::string& start, std::string& folder) override;
  OverwriteReply AskOverwrite(const std::string& file_name) override;

 private:
  Prompter& prompter_;
};

// The "Type" column of the Device Directory: only an instrument whose
// identification contains "TX44" has test types to show.
bool DirectoryShowsTestType(const std::string& identification);
// A file name prefix (a system name) may not lead out of the chosen folder.
bool PrefixIsSafe(const std::string& prefix);

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
// "Download aborted: %d of %d saved", what the window and the command line
// say after an Abort ended a batch.
std::string DownloadAbortedText(size_t saved, size_t total);
// "Can't write file %s: %s", with the reason the system gave (empty: none known).
std::string WriteFailedText(const std::string& path, const std::string& reason);
// Why a file could not be written at `path`, as far as its folder shows
// ("the folder is gone", "the disk is full", "the folder is read-only or the
// file is in use").
std::string WhyNotWritten(const std::string& path);

class BatchTransfer {
 public:
  static constexpr size_t kMaxItems = 512;
  static constexpr uint32_t kItemPauseMs = 200;

  // `questions` null: the prompter's dialogs. `exporter` (may be null) runs
  // after each record saved.
  BatchTransfer(RudDevice& device, TransferObserver& observer,
                TransferQuestions* questions = nullptr, RecordExporter* exporter = nullptr);
  BatchTransfer(const BatchTransfer&) = delete;
  BatchTransfer& operator=(const BatchTransfer&) = delete;

  // --- what to fetch -------------------------------------------------------
  bool planmode = false;    // items are plans, stored as "%s%d.%s" (prefix, number, "plan")
  bool resendmode = false;  // the instrument's current test, without selecting one
  std::string prefix;       // plan mode: the file name prefix (a system name)
  RecordDefaults defaults;  // the user's preferences records are decoded with
  // False when the list already holds kMaxItems.
  bool AddItem(int number, const std::string& name = std::string());
  const std::vector<TransferItem>& items() const { return items_; }

  // --- running -------------------------------------------------------------
  // Resend mode: fetches into the item's name ("RunTest.test" without an
  // item). Otherwise asks for a folder ("Select Folder to store files") and
  // fetches every item into it (the process's current folder stays as it
  // is). True when the last item attempted succeeded, and when none was
  // (folder choice cancelled, Cancel at the first overwrite question).
  // Abort ends the batch: no further item starts; aborted() says so.
  bool RunTransfers();

  // One stored test into a record file; true when the file was written.
  bool DownloadRecord(int number, const std::string& path);
  // One stored plan into a plan file; true when the file was written.
  bool DownloadPlan(int number, const std::string& path);

  // The Abort button, Escape or Ctrl-C (any thread): stops the read in
  // progress; that item leaves no file and no later item starts.
  void Abort();
  // The batch ended by Abort.
  bool aborted() const { return aborted_; }
  // The user cancelled at an overwrite question.
  bool cancelled() const { return cancelled_; }
  // The instrument went away; the batch stopped at that item.
  bool devicegone() const { return devicegone_; }
  // No further item starts once the current one has ended.
  void StopBatch() { stop_ = true; }

  // --- results ---------------------------------------------------------------
  // The last file written, with the chosen folder; empty when none was.
  const std::string& lastfile() const { return lastfile_; }
  const std::vector<std::string>& written() const { return written_; }
  // How the last item (or the folder check) ended.
  const DeviceStatus& laststatus() const { return laststatus_; }
  // The folder chosen by the last RunTransfers (empty: none).
  const std::string& folder() const { return folder_; }

  // --- hooks for the environment (tests replace them) ------------------------
  // The pause before each item (a real sleep that Abort cuts short).
  std::function<void(uint32_t ms)> pause;
  // The folder the folder question starts in (the process's current one).
  std::function<std::string()> current_folder;

 private:
  bool FetchItem(size_t index, const std::string& path, int number);
  // Names the file and the reason; the item fails.
  bool WriteFailed(const std::string& path);
  void ShowStatus(int number);
  TransferProgress ProgressOf(size_t index) const;

  RudDevice& device_;
  TransferObserver& observer_;
  PrompterQuestions prompter_questions_;
  TransferQuestions& questions_;
  RecordExporter* exporter_;
  size_t index_ = 0;
  bool cancelled_ = false;
  bool aborted_ = false;
  bool devicegone_ = false;
  std::vector<TransferItem> items_;
  std::string lastfile_;
  std::vector<std::string> written_;
  std::string folder_;
  DeviceStatus laststatus_;
  bool stop_ = false;
};

}  // namespace kova

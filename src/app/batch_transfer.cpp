#include "app/batch_transfer.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <memory>
#include <thread>

#include "app/save_record.h"
#include "base/codepage.h"
#include "base/file_io.h"
#include "base/fixed_text.h"
#include "base/format.h"
#include "base/named_choice.h"
#include "base/native_path.h"
#include "base/path.h"
#include "base/prompter.h"
#include "device/command_set.h"
#include "plans/test_plan.h"
#include "records/test_record.h"

namespace kova {
namespace {

bool UnsafeInFileName(char c) {
  const unsigned char u = static_cast<unsigned char>(c);
  if (u < 0x20 || u == 0x7F) return true;
  switch (c) {
    case '\\':
    case '/':
    case ':':
    case '*':
    case '?':
    case '"':
    case '<':
    case '>':
    case '|':
      return true;
    default:
      return false;
  }
}

std::string CurrentFolderOfProcess() {
  std::error_code ec;
  const std::filesystem::path cwd = std::filesystem::current_path(ec);
  return ec ? std::string() : PathText(cwd);
}

bool IsFolder(const std::string& folder) {
  std::error_code ec;
  return std::filesystem::is_directory(NativePath(folder), ec);
}

}  // namespace

std::string WhyNotWritten(const std::string& path) {
  namespace fs = std::filesystem;
  const fs::path folder = NativePath(path).parent_path();
  std::error_code ec;
  if (!fs::is_directory(folder.empty() ? fs::path(".") : folder, ec)) return "the folder is gone";
  const fs::space_info space = fs::space(folder.empty() ? fs::path(".") : folder, ec);
  if (!ec && space.available < 64 * 1024) return "the disk is full";
  return "the folder is read-only or the file is in use";
}

const std::vector<std::string>& OverwriteButtons() {
  static const std::vector<std::string> names = {"Yes", "Rename\x85", "Skip", "Skip All", "Cancel"};
  return names;
}

bool PrompterQuestions::ChooseFolder(const std::string& start, std::string& folder) {
  return prompter_.ChooseFolder("Select Folder to store files", start, folder);
}

OverwriteReply PrompterQuestions::AskOverwrite(const std::string& file_name) {
  OverwriteReply reply;
  const size_t answer = AskNamed(prompter_, kDeviceCaption,
                                 Format("Overwrite file %s", SystemNameToCp1252(file_name).c_str()),
                                 OverwriteButtons(), kOverwriteCancel);
  if (answer == kOverwriteYes) {
    reply.kind = OverwriteReply::kReplaceAll;
  } else if (answer == kOverwriteSkip) {
    reply.kind = OverwriteReply::kSkip;
  } else if (answer == kOverwriteSkipAll) {
    reply.kind = OverwriteReply::kSkipAll;
  } else if (answer == kOverwriteRename) {
    std::string entered;
    if (prompter_.PromptText("New Filename", "Enter Filename", entered) && !entered.empty()) {
      reply.kind = OverwriteReply::kNewName;
      // Typed as text; it names a file.
      reply.new_name = Cp1252ToSystemName(entered);
    } else {
      reply.kind = OverwriteReply::kSkip;
    }
  }
  return reply;
}

std::string DownloadAbortedText(size_t saved, size_t total) {
  return DeviceStatusText(
      DeviceStatus::BatchAborted(static_cast<long>(saved), static_cast<long>(total)));
}

std::string WriteFailedText(const std::string& path, const std::string& reason) {
  return DeviceStatusText(DeviceStatus::WriteFailed(path, reason));
}

bool DirectoryShowsTestType(const std::string& identification) {
  return identification.find("TX44") != std::string::npos;
}

bool PrefixIsSafe(const std::string& prefix) {
  for (char c : prefix) {
    if (c == '/' || c == '\\' || c == ':' || static_cast<unsigned char>(c) < 0x20) return false;
  }
  return prefix != "." && prefix != "..";
}

std::string DownloadDatePart(const std::string& datetime) {
  std::string part;
  for (char c : datetime) {
    if (c == ' ') break;
    if (c == '/') continue;
    // The date comes from the instrument: it must not reach outside the
    // chosen folder or make a name the system refuses.
    part += UnsafeInFileName(c) ? '_' : c;
  }
  return part;
}

std::string DownloadFileName(const std::string& prefix, const DirectoryEntry& entry) {
  const std::string head = prefix.empty() ? std::string() : prefix + "-";
  const std::string date = DownloadDatePart(FixedString(entry.datetime, kDirectoryTextSize));
  return Format("%s%s-%03d.tst-kova7k", head.c_str(), date.c_str(), entry.number);
}

bool MakeDownloadItems(RudDevice& device, const std::string& prefix,
                       const std::vector<int>& selected_rows, std::vector<TransferItem>& items) {
  items.clear();
  if (selected_rows.empty()) {
    device.prompter().Message(kDeviceCaption, "Please select test first");
    return false;
  }
  if (!PrefixIsSafe(prefix)) {
    device.prompter().Message(kDeviceCaption,
                              Format("The file prefix \"%s\" may not contain a folder separator",
                                     SystemNameToCp1252(prefix).c_str()));
    return false;
  }
  for (int row : selected_rows) {
    if (row < 0 || row >= device.entrycount() || row >= kMaxDirectoryEntries) continue;
    const DirectoryEntry& entry = device.entry(row);
    items.push_back({entry.number, DownloadFileName(prefix, entry)});
  }
  return true;
}

BatchTransfer::BatchTransfer(RudDevice& device, TransferObserver& observer,
                             TransferQuestions* questions, RecordExporter* exporter)
    : pause([&device](uint32_t ms) { device.cancel_token().WaitFor(ms); }),
      current_folder(&CurrentFolderOfProcess),
      device_(device),
      observer_(observer),
      prompter_questions_(device.prompter()),
      questions_(questions != nullptr ? *questions : prompter_questions_),
      exporter_(exporter) {}

TransferProgress BatchTransfer::ProgressOf(size_t index) const {
  TransferProgress progress;
  progress.item = index;
  progress.items = std::max<size_t>(items_.size(), 1);
  return progress;
}

bool BatchTransfer::AddItem(int number, const std::string& name) {
  if (items_.size() >= kMaxItems) return false;
  items_.push_back({number, name});
  return true;
}

void BatchTransfer::Abort() { device_.Cancel(); }

void BatchTransfer::ShowStatus(int number) {
  observer_.SetStatusText(resendmode ? std::string("The instrument's current test")
                                     : Format("Test %d", number));
  observer_.Refresh();
}

bool BatchTransfer::DownloadRecord(int number, const std::string& path) {
  ShowStatus(number);
  auto rec = std::make_unique<TestRecord>();
  laststatus_ =
      FetchRecord(device_, observer_, ProgressOf(index_), number, !resendmode, defaults, *rec);
  if (!laststatus_) return false;
  if (!SaveRecordAndExport(*rec, path, exporter_)) return WriteFailed(path);
  return true;
}

bool BatchTransfer::WriteFailed(const std::string& path) {
  laststatus_ = device_.Report(DeviceStatus::WriteFailed(path, WhyNotWritten(path)));
  return false;
}

bool BatchTransfer::DownloadPlan(int number, const std::string& path) {
  observer_.SetStatusText(Format("Plan %d", number));
  observer_.Refresh();
  auto plan = std::make_unique<kvTestPlan>();
  uint8_t image[kPlanImageCapacity];
  size_t count = 0;
  laststatus_ = FetchPlanImage(device_, observer_, ProgressOf(index_), number, *plan, image, count);
  if (!laststatus_) return false;
  if (!plan->WriteFile(path, image, count)) return WriteFailed(path);
  return true;
}

bool BatchTransfer::FetchItem(size_t index, const std::string& path, int number) {
  index_ = index;
  observer_.ItemStarted(index, items_.size(), number, path);
  const bool ok = planmode ? DownloadPlan(number, path) : DownloadRecord(number, path);
  if (ok) {
    lastfile_ = path;
    written_.push_back(path);
  }
  // Without the instrument every later item would only fail the same way;
  // after Abort the user wants no more.
  if (laststatus_.code == DeviceCode::kGone) {
    devicegone_ = true;
    stop_ = true;
  }
  if (device_.Cancelled()) {
    aborted_ = true;
    stop_ = true;
  }
  observer_.ItemEnded(index, ok, path);
  return ok;
}

bool BatchTransfer::RunTransfers() {
  Prompter& prompter = device_.prompter();
  device_.ResetCancel();  // a new operation: an old Abort is spent
  stop_ = false;
  cancelled_ = false;
  aborted_ = false;
  devicegone_ = false;
  laststatus_ = DeviceStatus();
  folder_.clear();
  if (resendmode) {
    const std::string name =
        items_.empty() || items_[0].name.empty() ? std::string("RunTest.test") : items_[0].name;
    return FetchItem(0, name, 1);
  }

  if (planmode && !PrefixIsSafe(prefix)) {
    prompter.Message(kDeviceCaption,
                     Format("The file prefix \"%s\" may not contain a folder separator",
                            SystemNameToCp1252(prefix).c_str()));
    return false;
  }
  std::string folder;
  if (!questions_.ChooseFolder(current_folder(), folder)) {
    return true;  // nothing asked for, nothing failed
  }
  // The files go into the chosen folder by full path; the process's current
  // folder is nobody's business here (another thread may rely on it).
  std::error_code ec;
  const std::filesystem::path absolute = std::filesystem::absolute(NativePath(folder), ec);
  if (!ec) folder = PathText(absolute);
  if (!IsFolder(folder)) {
    DeviceStatus unopened(DeviceCode::kFolderUnopened);
    unopened.file = folder;
    laststatus_ = device_.Report(unopened);
    return false;
  }
  folder_ = folder;

  bool result = true;  // the result of the last item attempted
  bool overwrite_all = false;
  bool skip_existing = false;  // "Skip All" was answered
  for (size_t i = 0; i < items_.size() && !stop_; ++i) {
    const TransferItem& item = items_[i];
    std::string name =
        planmode ? Format("%s%d.%s", prefix.c_str(), item.number, "plan") : item.name;
    pause(kItemPauseMs);
    if (device_.Cancelled()) {
      aborted_ = true;
      break;
    }
    bool skip = false;
    // A new name the user typed is checked like the first one: nothing is
    // replaced without a Yes.
    while (!overwrite_all && FileExists(PathJoin(folder, name))) {
      if (skip_existing) {
        skip = true;
        break;
      }
      const OverwriteReply reply = questions_.AskOverwrite(name);
      if (reply.kind == OverwriteReply::kReplaceAll) {
        overwrite_all = true;
      } else if (reply.kind == OverwriteReply::kNewName && PrefixIsSafe(reply.new_name)) {
        name = Format("%s.%s", reply.new_name.c_str(), planmode ? "plan" : "test");
      } else if (reply.kind == OverwriteReply::kCancel) {
        cancelled_ = true;
        return result;
      } else {
        skip_existing = reply.kind == OverwriteReply::kSkipAll;
        skip = true;
        break;
      }
    }
    if (skip) continue;
    result = FetchItem(i, PathJoin(folder, name), item.number);
  }
  return result;
}

}  // namespace kova

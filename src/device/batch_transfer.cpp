#include "device/batch_transfer.h"

#include <chrono>
#include <filesystem>
#include <memory>
#include <thread>

#include "analysis/read_record.h"
#include "app/app_settings.h"
#include "app/prompter.h"
#include "app/save_record.h"
#include "base/file_io.h"
#include "base/fixed_text.h"
#include "base/format.h"
#include "base/path.h"
#include "device/command_set.h"
#include "device/line_text.h"
#include "device/record_reply.h"
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
  return ec ? std::string() : cwd.string();
}

bool ChangeFolderOfProcess(const std::string& folder) {
  std::error_code ec;
  std::filesystem::current_path(folder, ec);
  return !ec;
}

}  // namespace

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
  for (int row : selected_rows) {
    if (row < 0 || row >= device.entrycount || row >= kMaxDirectoryEntries) continue;
    const DirectoryEntry& entry = device.directory[row];
    items.push_back({entry.number, DownloadFileName(prefix, entry)});
  }
  return true;
}

BatchTransfer::BatchTransfer(RudDevice& device, TransferObserver& observer)
    : pause([](uint32_t ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }),
      current_folder(&CurrentFolderOfProcess),
      change_folder(&ChangeFolderOfProcess),
      device_(device),
      observer_(observer) {}

bool BatchTransfer::AddItem(int number, const std::string& name) {
  if (items_.size() >= kMaxItems) return false;
  items_.push_back({number, name});
  return true;
}

void BatchTransfer::Abort() { device_.SetAbort(1); }

void BatchTransfer::ShowStatus(int number) {
  observer_.SetStatusText(Format("%d", number));
  observer_.Refresh();
  // An Abort stops the read it interrupted, not the items after it: the
  // probe that starts the next item must not see the old flag.
  device_.SetAbort(0);
}

bool BatchTransfer::DownloadRecord(int number, const std::string& path) {
  lastfailure_ = FetchFailure::kDevice;
  ShowStatus(number);
  if (!device_.EnsureConnected(true)) return false;
  auto rec = std::make_unique<TestRecord>();
  if (device_.Is7100BC()) {
    rec->deviceversion = 2;
  } else if (device_.IsR5()) {
    rec->deviceversion = 3;
  } else if (device_.Is7KA()) {
    rec->deviceversion = 4;
  }
  if (!resendmode && !device_.LoadTest(number)) return false;
  if (!device_.SendText("R")) {
    device_.prompter().Message(kDeviceCaption, "Can't communicate with RUDM");
    return false;
  }
  std::string text;
  observer_.BytesReceived(0);
  if (ReadRecordReply(device_, text, &observer_) != ReplyEnd::kDone) {
    device_.prompter().Message(kDeviceCaption, "Error reading data from device");
    return false;
  }
  // A hex block that does not decode is a garbled reply, not a record.
  if (!ReadRecordText(*rec, text, RecordDefaultsFrom(device_.info()))) {
    device_.prompter().Message(kDeviceCaption, "Error reading data from device");
    return false;
  }
  if (!SaveRecordAndExport(*rec, path, nullptr)) {
    lastfailure_ = FetchFailure::kWriteFile;
    return false;
  }
  lastfailure_ = FetchFailure::kNone;
  return true;
}

bool BatchTransfer::DownloadPlan(int number, const std::string& path) {
  lastfailure_ = FetchFailure::kDevice;
  ShowStatus(number);
  std::string command;
  if (!NumberCommand('x', number, command)) {
    device_.prompter().Message(kDeviceCaption, Format("Plan number %d is out of range (0 to %d)",
                                                      number, kMaxCommandNumber));
    return false;
  }
  const bool open = device_.UsbActive() ? device_.usb().Open() : device_.serial().Open(true);
  if (!open) return false;
  auto plan = std::make_unique<kvTestPlan>();
  plan->devicetype = device_.ModelCode();
  if (!device_.SendText(command)) {
    device_.prompter().Message(kDeviceCaption, "Can't communicate with RUDM");
    return false;
  }
  std::string hex;
  std::string line;
  observer_.BytesReceived(0);
  size_t received = 0;
  for (;;) {
    if (!device_.ReadDeviceLine(line, kReplyLineCapacity)) {
      device_.prompter().Message(kDeviceCaption, "Error reading data from RUDM");
      return false;
    }
    received += line.size() + 2;
    observer_.BytesReceived(received);
    if (EqualsNoCase(line, "DONE")) break;
    for (char c : line) {
      if (c != '\r' && c != '\n' && c != ' ') hex += c;
    }
    if (hex.size() > kMaxPlanHexChars) {
      device_.prompter().Message(kDeviceCaption, "Error reading data from RUDM");
      return false;
    }
  }
  // The image must be whole pairs of hex digits that fit the image buffer;
  // an empty reply is no plan either.
  uint8_t image[kPlanImageCapacity];
  size_t count = 0;
  if (!PlanImageFromHexLines(hex, image, count) || count == 0) {
    device_.prompter().Message(kDeviceCaption, "Error reading data from RUDM");
    return false;
  }
  if (!plan->WriteFile(path, image, count)) {
    lastfailure_ = FetchFailure::kWriteFile;
    return false;
  }
  lastfailure_ = FetchFailure::kNone;
  return true;
}

bool BatchTransfer::FetchItem(size_t index, const std::string& path, int number) {
  observer_.ItemStarted(index, items_.size(), number, path);
  const bool ok = planmode ? DownloadPlan(number, path) : DownloadRecord(number, path);
  if (ok) {
    lastfile_ = path;
    written_.push_back(path);
  }
  observer_.ItemEnded(index, ok, path);
  return ok;
}

bool BatchTransfer::RunTransfers() {
  Prompter& prompter = device_.prompter();
  stop_ = false;
  folder_.clear();
  if (resendmode) {
    const std::string name =
        items_.empty() || items_[0].name.empty() ? std::string("RunTest.test") : items_[0].name;
    return FetchItem(0, name, 1);
  }

  std::string folder;
  if (!prompter.ChooseFolder("Select Folder to store files", current_folder(), folder)) {
    return true;  // nothing asked for, nothing failed
  }
  // The files go into the chosen folder whatever the current folder becomes.
  std::error_code ec;
  const std::filesystem::path absolute = std::filesystem::absolute(folder, ec);
  if (!ec) folder = absolute.string();
  if (!change_folder(folder)) {
    prompter.Message(kDeviceCaption, Format("Can't open folder %s", folder.c_str()));
    return false;
  }
  folder_ = folder;

  bool result = true;  // the result of the last item attempted
  bool overwrite_all = false;
  for (size_t i = 0; i < items_.size() && !stop_; ++i) {
    const TransferItem& item = items_[i];
    std::string name =
        planmode ? Format("%s%d.%s", prefix.c_str(), item.number, "plan") : item.name;
    pause(kItemPauseMs);
    bool skip = false;
    // A new name the user typed is checked like the first one: nothing is
    // replaced without a Yes.
    while (!overwrite_all && FileExists(PathJoin(folder, name))) {
      const Answer answer = prompter.Message(
          kDeviceCaption, Format("Overwrite file %s", name.c_str()), Buttons::YesNoCancel);
      if (answer == Answer::Yes) {
        overwrite_all = true;
      } else if (answer == Answer::No) {
        std::string entered;
        if (!prompter.PromptText("New Filename", "Enter Filename", entered) || entered.empty()) {
          skip = true;
          break;
        }
        name = Format("%s.%s", entered.c_str(), planmode ? "plan" : "test");
      } else {
        return result;
      }
    }
    if (skip) continue;
    result = FetchItem(i, PathJoin(folder, name), item.number);
  }
  return result;
}

}  // namespace kova

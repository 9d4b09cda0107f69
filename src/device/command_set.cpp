// RudDevice's command set: directory, test selection, plan upload, panel
// control. Every step that fails reports its status (worded in the words
// the field engineers know from the instrument's manual) and returns it.

#include "device/command_set.h"

#include <string>

#include <algorithm>

#include "base/format.h"
#include "base/prompter.h"
#include "base/timer.h"
#include "device/directory_grammar.h"
#include "device/line_text.h"
#include "device/rud_device.h"
#include "plans/test_plan.h"

namespace kova {

bool NumberCommand(char letter, int number, std::string& command) {
  if (number < 0 || number > kMaxCommandNumber) return false;
  command = Format("%c%03d", letter, number);
  return true;
}

DeviceStatus TransferPlanToSlot(RudDevice& device, const kvTestPlan& plan, int slot) {
  std::string command;
  if (slot < kFirstPlanSlot || slot > kLastPlanSlot || !NumberCommand('r', slot, command)) {
    return device.Report(DeviceStatus::Numbered(DeviceCode::kSlotOutOfRange, slot));
  }
  DeviceStatus status;
  device.prompter().RunWaiting("Transferring test plan ...\r\rPlease wait.", [&] {
    status = device.UploadPlan(plan, command.c_str());
    return status.ok();
  });
  return status;
}

DeviceStatus RudDevice::GetDirectory(bool plans) {
  lastdirectory_ = DirectoryEnd::kFailed;
  if (DeviceStatus status = EnsureConnected(true); !status) return status;
  if (!SendText(plans ? "p" : "d")) {
    return Report(DeviceStatus::With(DeviceCode::kSendFailed, "getdirectory"));
  }
  lastdirectory_ = DirectoryEnd::kCutShort;
  DirectoryGrammar grammar(directory_, kMaxDirectoryEntries, entrycount_);
  std::string line;
  for (;;) {
    // A reply that stops early leaves what was read in the table; nothing
    // is said about it here (the faces tell the user the list is partial).
    if (!ReadDeviceLine(line, kReplyLineCapacity)) {
      if (Cancelled()) return DeviceStatus::Cancelled();
      return DeviceStatus::With(DeviceCode::kGarbled, "device", "cut short");
    }
    switch (grammar.Apply(line)) {
      case DirectoryGrammar::Step::kMore:
        break;
      case DirectoryGrammar::Step::kDone:
        lastdirectory_ = DirectoryEnd::kDone;
        return DeviceStatus::Ok();
      case DirectoryGrammar::Step::kLimit:
        lastdirectory_ = DirectoryEnd::kLimit;
        // The entries that fit are kept: a warning, not a failure.
        Report(DeviceStatus::Numbered(DeviceCode::kDirectoryLimit, kMaxDirectoryEntries));
        return DeviceStatus::Ok();
    }
  }
}

DeviceStatus RudDevice::LoadTest(int number) {
  std::string command;
  if (!NumberCommand('L', number, command)) {
    // "L1000" would go out as "L100" and select another test.
    return Report(DeviceStatus::Numbered(DeviceCode::kTestRefused, number, "number out of range"));
  }
  if (DeviceStatus status = EnsureConnected(true); !status) return status;
  if (!SendText(command)) return Report(DeviceStatus::With(DeviceCode::kSendFailed, "loadtest"));
  std::string line;
  if (!ReadDeviceLine(line, kReplyLineCapacity)) {
    if (Cancelled()) return DeviceStatus::Cancelled();
    return Report(DeviceStatus::With(DeviceCode::kReadFailed, "loadtest"));
  }
  const std::string lower = AsciiLower(line);
  if (lower.find("not") != std::string::npos) {
    return Report(DeviceStatus::Numbered(DeviceCode::kTestRefused, number, lower));
  }
  return DeviceStatus::Ok();
}

DeviceStatus RudDevice::UploadPlan(const kvTestPlan& plan, const char* command) {
  // EnsureConnected says why when no instrument answers; the model is kept
  // for the connection, so it is asked for only when not known yet.
  if (DeviceStatus status = EnsureConnected(true); !status) return status;
  std::string reply;
  if (!model_known_ && !Identify(reply, false)) {
    // Without a model the plan cannot be checked against the instrument.
    return Report(DeviceStatus(DeviceCode::kNoIdentification));
  }
  if (plan.devicetype != modelcode_) {
    return Report(DeviceStatus::With(DeviceCode::kModelMismatch, ModelName(plan.devicetype),
                                     ModelName(modelcode_)));
  }
  const DeviceStatus not_sent = DeviceStatus::With(DeviceCode::kSendFailed, "uploadtestplan");
  // The command is the letter and three digits; nothing beyond goes out.
  const std::string cmd = std::string(command != nullptr ? command : "").substr(0, 4);
  if (cmd.empty() || !SendText(cmd)) return Report(not_sent);
  std::string line;
  // Lines before "GO" are skipped, for as long as the instrument's time-out:
  // an instrument that talks about something else is not waited for
  // forever, and one that never asks is told about.
  CTimer deadline;
  deadline.Start(kUploadLineTimeoutMs);
  for (;;) {
    const int left = static_cast<int>(std::max<uint32_t>(deadline.RemainingMs(), 1));
    if (deadline.Expired() || !ReadDeviceLine(line, kReplyLineCapacity, left)) {
      if (Cancelled()) return DeviceStatus::Cancelled();
      return Report(DeviceStatus(DeviceCode::kTimedOut));
    }
    if (line.find("GO") != std::string::npos) break;
  }
  if (!SendText(plan.ImageLinkText())) return Report(not_sent);
  if (!ReadDeviceLine(line, kReplyLineCapacity)) {
    if (Cancelled()) return DeviceStatus::Cancelled();
    return Report(DeviceStatus(DeviceCode::kUploadUnanswered));
  }
  if (!ReadDeviceLine(line, kReplyLineCapacity)) {
    if (Cancelled()) return DeviceStatus::Cancelled();
    return Report(DeviceStatus::With(DeviceCode::kUploadUnanswered, "", "no response"));
  }
  return DeviceStatus::Ok();
}

bool RudDevice::TransferPlan(const kvTestPlan& plan, int slot) {
  TransferPlanToSlot(*this, plan, slot);  // the listener heard how it went
  return true;
}

DeviceStatus RudDevice::ReturnToPanel() {
  if (SendText("X")) return DeviceStatus::Ok();
  // SendBytes has said why.
  return Cancelled() ? DeviceStatus::Cancelled() : DeviceStatus(DeviceCode::kSendFailed);
}

}  // namespace kova

// RudDevice's command set: directory, test selection, plan upload, panel
// control. Every step that fails says so in the "KOVA-7100" box, with the
// words the field engineers know from the instrument's manual.

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

bool TransferPlanToSlot(RudDevice& device, const kvTestPlan& plan, int slot) {
  std::string command;
  if (slot < kFirstPlanSlot || slot > kLastPlanSlot || !NumberCommand('r', slot, command)) {
    device.prompter().Message(kDeviceCaption, Format("Plan slot %d is out of range (%d to %d)",
                                                     slot, kFirstPlanSlot, kLastPlanSlot));
    return false;
  }
  return device.prompter().RunWaiting("Transferring test plan ...\r\rPlease wait.",
                                      [&] { return device.UploadPlan(plan, command.c_str()); });
}

bool RudDevice::GetDirectory(bool plans) {
  lastdirectory = DirectoryEnd::kFailed;
  if (!EnsureConnected(true)) return false;
  if (!SendText(plans ? "p" : "d")) {
    ShowDeviceMessage("Can't send data to device (getdirectory)");
    return false;
  }
  lastdirectory = DirectoryEnd::kCutShort;
  DirectoryGrammar grammar(directory, kMaxDirectoryEntries, entrycount);
  std::string line;
  for (;;) {
    // A reply that stops early leaves what was read in the table.
    if (!ReadDeviceLine(line, kReplyLineCapacity)) return false;
    switch (grammar.Apply(line)) {
      case DirectoryGrammar::Step::kMore:
        break;
      case DirectoryGrammar::Step::kDone:
        lastdirectory = DirectoryEnd::kDone;
        return true;
      case DirectoryGrammar::Step::kLimit:
        lastdirectory = DirectoryEnd::kLimit;
        ShowDeviceMessage(Format("Directory limit of %d exceeded", kMaxDirectoryEntries));
        return true;
    }
  }
}

bool RudDevice::LoadTest(int number) {
  std::string command;
  if (!NumberCommand('L', number, command)) {
    // "L1000" would go out as "L100" and select another test.
    ShowDeviceMessage(Format("Can't load test %d, %s", number, "number out of range"));
    return false;
  }
  if (!EnsureConnected(true)) return false;
  if (!SendText(command)) {
    ShowDeviceMessage("Can't send data to device (loadtest)");
    return false;
  }
  std::string line;
  if (!ReadDeviceLine(line, kReplyLineCapacity)) {
    if (!Cancelled()) ShowDeviceMessage("Can't read data from device (loadtest)");
    return false;
  }
  const std::string lower = AsciiLower(line);
  if (lower.find("not") != std::string::npos) {
    ShowDeviceMessage(Format("Can't load test %d, %s", number, lower.c_str()));
    return false;
  }
  return true;
}

bool RudDevice::UploadPlan(const kvTestPlan& plan, const char* command) {
  // EnsureConnected says why when no instrument answers; the model is kept
  // for the connection, so it is asked for only when not known yet.
  if (!EnsureConnected(true)) return false;
  std::string reply;
  if (!model_known_ && !Identify(reply, false)) {
    // Without a model the plan cannot be checked against the instrument.
    ShowDeviceMessage(kNoIdentification);
    return false;
  }
  if (plan.devicetype != modelcode) {
    ShowDeviceMessage(Format("Test plan type %s does not match device %s connected to this PC",
                             ModelName(plan.devicetype).c_str(), ModelName(modelcode).c_str()));
    return false;
  }
  // The command is the letter and three digits; nothing beyond goes out.
  const std::string cmd = std::string(command != nullptr ? command : "").substr(0, 4);
  if (cmd.empty() || !SendText(cmd)) {
    ShowDeviceMessage("Can't send data to device (uploadtestplan)");
    return false;
  }
  std::string line;
  // Lines before "GO" are skipped, for as long as the instrument's time-out:
  // an instrument that talks about something else is not waited for
  // forever, and one that never asks is told about.
  CTimer deadline;
  deadline.Start(kUploadLineTimeoutMs);
  for (;;) {
    const int left = static_cast<int>(std::max<uint32_t>(deadline.RemainingMs(), 1));
    if (deadline.Expired() || !ReadDeviceLine(line, kReplyLineCapacity, left)) {
      if (!Cancelled()) ShowDeviceMessage(kNoGo);
      return false;
    }
    if (line.find("GO") != std::string::npos) break;
  }
  if (!SendText(plan.ImageLinkText())) {
    ShowDeviceMessage("Can't send data to device (uploadtestplan)");
    return false;
  }
  if (!ReadDeviceLine(line, kReplyLineCapacity)) {
    if (!Cancelled()) ShowDeviceMessage("Unable to transfer testplan to device");
    return false;
  }
  if (!ReadDeviceLine(line, kReplyLineCapacity)) {
    if (!Cancelled()) ShowDeviceMessage("Unable to transfer testplan to device (no response)");
    return false;
  }
  return true;
}

bool RudDevice::TransferPlan(const kvTestPlan& plan, int slot) {
  TransferPlanToSlot(*this, plan, slot);  // its messages tell the user how it went
  return true;
}

bool RudDevice::ReturnToPanel() {
  const uint8_t x = 'X';
  return Link().Write(&x, 1);
}

}  // namespace kova

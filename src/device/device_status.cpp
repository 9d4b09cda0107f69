#include "device/device_status.h"

#include <utility>

#include "base/codepage.h"
#include "base/format.h"
#include "base/prompter.h"
#include "device/command_set.h"

namespace kova {
namespace {

// " (step)" after a message when the step is named.
std::string Step(const std::string& item) { return item.empty() ? "" : " (" + item + ")"; }

}  // namespace

DeviceStatus DeviceStatus::With(DeviceCode c, std::string item, std::string reason) {
  DeviceStatus status(c);
  status.item = std::move(item);
  status.reason = std::move(reason);
  return status;
}

DeviceStatus DeviceStatus::Numbered(DeviceCode c, long number, std::string reason) {
  DeviceStatus status(c);
  status.number = number;
  status.reason = std::move(reason);
  return status;
}

DeviceStatus DeviceStatus::NoDevice(std::string port, std::string reason) {
  DeviceStatus status(DeviceCode::kNoDevice);
  status.port = std::move(port);
  status.reason = std::move(reason);
  return status;
}

DeviceStatus DeviceStatus::WriteFailed(std::string file, std::string reason) {
  DeviceStatus status(DeviceCode::kWriteFailed);
  status.file = std::move(file);
  status.reason = std::move(reason);
  return status;
}

DeviceStatus DeviceStatus::BatchAborted(long saved, long total) {
  DeviceStatus status(DeviceCode::kBatchAborted);
  status.number = saved;
  status.total = total;
  return status;
}

std::string DeviceStatusText(const DeviceStatus& s) {
  switch (s.code) {
    case DeviceCode::kOk:
    case DeviceCode::kCancelled:
      return "";
    case DeviceCode::kTimedOut:
      return kNoGo;
    case DeviceCode::kNoDevice:
      return Format("Device not available (%s: %s)", SystemNameToCp1252(s.port).c_str(),
                    s.reason.c_str());
    case DeviceCode::kPortUnopened:
      return Format("Can't open com port for device %s error=%ld",
                    SystemNameToCp1252(s.port).c_str(), s.number) +
             Step(s.reason);
    case DeviceCode::kPortSpeedRefused:
      return "Can't initialize com port";
    case DeviceCode::kPortSettingsRefused:
      return "Can't initialize com settings";
    case DeviceCode::kGone:
      return "The instrument is gone (disconnected or switched off)";
    case DeviceCode::kSendFailed:
      return "Can't send data to device" + Step(s.item);
    case DeviceCode::kRequestFailed:
      return "Can't communicate with RUDM";
    case DeviceCode::kReadFailed:
      return "Can't read data from device" + Step(s.item);
    case DeviceCode::kGarbled:
      return Format("Error reading data from %s", s.item.empty() ? "device" : s.item.c_str());
    case DeviceCode::kForeignDevice:
      return Format("The device that answers is no KOVA instrument: \"%s\"", s.reason.c_str());
    case DeviceCode::kNoIdentification:
      return kNoIdentification;
    case DeviceCode::kModelMismatch:
      return Format("Test plan type %s does not match device %s connected to this PC",
                    s.item.c_str(), s.reason.c_str());
    case DeviceCode::kTestRefused:
      return Format("Can't load test %ld, %s", s.number, s.reason.c_str());
    case DeviceCode::kNumberOutOfRange:
      return Format("Plan number %ld is out of range (0 to %d)", s.number, kMaxCommandNumber);
    case DeviceCode::kSlotOutOfRange:
      return Format("Plan slot %ld is out of range (%d to %d)", s.number, kFirstPlanSlot,
                    kLastPlanSlot);
    case DeviceCode::kUploadUnanswered:
      return "Unable to transfer testplan to device" + Step(s.reason);
    case DeviceCode::kDirectoryLimit:
      return Format("Directory limit of %ld exceeded", s.number);
    case DeviceCode::kPromptUnread:
      return Format("Unable to read test prompt #%ld from device", s.number);
    case DeviceCode::kWriteFailed:
      if (s.reason.empty())
        return Format("Can't write file %s", SystemNameToCp1252(s.file).c_str());
      return Format("Can't write file %s: %s", SystemNameToCp1252(s.file).c_str(),
                    s.reason.c_str());
    case DeviceCode::kFolderUnopened:
      return Format("Can't open folder %s", SystemNameToCp1252(s.file).c_str());
    case DeviceCode::kBatchAborted:
      return Format("Download aborted: %ld of %ld saved", s.number, s.total);
  }
  return "";
}

const char* DeviceStatusCaption(const DeviceStatus& status) {
  switch (status.code) {
    case DeviceCode::kPortUnopened:
    case DeviceCode::kPortSpeedRefused:
    case DeviceCode::kPortSettingsRefused:
      return kWarningCaption;
    default:
      return kDeviceCaption;
  }
}

const char* DeviceCodeName(DeviceCode code) {
  switch (code) {
    case DeviceCode::kOk:
      return "ok";
    case DeviceCode::kCancelled:
      return "cancelled";
    case DeviceCode::kTimedOut:
      return "timed-out";
    case DeviceCode::kNoDevice:
      return "no-device";
    case DeviceCode::kPortUnopened:
      return "port-unopened";
    case DeviceCode::kPortSpeedRefused:
      return "port-speed-refused";
    case DeviceCode::kPortSettingsRefused:
      return "port-settings-refused";
    case DeviceCode::kGone:
      return "gone";
    case DeviceCode::kSendFailed:
      return "send-failed";
    case DeviceCode::kRequestFailed:
      return "request-failed";
    case DeviceCode::kReadFailed:
      return "read-failed";
    case DeviceCode::kGarbled:
      return "garbled";
    case DeviceCode::kForeignDevice:
      return "foreign-device";
    case DeviceCode::kNoIdentification:
      return "no-identification";
    case DeviceCode::kModelMismatch:
      return "model-mismatch";
    case DeviceCode::kTestRefused:
      return "test-refused";
    case DeviceCode::kNumberOutOfRange:
      return "number-out-of-range";
    case DeviceCode::kSlotOutOfRange:
      return "slot-out-of-range";
    case DeviceCode::kUploadUnanswered:
      return "upload-unanswered";
    case DeviceCode::kDirectoryLimit:
      return "directory-limit";
    case DeviceCode::kPromptUnread:
      return "prompt-unread";
    case DeviceCode::kWriteFailed:
      return "write-failed";
    case DeviceCode::kFolderUnopened:
      return "folder-unopened";
    case DeviceCode::kBatchAborted:
      return "batch-aborted";
  }
  return "unknown";
}

void ShowDeviceStatus(Prompter& prompter, const DeviceStatus& status) {
  if (status.Silent()) return;
  prompter.Message(DeviceStatusCaption(status), DeviceStatusText(status), Buttons::Ok);
}

}  // namespace kova

#pragma once
// How an operation with the instrument ended: one status type for every
// transport and command, carrying what a message about it needs (the port,
// the item, the file, the reason). Operations return it; the faces word it
// with DeviceStatusText, the one table from status to text that the
// command-line tool and the desktop share.

#include <functional>
#include <string>

namespace kova {

class Prompter;

enum class DeviceCode {
  kOk,
  kCancelled,         // Abort, Escape or Ctrl-C: nothing to tell
  kTimedOut,          // the instrument did not ask for the plan in time
  kNoDevice,          // nothing answers at `port`; `reason` says why
  kPortUnopened,      // the port would not open; `number` = system error
  kPortSpeedRefused,  // the port refuses the speed
  kPortSettingsRefused,
  kGone,           // the far end went away mid-operation
  kSendFailed,     // the link did not take the bytes; `item` = step
  kRequestFailed,  // the record request did not go out
  kReadFailed,     // no reply where one was due; `item` = step
  kGarbled,        // the reply broke off or does not decode; `item` = source
  kForeignDevice,  // a device answers that is no KOVA instrument
  kNoIdentification,
  kModelMismatch,     // plan `item` for a model other than the one connected
  kTestRefused,       // test `number` not loaded; `reason` as the instrument says
  kNumberOutOfRange,  // plan `number` cannot be named in a command
  kSlotOutOfRange,    // plan slot `number` is not a slot of the instrument
  kUploadUnanswered,  // `reason` empty, or "no response" for the last line
  kDirectoryLimit,    // more entries than the table holds; the rest dropped
  kPromptUnread,      // run prompt `number` did not arrive
  kWriteFailed,       // `file` could not be written; `reason` says why
  kFolderUnopened,    // `file` names the folder
  kBatchAborted,      // `number` of `total` saved
};

// Every code, in declaration order (for tables and tests).
constexpr DeviceCode kAllDeviceCodes[] = {
    DeviceCode::kOk,
    DeviceCode::kCancelled,
    DeviceCode::kTimedOut,
    DeviceCode::kNoDevice,
    DeviceCode::kPortUnopened,
    DeviceCode::kPortSpeedRefused,
    DeviceCode::kPortSettingsRefused,
    DeviceCode::kGone,
    DeviceCode::kSendFailed,
    DeviceCode::kRequestFailed,
    DeviceCode::kReadFailed,
    DeviceCode::kGarbled,
    DeviceCode::kForeignDevice,
    DeviceCode::kNoIdentification,
    DeviceCode::kModelMismatch,
    DeviceCode::kTestRefused,
    DeviceCode::kNumberOutOfRange,
    DeviceCode::kSlotOutOfRange,
    DeviceCode::kUploadUnanswered,
    DeviceCode::kDirectoryLimit,
    DeviceCode::kPromptUnread,
    DeviceCode::kWriteFailed,
    DeviceCode::kFolderUnopened,
    DeviceCode::kBatchAborted,
};

struct DeviceStatus {
  DeviceCode code = DeviceCode::kOk;
  std::string port;    // where: a port name or "USB" (a system name)
  std::string item;    // what: a command step, a plan's model, a source
  std::string file;    // a file or folder, as the system names it
  std::string reason;  // why, in words
  long number = 0;     // a test, plan, slot, error or count
  long total = 0;      // the whole of which `number` is a part

  DeviceStatus() = default;
  explicit DeviceStatus(DeviceCode c) : code(c) {}

  bool ok() const { return code == DeviceCode::kOk; }
  // `if (!device.LoadTest(n))` reads as before: true only for kOk.
  explicit operator bool() const { return ok(); }
  // Nothing to tell the user: it went well, or the user stopped it.
  bool Silent() const { return code == DeviceCode::kOk || code == DeviceCode::kCancelled; }

  static DeviceStatus Ok() { return DeviceStatus(); }
  static DeviceStatus Cancelled() { return DeviceStatus(DeviceCode::kCancelled); }
  static DeviceStatus With(DeviceCode c, std::string item, std::string reason = std::string());
  static DeviceStatus Numbered(DeviceCode c, long number, std::string reason = std::string());
  static DeviceStatus NoDevice(std::string port, std::string reason);
  static DeviceStatus WriteFailed(std::string file, std::string reason);
  static DeviceStatus BatchAborted(long saved, long total);
};

// The one text of each status (Windows-1252, as the instrument's manual
// words it); empty for kOk and kCancelled, which are never shown.
std::string DeviceStatusText(const DeviceStatus& status);
// The caption of the box that shows it ("KOVA-7100", or "Warning" for the
// port's own troubles).
const char* DeviceStatusCaption(const DeviceStatus& status);
// A short stable name of the code, for logs and tests ("no-device").
const char* DeviceCodeName(DeviceCode code);

// Where failures go as they happen: the faces decide how they are shown.
using DeviceStatusListener = std::function<void(const DeviceStatus&)>;
// Shows a status that is not silent in a message box of `prompter`; the
// listener both faces install.
void ShowDeviceStatus(Prompter& prompter, const DeviceStatus& status);

}  // namespace kova

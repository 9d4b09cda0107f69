#include "device/item_fetch.h"

#include <string>

#include "analysis/read_record.h"
#include "base/format.h"
#include "base/instrument_model.h"
#include "base/prompter.h"
#include "device/command_set.h"
#include "device/line_text.h"
#include "device/record_reply.h"
#include "device/rud_device.h"
#include "plans/test_plan.h"
#include "records/test_record.h"

namespace kova {
namespace {

// The instrument went away: said once, and the caller stops its batch.
FetchFailure Failed(RudDevice& device, const char* text) {
  if (device.Cancelled()) return FetchFailure::kCancelled;
  if (device.DeviceGone()) {
    device.ShowDeviceMessage("The instrument is gone (disconnected or switched off)");
    return FetchFailure::kDeviceGone;
  }
  if (text != nullptr) device.ShowDeviceMessage(text);
  return FetchFailure::kDevice;
}

}  // namespace

FetchFailure FetchRecord(RudDevice& device, TransferObserver& observer, TransferProgress progress,
                         int number, bool select, const RecordDefaults& defaults, TestRecord& rec) {
  if (!device.EnsureConnected(true)) return Failed(device, nullptr);
  // The record's layout follows the instrument's model, asked once per
  // connection.
  rec.deviceversion = DeviceVersionOf(ModelFromCodeOr7100(device.ModelCode()));
  if (select && !device.LoadTest(number)) return Failed(device, nullptr);
  if (!device.SendText("R")) return Failed(device, "Can't communicate with RUDM");
  std::string text;
  progress.bytes = 0;
  observer.Progress(progress);
  if (ReadRecordReply(device, text, &observer, progress) != ReplyEnd::kDone) {
    return Failed(device, "Error reading data from device");
  }
  // A hex block that does not decode is a garbled reply, not a record.
  if (!ReadRecordText(rec, text, defaults)) {
    return Failed(device, "Error reading data from device");
  }
  return FetchFailure::kNone;
}

FetchFailure FetchPlanImage(RudDevice& device, TransferObserver& observer,
                            TransferProgress progress, int number, kvTestPlan& plan, uint8_t* image,
                            size_t& count) {
  count = 0;
  std::string command;
  if (!NumberCommand('x', number, command)) {
    device.ShowDeviceMessage(
        Format("Plan number %d is out of range (0 to %d)", number, kMaxCommandNumber));
    return FetchFailure::kDevice;
  }
  if (!device.Link().OpenLink(true)) return Failed(device, nullptr);
  plan.devicetype = device.ModelCode();
  // A device that is no KOVA instrument was named when it answered.
  if (device.ForeignDevice()) return FetchFailure::kDevice;
  if (!device.SendText(command)) return Failed(device, "Can't communicate with RUDM");
  std::string hex;
  std::string line;
  progress.bytes = 0;
  observer.Progress(progress);
  for (;;) {
    if (!device.ReadDeviceLine(line, kReplyLineCapacity)) {
      return Failed(device, "Error reading data from RUDM");
    }
    progress.bytes += line.size() + 2;
    observer.Progress(progress);
    if (EqualsNoCase(line, "DONE")) break;
    for (char c : line) {
      if (c != '\r' && c != '\n' && c != ' ') hex += c;
    }
    if (hex.size() > kMaxPlanHexChars) return Failed(device, "Error reading data from RUDM");
  }
  // The image must be whole pairs of hex digits that fit the image buffer;
  // an empty reply is no plan, and a plan of more taps than any plan holds
  // (byte 0) would make a file that no one can load again.
  if (!PlanImageFromHexLines(hex, image, count) || count == 0 || image[0] > kMaxPlanTaps) {
    count = 0;
    return Failed(device, "Error reading data from RUDM");
  }
  return FetchFailure::kNone;
}

}  // namespace kova

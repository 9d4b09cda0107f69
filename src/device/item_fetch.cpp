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
// Otherwise `status` is reported unless `reported` says it was already.
DeviceStatus Failed(RudDevice& device, const DeviceStatus& status, bool reported) {
  if (device.Cancelled()) return DeviceStatus::Cancelled();
  if (device.DeviceGone()) return device.Report(DeviceStatus(DeviceCode::kGone));
  return reported ? status : device.Report(status);
}

DeviceStatus Failed(RudDevice& device, const DeviceStatus& status) {
  return Failed(device, status, false);
}

DeviceStatus AlreadyReported(RudDevice& device, const DeviceStatus& status) {
  return Failed(device, status, true);
}

}  // namespace

DeviceStatus FetchRecord(RudDevice& device, TransferObserver& observer, TransferProgress progress,
                         int number, bool select, const RecordDefaults& defaults, TestRecord& rec) {
  if (DeviceStatus status = device.EnsureConnected(true); !status) {
    return AlreadyReported(device, status);
  }
  // The record's layout follows the instrument's model, asked once per
  // connection.
  rec.deviceversion = DeviceVersionOf(ModelFromCodeOr7100(device.ModelCode()));
  if (select) {
    if (DeviceStatus status = device.LoadTest(number); !status) {
      return AlreadyReported(device, status);
    }
  }
  const DeviceStatus garbled = DeviceStatus::With(DeviceCode::kGarbled, "device");
  if (!device.SendText("R")) return Failed(device, DeviceStatus(DeviceCode::kRequestFailed));
  std::string text;
  progress.bytes = 0;
  observer.Progress(progress);
  if (ReadRecordReply(device, text, &observer, progress) != ReplyEnd::kDone) {
    return Failed(device, garbled);
  }
  // A hex block that does not decode is a garbled reply, not a record.
  if (!ReadRecordText(rec, text, defaults)) return Failed(device, garbled);
  return DeviceStatus::Ok();
}

DeviceStatus FetchPlanImage(RudDevice& device, TransferObserver& observer,
                            TransferProgress progress, int number, kvTestPlan& plan, uint8_t* image,
                            size_t& count) {
  count = 0;
  std::string command;
  if (!NumberCommand('x', number, command)) {
    return device.Report(DeviceStatus::Numbered(DeviceCode::kNumberOutOfRange, number));
  }
  if (!device.Link().OpenLink(true)) {
    return AlreadyReported(device, device.UnavailableStatus());
  }
  plan.devicetype = device.ModelCode();
  // A device that is no KOVA instrument was named when it answered.
  if (device.ForeignDevice()) {
    return DeviceStatus::With(DeviceCode::kForeignDevice, "", device.IdentificationText());
  }
  if (!device.SendText(command)) return Failed(device, DeviceStatus(DeviceCode::kRequestFailed));
  const DeviceStatus garbled = DeviceStatus::With(DeviceCode::kGarbled, "RUDM");
  std::string hex;
  std::string line;
  progress.bytes = 0;
  observer.Progress(progress);
  for (;;) {
    if (!device.ReadDeviceLine(line, kReplyLineCapacity)) {
      return Failed(device, garbled);
    }
    progress.bytes += line.size() + 2;
    observer.Progress(progress);
    if (EqualsNoCase(line, "DONE")) break;
    for (char c : line) {
      if (c != '\r' && c != '\n' && c != ' ') hex += c;
    }
    if (hex.size() > kMaxPlanHexChars) return Failed(device, garbled);
  }
  // The image must be whole pairs of hex digits that fit the image buffer;
  // an empty reply is no plan, and a plan of more taps than any plan holds
  // (byte 0) would make a file that no one can load again.
  if (!PlanImageFromHexLines(hex, image, count) || count == 0 || image[0] > kMaxPlanTaps) {
    count = 0;
    return Failed(device, garbled);
  }
  return DeviceStatus::Ok();
}

}  // namespace kova

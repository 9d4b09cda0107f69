#include "device/record_reply.h"

#include "device/command_set.h"
#include "device/line_text.h"
#include "device/rud_device.h"
#include "device/transfer_observer.h"

namespace kova {

ReplyEnd ReadRecordReply(RudDevice& device, std::string& text, TransferObserver* observer,
                         TransferProgress progress, const std::function<bool()>& keep_going) {
  text.clear();
  std::string line;
  bool too_long = false;
  for (;;) {
    if (!device.ReadDeviceLine(line, kReplyLineCapacity)) {
      return too_long ? ReplyEnd::kTooLong : ReplyEnd::kLineMissing;
    }
    progress.bytes += line.size() + 2;
    if (!too_long && text.size() + line.size() + 2 > kMaxRecordTextBytes) {
      too_long = true;
      text.clear();
    }
    if (!too_long) {
      text += line;
      text += "\r\n";
    }
    if (observer != nullptr) observer->Progress(progress);
    if (EqualsNoCase(line, "DONE")) return too_long ? ReplyEnd::kTooLong : ReplyEnd::kDone;
    if (keep_going && !keep_going()) return ReplyEnd::kStopped;
  }
}

}  // namespace kova

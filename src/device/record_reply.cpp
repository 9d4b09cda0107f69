#include "device/record_reply.h"

#include "device/command_set.h"
#include "device/line_text.h"
#include "device/rud_device.h"
#include "device/transfer_observer.h"

namespace kova {

ReplyEnd ReadRecordReply(RudDevice& device, std::string& text, TransferObserver* observer,
                         const std::function<bool()>& keep_going) {
  text.clear();
  std::string line;
  for (;;) {
    if (!device.ReadDeviceLine(line, kReplyLineCapacity)) return ReplyEnd::kLineMissing;
    if (text.size() + line.size() + 2 > kMaxRecordTextBytes) return ReplyEnd::kTooLong;
    text += line;
    text += "\r\n";
    if (observer != nullptr) observer->BytesReceived(text.size());
    if (EqualsNoCase(line, "DONE")) return ReplyEnd::kDone;
    if (keep_going && !keep_going()) return ReplyEnd::kStopped;
  }
}

}  // namespace kova

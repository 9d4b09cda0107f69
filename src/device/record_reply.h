#pragma once
// Collecting the record text the instrument sends after "R" or "DATA": every
// line followed by CR LF, up to and including the line "DONE" (any letter
// case), bounded by kMaxRecordTextBytes.

#include <functional>
#include <string>

namespace kova {

class RudDevice;
class TransferObserver;

enum class ReplyEnd {
  kDone,         // "DONE" arrived
  kLineMissing,  // a line did not come (time-out, abort, link gone)
  kTooLong,      // the text outgrew every real record: not a record
  kStopped,      // `keep_going` said no after a line
};

// `observer` (may be null) hears the byte count after each line;
// `keep_going` (may be empty) is asked after each line that is not "DONE".
ReplyEnd ReadRecordReply(RudDevice& device, std::string& text, TransferObserver* observer,
                         const std::function<bool()>& keep_going = nullptr);

}  // namespace kova

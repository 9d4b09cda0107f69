#pragma once
// Collecting the record text the instrument sends after "R" or "DATA": every
// line followed by CR LF, up to and including the line "DONE" (any letter
// case), bounded by kMaxRecordTextBytes.

#include <functional>
#include <string>

#include "device/transfer_observer.h"

namespace kova {

class RudDevice;

enum class ReplyEnd {
  kDone,         // "DONE" arrived
  kLineMissing,  // a line did not come (time-out, abort, link gone)
  kTooLong,      // the text outgrew every real record: not a record
  kStopped,      // `keep_going` said no after a line
};

// `observer` (may be null) hears the byte count after each line, as the
// bytes of `progress`; `keep_going` (may be empty) is asked after each line
// that is not "DONE". A text that outgrows every real record is read on and
// dropped up to its "DONE" (or the time-out), so nothing of it stays queued
// to spoil the next exchange; the result is then kTooLong.
ReplyEnd ReadRecordReply(RudDevice& device, std::string& text, TransferObserver* observer,
                         TransferProgress progress = {},
                         const std::function<bool()>& keep_going = nullptr);

}  // namespace kova

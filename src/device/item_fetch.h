#pragma once
// Fetching one stored test or plan from the instrument into memory: the
// exchanges of "L%03d"/"R" and "x%03d" with their messages. Whether and
// where the result is written is the caller's decision.

#include <cstddef>
#include <cstdint>

#include "device/transfer_observer.h"

namespace kova {

class RudDevice;
class kvTestPlan;
struct TestRecord;
struct RecordDefaults;

// Why a fetch failed, and so whether the user has been told.
enum class FetchFailure {
  kNone,
  kDevice,      // the link or the instrument; the message was shown
  kDeviceGone,  // the instrument went away; the message was shown
  kWriteFile,   // the file could not be written; the caller says so
  kCancelled,   // Abort: nothing to tell, the user knows
};

// One stored test (`select`: "L%03d" first; without it the instrument's
// current test) into `rec`, decoded with `defaults`. `progress` says which item this is;
// its bytes follow the reply.
FetchFailure FetchRecord(RudDevice& device, TransferObserver& observer, TransferProgress progress,
                         int number, bool select, const RecordDefaults& defaults, TestRecord& rec);
// One stored plan: `plan` gets the instrument's model as its device type,
// `image` (kPlanImageCapacity bytes) the plan image of `count` bytes.
FetchFailure FetchPlanImage(RudDevice& device, TransferObserver& observer,
                            TransferProgress progress, int number, kvTestPlan& plan, uint8_t* image,
                            size_t& count);

}  // namespace kova

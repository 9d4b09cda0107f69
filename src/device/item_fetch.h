#pragma once
// Fetching one stored test or plan from the instrument into memory: the
// exchanges of "L%03d"/"R" and "x%03d" with their messages. Whether and
// where the result is written is the caller's decision.

#include <cstddef>
#include <cstdint>

#include "device/device_status.h"
#include "device/transfer_observer.h"

namespace kova {

class RudDevice;
class kvTestPlan;
struct TestRecord;
struct RecordDefaults;

// Both return how the fetch ended; a failure was reported to the device's
// status listener when it happened (kGone: the instrument went away, the
// caller stops its batch; kCancelled: nothing to tell).

// One stored test (`select`: "L%03d" first; without it the instrument's
// current test) into `rec`, decoded with `defaults`. `progress` says which item this is;
// its bytes follow the reply.
DeviceStatus FetchRecord(RudDevice& device, TransferObserver& observer, TransferProgress progress,
                         int number, bool select, const RecordDefaults& defaults, TestRecord& rec);
// One stored plan: `plan` gets the instrument's model as its device type,
// `image` (kPlanImageCapacity bytes) the plan image of `count` bytes.
DeviceStatus FetchPlanImage(RudDevice& device, TransferObserver& observer,
                            TransferProgress progress, int number, kvTestPlan& plan, uint8_t* image,
                            size_t& count);

}  // namespace kova

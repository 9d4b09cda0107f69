#include "app/run_session.h"

#include "app/batch_transfer.h"
#include "app/save_record.h"
#include "device/rud_device.h"

namespace kova {

bool RunSession::Keep(TestRecord& rec) {
  if (!saveresult || SaveRecordAndExport(rec, result_path, exporter_)) return true;
  // A measurement that cannot be kept is never dropped without a word.
  device().Report(DeviceStatus::WriteFailed(result_path, WhyNotWritten(result_path)));
  return false;
}

}  // namespace kova

#include "app/run_session.h"

#include "app/save_record.h"

namespace kova {

bool RunSession::Keep(TestRecord& rec) {
  return !saveresult || SaveRecordAndExport(rec, result_path, exporter_);
}

}  // namespace kova

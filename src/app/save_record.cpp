#include "app/save_record.h"

namespace kova {

bool SaveRecordAndExport(TestRecord& rec, const std::string& path, RecordExporter* exporter) {
  if (!rec.WriteRecordFile(path)) return false;
  if (exporter) exporter->ExportAfterSave(rec, path);
  return true;
}

}  // namespace kova

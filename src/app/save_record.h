#pragma once
// The one save of a record: write the record file, then run the automatic
// export. Every path that saves a record (a download, a remote run, the
// command line's from-text and convert, the desktop program's Save) calls
// it, so none of them can forget the export.

#include <string>

#include "records/test_record.h"

namespace kova {

// Writes the exports the user asked to follow every save (text, XML,
// workbook, PDF); what it writes and where is its own business.
class RecordExporter {
 public:
  virtual ~RecordExporter() = default;
  virtual void ExportAfterSave(const TestRecord& rec, const std::string& path) = 0;
};

// Writes `rec` to `path` atomically (the record takes the new path and file
// name) and, when that worked and `exporter` is not null, runs the export.
// False when the record file could not be written; nothing is exported then.
bool SaveRecordAndExport(TestRecord& rec, const std::string& path, RecordExporter* exporter);

}  // namespace kova

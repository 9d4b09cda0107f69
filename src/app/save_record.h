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
// `why` (optional) says why the record file could not be written.
bool SaveRecordAndExport(TestRecord& rec, const std::string& path, RecordExporter* exporter,
                         std::string* why = nullptr);

// Why a file of `size` bytes could not be written at `path`, looked for
// after the write failed: "the folder does not exist", "a folder has that
// name", "the disk is read-only", "the folder is read-only", "the disk is
// full", or "the file could not be written" when nothing more is known.
std::string WriteProblemText(const std::string& path, size_t size);

}  // namespace kova

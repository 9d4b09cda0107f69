#pragma once
// What the desktop shows after a download of several tests: each file saved
// with what identifies its record (serial number, station, date), a heading
// that says how many of the chosen tests were saved where, and which files
// "Open All" and "Open Selected" open. A single file is opened at once, as
// before, without a summary.

#include <string>
#include <vector>

#include "records/test_record.h"

namespace kova {

struct SavedRecordRow {
  std::string path;
  std::string file_name;
  std::string serial, station, circuit, date;
  bool readable = false;  // read back as a record
};

// The saved files read back, in the order they were saved.
std::vector<SavedRecordRow> SavedRecordRows(const std::vector<std::string>& written,
                                            const RecordDefaults& defaults);

// True when a batch that wrote `written` files ends with a summary.
inline bool ShowsBatchSummary(size_t written) { return written > 1; }

// "3 tests saved in <folder>", or "2 of 3 tests saved in <folder>" when
// some were skipped or failed.
std::string BatchSummaryHeading(size_t saved, size_t chosen, const std::string& folder);

enum class SummaryChoice { kOpenAll, kOpenSelected, kClose };

// The paths the choice opens; "Open Selected" with nothing selected opens
// nothing and sets `message` to "Please select test first".
std::vector<std::string> PathsToOpen(const std::vector<SavedRecordRow>& rows, SummaryChoice choice,
                                     const std::vector<int>& selected, std::string& message);

}  // namespace kova

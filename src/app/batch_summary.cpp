#include "app/batch_summary.h"

#include <memory>

#include "analysis/read_record.h"
#include "app/test_browser.h"
#include "base/format.h"
#include "base/path.h"

namespace kova {

std::vector<SavedRecordRow> SavedRecordRows(const std::vector<std::string>& written,
                                            const RecordDefaults& defaults) {
  std::vector<SavedRecordRow> rows;
  auto rec = std::make_unique<TestRecord>();
  for (const std::string& path : written) {
    SavedRecordRow row;
    row.path = path;
    row.file_name = FileNameOf(path);
    row.readable = ReadRecordFile(*rec, path, defaults);
    if (row.readable) {
      row.serial = rec->serialnumber;
      row.station = rec->station;
      row.circuit = rec->circuit;
      row.date = rec->testdatetime;
    }
    rows.push_back(std::move(row));
  }
  return rows;
}

std::string BatchSummaryHeading(size_t saved, size_t chosen, const std::string& folder) {
  const char* noun = chosen == 1 ? "test" : "tests";
  if (saved == chosen) return Format("%zu %s saved in %s", saved, noun, folder.c_str());
  return Format("%zu of %zu %s saved in %s", saved, chosen, noun, folder.c_str());
}

std::vector<std::string> PathsToOpen(const std::vector<SavedRecordRow>& rows, SummaryChoice choice,
                                     const std::vector<int>& selected, std::string& message) {
  message.clear();
  std::vector<std::string> paths;
  if (choice == SummaryChoice::kOpenAll) {
    for (const SavedRecordRow& r : rows) paths.push_back(r.path);
  } else if (choice == SummaryChoice::kOpenSelected) {
    for (int i : selected) {
      if (i >= 0 && static_cast<size_t>(i) < rows.size()) paths.push_back(rows[i].path);
    }
    if (paths.empty()) message = kPleaseSelectTest;
  }
  return paths;
}

}  // namespace kova

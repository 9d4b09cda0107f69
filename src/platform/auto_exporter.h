#pragma once
// The record exports put together with their Qt pieces: the automatic export
// that follows every saved record file (and a record opened alone), and the
// workbook kind of the chosen-records export.

#include <memory>
#include <string>

#include "app/app_settings.h"
#include "app/auto_export.h"
#include "app/chosen_exports.h"
#include "app/save_record.h"
#include "base/prompter.h"
#include "platform/qt_process_runner.h"

namespace kova {

class AutoExporter : public RecordExporter {
 public:
  // Both must outlive the exporter; the settings are read at each export.
  AutoExporter(const AppSettings& settings, Prompter& prompter);

  // The automatic export (not forced) of the record just saved at `path`.
  void ExportAfterSave(const TestRecord& rec, const std::string& path) override;

  // The automatic export of `rec`, whose `fullpath` names its record file,
  // with what was gathered for it when it was opened (none: gathered now);
  // false when a warning was shown.
  bool Export(TestRecord& rec, bool force, const RecordContext* context = nullptr);

  // Stops a running export (the report generator is killed); safe from any
  // thread, for the Cancel of the wait dialog or a signal.
  void Cancel() { cancel_.Cancel(); }

  // The bands of the comparisons in the calculation details (the stored
  // settings); the defaults until set.
  void SetComparisonBands(const ComparisonBands& bands) { services_.bands = bands; }
  // Where the CTs' reference curves are kept, for a record exported without
  // its context (after a save); beside the records until set.
  void SetReferenceKeeper(std::shared_ptr<ReferenceKeeper> keeper) { keeper_ = std::move(keeper); }

 private:
  CancelToken cancel_;
  const AppSettings& settings_;
  QtProcessRunner runner_;
  ExportServices services_;
  std::shared_ptr<ReferenceKeeper> keeper_;
};

// Draws the record's plot pictures with Qt at `base_path` (see ExportImages).
bool DrawPlotPictures(TestRecord& rec, const std::string& base_path, std::string* why = nullptr);

// "Export Test to Excel": a ".xlsx" workbook per record, its pictures drawn
// in a private folder for the time of the export. `settings` must outlive it.
ChosenExportKind WorkbookExportKind(const AppSettings& settings);

}  // namespace kova

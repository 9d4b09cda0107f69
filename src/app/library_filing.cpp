#include "app/library_filing.h"

#include "base/codepage.h"
#include "library/library_import.h"
#include "library/store_messages.h"

namespace kova {

LibraryFilingExporter::LibraryFilingExporter(std::unique_ptr<RecordExporter> inner,
                                             StoreOpener open_store,
                                             std::function<void(const std::string&)> report)
    : LibraryFilingExporter(inner.get(), std::move(open_store), std::move(report)) {
  owned_ = std::move(inner);
}

LibraryFilingExporter::LibraryFilingExporter(RecordExporter* inner, StoreOpener open_store,
                                             std::function<void(const std::string&)> report)
    : inner_(inner), open_store_(std::move(open_store)), report_(std::move(report)) {}

void LibraryFilingExporter::ExportAfterSave(const TestRecord& rec, const std::string& path) {
  if (inner_) inner_->ExportAfterSave(rec, path);
  if (!store_ && !open_failed_) {
    std::string why;
    store_ = open_store_ ? open_store_(why) : nullptr;
    // Told once: a library that is not there should not nag at every save.
    open_failed_ = !store_;
    if (open_failed_ && report_ && !why.empty()) report_(why);
  }
  if (!store_) return;
  // The file just written is read back, so the library holds exactly what
  // is on disk.
  AddResult result = AddResult::kUnchanged;
  std::string why;
  RecordDefaults defaults;
  const StoreOutcome outcome = AddRecordFile(*store_, path, defaults, result, why, false);
  if (!outcome.ok() && report_)
    report_(StoreOutcomeText(outcome));
  else if (!why.empty() && report_)
    report_("The record " + SystemNameToCp1252(path) + " was not added to the library: " + why);
}

}  // namespace kova

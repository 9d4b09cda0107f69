#pragma once
// Every record the program writes or downloads goes into the record
// library: an exporter that runs the user's automatic export and then adds
// the saved file, so the one save step files it whichever way it came.

#include <functional>
#include <memory>
#include <string>

#include "app/save_record.h"
#include "library/record_store.h"

namespace kova {

class LibraryFilingExporter : public RecordExporter {
 public:
  // `open_store` opens the library when the first record is saved (null
  // when it cannot be opened: the record stays saved, `report` is told, in
  // Windows-1252 text);
  // `inner` (may be null) is the automatic export.
  using StoreOpener = std::function<std::unique_ptr<RecordStore>(std::string& why)>;
  LibraryFilingExporter(std::unique_ptr<RecordExporter> inner, StoreOpener open_store,
                        std::function<void(const std::string&)> report);
  // `inner` stays its owner's.
  LibraryFilingExporter(RecordExporter* inner, StoreOpener open_store,
                        std::function<void(const std::string&)> report);

  void ExportAfterSave(const TestRecord& rec, const std::string& path) override;

 private:
  std::unique_ptr<RecordExporter> owned_;
  RecordExporter* inner_ = nullptr;
  StoreOpener open_store_;
  std::function<void(const std::string&)> report_;
  std::unique_ptr<RecordStore> store_;
  bool open_failed_ = false;
};

}  // namespace kova

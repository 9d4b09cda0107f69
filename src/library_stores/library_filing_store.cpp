#include "library_stores/library_filing_store.h"

#include <iostream>

#include "base/codepage.h"
#include "library/store_messages.h"
#include "library_stores/open_library.h"

namespace kova {

namespace {

void ToStderr(const std::string& text) { std::cerr << Cp1252ToUtf8(text) << '\n'; }

}  // namespace

LibraryFilingExporter::StoreOpener LibraryOpener(const SettingsStore& settings) {
  const std::string location = ConfiguredLibraryLocation(settings);
  const LibrarySettings library = LoadLibrarySettings(settings);
  return [location, waits = library.waits,
          bands = library.bands](std::string& why) -> std::unique_ptr<RecordStore> {
    StoreOutcome outcome;
    auto store = OpenLibrary(location, outcome, LibraryUse::kFile, waits);
    if (!store) {
      why = StoreOutcomeText(outcome);
      return store;
    }
    // The states stored with the record follow the user's bands, as the
    // Library window and the commands show them.
    store->SetTrendBands(bands);
    return store;
  };
}

std::unique_ptr<RecordExporter> FilingInLibrary(std::unique_ptr<RecordExporter> inner,
                                                const SettingsStore& settings,
                                                std::function<void(const std::string&)> report) {
  return std::make_unique<LibraryFilingExporter>(std::move(inner), LibraryOpener(settings),
                                                 report ? std::move(report) : ToStderr);
}

std::unique_ptr<RecordExporter> FilingInLibrary(RecordExporter* inner,
                                                const SettingsStore& settings,
                                                std::function<void(const std::string&)> report) {
  return std::make_unique<LibraryFilingExporter>(inner, LibraryOpener(settings),
                                                 report ? std::move(report) : ToStderr);
}

}  // namespace kova

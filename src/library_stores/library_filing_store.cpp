#include "library_stores/library_filing_store.h"

#include <iostream>

#include "app/library_settings.h"
#include "library/store_messages.h"
#include "library_stores/open_library.h"

namespace kova {

std::unique_ptr<RecordExporter> FilingInLibrary(std::unique_ptr<RecordExporter> inner,
                                                const SettingsStore& settings,
                                                std::function<void(const std::string&)> report) {
  if (!report) report = [](const std::string& text) { std::cerr << text << '\n'; };
  const std::string location = ChooseLibraryLocation("", LoadLibrarySettings(settings).location);
  auto open = [location](std::string& why) -> std::unique_ptr<RecordStore> {
    StoreOutcome outcome;
    auto store = OpenLibrary(location, outcome);
    if (!store) why = StoreOutcomeText(outcome);
    return store;
  };
  return std::make_unique<LibraryFilingExporter>(std::move(inner), open, std::move(report));
}

}  // namespace kova

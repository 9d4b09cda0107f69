#pragma once
// The save step's exporter that also files every saved record in the
// library the settings name (problems go to `report`, never stop a save).

#include <functional>
#include <memory>
#include <string>

#include "app/library_filing.h"
#include "app/settings_store.h"

namespace kova {

std::unique_ptr<RecordExporter> FilingInLibrary(
    std::unique_ptr<RecordExporter> inner, const SettingsStore& settings,
    std::function<void(const std::string&)> report = nullptr);
// The same with an exporter that stays its owner's.
std::unique_ptr<RecordExporter> FilingInLibrary(
    RecordExporter* inner, const SettingsStore& settings,
    std::function<void(const std::string&)> report = nullptr);
// The store opener of the library the settings name.
LibraryFilingExporter::StoreOpener LibraryOpener(const SettingsStore& settings);

}  // namespace kova

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

}  // namespace kova

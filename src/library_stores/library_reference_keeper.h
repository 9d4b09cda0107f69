#pragma once
// Where the program keeps a CT's reference curve: in the record library
// the settings name when that library is there (opened when first asked),
// else beside the record file.

#include <memory>

#include "app/settings_store.h"
#include "assess/reference_keeper.h"

namespace kova {

// A library that is there but cannot be opened is said in what Find and
// Keep give back; a reference beside the record is still found then.
std::shared_ptr<ReferenceKeeper> ReferenceKeeperFor(const SettingsStore& settings);

}  // namespace kova

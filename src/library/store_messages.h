#pragma once
// The words for a store outcome, shared by the desktop and the command line.

#include <string>

#include "library/record_store.h"

namespace kova {

// "" for success; otherwise one sentence, with the database's own words
// after it where they help.
std::string StoreOutcomeText(const StoreOutcome& outcome);

}  // namespace kova

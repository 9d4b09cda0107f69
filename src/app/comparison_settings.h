#pragma once
// The comparisons' bands as the user keeps them, and how far apart in time
// two records were tested (sister phases are compared only within a span).

#include <string>

#include "app/settings_store.h"
#include "assess/comparisons.h"

namespace kova {

// The stored bands (hundredths of a percent in the store; a band stored
// before in per mille is read as that), the defaults where a value is absent
// or out of range.
ComparisonBands LoadComparisonBands(const SettingsStore& store);

// Whole days between the test dates of two records ("MM/DD/YY hh:mm:ss",
// day first when `day_first`); -1 when either date does not read.
int TestDaysApart(const std::string& a, const std::string& b, bool day_first);

}  // namespace kova

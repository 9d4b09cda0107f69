#pragma once
// The comparisons as one JSON object (kova record compare --json): numbers
// as computed, signed, and the flags in the words the lines use.

#include <string>
#include <vector>

#include "assess/comparisons.h"
#include "base/json.h"

namespace kova {

// `reference` and `sisters` null where not compared; `notes` are the lines
// that say what was left out and why (text).
JsonValue ComparisonJson(const ReferenceComparison* reference,
                         const std::vector<TapComparison>& taps, double tap_band_percent,
                         const SisterComparison* sisters, const std::vector<std::string>& notes);

}  // namespace kova

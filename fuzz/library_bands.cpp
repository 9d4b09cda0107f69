// The bands the record library keeps beside its stored states, read back
// from its database, which other programs sharing the library may write.

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "library/fleet.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  kova::TrendBands bands;
  if (!kova::TrendBandsFromText(text, bands)) return 0;
  for (double v : {bands.ratio_turns, bands.ratio_alarm_turns, bands.excitation_warn_percent,
                   bands.excitation_alarm_percent, bands.resistance_warn_percent,
                   bands.resistance_alarm_percent})
    if (!(v > 0) || !std::isfinite(v)) std::abort();
  // What was accepted writes back to a text that reads the same.
  kova::TrendBands again;
  if (!kova::TrendBandsFromText(kova::TrendBandsText(bands), again) ||
      kova::TrendBandsText(again) != kova::TrendBandsText(bands))
    std::abort();
  return 0;
}

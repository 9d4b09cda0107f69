// The excitation curve text the record library reads back from its
// database, which other programs sharing the library may write too.

#include <cstdint>
#include <cstdlib>
#include <string>

#include "library/curve_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::vector<kova::CurvePoint> curve;
  if (kova::CurveFromText(text, curve)) {
    if (curve.size() > kova::kMaxCurveTextPoints) std::abort();
    // What was accepted writes back to a text that reads the same.
    std::vector<kova::CurvePoint> again;
    if (!kova::CurveFromText(kova::CurveToText(curve), again) || again.size() != curve.size())
      std::abort();
  } else if (!curve.empty()) {
    std::abort();  // a refused text leaves nothing behind
  }
  return 0;
}

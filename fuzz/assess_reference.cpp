// The reference excitation curve a user imports as CSV.

#include <cstdint>
#include <cstdlib>
#include <string>

#include "assess/comparisons.h"
#include "assess/reference_curve.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  kova::ReferenceCurve ref;
  std::string error;
  if (!kova::ParseReferenceCsv(text, ref, error)) {
    if (error.empty()) std::abort();  // a refusal always says why
    return 0;
  }
  // What was accepted writes back and reads again to the same curve, and
  // scales to another tap without leaving the positive numbers.
  kova::ReferenceCurve again;
  if (!kova::ParseReferenceCsv(kova::ReferenceCsv(ref), again, error)) std::abort();
  if (again.points.size() != ref.points.size()) std::abort();
  const kova::ExcitationCurve scaled = kova::ScaledReference(ref, 300.02);
  for (const kova::CurvePoint& p : scaled.points()) {
    if (!(p.volts > 0) || !(p.amps > 0)) std::abort();
  }
  (void)scaled.VoltageAt(0.5);
  (void)scaled.CurrentAt(100);
  return 0;
}

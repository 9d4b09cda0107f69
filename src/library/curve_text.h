#pragma once
// An excitation curve as the library stores it: "amps volts;amps volts;..."
// with shortest round-trip numbers, independent of the user's locale. The
// text keeps the current first, as records filed before store it; in memory
// the points are CurvePoints.

#include <string>
#include <vector>

#include "library/library_model.h"

namespace kova {

std::string CurveToText(const std::vector<CurvePoint>& curve);
// Reads what CurveToText wrote; false (and `out` empty) for anything else:
// the text comes from a database other programs may write too. At most
// kMaxCurveTextPoints points.
bool CurveFromText(const std::string& text, std::vector<CurvePoint>& out);
constexpr size_t kMaxCurveTextPoints = 256;

}  // namespace kova

#pragma once
// The banner across the top of every page and picture of a record whose
// file ended early, so reset values are never read as measurements.

#include <string>

#include "report/surface.h"

namespace kova {

// Height of the banner on a page or picture of this size.
int DamageBannerHeight(const Rect& page);

// `text` (Windows-1252) in white on red, centred in `strip`.
void DrawDamageBanner(Surface& s, const Rect& strip, const std::string& text);

}  // namespace kova

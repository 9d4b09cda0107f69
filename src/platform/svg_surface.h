#pragma once
// The report's Surface drawn into SVG text: the QPainter surface over Qt's
// SVG generator, so a page in a web browser is drawn by the same code as on
// screen and on paper. The SVG carries no date, title or path of its own:
// the same drawing gives the same bytes.

#include <functional>
#include <string>

#include "report/surface.h"

namespace kova {

// Draws into `area` (device units, one unit a pixel).
using SurfaceDrawer = std::function<void(Surface& s, const Rect& area)>;

// A standalone SVG document ("<?xml ...><svg ...>") of `width` x `height`
// pixels; empty when the size is not 1 to 20000 a side.
std::string DrawSvg(int width, int height, const SurfaceDrawer& draw);

// The same without the XML declaration, to be placed inside an HTML page.
std::string DrawInlineSvg(int width, int height, const SurfaceDrawer& draw);

}  // namespace kova

#pragma once
// Pages drawn on the report's Surface (the CT history report) onto a paged
// device, a printer or a PDF; the PDF drawn in memory, checked whole and
// written in one atomic step.

#include <QPagedPaintDevice>
#include <functional>
#include <string>

#include "report/surface.h"

namespace kova {

// Draws page `index` into `page` (device units).
using SurfacePageDrawer = std::function<void(Surface& s, const Rect& page, int index)>;

// One device page each, in order; false when the device cannot be painted on.
bool PrintSurfacePages(QPagedPaintDevice& device, int pages, const SurfacePageDrawer& draw);

// A4, landscape unless `portrait`, at 600 dots per inch, text kept as text.
bool SurfacePagesToPdf(const std::string& path, int pages, bool portrait,
                       const SurfacePageDrawer& draw, const std::string& title, std::string& why);

}  // namespace kova

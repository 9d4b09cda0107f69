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

// A PDF drawn by `draw` in memory (A4, landscape unless `portrait`, 600
// dots per inch, text kept as text), checked whole, then written to `path`
// in one atomic step; false with `why` when not.
bool DrawPdfToFile(const std::string& path, bool portrait, const std::string& title,
                   const std::function<bool(QPagedPaintDevice&)>& draw, std::string& why);

// Pages of a SurfacePageDrawer that way.
bool SurfacePagesToPdf(const std::string& path, int pages, bool portrait,
                       const SurfacePageDrawer& draw, const std::string& title, std::string& why);

}  // namespace kova

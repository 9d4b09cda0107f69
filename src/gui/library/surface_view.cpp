#include "gui/library/surface_view.h"

#include <QPainter>

#include "platform/qpainter_surface.h"

namespace kova {

void SurfaceView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  QPainterSurface surface(painter);
  const Rect r{0, 0, width(), height()};
  if (painter_)
    painter_(surface, r);
  else
    surface.FillRect(r, Color{255, 255, 255});
}

}  // namespace kova

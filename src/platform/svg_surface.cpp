#include "platform/svg_surface.h"

#include <QBuffer>
#include <QPainter>
#include <QSvgGenerator>

#include "platform/qpainter_surface.h"

namespace kova {

namespace {

constexpr int kMaxSide = 20000;

}  // namespace

std::string DrawSvg(int width, int height, const SurfaceDrawer& draw) {
  if (width < 1 || height < 1 || width > kMaxSide || height > kMaxSide) return {};
  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  QSvgGenerator svg;
  svg.setOutputDevice(&buffer);
  svg.setSize(QSize(width, height));
  svg.setViewBox(QRect(0, 0, width, height));
  // One unit a pixel, as on screen: the fonts measure as the window's do.
  svg.setResolution(96);
  {
    QPainter painter(&svg);
    if (!painter.isActive()) return {};
    painter.fillRect(QRect(0, 0, width, height), Qt::white);
    QPainterSurface surface(painter);
    draw(surface, {0, 0, width, height});
  }
  std::string out = buffer.data().toStdString();
  // Sized in pixels, as drawn, rather than in the generator's millimetres;
  // no title of the generator's own for a browser to show.
  const size_t size_at = out.find("<svg width=\""), view_at = out.find(" viewBox=");
  if (size_at != std::string::npos && view_at != std::string::npos && view_at > size_at)
    out.replace(
        size_at, view_at - size_at,
        "<svg width=\"" + std::to_string(width) + "\" height=\"" + std::to_string(height) + "\"\n");
  for (const char* generator :
       {"<title>Qt SVG Document</title>\n", "<desc>Generated with Qt</desc>\n"}) {
    const size_t at = out.find(generator);
    if (at != std::string::npos) out.erase(at, std::string(generator).size());
  }
  // XML takes no control characters: a record's text may hold any byte.
  std::string clean;
  clean.reserve(out.size());
  for (char c : out) {
    const auto u = static_cast<unsigned char>(c);
    if (u < 0x20 && c != '\n' && c != '\t' && c != '\r')
      clean += "\xEF\xBF\xBD";  // U+FFFD
    else
      clean += c;
  }
  return clean;
}

std::string DrawInlineSvg(int width, int height, const SurfaceDrawer& draw) {
  std::string svg = DrawSvg(width, height, draw);
  const size_t start = svg.find("<svg");
  return start == std::string::npos ? std::string() : svg.substr(start);
}

}  // namespace kova

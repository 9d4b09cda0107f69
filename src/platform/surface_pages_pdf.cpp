#include "platform/surface_pages_pdf.h"

#include <QBuffer>
#include <QByteArray>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include "base/codepage.h"
#include "base/file_io.h"
#include "export/whole_pdf.h"
#include "platform/qpainter_surface.h"

namespace kova {

bool PrintSurfacePages(QPagedPaintDevice& device, int pages, const SurfacePageDrawer& draw) {
  if (pages <= 0) return false;
  QPainter painter;
  if (!painter.begin(&device)) return false;
  QPainterSurface surface(painter);
  const Rect page{0, 0, device.width(), device.height()};
  for (int i = 0; i < pages; ++i) {
    if (i > 0 && !device.newPage()) {
      painter.end();
      return false;
    }
    draw(surface, page, i);
  }
  return painter.end();
}

bool DrawPdfToFile(const std::string& path, bool portrait, const std::string& title,
                   const std::function<bool(QPagedPaintDevice&)>& draw, std::string& why) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  if (!buffer.open(QIODevice::WriteOnly)) {
    why = "cannot draw the PDF";
    return false;
  }
  bool drawn = false;
  {
    QPdfWriter pdf(&buffer);
    pdf.setResolution(600);
    pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4),
                                  portrait ? QPageLayout::Portrait : QPageLayout::Landscape,
                                  QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter));
    pdf.setCreator(QStringLiteral("KOVA companion program"));
    if (!title.empty()) pdf.setTitle(QString::fromStdString(Cp1252ToUtf8(title)));
    drawn = draw(pdf);
  }
  buffer.close();
  if (!drawn || !IsWholePdf(bytes.constData(), static_cast<size_t>(bytes.size()))) {
    why = "the report cannot be drawn";
    return false;
  }
  return WriteFileAtomically(path, bytes.constData(), static_cast<size_t>(bytes.size()), &why);
}

bool SurfacePagesToPdf(const std::string& path, int pages, bool portrait,
                       const SurfacePageDrawer& draw, const std::string& title, std::string& why) {
  return DrawPdfToFile(
      path, portrait, title,
      [&](QPagedPaintDevice& device) { return PrintSurfacePages(device, pages, draw); }, why);
}

}  // namespace kova

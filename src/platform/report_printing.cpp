#include "platform/report_printing.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>

#include "platform/qpainter_surface.h"
#include "report/display_test.h"

namespace kova {

QImage LoadReportLogo(const QString& path) {
  QImage logo;
  if (!path.isEmpty()) logo.load(path);
  return logo;
}

void DrawPrintedPage(QPainter& painter, const ReportDocument& doc, int index, int width, int height,
                     const QImage& logo) {
  const int band = height * 7 / 100;
  painter.fillRect(QRect(0, 0, width, band), Qt::white);
  if (!logo.isNull() && band > 0) {
    const QSize fitted = logo.size().scaled(width, band, Qt::KeepAspectRatio);
    const QRect target((width - fitted.width()) / 2, (band - fitted.height()) / 2, fitted.width(),
                       fitted.height());
    painter.drawImage(target, logo);
  }
  QPainterSurface surface(painter);
  CDisplayTest painter_of_page;
  painter_of_page.Setup(&surface, doc.Record(0), true, &doc);
  painter_of_page.DrawPage({0, band, width, height}, index);
}

bool PrintReport(const ReportDocument& doc, QPagedPaintDevice& device, const QImage& logo) {
  if (!doc.loaded() || doc.pagecount() == 0) return false;
  QPainter painter;
  if (!painter.begin(&device)) return false;
  for (int i = 0; i < doc.pagecount(); ++i) {
    if (i > 0 && !device.newPage()) {
      painter.end();
      return false;
    }
    DrawPrintedPage(painter, doc, i, device.width(), device.height(), logo);
  }
  return painter.end();
}

bool PrintReportToPdf(const ReportDocument& doc, const QString& path, bool portrait,
                      const QImage& logo) {
  QPdfWriter pdf(path);
  pdf.setResolution(600);
  pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4),
                                portrait ? QPageLayout::Portrait : QPageLayout::Landscape,
                                QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter));
  pdf.setCreator(QStringLiteral("KOVA companion program"));
  return PrintReport(doc, pdf, logo);
}

QImage RenderScreenPage(const ReportDocument& doc, int index, int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  QPainterSurface surface(painter);
  CDisplayTest page;
  page.Setup(&surface, doc.Record(0), false, &doc);
  page.DrawPage({0, 0, width, height}, index);
  painter.end();
  return image;
}

}  // namespace kova

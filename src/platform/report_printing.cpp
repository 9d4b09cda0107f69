#include "platform/report_printing.h"

#include <QFile>
#include <QFont>

#include "base/codepage.h"
#include "base/file_io.h"
#include "platform/qpainter_surface.h"
#include "platform/surface_pages_pdf.h"
#include "report/display_test.h"
#include "report/page_footer.h"

namespace kova {

QImage LoadReportLogo(const std::string& path) {
  // Only a regular file of a sane size: a FIFO named as the logo would hang.
  constexpr size_t kMaxLogoBytes = 64u << 20;
  QImage logo;
  std::vector<uint8_t> bytes;
  if (!path.empty() && ReadFileBytes(path, bytes, kMaxLogoBytes)) {
    logo.loadFromData(bytes.data(), static_cast<int>(bytes.size()));
  }
  return logo;
}

namespace {

// The page between the band that carries the logo and the footer line.
int FooterHeight(int height) { return height * 3 / 100; }
Rect PrintedPageRect(int width, int height) {
  return {0, height * 7 / 100, width, height - FooterHeight(height)};
}

// The footer line below the page's frame: when it was printed, and where
// the page stands in the report.
void DrawFooter(QPainter& painter, int index, int pages, int width, int height,
                const std::string& printed_on) {
  const int footer = FooterHeight(height);
  const QRect line(0, height - footer, width, footer);
  painter.save();
  QFont font(QStringLiteral("Arial"));
  font.setPixelSize(qMax(1, footer * 45 / 100));
  painter.setFont(font);
  painter.setPen(Qt::black);
  painter.drawText(line, Qt::AlignLeft | Qt::AlignVCenter,
                   QString::fromUtf8(Cp1252ToUtf8(printed_on).c_str()));
  painter.drawText(line, Qt::AlignRight | Qt::AlignVCenter,
                   QString::fromUtf8(PageNumberText(index + 1, pages).c_str()));
  painter.restore();
}

}  // namespace

void DrawPrintedPage(QPainter& painter, const ReportDocument& doc, int index, int width, int height,
                     const QImage& logo, const std::string& printed_on) {
  const int band = PrintedPageRect(width, height).top;
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
  painter_of_page.DrawPage(PrintedPageRect(width, height), index);
  DrawFooter(painter, index, doc.pagecount(), width, height, printed_on);
}

bool PrintReport(const ReportDocument& shown, QPagedPaintDevice& device, const QImage& logo,
                 const std::string& printed_on) {
  if (!shown.loaded() || shown.pagecount() == 0) return false;
  QPainter painter;
  if (!painter.begin(&device)) return false;
  // The printed pages are laid out for the paper, apart from the window's.
  ReportDocument doc = shown;
  {
    QPainterSurface measure(painter);
    doc.FitPages(measure, PrintedPageRect(device.width(), device.height()), true);
  }
  for (int i = 0; i < doc.pagecount(); ++i) {
    if (i > 0 && !device.newPage()) {
      painter.end();
      return false;
    }
    DrawPrintedPage(painter, doc, i, device.width(), device.height(), logo, printed_on);
  }
  return painter.end();
}

bool PrintReportToPdf(const ReportDocument& doc, const std::string& path, bool portrait,
                      const QImage& logo, std::string& why, const std::string& printed_on) {
  return DrawPdfToFile(
      path, portrait, "",
      [&](QPagedPaintDevice& device) { return PrintReport(doc, device, logo, printed_on); }, why);
}

namespace {

// A path the desktop holds as a QString, as the program's own path text.
std::string PathOfQ(const QString& path) {
#ifdef _WIN32
  const std::u16string wide(reinterpret_cast<const char16_t*>(path.utf16()),
                            static_cast<size_t>(path.size()));
  return Utf16ToCp1252(wide);
#else
  return QFile::encodeName(path).toStdString();
#endif
}

}  // namespace

QImage LoadReportLogo(const QString& path) { return LoadReportLogo(PathOfQ(path)); }

bool PrintReportToPdf(const ReportDocument& doc, const QString& path, bool portrait,
                      const QImage& logo, const std::string& printed_on) {
  std::string why;
  return PrintReportToPdf(doc, PathOfQ(path), portrait, logo, why, printed_on);
}

void FitScreenPages(ReportDocument& doc, int width, int height) {
  // The window's and the picture's fonts are sized in pixels: a small
  // picture measures as a large one does.
  QImage probe(1, 1, QImage::Format_RGB32);
  QPainter painter(&probe);
  QPainterSurface measure(painter);
  doc.FitPages(measure, {0, 0, width, height}, false);
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

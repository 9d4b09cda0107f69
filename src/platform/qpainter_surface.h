#pragma once
// The report's Surface on a QPainter: a widget, a printer, a PDF or an
// image. "Courier New" and "Arial" are drawn with the metric-compatible
// Liberation Mono and Liberation Sans, so that layouts measured in
// character widths hold; a font's height is its character cell height, as
// the report asks for it. Texts are converted from Windows-1252.

#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPen>
#include <memory>

#include "report/surface.h"

namespace kova {

// The installed face that stands for a face the report names.
QString ReportFontFamily(const std::string& face);

class QPainterSurface : public Surface {
 public:
  // The painter must stay active while the surface is used.
  explicit QPainterSurface(QPainter& painter);

  void SelectFont(const FontSpec& font) override;
  TextMetrics Metrics() override;
  int TextWidth(const std::string& text) override;
  void SetPen(Color color, PenStyle style, int width) override;
  void SetBrush(Color color) override;
  void SetTextColor(Color color) override;
  void SetBackgroundColor(Color color) override;
  void Line(int x1, int y1, int x2, int y2) override;
  void Rectangle(const Rect& r) override;
  void Frame(const Rect& r) override;
  void FillRect(const Rect& r, Color color) override;
  void FillPolygon(const std::vector<Point>& points, Color color) override;
  void TextLine(const Rect& box, const std::string& text, bool centred) override;
  void TextAt(int x, int y, const std::string& text) override;
  void TextAt16(int x, int y, const std::u16string& text) override;
  void SaveState() override;
  void ClipTo(const Rect& r) override;
  void RestoreState() override;

 private:
  void UseLinePen();
  void UseTextPen();
  QPainter& p_;
  QFont font_;
  std::unique_ptr<QFontMetrics> metrics_;
  QPen line_pen_;
  QColor brush_, text_ = Qt::black;
  bool text_pen_active_ = false;
};

}  // namespace kova

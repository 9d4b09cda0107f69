#include "platform/qpainter_surface.h"

#include <QFontInfo>
#include <QHash>
#include <QPolygon>
#include <QRect>
#include <QString>
#include <cmath>

#include "base/codepage.h"

namespace kova {
namespace {

QColor ToQ(Color c) { return QColor(c.r, c.g, c.b); }

QString FromCp1252(const std::string& text) { return QString::fromStdString(Cp1252ToUtf8(text)); }

// Pixel size (em) that gives a character cell `height` high: the cell of
// a font is its ascent plus descent, a fixed share of the em per face.
int PixelSizeForCell(const QString& family, int weight, int height) {
  static QHash<QString, double> cell_per_em;
  const QString key = family + QString::number(weight);
  auto it = cell_per_em.find(key);
  if (it == cell_per_em.end()) {
    QFont probe(family);
    probe.setPixelSize(1000);
    probe.setWeight(static_cast<QFont::Weight>(weight));
    const QFontMetricsF m(probe);
    it = cell_per_em.insert(key, m.height() > 0 ? m.height() / 1000.0 : 1.0);
  }
  return std::max(1, static_cast<int>(height / it.value() + 0.5));
}

}  // namespace

QString ReportFontFamily(const std::string& face) {
  if (face == "Courier New") return QStringLiteral("Liberation Mono");
  if (face == "Arial") return QStringLiteral("Liberation Sans");
  return QString::fromStdString(face);
}

QPainterSurface::QPainterSurface(QPainter& painter) : p_(painter) {
  // The report is drawn like the instrument's own program draws it: hard
  // edges, no smoothing of lines.
  p_.setRenderHint(QPainter::Antialiasing, false);
  p_.setBackgroundMode(Qt::TransparentMode);
  line_pen_ = QPen(Qt::black, 1, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin);
  p_.setPen(line_pen_);
  SelectFont({"Courier New", 16, 400, true});
}

void QPainterSurface::SelectFont(const FontSpec& font) {
  const QString family = ReportFontFamily(font.face);
  const int weight = std::clamp(font.weight, 100, 900);
  font_ = QFont(family);
  font_.setPixelSize(PixelSizeForCell(family, weight, std::max(1, font.height)));
  font_.setWeight(static_cast<QFont::Weight>(weight));
  font_.setStyleHint(font.fixed_pitch ? QFont::TypeWriter : QFont::SansSerif);
  font_.setFixedPitch(font.fixed_pitch);
  font_.setKerning(false);
  p_.setFont(font_);
  metrics_ = std::make_unique<QFontMetrics>(font_, p_.device());
}

TextMetrics QPainterSurface::Metrics() {
  // The layout steps columns in whole character widths; the font's real
  // advance is fractional, so round it up or long columns run into the next.
  const QFontMetricsF exact(font_, p_.device());
  return {metrics_->height(), static_cast<int>(std::ceil(exact.averageCharWidth()))};
}

int QPainterSurface::TextWidth(const std::string& text) {
  return metrics_->horizontalAdvance(FromCp1252(text));
}

void QPainterSurface::SetPen(Color color, PenStyle style, int width) {
  line_pen_ = QPen(ToQ(color), std::max(1, width), Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin);
  if (style == PenStyle::kNone) line_pen_.setStyle(Qt::NoPen);
  if (style == PenStyle::kDash) {
    line_pen_.setStyle(Qt::DashLine);
    line_pen_.setCapStyle(Qt::FlatCap);
  }
  p_.setPen(line_pen_);
  text_pen_active_ = false;
}

void QPainterSurface::SetBrush(Color color) { brush_ = ToQ(color); }
void QPainterSurface::SetTextColor(Color color) {
  text_ = ToQ(color);
  text_pen_active_ = false;
}
void QPainterSurface::SetBackgroundColor(Color color) { p_.setBackground(ToQ(color)); }

void QPainterSurface::UseLinePen() {
  if (text_pen_active_) {
    p_.setPen(line_pen_);
    text_pen_active_ = false;
  }
}

void QPainterSurface::UseTextPen() {
  if (!text_pen_active_) {
    p_.setPen(text_);
    text_pen_active_ = true;
  }
}

void QPainterSurface::Line(int x1, int y1, int x2, int y2) {
  UseLinePen();
  p_.drawLine(x1, y1, x2, y2);
}

void QPainterSurface::Rectangle(const Rect& r) {
  UseLinePen();
  p_.fillRect(QRect(r.left, r.top, r.Width(), r.Height()), brush_);
  Frame(r);
}

void QPainterSurface::Frame(const Rect& r) {
  UseLinePen();
  p_.setBrush(Qt::NoBrush);
  // The outline lies inside the rectangle, as a printer's pen does.
  const int w = line_pen_.width();
  const int in = w / 2;
  p_.drawRect(
      QRect(r.left + in, r.top + in, std::max(0, r.Width() - w), std::max(0, r.Height() - w)));
}

void QPainterSurface::FillRect(const Rect& r, Color color) {
  p_.fillRect(QRect(r.left, r.top, r.Width(), r.Height()), ToQ(color));
}

void QPainterSurface::FillPolygon(const std::vector<Point>& points, Color color) {
  QPolygon polygon;
  for (const Point& p : points) polygon << QPoint(p.x, p.y);
  p_.setPen(Qt::NoPen);
  p_.setBrush(ToQ(color));
  p_.drawPolygon(polygon, Qt::OddEvenFill);
  p_.setBrush(Qt::NoBrush);
  p_.setPen(text_pen_active_ ? QPen(text_) : line_pen_);
}

void QPainterSurface::TextLine(const Rect& box, const std::string& text, bool centred) {
  UseTextPen();
  const QString s = FromCp1252(text);
  const QRect q(box.left, box.top, box.Width(), box.Height());
  const int width = metrics_->horizontalAdvance(s);
  const int bottom = box.top + metrics_->height();
  // Text that fits needs no clipping; the rest is clipped to its box.
  if (!centred && width <= box.Width() && bottom <= box.bottom) {
    p_.drawText(box.left, box.top + metrics_->ascent(), s);
    return;
  }
  p_.drawText(q, (centred ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignTop | Qt::TextSingleLine,
              s);
}

void QPainterSurface::TextAt(int x, int y, const std::string& text) {
  UseTextPen();
  p_.drawText(x, y + metrics_->ascent(), FromCp1252(text));
}

void QPainterSurface::TextAt16(int x, int y, const std::u16string& text) {
  UseTextPen();
  p_.drawText(x, y + metrics_->ascent(),
              QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size())));
}

void QPainterSurface::SaveState() { p_.save(); }
void QPainterSurface::ClipTo(const Rect& r) {
  p_.setClipRect(QRect(r.left, r.top, r.Width(), r.Height()));
}
void QPainterSurface::RestoreState() {
  p_.restore();
  p_.setFont(font_);
  p_.setPen(text_pen_active_ ? QPen(text_) : line_pen_);
}

}  // namespace kova

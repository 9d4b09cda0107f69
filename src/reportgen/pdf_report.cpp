#include "reportgen/pdf_report.h"

#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QString>
#include <QTextLayout>
#include <QTextOption>
#include <algorithm>
#include <cstdio>
#include <functional>

#include "base/codepage.h"
#include "base/file_io.h"
#include "export/whole_pdf.h"
#include "reportgen/template_walker.h"

namespace kova {
namespace {

constexpr int kDpi = 300;
constexpr int kBodyPx = 34;  // about 8 pt at 300 dpi
constexpr int kTitlePx = 50;
constexpr int kTablePx = 25;
constexpr int kMonoPx = 28;
constexpr int kSwatchPx = kTablePx * 2;
// Tables of up to this many rows (per part) are kept on one page.
constexpr size_t kKeepTogetherRows = 12;

QString Q(const std::string& utf8) { return QString::fromUtf8(utf8.c_str()); }

// A picture named by the document: read only when it is a regular file of
// a sane size (a FIFO would hang the generator). The document carries names
// in UTF-8; a name made under an 8-bit locale is found by its Windows-1252
// bytes.
bool LoadPicture(const std::string& utf8_path, QImage& image) {
  constexpr size_t kMaxPictureBytes = 64u << 20;
  if (utf8_path.empty()) return false;
  std::vector<uint8_t> bytes;
  FileProblem problem = FileProblem::kNone;
  bool read = ReadFileBytes(utf8_path, bytes, kMaxPictureBytes, &problem);
#ifndef _WIN32
  if (!read && problem == FileProblem::kMissing) {
    read = ReadFileBytes(Utf8ToCp1252(utf8_path), bytes, kMaxPictureBytes);
  }
#endif
  if (!read || bytes.size() > static_cast<size_t>(INT32_MAX)) return false;
  return image.loadFromData(bytes.data(), static_cast<int>(bytes.size()));
}

QFont Font(int px, bool bold = false) {
  QFont f("Arial");
  f.setPixelSize(px);
  f.setBold(bold);
  return f;
}

// Fixed pitch, for texts the instrument lays out in columns of blanks.
QFont MonoFont(int px) {
  QFont f("Courier New");
  f.setStyleHint(QFont::TypeWriter);
  f.setPixelSize(px);
  return f;
}

// Draws top to bottom, starting a new page when a block does not fit.
// A damaged record's `banner` (UTF-8) heads every page.
class Pages {
 public:
  Pages(QPdfWriter& writer, QPainter& painter, const std::string& banner)
      : writer_(writer),
        p_(painter),
        width_(writer.width()),
        height_(writer.height()),
        banner_(banner),
        top_(banner.empty() ? 0 : kBannerPx) {
    DrawBanner();
  }

  int Width() const { return width_; }
  void NewPage() {
    if (y_ == top_) return;
    writer_.newPage();
    DrawBanner();
  }
  void Gap(int h) { y_ += h; }
  // Room for a block of height h; returns its top.
  int Take(int h) {
    if (y_ + h > height_ && y_ > top_) NewPage();
    const int top = y_;
    y_ += h;
    return top;
  }
  // Height left on this page, and on an empty one.
  int Remaining() const { return std::max(0, height_ - y_); }
  bool AtTop() const { return y_ == top_; }
  QPainter& P() { return p_; }
  int PageHeight() const { return height_; }

 private:
  static constexpr int kBannerPx = kTitlePx * 2;
  void DrawBanner() {
    y_ = top_;
    if (banner_.empty()) return;
    const QRect strip(0, 0, width_, kBannerPx - kBodyPx / 2);
    p_.save();
    p_.fillRect(strip, QColor(190, 0, 0));
    p_.setPen(Qt::white);
    p_.setFont(Font(kBodyPx, true));
    p_.drawText(strip, Qt::AlignCenter | Qt::TextWordWrap, Q(banner_));
    p_.restore();
  }

  QPdfWriter& writer_;
  QPainter& p_;
  int width_, height_;
  std::string banner_;
  int top_ = 0;
  int y_ = 0;
};

void DrawPicture(Pages& pages, const std::string& path, int max_height) {
  if (path.empty()) return;
  QImage image;
  QPainter& p = pages.P();
  if (!LoadPicture(path, image)) {
    p.setFont(Font(kBodyPx));
    const int top = pages.Take(kBodyPx * 2);
    p.drawText(QRect(0, top, pages.Width(), kBodyPx * 2), Qt::AlignLeft | Qt::AlignVCenter,
               QString("(picture not found: %1)").arg(Q(path)));
    return;
  }
  QSize size = image.size().scaled(pages.Width(), max_height, Qt::KeepAspectRatio);
  const int top = pages.Take(size.height() + kBodyPx / 2);
  p.drawImage(QRect(QPoint((pages.Width() - size.width()) / 2, top), size), image);
}

// Draws what the template walker hands over, top to bottom.
class PdfSink : public ReportSink {
 public:
  explicit PdfSink(Pages& pages) : pages_(pages) {}

  void Directive(const std::string& d, const std::vector<std::string>& args) override {
    const int w = pages_.Width();
    if (d == "title") {
      // Drawn with what follows it, so a heading never ends a page alone.
      DrawPendingTitle(kBodyPx * 2);
      title_ = args[0];
      has_title_ = true;
      return;
    }
    DrawPendingTitle(kBodyPx * 2);
    if (d == "logo") {
      // A logo that is not installed is left out without a note.
      QImage logo;
      if (!LoadPicture(args[0], logo)) return;
      DrawPicture(pages_, args[0], w / 10 + 1);
    } else if (d == "field") {
      Field(Q(args[0]), Q(args[1]));
    } else if (d == "text") {
      FlowText(Q(args[0]), Font(kBodyPx));
    } else if (d == "mono") {
      FlowText(Q(args[0]), MonoFont(kMonoPx));
    } else if (d == "picture") {
      DrawPicture(pages_, args[0], pages_.PageHeight() * 55 / 100);
    } else if (d == "gap") {
      pages_.Gap(kBodyPx);
    } else if (d == "newpage") {
      pages_.NewPage();
    }
  }

  // Rows fill the parts of the page one after the other, each part under
  // its own header row; what does not fit continues on the next page.
  void Table(const FilledTable& table) override {
    const int split = std::clamp(table.split, 1, kMaxTableSplit);
    const int gap = split > 1 ? kTablePx * 2 : 0;
    const int part_w = (pages_.Width() - (split - 1) * gap) / split;
    const std::vector<int> widths = ColumnWidths(table, part_w);
    const int h = kTablePx * 2;
    const size_t first_part = std::min((table.rows.size() + split - 1) / split, kKeepTogetherRows);
    DrawPendingTitle(static_cast<int>(first_part + 1) * h);
    size_t next = 0;
    while (next < table.rows.size()) {
      int fit = pages_.Remaining() / h - 1;
      if (fit < 1 && !pages_.AtTop()) {
        pages_.NewPage();
        fit = pages_.Remaining() / h - 1;
      }
      // A short table that fits a page of its own is not broken.
      const size_t whole_parts = (table.rows.size() - next + split - 1) / split;
      if (next == 0 && static_cast<int>(whole_parts) > fit && !pages_.AtTop() &&
          whole_parts <= kKeepTogetherRows) {
        pages_.NewPage();
        fit = pages_.Remaining() / h - 1;
      }
      fit = std::max(fit, 1);
      const size_t left = table.rows.size() - next;
      const size_t chunk = std::min(left, static_cast<size_t>(fit) * split);
      const size_t per_part = (chunk + split - 1) / split;
      const int top = pages_.Take(static_cast<int>(per_part + 1) * h);
      for (size_t part = 0; part * per_part < chunk; ++part) {
        const int x = static_cast<int>(part) * (part_w + gap);
        DrawRow(x, top, widths, table.header, table.header, nullptr);
        const size_t first = next + part * per_part;
        const size_t last = std::min(next + chunk, first + per_part);
        for (size_t r = first; r < last; ++r) {
          const int y = top + static_cast<int>(r - first + 1) * h;
          DrawRow(x, y, widths, table.header, table.rows[r].cells, &table.rows[r].swatch);
        }
      }
      next += chunk;
    }
  }

  // The last title, if it waits for what follows it.
  void Finish() { DrawPendingTitle(0); }

 private:
  // The waiting title, on a new page when it and `following` (the height
  // of what comes after it) do not fit on this one.
  void DrawPendingTitle(int following) {
    if (!has_title_) return;
    has_title_ = false;
    const int h = kTitlePx * 3 / 2;
    if (!pages_.AtTop() && pages_.Remaining() < h + following) pages_.NewPage();
    QPainter& p = pages_.P();
    p.setFont(Font(kTitlePx, true));
    const int top = pages_.Take(h);
    p.drawText(QRect(0, top, pages_.Width(), h), Qt::AlignLeft | Qt::AlignVCenter, Q(title_));
  }

  // A label and its value; a value wider than its column wraps onto more
  // lines.
  void Field(const QString& label, const QString& value) {
    QPainter& p = pages_.P();
    const int w = pages_.Width();
    const int line_h = kBodyPx * 4 / 3;
    const int pad = (line_h - QFontMetrics(Font(kBodyPx), p.device()).height()) / 2;
    const QRect value_box(w * 35 / 100, 0, w * 65 / 100, pages_.PageHeight());
    const int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;
    p.setFont(Font(kBodyPx));
    const int h = std::max(line_h, p.boundingRect(value_box, flags, value).height() + 2 * pad);
    const int top = pages_.Take(h);
    p.drawText(value_box.translated(0, top + pad), flags, value);
    p.setFont(Font(kBodyPx, true));
    p.drawText(QRect(0, top, w * 35 / 100, line_h), Qt::AlignLeft | Qt::AlignVCenter, label);
  }

  // Wrapped text drawn line by line, so a long text (a note of hundreds of
  // lines) flows onto following pages instead of being cut at the first.
  void FlowText(const QString& text, const QFont& font) {
    QPainter& p = pages_.P();
    p.setFont(font);
    const int w = pages_.Width();
    QString body = text;
    body.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    body.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    for (const QString& paragraph : body.split(QLatin1Char('\n'))) {
      QTextLayout layout(paragraph, font, p.device());
      QTextOption option;
      option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
      layout.setTextOption(option);
      layout.beginLayout();
      for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(w);
      }
      layout.endLayout();
      if (layout.lineCount() == 0) {
        pages_.Take(QFontMetrics(font, p.device()).lineSpacing());
        continue;
      }
      for (int i = 0; i < layout.lineCount(); ++i) {
        const QTextLine line = layout.lineAt(i);
        const int h = static_cast<int>(line.height() + 0.999);
        const int top = pages_.Take(h);
        line.draw(&p, QPointF(0, top - line.y()));
      }
    }
    pages_.Gap(kBodyPx / 2);
  }

  // Column widths from the widest text of each column (header and every
  // row), stretched or shrunk together to the width of one part, so that a
  // long value is not cut while a short column keeps room to spare.
  static std::vector<int> ColumnWidths(const FilledTable& table, int part_width) {
    const size_t n = table.header.size();
    const int pad = kTablePx;
    std::vector<int> natural(n, pad);
    const QFontMetrics fb(Font(kTablePx, true)), fp(Font(kTablePx));
    int fixed = 0, text = 0;
    for (size_t i = 0; i < n; ++i) {
      if (table.header[i] == "swatch") {
        fixed += kSwatchPx;
        continue;
      }
      natural[i] += fb.horizontalAdvance(Q(table.header[i]));
      for (const FilledTable::Row& row : table.rows) {
        if (i < row.cells.size()) {
          natural[i] = std::max(natural[i], pad + fp.horizontalAdvance(Q(row.cells[i])));
        }
      }
      text += natural[i];
    }
    const double scale = text > 0 ? static_cast<double>(part_width - fixed) / text : 1.0;
    std::vector<int> widths(n, kSwatchPx);
    for (size_t i = 0; i < n; ++i) {
      if (table.header[i] != "swatch") widths[i] = static_cast<int>(natural[i] * scale);
    }
    return widths;
  }

  // One row of cells (the header row when `swatch` is null); a "swatch"
  // column is narrow and shows the row's test colour.
  void DrawRow(int x, int top, const std::vector<int>& widths,
               const std::vector<std::string>& header, const std::vector<std::string>& cells,
               const std::string* swatch) {
    QPainter& p = pages_.P();
    const int h = kTablePx * 2;
    p.setFont(Font(kTablePx, swatch == nullptr));
    const QFontMetrics fm(p.font());
    int cx = x;
    for (size_t i = 0; i < widths.size(); ++i) {
      const int cw = widths[i];
      if (header[i] == "swatch") {
        QImage image;
        if (swatch != nullptr && LoadPicture(*swatch, image)) {
          p.drawImage(QRect(cx + 4, top + 6, cw - 8, h - 12), image);
        }
      } else if (i < cells.size()) {
        p.drawText(QRect(cx + 4, top, cw - 8, h), Qt::AlignLeft | Qt::AlignVCenter,
                   fm.elidedText(Q(cells[i]), Qt::ElideRight, cw - 8));
      }
      cx += cw;
    }
    p.drawLine(x, top + h - 1, cx, top + h - 1);
  }

  Pages& pages_;
  std::string title_;
  bool has_title_ = false;
};

}  // namespace

bool WritePdfReport(const ReportTemplate& t, const ReportData& data, const std::string& path,
                    std::string& error) {
  // Drawn into memory, checked whole, then written in one atomic step: a
  // full disk or a second writer never leaves a cut or missing PDF.
  QByteArray bytes;
  QBuffer file(&bytes);
  if (!file.open(QIODevice::WriteOnly)) {
    error = "cannot draw into the PDF";
    return false;
  }
  {
    QPdfWriter writer(&file);
    writer.setResolution(kDpi);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                     QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter));
    writer.setTitle("KOVA CT Test Report");
    writer.setCreator("hmReportExport");
    QPainter painter;
    if (!painter.begin(&writer)) {
      error = "cannot draw into the PDF";
      return false;
    }
    const ReportNode* damaged = data.record.Child("damaged");
    Pages pages(writer, painter, damaged != nullptr ? damaged->text : std::string());
    PdfSink sink(pages);
    WalkReport(t, data, sink);
    sink.Finish();
    painter.end();
  }
  file.close();
  if (!IsWholePdf(bytes.constData(), static_cast<size_t>(bytes.size()))) {
    error = "the PDF was not finished";
    return false;
  }
  std::string why;
  if (!WriteFileAtomically(path, bytes.constData(), static_cast<size_t>(bytes.size()), &why)) {
    error = why;
    return false;
  }
  return true;
}

}  // namespace kova

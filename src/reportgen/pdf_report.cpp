#include "reportgen/pdf_report.h"

#include <QBuffer>
#include <QByteArray>
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

namespace kova {
namespace {

constexpr int kDpi = 300;
constexpr int kBodyPx = 34;  // about 8 pt at 300 dpi
constexpr int kTitlePx = 50;
constexpr int kTablePx = 25;

using Lookup = std::function<std::string(const std::string&)>;

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

// Draws top to bottom, starting a new page when a block does not fit.
class Pages {
 public:
  Pages(QPdfWriter& writer, QPainter& painter)
      : writer_(writer), p_(painter), width_(writer.width()), height_(writer.height()) {}

  int Width() const { return width_; }
  void NewPage() {
    if (y_ == 0) return;
    writer_.newPage();
    y_ = 0;
  }
  void Gap(int h) { y_ += h; }
  // Room for a block of height h; returns its top.
  int Take(int h) {
    if (y_ + h > height_ && y_ > 0) NewPage();
    const int top = y_;
    y_ += h;
    return top;
  }
  QPainter& P() { return p_; }
  int PageHeight() const { return height_; }

 private:
  QPdfWriter& writer_;
  QPainter& p_;
  int width_, height_;
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

class Renderer {
 public:
  Renderer(Pages& pages, const ReportData& data) : pages_(pages), data_(data) {}

  void Section(const std::vector<TemplateLine>& lines, const Lookup& look) {
    for (size_t i = 0; i < lines.size(); ++i) {
      const TemplateLine& l = lines[i];
      if (l.directive == "only") {
        const std::string& cond = l.parts[0];
        const size_t eq = cond.find('=');
        if (look(cond.substr(0, eq)) != cond.substr(eq + 1)) return;
        continue;
      }
      // The rest of the section only when its data exist: no heading over
      // an empty note, no burden results where none were measured.
      if (l.directive == "ifset") {
        if (look(l.parts[0]).empty()) return;
        continue;
      }
      if (l.directive == "columns") {
        const TemplateLine* row = nullptr;
        for (size_t j = i + 1; j < lines.size() && row == nullptr; ++j) {
          if (lines[j].directive == "row") row = &lines[j];
        }
        SizeColumns(l, row, look);
      }
      Directive(l, look);
    }
  }

 private:
  // Wrapped text drawn line by line, so a long text (a note of hundreds of
  // lines) flows onto following pages instead of being cut at the first.
  void FlowText(const QString& text) {
    QPainter& p = pages_.P();
    const QFont font = Font(kBodyPx);
    p.setFont(font);
    const int w = pages_.Width();
    QString body = text;
    body.replace(QLatin1String("\r\n"), QLatin1String("\n"));
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

  std::string Fill(const std::string& s, const Lookup& look) { return FillPlaceholders(s, look); }

  void Directive(const TemplateLine& l, const Lookup& look) {
    QPainter& p = pages_.P();
    const int w = pages_.Width();
    if (l.directive == "logo") {
      // A logo that is not installed is left out without a note.
      QImage logo;
      if (!LoadPicture(look("reportlogo"), logo)) return;
      DrawPicture(pages_, look("reportlogo"), w / 10 + 1);
    } else if (l.directive == "title") {
      p.setFont(Font(kTitlePx, true));
      const int top = pages_.Take(kTitlePx * 3 / 2);
      p.drawText(QRect(0, top, w, kTitlePx * 3 / 2), Qt::AlignLeft | Qt::AlignVCenter,
                 Q(Fill(l.parts[0], look)));
    } else if (l.directive == "field") {
      const int h = kBodyPx * 4 / 3;
      const int top = pages_.Take(h);
      p.setFont(Font(kBodyPx, true));
      p.drawText(QRect(0, top, w * 35 / 100, h), Qt::AlignLeft | Qt::AlignVCenter,
                 Q(Fill(l.parts[0], look)));
      p.setFont(Font(kBodyPx));
      p.drawText(QRect(w * 35 / 100, top, w * 65 / 100, h), Qt::AlignLeft | Qt::AlignVCenter,
                 Q(Fill(l.parts[1], look)));
    } else if (l.directive == "text") {
      FlowText(Q(Fill(l.parts[0], look)));
    } else if (l.directive == "picture") {
      DrawPicture(pages_, Fill(l.parts[0], look), pages_.PageHeight() * 55 / 100);
    } else if (l.directive == "columns") {
      columns_.clear();
      for (const std::string& c : l.parts) columns_.push_back(Fill(c, look));
      Row(columns_, nullptr, true);
    } else if (l.directive == "row") {
      for (const ReportValues& test : data_.tests) {
        std::vector<std::string> cells;
        const Lookup row_look = [&](const std::string& name) { return TestFirst(test, name); };
        for (const std::string& c : l.parts) cells.push_back(Fill(c, row_look));
        Row(cells, &test, false);
      }
    } else if (l.directive == "gap") {
      pages_.Gap(kBodyPx);
    } else if (l.directive == "newpage") {
      pages_.NewPage();
    }
  }

  // Column widths from the widest text of each column (header and every
  // test's row), stretched or shrunk together to the page width, so that a
  // long value is not cut while a short column keeps room to spare.
  void SizeColumns(const TemplateLine& header, const TemplateLine* row, const Lookup& look) {
    const size_t n = header.parts.size();
    const int pad = kTablePx;
    const int swatch_w = kTablePx * 2;
    std::vector<int> natural(n, pad);
    const QFontMetrics fb(Font(kTablePx, true)), fp(Font(kTablePx));
    for (size_t i = 0; i < n; ++i) {
      if (header.parts[i] == "swatch") continue;
      natural[i] += fb.horizontalAdvance(Q(Fill(header.parts[i], look)));
    }
    if (row != nullptr) {
      for (const ReportValues& test : data_.tests) {
        const Lookup row_look = [&](const std::string& name) { return TestFirst(test, name); };
        for (size_t i = 0; i < n && i < row->parts.size(); ++i) {
          if (header.parts[i] == "swatch") continue;
          natural[i] =
              std::max(natural[i], pad + fp.horizontalAdvance(Q(Fill(row->parts[i], row_look))));
        }
      }
    }
    int fixed = 0, text = 0;
    for (size_t i = 0; i < n; ++i) {
      if (header.parts[i] == "swatch") {
        fixed += swatch_w;
      } else {
        text += natural[i];
      }
    }
    const double scale = text > 0 ? static_cast<double>(pages_.Width() - fixed) / text : 1.0;
    widths_.assign(n, 0);
    for (size_t i = 0; i < n; ++i) {
      widths_[i] = header.parts[i] == "swatch" ? swatch_w : static_cast<int>(natural[i] * scale);
    }
  }

  std::string TestFirst(const ReportValues& test, const std::string& name) const {
    const auto t = test.find(name);
    if (t != test.end()) return t->second;
    const auto r = data_.record.find(name);
    return r != data_.record.end() ? r->second : std::string();
  }

  // Table cells; a "swatch" column is narrow and shows the test's colour.
  void Row(const std::vector<std::string>& cells, const ReportValues* test, bool header) {
    QPainter& p = pages_.P();
    const int w = pages_.Width();
    const int n = static_cast<int>(cells.size());
    int swatches = 0;
    for (int i = 0; i < n && i < static_cast<int>(columns_.size()); ++i) {
      swatches += columns_[i] == "swatch";
    }
    const int swatch_w = kTablePx * 2;
    const int cell_w = n > swatches ? (w - swatches * swatch_w) / (n - swatches) : w;
    const bool sized = widths_.size() == static_cast<size_t>(n);
    const int h = kTablePx * 2;
    const int top = pages_.Take(h);
    p.setFont(Font(kTablePx, header));
    const QFontMetrics fm(p.font());
    int x = 0;
    for (int i = 0; i < n; ++i) {
      const bool swatch = i < static_cast<int>(columns_.size()) && columns_[i] == "swatch";
      const int cw = sized ? widths_[i] : swatch ? swatch_w : cell_w;
      if (swatch) {
        if (test != nullptr) {
          QImage image;
          const auto f = test->find("testimagecolorfile");
          if (f != test->end() && LoadPicture(f->second, image)) {
            p.drawImage(QRect(x + 4, top + 6, cw - 8, h - 12), image);
          }
        }
      } else {
        p.drawText(QRect(x + 4, top, cw - 8, h), Qt::AlignLeft | Qt::AlignVCenter,
                   fm.elidedText(Q(cells[i]), Qt::ElideRight, cw - 8));
      }
      x += cw;
    }
    p.drawLine(0, top + h - 1, w, top + h - 1);
  }

  Pages& pages_;
  const ReportData& data_;
  std::vector<std::string> columns_;
  std::vector<int> widths_;  // of the current table, when sized from its rows
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
    Pages pages(writer, painter);
    Renderer r(pages, data);
    const Lookup record_look = [&](const std::string& name) {
      const auto v = data.record.find(name);
      return v != data.record.end() ? v->second : std::string();
    };
    for (const std::string& name : ReportSectionOrder()) {
      const auto s = t.sections.find(name);
      if (s == t.sections.end()) continue;
      if (name != "test") {
        r.Section(s->second, record_look);
        continue;
      }
      for (const ReportValues& test : data.tests) {
        r.Section(s->second, [&](const std::string& n) {
          const auto v = test.find(n);
          return v != test.end() ? v->second : record_look(n);
        });
      }
    }
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

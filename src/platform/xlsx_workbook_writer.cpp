#include "platform/xlsx_workbook_writer.h"

#include <xlsxwriter.h>

#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QHash>
#include <QImage>
#include <QList>
#include <QString>
#include <list>

#include "base/codepage.h"
#include "base/file_io.h"
#include "base/format.h"
#include "base/private_folder.h"

namespace kova {
namespace {

// The same picture with a palette of its exact colours; a null image when it
// has more than 256. The plots have a few hundred anti-aliased colours at
// most: a palette PNG is a third of the data to compress and needs no row
// filters, so it is written several times faster with identical pixels.
QImage ExactPalette(const QImage& rgb) {
  QList<QRgb> table;
  QHash<QRgb, uchar> index;
  QImage out(rgb.size(), QImage::Format_Indexed8);
  QRgb last = 0;
  uchar last_index = 0;
  bool have_last = false;
  const int width = rgb.width(), height = rgb.height();
  for (int y = 0; y < height; ++y) {
    const QRgb* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
    uchar* to = out.scanLine(y);
    for (int x = 0; x < width; ++x) {
      const QRgb pixel = line[x] | 0xFF000000u;  // opaque, as the RGB picture is shown
      if (!have_last || pixel != last) {         // runs of one colour are the rule in a plot
        auto found = index.constFind(pixel);
        if (found == index.constEnd()) {
          if (table.size() == 256) return {};
          found = index.insert(pixel, static_cast<uchar>(table.size()));
          table.push_back(pixel);
        }
        last = pixel;
        last_index = found.value();
        have_last = true;
      }
      to[x] = last_index;
    }
  }
  out.setColorTable(table);
  return out;
}

// The picture as PNG bytes; empty when the file cannot be loaded.
QByteArray PngOf(const std::string& path) {
  // Only a regular file of a sane size (a FIFO would hang the export).
  std::vector<uint8_t> bytes;
  QImage image;
  if (!ReadFileBytes(path, bytes, size_t{64} << 20) ||
      !image.loadFromData(bytes.data(), static_cast<int>(bytes.size()))) {
    return {};
  }
  // A 32-bit bitmap's fourth byte is not alpha: keep the picture opaque.
  image = image.convertToFormat(QImage::Format_RGB32);
  const QImage palette = ExactPalette(image);
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  if (!(palette.isNull() ? image : palette).save(&buffer, "PNG")) return {};
  return png;
}

}  // namespace

std::string CellName(int row, int column) {
  std::string letters;
  for (int c = column; c > 0; c = (c - 1) / 26) {
    letters.insert(letters.begin(), static_cast<char>('A' + (c - 1) % 26));
  }
  return letters + std::to_string(row);
}

void XlsxWorkbookWriter::SetCellText(int row, int column, const std::string& cp1252) {
  if (row < 1 || column < 1) return;
  // One Windows-1252 byte is one character. A text past a cell's limit
  // would make the whole workbook fail: it is cut, visibly, and said.
  if (cp1252.size() > kMaxCellChars) {
    const std::string mark = kCutMark;
    const std::string cut = cp1252.substr(0, kMaxCellChars - mark.size()) + mark;
    notes_.push_back(Format("The text of cell %s was cut from %zu to %zu characters",
                            CellName(row, column).c_str(), cp1252.size(), kMaxCellChars));
    cells_.push_back({row, column, Cp1252ToUtf8(cut)});
    return;
  }
  cells_.push_back({row, column, Cp1252ToUtf8(cp1252)});
}

void XlsxWorkbookWriter::InsertPicture(int row, int column, const std::string& path, double scale) {
  if (row < 1 || column < 1 || path.empty()) return;
  pictures_.push_back({row, column, path, scale});
}

bool XlsxWorkbookWriter::Save(const std::string& path) {
  problem_.clear();
  // libxlsxwriter writes by name: into a folder of ours, never beside the
  // target where a planted link or a second writer could meet it.
  PrivateFolder work("workbook");
  if (!work.valid()) {
    problem_ = work.problem();
    return false;
  }
  const std::string temp = work.File("book.xlsx");
  lxw_workbook_options wo{};
  wo.tmpdir = const_cast<char*>(work.path().c_str());
  lxw_workbook* wb = workbook_new_opt(temp.c_str(), &wo);
  if (wb == nullptr) {
    problem_ = "cannot start the workbook";
    return false;
  }
  lxw_worksheet* ws = workbook_add_worksheet(wb, nullptr);
  lxw_format* text = workbook_add_format(wb);
  format_set_num_format(text, "@");
  bool ok = ws != nullptr && text != nullptr;
  for (const Cell& c : cells_) {
    if (!ok) break;
    const lxw_row_t r = static_cast<lxw_row_t>(c.row - 1);
    const lxw_col_t col = static_cast<lxw_col_t>(c.column - 1);
    const lxw_error e = c.utf8.empty() ? worksheet_write_blank(ws, r, col, text)
                                       : worksheet_write_string(ws, r, col, c.utf8.c_str(), text);
    ok = e == LXW_NO_ERROR;
  }
  // The PNG bytes must live until the workbook is closed.
  std::list<QByteArray> pngs;
  for (const Picture& p : pictures_) {
    if (!ok) break;
    QByteArray png = PngOf(p.path);
    if (png.isEmpty()) continue;  // a picture that cannot be loaded is left out
    pngs.push_back(std::move(png));
    lxw_image_options options{};
    options.x_scale = options.y_scale = p.scale != 0 ? p.scale : 1.0;
    worksheet_insert_image_buffer_opt(
        ws, static_cast<lxw_row_t>(p.row - 1), static_cast<lxw_col_t>(p.column - 1),
        reinterpret_cast<const unsigned char*>(pngs.back().constData()),
        static_cast<size_t>(pngs.back().size()), &options);
  }
  const lxw_error closed = workbook_close(wb);
  if (!ok || closed != LXW_NO_ERROR) {
    problem_ = closed != LXW_NO_ERROR ? lxw_strerror(closed) : "a cell cannot be written";
    return false;
  }
  std::vector<uint8_t> bytes;
  if (!ReadFileBytes(temp, bytes, size_t{1} << 30)) {
    problem_ = "the finished workbook cannot be read back";
    return false;
  }
  return WriteFileAtomically(path, bytes, &problem_);
}

}  // namespace kova

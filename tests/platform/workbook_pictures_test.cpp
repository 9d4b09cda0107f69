// The pictures of a saved workbook show exactly the pixels of their files,
// whatever way they are encoded inside it: few colours, many colours, and a
// 32-bit bitmap whose fourth byte is not alpha.

#include <gtest/gtest.h>

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QPainter>
#include <QString>
#include <functional>
#include <string>

#include "base/path.h"
#include "platform/xlsx_workbook_writer.h"
#include "support/record_fixtures.h"
#include "support/run_program.h"
#include "test_app.h"

namespace kova {
namespace {

struct PictureCase {
  const char* what;
  std::function<QImage()> make;
};

QImage Plot() {  // a white page, a grid and an anti-aliased curve and text
  QImage image(300, 200, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QColor(200, 200, 200));
  for (int x = 0; x < 300; x += 30) p.drawLine(x, 0, x, 200);
  p.setPen(QPen(QColor(20, 90, 200), 3));
  p.drawEllipse(40, 30, 200, 140);
  p.drawText(20, 190, "X1-X5 240.5 V");
  return image;
}

QImage Gradient() {  // far more than 256 colours
  QImage image(256, 64, QImage::Format_RGB32);
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 256; ++x) image.setPixel(x, y, qRgb(x, y * 4, (x * y) & 0xFF));
  return image;
}

QImage NotAlpha() {  // a 32-bit bitmap with stray fourth bytes
  QImage image(40, 40, QImage::Format_ARGB32);
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 40; ++x)
      image.setPixel(x, y, qRgba(x * 6, 255 - y * 6, 90, (x * 7) & 0xFF));
  return image;
}

QImage Swatch() {
  QImage image(16, 16, QImage::Format_RGB32);
  image.fill(QColor(0, 128, 0));
  return image;
}

TEST(XlsxWorkbookWriter, PicturesKeepEveryPixel) {
  TestApp();
  const PictureCase cases[] = {
      {"swatch", Swatch}, {"plot", Plot}, {"gradient", Gradient}, {"not alpha", NotAlpha}};
  int n = 0;
  for (const PictureCase& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string dir = TempFolder("xlsx-pictures-" + std::to_string(n++));
    const std::string bmp = PathJoin(dir, "picture.bmp");
    ASSERT_TRUE(c.make().save(QString::fromStdString(bmp), "BMP"));
    XlsxWorkbookWriter wb;
    wb.SetCellText(1, 1, "x");
    wb.InsertPicture(2, 2, bmp, 1.0);
    const std::string book = PathJoin(dir, "book.xlsx");
    ASSERT_TRUE(wb.Save(book));

    const ProgramResult png = RunProgram("/usr/bin/unzip", {"-p", book, "xl/media/image1.png"});
    ASSERT_EQ(png.exit_code, 0) << png.err;
    QImage shown;
    ASSERT_TRUE(
        shown.loadFromData(QByteArray(png.out.data(), static_cast<int>(png.out.size())), "PNG"));
    QImage file(QString::fromStdString(bmp));
    ASSERT_FALSE(file.isNull());
    file = file.convertToFormat(QImage::Format_RGB32);
    shown = shown.convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(shown.size(), file.size());
    int differing = 0;
    for (int y = 0; y < file.height(); ++y)
      for (int x = 0; x < file.width(); ++x) differing += shown.pixel(x, y) != file.pixel(x, y);
    EXPECT_EQ(differing, 0);
  }
}

}  // namespace
}  // namespace kova

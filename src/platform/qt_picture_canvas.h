#pragma once
// Pictures drawn on a QImage of 32 bits per pixel.

#include <QImage>
#include <QPainter>
#include <memory>

#include "export/picture_canvas.h"
#include "platform/qpainter_surface.h"

namespace kova {

class QtPictureCanvas : public PictureCanvas {
 public:
  QtPictureCanvas(int width, int height);
  bool valid() const { return !image_.isNull(); }
  Surface* Begin() override;
  bool Finish(PixelImage& pixels) override;
  const QImage& image() const { return image_; }

 private:
  QImage image_;
  QPainter painter_;
  std::unique_ptr<QPainterSurface> surface_;
};

class QtPictureCanvasFactory : public PictureCanvasFactory {
 public:
  std::unique_ptr<PictureCanvas> Create(int width, int height) override;
};

}  // namespace kova

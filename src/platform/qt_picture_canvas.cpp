#include "platform/qt_picture_canvas.h"

namespace kova {

QtPictureCanvas::QtPictureCanvas(int width, int height)
    : image_(width, height, QImage::Format_RGB32) {}

Surface* QtPictureCanvas::Begin() {
  if (image_.isNull()) return nullptr;
  surface_.reset();
  if (painter_.isActive()) painter_.end();
  image_.fill(Qt::white);
  if (!painter_.begin(&image_)) return nullptr;
  surface_ = std::make_unique<QPainterSurface>(painter_);
  return surface_.get();
}

bool QtPictureCanvas::Finish(PixelImage& pixels) {
  surface_.reset();
  if (painter_.isActive()) painter_.end();
  if (image_.isNull()) return false;
  pixels.width = image_.width();
  pixels.height = image_.height();
  pixels.pixels = reinterpret_cast<const uint32_t*>(image_.constBits());
  pixels.stride = static_cast<size_t>(image_.bytesPerLine()) / 4;
  return true;
}

std::unique_ptr<PictureCanvas> QtPictureCanvasFactory::Create(int width, int height) {
  auto canvas = std::make_unique<QtPictureCanvas>(width, height);
  if (!canvas->valid()) return nullptr;
  return canvas;
}

}  // namespace kova

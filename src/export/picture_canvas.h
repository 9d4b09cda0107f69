#pragma once
// Where the picture export draws: a bitmap of a fixed size that a platform
// adapter provides, drawn through a Surface and then read back as pixels.

#include <memory>

#include "export/bmp_writer.h"
#include "report/surface.h"

namespace kova {

class PictureCanvas {
 public:
  virtual ~PictureCanvas() = default;
  // Starts a picture: the whole bitmap white, one unit one pixel. Null when
  // the drawing cannot start.
  virtual Surface* Begin() = 0;
  // Ends the drawing and gives the pixels, valid until the next Begin.
  virtual bool Finish(PixelImage& pixels) = 0;
};

class PictureCanvasFactory {
 public:
  virtual ~PictureCanvasFactory() = default;
  // Null when the bitmap cannot be made.
  virtual std::unique_ptr<PictureCanvas> Create(int width, int height) = 0;
};

}  // namespace kova

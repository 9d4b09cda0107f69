#include "export/bmp_writer.h"

#include "base/file_io.h"

namespace kova {
namespace {

void Put16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}
void Put32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

constexpr size_t kFileHeader = 14, kInfoHeader = 40;

}  // namespace

std::vector<uint8_t> EncodeBmp32(const PixelImage& image) {
  if (image.width <= 0 || image.height <= 0 || !image.pixels ||
      image.stride < static_cast<size_t>(image.width)) {
    return {};
  }
  const size_t row_bytes = static_cast<size_t>(image.width) * 4;
  const size_t data = row_bytes * static_cast<size_t>(image.height);
  const size_t offset = kFileHeader + kInfoHeader;
  if (offset + data > 0xFFFFFFFFu) return {};
  std::vector<uint8_t> out(offset + data);
  uint8_t* h = out.data();
  h[0] = 'B';
  h[1] = 'M';
  Put32(h + 2, static_cast<uint32_t>(out.size()));
  Put32(h + 10, static_cast<uint32_t>(offset));
  uint8_t* info = h + kFileHeader;
  Put32(info + 0, kInfoHeader);
  Put32(info + 4, static_cast<uint32_t>(image.width));
  Put32(info + 8, static_cast<uint32_t>(image.height));  // positive: bottom-up
  Put16(info + 12, 1);                                   // planes
  Put16(info + 14, 32);                                  // bits per pixel
  Put32(info + 16, 0);                                   // BI_RGB
  Put32(info + 20, static_cast<uint32_t>(data));
  Put32(info + 24, 2835);  // 72 dpi in pixels per metre
  Put32(info + 28, 2835);
  uint8_t* dst = h + offset;
  for (int y = image.height - 1; y >= 0; --y) {
    const uint32_t* src = image.pixels + static_cast<size_t>(y) * image.stride;
    for (int x = 0; x < image.width; ++x, dst += 4) {
      const uint32_t p = src[x];
      dst[0] = static_cast<uint8_t>(p);        // blue
      dst[1] = static_cast<uint8_t>(p >> 8);   // green
      dst[2] = static_cast<uint8_t>(p >> 16);  // red
      dst[3] = 0;
    }
  }
  return out;
}

bool WriteBmp32(const std::string& path, const PixelImage& image, std::string* why) {
  const std::vector<uint8_t> bytes = EncodeBmp32(image);
  if (bytes.empty()) {
    if (why) *why = "the picture is empty";
    return false;
  }
  return WriteFileAtomically(path, bytes.data(), bytes.size(), why);
}

}  // namespace kova

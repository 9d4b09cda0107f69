#pragma once
// Windows bitmap files of 32 bits per pixel: BI_RGB, a 40-byte info header,
// rows bottom-up, each pixel blue, green, red and a zero byte.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kova {

// Pixels as a picture surface holds them: rows top-down, each pixel
// 0xAARRGGBB in a uint32 (the alpha byte is not written).
struct PixelImage {
  int width = 0;
  int height = 0;
  const uint32_t* pixels = nullptr;
  size_t stride = 0;  // pixels from one row to the next
};

// The whole file; empty for an image without pixels.
std::vector<uint8_t> EncodeBmp32(const PixelImage& image);
// Written atomically.
bool WriteBmp32(const std::string& path, const PixelImage& image, std::string* why = nullptr);

}  // namespace kova

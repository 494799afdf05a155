#pragma once
// One 32-bit pixel, 0xAARRGGBB, not premultiplied. In memory (little-endian) the
// bytes are blue, green, red, alpha at offsets 0, 1, 2, 3.

#include <cstdint>

using RasterPixel = std::uint32_t;

constexpr int RasterAlpha(RasterPixel p) { return int(p >> 24); }
constexpr int RasterRed(RasterPixel p) { return int((p >> 16) & 0xFF); }
constexpr int RasterGreen(RasterPixel p) { return int((p >> 8) & 0xFF); }
constexpr int RasterBlue(RasterPixel p) { return int(p & 0xFF); }

constexpr RasterPixel RasterMakePixel(int a, int r, int g, int b) {
  return (RasterPixel(a & 0xFF) << 24) | (RasterPixel(r & 0xFF) << 16) |
         (RasterPixel(g & 0xFF) << 8) | RasterPixel(b & 0xFF);
}

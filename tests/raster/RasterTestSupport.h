#pragma once
// Test surfaces and picture files for the raster tests.

#include <cstdint>
#include <string>
#include <vector>

#include "raster/RasterBitmap.h"

namespace raster_test {

// A surface inside a larger block: a border of guard pixels on every side and
// rows padded beyond the width, so a write outside the surface changes a guard
// pixel. It can also answer that its rows are stored bottom-up, and keep its
// rows packed (span = width, guard rows only above and below), the layout
// whose whole-width rectangles are one run in memory.
class GuardedBitmap : public RasterBitmap {
 public:
  static constexpr RasterPixel kGuard = 0xA5C3E1F7u;
  static constexpr int kPad = 16;

  GuardedBitmap(int width, int height, bool flipped = false, RasterPixel fill = 0,
                bool packedRows = false);

  RasterPixel* GetBits() override {
    return width > 0 && height > 0 ? &block[std::size_t(kPad * span + sidePad)] : nullptr;
  }
  int GetWidth() override { return width; }
  int GetHeight() override { return height; }
  int GetRowSpan() override { return span; }
  bool IsFlipped() override { return flipped; }
  bool Resize(int, int) override { return false; }

  // True when every pixel outside the surface still holds the guard value.
  bool GuardsIntact() const;
  // Pixel at picture position (x, y), reading memory rows bottom-up when flipped.
  RasterPixel At(int x, int y) const;
  void Set(int x, int y, RasterPixel p);
  int CountNot(RasterPixel value) const;

 private:
  int width, height, sidePad, span;
  bool flipped;
  std::vector<RasterPixel> block;
};

// Whole picture of any surface, top row first (honouring IsFlipped).
std::vector<RasterPixel> Snapshot(RasterBitmap* surface);

// 8-bit RGBA PNG files holding 0xAARRGGBB pixels exactly.
bool WritePng(const std::string& path, int width, int height,
              const std::vector<RasterPixel>& pixels);
bool ReadPng(const std::string& path, int& width, int& height, std::vector<RasterPixel>& pixels);

// Folder of the stored expected pictures.
std::string DataDir();

}  // namespace raster_test

#pragma once
// Surface in a heap block of width x height packed, top-down pixels.

#include "raster/RasterBitmap.h"

class MemBitmap : public RasterBitmap {
 public:
  MemBitmap() = default;
  // Allocates (without clearing) when both sizes are positive; otherwise no storage.
  MemBitmap(int width, int height);
  ~MemBitmap() override;

  RasterPixel* GetBits() override { return bits; }
  int GetWidth() override { return width; }
  int GetHeight() override { return height; }
  int GetRowSpan() override { return width; }
  bool IsFlipped() override { return false; }
  // Keeps the old bytes as far as they fit (bytewise, not re-laid out by row).
  // Returns true for any new size, also when the allocation failed (bits null).
  bool Resize(int width, int height) override;

 private:
  RasterPixel* bits = nullptr;
  int width = 0;
  int height = 0;
};

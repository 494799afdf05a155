#pragma once
// Surface a window layer can present. On Windows a 32-bit top-down DIB section
// selected into its own memory device context; elsewhere a zero-filled heap
// block with the same contract and no device context.

#include "raster/RasterBitmap.h"

class DibBitmap : public RasterBitmap {
 public:
  DibBitmap(int width, int height);
  ~DibBitmap() override;

  RasterPixel* GetBits() override { return bits; }
  int GetWidth() override { return width; }
  int GetHeight() override { return height; }
  // A 32-bit row is a whole number of 4-byte units, so rows are packed.
  int GetRowSpan() override { return width; }
  bool IsFlipped() override { return false; }
  // A zero size is recorded but keeps the old storage until the next real size.
  bool Resize(int width, int height) override;
  RasterDeviceContext GetDC() override { return dc; }

 private:
  void ReleaseSection();

  int width = 0;
  int height = 0;
  void* dc = nullptr;           // memory DC (Windows only)
  RasterPixel* bits = nullptr;  // owned by the section
  void* section = nullptr;      // section handle, or the heap block elsewhere
  void* previous = nullptr;     // bitmap selected into dc before the section
};

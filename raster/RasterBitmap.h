#pragma once
// Abstract 32-bit raster surface. Every routine of the library reaches pixels only
// through these operations, so a surface may live in heap memory or in a
// platform bitmap that a window can present.

#include "raster/RasterPixel.h"

// Platform device-context handle (an HDC on Windows); opaque to the library.
using RasterDeviceContext = void*;

class RasterBitmap {
 public:
  virtual ~RasterBitmap() = default;

  // First pixel of memory row 0; null while the surface has no storage.
  virtual RasterPixel* GetBits() = 0;
  virtual int GetWidth() = 0;
  virtual int GetHeight() = 0;
  // Distance from one memory row to the next, in pixels.
  virtual int GetRowSpan() = 0;
  // True when memory row 0 is the bottom row of the picture.
  virtual bool IsFlipped() = 0;
  // False when the size is unchanged; see the concrete classes for the rest.
  virtual bool Resize(int width, int height) = 0;
  // Device context a window layer can copy from; null for plain memory.
  virtual RasterDeviceContext GetDC() { return nullptr; }

 protected:
  RasterBitmap() = default;
  RasterBitmap(const RasterBitmap&) = delete;
  RasterBitmap& operator=(const RasterBitmap&) = delete;
};

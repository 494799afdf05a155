#include "raster/MemBitmap.h"

#include <cstdlib>

#include "raster/RasterStorage.h"

MemBitmap::MemBitmap(int w, int h) : width(w), height(h) {
  const std::size_t size = RasterStorageBytes(w, h);
  if (size > 0) bits = static_cast<RasterPixel*>(std::malloc(size));
}

MemBitmap::~MemBitmap() { std::free(bits); }

bool MemBitmap::Resize(int w, int h) {
  if (w == width && h == height) return false;
  width = w;
  height = h;
  const std::size_t size = RasterStorageBytes(w, h);
  if (size == 0) {
    std::free(bits);
    bits = nullptr;
    return true;
  }
  if (bits) {
    void* grown = std::realloc(bits, size);
    if (!grown) {
      // realloc keeps the old block on failure; a fresh block may still fit.
      std::free(bits);
      grown = std::malloc(size);
    }
    bits = static_cast<RasterPixel*>(grown);
  } else {
    bits = static_cast<RasterPixel*>(std::malloc(size));
  }
  return true;
}

// DibBitmap without a GDI: a zero-filled heap block (as a fresh DIB section is)
// that a window layer copies to the screen itself; there is no device context.

#include "raster/DibBitmap.h"

#include <cstdlib>

#include "raster/RasterStorage.h"

DibBitmap::DibBitmap(int w, int h) { Resize(w, h); }

DibBitmap::~DibBitmap() { ReleaseSection(); }

void DibBitmap::ReleaseSection() {
  std::free(section);
  section = nullptr;
  bits = nullptr;
}

bool DibBitmap::Resize(int w, int h) {
  if (w == width && h == height) return false;
  width = w;
  height = h;
  // A zero size keeps the old block, as the GDI variant keeps its section.
  if (w == 0 || h == 0) return false;
  ReleaseSection();
  const std::size_t size = RasterStorageBytes(w, h);
  if (size > 0) section = std::calloc(size, 1);
  bits = static_cast<RasterPixel*>(section);
  return true;
}

#include "raster/RasterSurface.h"

#include "raster/RasterFillPixels.h"
#include "raster/RasterSurfaceView.h"

using namespace raster_detail;

void RasterClear(RasterBitmap* surface, RasterPixel value) {
  const SurfaceView v = ViewOf(surface);
  if (!v.Usable()) return;
  if (v.span == v.width) {
    FillPixels(v.bits, std::size_t(v.width) * std::size_t(v.height), value);
    return;
  }
  RasterPixel* row = v.bits;
  for (int y = 0; y < v.height; ++y, row += v.span) FillPixels(row, std::size_t(v.width), value);
}

RasterPixel RasterGetPixel(RasterBitmap* surface, int x, int y) {
  const SurfaceView v = ViewOf(surface);
  if (!v.Usable() || !v.Contains(x, y)) return 0;
  return v.Row(y)[x];
}

void RasterMaskOr(RasterBitmap* surface, int x, int y, int w, int h, RasterPixel andMask,
                  RasterPixel orBits) {
  const SurfaceView v = ViewOf(surface);
  if (!v.Usable()) return;
  const ClipRect c = ClipToSize(x, y, w, h, v.width, v.height);
  if (c.Empty()) return;
  for (int row = 0; row < c.h; ++row) {
    RasterPixel* p = v.Row(c.y + row) + c.x;
    for (int i = 0; i < c.w; ++i) p[i] = (p[i] & andMask) | orBits;
  }
}

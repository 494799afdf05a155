#pragma once
// Internal: a snapshot of a surface's geometry taken once per call, with the
// picture-row to memory-row conversion for flipped surfaces and the clipping
// and float-sanitising helpers shared by the routines.

#include <cmath>
#include <cstddef>
#include <cstdint>

#include "raster/RasterBitmap.h"

namespace raster_detail {

struct SurfaceView {
  RasterPixel* bits = nullptr;
  int width = 0;
  int height = 0;
  int span = 0;
  bool flipped = false;

  bool Usable() const { return bits && width > 0 && height > 0 && span > 0; }
  bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
  // Memory address of picture row y.
  RasterPixel* Row(int y) const {
    const std::ptrdiff_t row = flipped ? height - 1 - y : y;
    return bits + row * std::ptrdiff_t(span);
  }
  // Step from one picture row to the next, in pixels.
  std::ptrdiff_t RowStep() const { return flipped ? -std::ptrdiff_t(span) : span; }
};

inline SurfaceView ViewOf(RasterBitmap* surface) {
  SurfaceView v;
  if (!surface) return v;
  v.bits = surface->GetBits();
  v.width = surface->GetWidth();
  v.height = surface->GetHeight();
  v.span = surface->GetRowSpan();
  v.flipped = surface->IsFlipped();
  // A span shorter than a row would make rows overlap; treat it as unusable.
  if (v.span < v.width) v.bits = nullptr;
  return v;
}

// A rectangle clipped to [0, limitW) x [0, limitH); computed in 64 bits so that
// x + w cannot overflow.
struct ClipRect {
  int x = 0, y = 0, w = 0, h = 0;
  bool Empty() const { return w <= 0 || h <= 0; }
};

inline ClipRect ClipToSize(int x, int y, int w, int h, int limitW, int limitH) {
  std::int64_t x0 = x, y0 = y, x1 = std::int64_t(x) + w, y1 = std::int64_t(y) + h;
  if (x0 < 0) x0 = 0;
  if (y0 < 0) y0 = 0;
  if (x1 > limitW) x1 = limitW;
  if (y1 > limitH) y1 = limitH;
  ClipRect r;
  if (x1 <= x0 || y1 <= y0) return r;
  r.x = int(x0);
  r.y = int(y0);
  r.w = int(x1 - x0);
  r.h = int(y1 - y0);
  return r;
}

// Weights beyond +-64 have no visible meaning (every channel already saturates)
// and would overflow the integer arithmetic; NaN draws nothing.
constexpr float kMaxWeight = 64.0f;
inline float SaneWeight(float weight) {
  if (!(weight == weight)) return 0.0f;
  if (weight > kMaxWeight) return kMaxWeight;
  if (weight < -kMaxWeight) return -kMaxWeight;
  return weight;
}

// Float coordinates further out than this address no pixel of any surface the
// library can hold; such input (and NaN or infinity) draws nothing.
constexpr double kMaxCoord = 1073741824.0;  // 2^30
inline bool SaneCoord(double v) { return std::isfinite(v) && std::fabs(v) <= kMaxCoord; }

}  // namespace raster_detail

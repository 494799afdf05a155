#pragma once
// Internal: reading a source pixel at a 16.16 position for the scaled and
// rotated blits, against an integer clip box [left, right) x [top, bottom).

#include <cstdint>

#include "raster/RasterBilinearTapsSse2.h"
#include "raster/RasterBlendOps.h"
#include "raster/RasterSurfaceView.h"

namespace raster_detail {

struct SampleBox {
  int left = 0, top = 0, right = 0, bottom = 0;
};

// Nearest: the pixel at (sx, sy) when it lies inside the box.
inline bool SampleNearest(const SurfaceView& s, const SampleBox& b, std::int64_t sx,
                          std::int64_t sy, RasterPixel& out) {
  if (sx < b.left || sx >= b.right || sy < b.top || sy >= b.bottom) return false;
  out = s.Row(int(sy))[sx];
  return true;
}

// Bilinear at integer position (sx, sy) with vertical fraction f and horizontal
// fraction g: four taps inside, two taps along the last row or last column, the
// single pixel in the last corner, nothing outside.
template <class Taps>
inline bool SampleBilinear(Taps& taps, const SurfaceView& s, const SampleBox& b, std::int64_t sx,
                           std::int64_t sy, std::uint32_t f, std::uint32_t g, RasterPixel& out) {
  if (sx < b.left || sx >= b.right || sy < b.top || sy >= b.bottom) return false;
  const RasterPixel* row = s.Row(int(sy)) + sx;
  const bool lastRow = sy == b.bottom - 1;
  const bool lastCol = sx == b.right - 1;
  if (lastRow) {
    out = lastCol ? row[0] : TwoTap(row[0], row[1], g);
    return true;
  }
  const RasterPixel* below = s.Row(int(sy) + 1) + sx;
  if (lastCol) {
    out = TwoTap(row[0], below[0], f);
    return true;
  }
  out = taps.Four(row, below, f, g);
  return true;
}

// Copy at full weight: (d x 0 + s x 256) / 256 is s itself, so the pixel is
// simply replaced.
struct OpReplace {
  static RasterPixel Apply(RasterPixel, RasterPixel s, int) { return s; }
};

// Calls fn with the operator type, with OpReplace standing in for a copy at
// full weight, and with the bilinear taps to use.
template <class Fn>
inline void WithSampledBlend(BlendKind kind, int w, bool fast, Fn&& fn) {
  const auto withTaps = [&](auto op) {
    if (fast)
      fn(op, Sse2Taps{});
    else
      fn(op, ReferenceTaps{});
  };
  if (kind == BlendKind::Copy && w == 256)
    withTaps(OpReplace{});
  else
    WithBlend(kind, withTaps);
}

}  // namespace raster_detail

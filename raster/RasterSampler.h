#pragma once
// Internal: reading a source pixel at a 16.16 position for the scaled and
// rotated blits, against an integer clip box [left, right) x [top, bottom).

#include <cstdint>

#include "raster/RasterBilinearRun.h"
#include "raster/RasterBilinearTapsSse2.h"
#include "raster/RasterBlendOps.h"
#include "raster/RasterRowKernels.h"
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

// The four-tap interior of a blit: a loop that samples and blends in one
// pass where there is one for the operator, else the run sampler and the row
// blend that applies the operator (null when the samples simply replace the
// destination).
struct InteriorKernels {
  BlendKind kind = BlendKind::None;
  BilinearBlendKernel sampleAndBlend = nullptr;
  BilinearRunKernel sample = nullptr;
  RowKernel blend = nullptr;
};

inline InteriorKernels InteriorKernelsFor(BlendKind kind, int w) {
  InteriorKernels k;
  k.kind = kind;
  k.sampleAndBlend = SelectBilinearBlendKernel();
  k.sample = SelectBilinearRunKernel();
  if (!(kind == BlendKind::Copy && w == 256)) k.blend = SelectRowKernel(kind);
  return k;
}

// Draws a run of four-tap samples onto dp; without a one-pass loop, blending
// goes through a small buffer so that the sampler and the blend each run
// their own vector loop.
inline void DrawBilinearRun(const InteriorKernels& k, const BilinearRun& run, RasterPixel* dp,
                            int w) {
  if (k.sampleAndBlend && k.sampleAndBlend(run, dp, k.kind, w)) return;
  if (!k.blend) {
    k.sample(run, dp);
    return;
  }
  constexpr int kChunk = 256;
  RasterPixel samples[kChunk];
  BilinearRun part = run;
  for (int done = 0; done < run.n; done += kChunk) {
    part.n = run.n - done < kChunk ? run.n - done : kChunk;
    k.sample(part, samples);
    k.blend(dp + done, samples, part.n, w);
    part.x += part.dx * kChunk;
    part.y += part.dy * kChunk;
  }
}

// Copy at full weight: (d x 0 + s x 256) / 256 is s itself, so the pixel is
// simply replaced.
struct OpReplace {
  static RasterPixel Apply(RasterPixel, RasterPixel s, int) { return s; }
};

// Calls fn with the operator type, with OpReplace standing in for a copy at
// full weight.
template <class Fn>
inline void WithSampledBlend(BlendKind kind, int w, Fn&& fn) {
  if (kind == BlendKind::Copy && w == 256)
    fn(OpReplace{});
  else
    WithBlend(kind, fn);
}

}  // namespace raster_detail

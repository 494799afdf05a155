#include "raster/RasterScaledBlit.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "raster/RasterBlit.h"
#include "raster/RasterRowKernels.h"
#include "raster/RasterSampler.h"

using namespace raster_detail;

namespace {

struct ScaledSetup {
  int x = 0, y = 0, w = 0, h = 0;        // destination rectangle, clipped
  double rowPos = 0, rowStep = 0;        // source row position, as a double
  std::int64_t colPos = 0, colStep = 0;  // source column position, 16.16
  SampleBox box;
};

// 16.16 fixed point of a value already known to be within +-2^31.
std::int64_t Fixed(double v) { return std::int64_t(v * 65536.0); }

template <class Op>
void ScaledNearest(const SurfaceView& d, const SurfaceView& s, const ScaledSetup& q, int w) {
  double rowPos = q.rowPos;
  for (int row = 0; row < q.h; ++row, rowPos += q.rowStep) {
    const std::int64_t sy = std::int64_t(std::floor(rowPos));
    if (sy < q.box.top || sy >= q.box.bottom) continue;
    const RasterPixel* src = s.Row(int(sy));
    const std::int64_t left = q.box.left, right = q.box.right, step = q.colStep;
    const int n = q.w;
    RasterPixel* dp = d.Row(q.y + row) + q.x;
    std::int64_t colPos = q.colPos;
    for (int i = 0; i < n; ++i, colPos += step) {
      const std::int64_t sx = colPos >> 16;
      if (sx >= left && sx < right) dp[i] = Op::Apply(dp[i], src[sx], w);
    }
  }
}

// Number of pixels from colPos on (at least 1) whose column stays within
// [left, lastCol), the four-tap columns; colPos itself lies in that range.
std::int64_t InteriorRun(std::int64_t colPos, std::int64_t step, std::int64_t left,
                         std::int64_t lastCol) {
  if (step > 0) return (lastCol * 65536 - colPos + step - 1) / step;
  if (step < 0) return (colPos - left * 65536) / -step + 1;
  return INT64_MAX;
}

// Four taps inside the box; along its last row two taps across (the very last
// pixel alone); along its last column two taps down.
template <class Op>
void ScaledBilinear(const SurfaceView& d, const SurfaceView& s, const ScaledSetup& q, int w,
                    const InteriorKernels& interior) {
  double rowPos = q.rowPos;
  for (int row = 0; row < q.h; ++row, rowPos += q.rowStep) {
    // Floor, not truncation, so positions just above row 0 fall outside and
    // the fraction stays in 0..65535 (the same as truncation from 0 down).
    const double fy = std::floor(rowPos);
    const std::int64_t sy = std::int64_t(fy);
    if (sy < q.box.top || sy >= q.box.bottom) continue;
    const std::uint32_t f = std::uint32_t((rowPos - fy) * 65536.0) & 0xFFFFu;
    const bool lastRow = sy == q.box.bottom - 1;
    const RasterPixel* src = s.Row(int(sy));
    const RasterPixel* below = lastRow ? src : s.Row(int(sy) + 1);
    // Locals: the stores through dp could otherwise force reloads of q.
    const std::int64_t left = q.box.left, lastCol = q.box.right - 1, step = q.colStep;
    const int n = q.w;
    RasterPixel* dp = d.Row(q.y + row) + q.x;
    std::int64_t colPos = q.colPos;
    for (int i = 0; i < n; ++i, colPos += step) {
      const std::int64_t sx = colPos >> 16;
      if (sx < left || sx > lastCol) continue;
      if (sx < lastCol) {
        // A run of four-tap pixels: column positions move monotonically,
        // so its length follows from the step and needs no tests inside.
        // Along the last row the two taps across are four taps with a zero
        // vertical fraction, whose lower pair weighs nothing: the run reads
        // that row as its only row, the lower pair being the row itself.
        BilinearRun run;
        run.origin = lastRow ? src : s.Row(0);
        run.rowStep = lastRow ? 0 : s.RowStep();
        run.x = colPos;
        run.y = lastRow ? 0 : sy * 65536 + f;
        run.dx = step;
        run.n = int(std::min<std::int64_t>(n - i, InteriorRun(colPos, step, left, lastCol)));
        DrawBilinearRun(interior, run, dp + i, w);
        i += run.n - 1;
        colPos += step * (run.n - 1);  // the outer loop steps past the run's last pixel
        continue;
      }
      // The last column: two taps down, or the corner pixel alone.
      const RasterPixel sample = lastRow ? src[sx] : TwoTap(src[sx], below[sx], f);
      dp[i] = Op::Apply(dp[i], sample, w);
    }
  }
}

bool SaneInputs(float a, float b, float c, float e) {
  return SaneCoord(a) && SaneCoord(b) && SaneCoord(c) && SaneCoord(e);
}

}  // namespace

void RasterScaledBlit(RasterBitmap* dst, RasterBitmap* src, int x, int y, int dstW, int dstH,
                      float srcX, float srcY, float srcW, float srcH, float weight, int mode) {
  if (!dst || !src || dstW == 0 || dstH == 0) return;
  if (!SaneInputs(srcX, srcY, srcW, srcH)) return;
  const bool bilinear = (mode & BLIT_FILTER_MASK) == BLIT_FILTER_BILINEAR;

  // Same size: an unscaled blit, unless bilinear sampling of a fractional
  // offset would blend neighbours.
  if (std::fabs(double(srcW) - dstW) < 0.001 && std::fabs(double(srcH) - dstH) < 0.001) {
    const bool fractional =
        std::fabs(srcX - std::floor(srcX)) >= 0.03f || std::fabs(srcY - std::floor(srcY)) >= 0.03f;
    if (!(bilinear && fractional)) {
      const int left = int(srcX), top = int(srcY);
      const RasterBox box{
          left, top, int(std::clamp<std::int64_t>(std::int64_t(left) + dstW, INT32_MIN, INT32_MAX)),
          int(std::clamp<std::int64_t>(std::int64_t(top) + dstH, INT32_MIN, INT32_MAX))};
      RasterBlit(dst, src, x, y, &box, weight, mode);
      return;
    }
  }

  const SurfaceView d = ViewOf(dst);
  const SurfaceView s = ViewOf(src);
  if (!d.Usable() || !s.Usable()) return;

  // Source limits come from the rectangle whichever way it faces.
  double sx0 = srcX, sy0 = srcY, sw = srcW, sh = srcH;
  ScaledSetup q;
  q.box.left = int(std::max(std::trunc(std::min(sx0, sx0 + sw)), 0.0));
  q.box.top = int(std::max(std::trunc(std::min(sy0, sy0 + sh)), 0.0));
  q.box.right = int(std::min(std::ceil(std::max(sx0, sx0 + sw)), double(s.width)));
  q.box.bottom = int(std::min(std::ceil(std::max(sy0, sy0 + sh)), double(s.height)));

  std::int64_t dx = x, dy = y, dw = dstW, dh = dstH;
  double stepX = sw / double(dw < 0 ? -dw : dw), stepY = sh / double(dh < 0 ? -dh : dh);
  // Mirroring: the destination is walked from its far edge, sampling the very
  // positions the unmirrored blit would, in reverse order.
  if (dw < 0) {
    dx += dw;
    dw = -dw;
    sx0 = sx0 + sw - stepX;
    stepX = -stepX;
  }
  if (dh < 0) {
    dy += dh;
    dh = -dh;
    sy0 = sy0 + sh - stepY;
    stepY = -stepY;
  }
  if (dx < 0) {
    sx0 += double(-dx) * stepX;
    dw += dx;
    dx = 0;
  }
  if (dy < 0) {
    sy0 += double(-dy) * stepY;
    dh += dy;
    dy = 0;
  }
  dw = std::min<std::int64_t>(dw, d.width - dx);
  dh = std::min<std::int64_t>(dh, d.height - dy);
  if (dw < 1 || dh < 1) return;
  if (!SaneCoord(sx0) || !SaneCoord(sy0) || !SaneCoord(stepX) || !SaneCoord(stepY)) return;

  q.x = int(dx);
  q.y = int(dy);
  q.w = int(dw);
  q.h = int(dh);
  q.rowPos = sy0;
  q.rowStep = stepY;
  q.colPos = Fixed(sx0);
  q.colStep = Fixed(stepX);

  weight = SaneWeight(weight);
  const int w = int(weight * 256.0f);
  const BlendKind kind = SelectBlend(mode, weight);
  const InteriorKernels interior = InteriorKernelsFor(kind, w);
  WithSampledBlend(kind, w, [&](auto op) {
    using Op = decltype(op);
    if (bilinear)
      ScaledBilinear<Op>(d, s, q, w, interior);
    else
      ScaledNearest<Op>(d, s, q, w);
  });
}

#include "raster/RasterRotatedBlit.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <initializer_list>

#include "raster/RasterRowKernels.h"
#include "raster/RasterSampler.h"

using namespace raster_detail;

namespace {

struct RotatedSetup {
  int x = 0, y = 0, w = 0, h = 0;       // destination rectangle, clipped
  std::int64_t startX = 0, startY = 0;  // source position of its top-left pixel, 16.16
  std::int64_t colX = 0, colY = 0;      // source step per destination column, 16.16
  std::int64_t rowX = 0, rowY = 0;      // source step per destination row, 16.16
  SampleBox box;
};

// Rounded, not truncated: sin and cos of a right angle come out a hair below 1,
// and a truncated step of 65535 would slip one source pixel per 65536 rows'
// worth of travel, already visible as a one-pixel shear after the first row.
std::int64_t Fixed(double v) { return std::llround(v * 65536.0); }

template <class Op>
void RotatedNearest(const SurfaceView& d, const SurfaceView& s, const RotatedSetup& q, int w) {
  // Locals: the stores through dp could otherwise force reloads of q.
  const SampleBox box = q.box;
  const std::int64_t colX = q.colX, colY = q.colY;
  const int n = q.w;
  std::int64_t rowX = q.startX, rowY = q.startY;
  for (int row = 0; row < q.h; ++row, rowX += q.rowX, rowY += q.rowY) {
    RasterPixel* dp = d.Row(q.y + row) + q.x;
    std::int64_t px = rowX, py = rowY;
    for (int i = 0; i < n; ++i, px += colX, py += colY) {
      // Arithmetic shift (floor) keeps positions just left of or above the
      // source outside it.
      RasterPixel sample;
      if (SampleNearest(s, box, px >> 16, py >> 16, sample)) dp[i] = Op::Apply(dp[i], sample, w);
    }
  }
}

// Per destination row, the columns whose four taps all lie in the box form one
// interval (a straight line through a rectangle); it is drawn as a run. The
// columns before and after it are sampled one by one with every edge rule.
template <class Op, class Taps>
void RotatedBilinear(const SurfaceView& d, const SurfaceView& s, const RotatedSetup& q, int w,
                     const InteriorKernels& interior) {
  const SampleBox box = q.box;
  const std::int64_t colX = q.colX, colY = q.colY;
  const int n = q.w;
  std::int64_t rowX = q.startX, rowY = q.startY;
  Taps taps;
  const auto edge = [&](RasterPixel* dp, int from, int to) {
    std::int64_t px = rowX + from * colX, py = rowY + from * colY;
    for (int i = from; i < to; ++i, px += colX, py += colY) {
      // Arithmetic shift (floor) keeps positions just left of or above the
      // source outside it and the fractions in 0..65535.
      RasterPixel sample;
      if (SampleBilinear(taps, s, box, px >> 16, py >> 16, std::uint32_t(py & 0xFFFF),
                         std::uint32_t(px & 0xFFFF), sample))
        dp[i] = Op::Apply(dp[i], sample, w);
    }
  };
  for (int row = 0; row < q.h; ++row, rowX += q.rowX, rowY += q.rowY) {
    RasterPixel* dp = d.Row(q.y + row) + q.x;
    const IndexRange across =
        StepsInside(rowX, colX, std::int64_t(box.left) << 16, std::int64_t(box.right - 1) << 16, n);
    const IndexRange down =
        StepsInside(rowY, colY, std::int64_t(box.top) << 16, std::int64_t(box.bottom - 1) << 16, n);
    const int first = std::max(across.first, down.first);
    const int last = std::max(first, std::min(across.last, down.last));
    edge(dp, 0, first);
    if (last > first) {
      BilinearRun run;
      run.origin = s.Row(0);
      run.rowStep = s.RowStep();
      run.x = rowX + first * colX;
      run.y = rowY + first * colY;
      run.dx = colX;
      run.dy = colY;
      run.n = last - first;
      DrawBilinearRun(interior, run, dp + first, w);
    }
    edge(dp, last, n);
  }
}

SampleBox ClipBox(const SurfaceView& s, bool clipToSource, double sx, double sy, double sw,
                  double sh) {
  SampleBox b{0, 0, s.width, s.height};
  if (!clipToSource) return b;
  b.left = int(std::max(std::trunc(std::min(sx, sx + sw)), 0.0));
  b.top = int(std::max(std::trunc(std::min(sy, sy + sh)), 0.0));
  b.right = int(std::min(std::ceil(std::max(sx, sx + sw)), double(s.width)));
  b.bottom = int(std::min(std::ceil(std::max(sy, sy + sh)), double(s.height)));
  return b;
}

}  // namespace

void RasterRotatedBlit(RasterBitmap* dst, RasterBitmap* src, int x, int y, int dstW, int dstH,
                       float srcX, float srcY, float srcW, float srcH, float angle,
                       bool clipToSource, float weight, int mode, float centreX, float centreY) {
  if (!dst || !src || dstW == 0 || dstH == 0) return;
  for (float v : {srcX, srcY, srcW, srcH, centreX, centreY, angle})
    if (!SaneCoord(v)) return;
  const SurfaceView d = ViewOf(dst);
  const SurfaceView s = ViewOf(src);
  if (!d.Usable() || !s.Usable()) return;

  RotatedSetup q;
  q.box = ClipBox(s, clipToSource, srcX, srcY, srcW, srcH);
  if (q.box.right <= q.box.left || q.box.bottom <= q.box.top) return;

  double sx = srcX, sy = srcY, sw = srcW, sh = srcH;
  std::int64_t dx = x, dy = y, dw = dstW, dh = dstH;
  if (dw < 0) {
    sx += sw;
    sw = -sw;
    dx += dw;
    dw = -dw;
  }
  if (dh < 0) {
    sy += sh;
    sh = -sh;
    dy += dh;
    dh = -dh;
  }

  const double sn = std::sin(double(angle)), cs = std::cos(double(angle));
  const double colX = cs * sw / double(dw), colY = -sn * sh / double(dh);
  const double rowX = sn * sw / double(dw), rowY = cs * sh / double(dh);
  // Chosen so that the destination centre maps to the source centre plus (centreX, centreY).
  double startX = sx - ((double(dh) * rowX + double(dw) * colX - sw) * 0.5 - centreX);
  double startY = sy - ((double(dw) * colY + double(dh) * rowY - sh) * 0.5 - centreY);

  if (dx < 0) {
    startX += double(-dx) * colX;
    startY += double(-dx) * colY;
    dw += dx;
    dx = 0;
  }
  if (dy < 0) {
    startX += double(-dy) * rowX;
    startY += double(-dy) * rowY;
    dh += dy;
    dy = 0;
  }
  dw = std::min<std::int64_t>(dw, d.width - dx);
  dh = std::min<std::int64_t>(dh, d.height - dy);
  if (dw < 1 || dh < 1) return;
  // Every position stepped to lies between the corners; keeping them in range
  // keeps the 16.16 accumulators far from overflow.
  const double farX = double(dw) * colX + double(dh) * rowX,
               farY = double(dw) * colY + double(dh) * rowY;
  for (double v : {startX, startY, startX + farX, startY + farY, colX, colY, rowX, rowY})
    if (!SaneCoord(v)) return;
  for (double v : {double(dw) * colX, double(dh) * rowX, double(dw) * colY, double(dh) * rowY})
    if (!SaneCoord(v)) return;

  q.x = int(dx);
  q.y = int(dy);
  q.w = int(dw);
  q.h = int(dh);
  q.startX = Fixed(startX);
  q.startY = Fixed(startY);
  q.colX = Fixed(colX);
  q.colY = Fixed(colY);
  q.rowX = Fixed(rowX);
  q.rowY = Fixed(rowY);

  weight = SaneWeight(weight);
  const int w = int(weight * 256.0f);
  const bool bilinear = (mode & BLIT_FILTER_MASK) == BLIT_FILTER_BILINEAR;
  const BlendKind kind = SelectBlend(mode, weight);
  const InteriorKernels interior = InteriorKernelsFor(kind, w);
  const bool fastTaps = FastPathsEnabled();
  WithSampledBlend(kind, w, [&](auto op) {
    using Op = decltype(op);
    if (!bilinear)
      RotatedNearest<Op>(d, s, q, w);
    else if (fastTaps)
      RotatedBilinear<Op, Sse2Taps>(d, s, q, w, interior);
    else
      RotatedBilinear<Op, ReferenceTaps>(d, s, q, w, interior);
  });
}

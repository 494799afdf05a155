#include "raster/RasterBlit.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "raster/MemBitmap.h"
#include "raster/RasterBlendOps.h"
#include "raster/RasterFillPixels.h"
#include "raster/RasterRowKernels.h"
#include "raster/RasterRowKernelsSse2.h"
#include "raster/RasterSurfaceView.h"

using namespace raster_detail;

void RasterPutPixel(RasterBitmap* surface, int x, int y, RasterPixel colour, float weight,
                    int mode) {
  const SurfaceView v = ViewOf(surface);
  if (!v.Usable() || !v.Contains(x, y)) return;
  weight = SaneWeight(weight);
  const int w = int(weight * 256.0f);
  RasterPixel* p = v.Row(y) + x;
  WithBlend(SelectBlend(mode, weight), [&](auto op) { *p = decltype(op)::Apply(*p, colour, w); });
}

namespace {

// Fill with one operator; the source alpha channel is the weight itself.
template <class ChannelFn>
void FillWith(const SurfaceView& v, const ClipRect& c, RasterPixel colour, int w, ChannelFn fn) {
  const int src[4] = {RasterBlue(colour), RasterGreen(colour), RasterRed(colour), w};
  for (int row = 0; row < c.h; ++row) {
    RasterPixel* p = v.Row(c.y + row) + c.x;
    for (int i = 0; i < c.w; ++i) {
      const RasterPixel d = p[i];
      RasterPixel out = 0;
      for (int ch = 0; ch < 4; ++ch)
        out |= RasterPixel(Clamp255(fn(int((d >> (8 * ch)) & 0xFF), src[ch]))) << (8 * ch);
      p[i] = out;
    }
  }
}

// Rectangles as wide as the row span are one run in memory (bottom-up rows
// included: the block simply starts at the lowest memory row).
void FillSolid(const SurfaceView& v, const ClipRect& c, RasterPixel solid) {
  if (c.w == v.span) {
    RasterPixel* first = std::min(v.Row(c.y), v.Row(c.y + c.h - 1));
    FillPixels(first, std::size_t(c.w) * std::size_t(c.h), solid);
    return;
  }
  for (int row = 0; row < c.h; ++row) FillPixels(v.Row(c.y + row) + c.x, std::size_t(c.w), solid);
}

}  // namespace

void RasterFillRect(RasterBitmap* surface, int x, int y, int w, int h, RasterPixel colour,
                    float weight, int mode) {
  if (mode & BLIT_USE_ALPHA) weight = weight * float(RasterAlpha(colour)) * 0.003921569f;
  const SurfaceView v = ViewOf(surface);
  if (!v.Usable()) return;
  const ClipRect c = ClipToSize(x, y, w, h, v.width, v.height);
  if (c.Empty()) return;
  const int iw = int(SaneWeight(weight) * 256.0f);
  switch (mode & BLIT_OPERATOR_MASK) {
    case BLIT_COPY:
      if (iw == 256) {
        // Full weight replaces the colour channels and saturates alpha (256 -> 255).
        FillSolid(v, c, colour | 0xFF000000u);
        return;
      }
      FillWith(v, c, colour, iw, [iw](int d, int s) { return Div256(d * (256 - iw) + s * iw); });
      return;
    case BLIT_ADD:
      FillWith(v, c, colour, iw, [iw](int d, int s) { return d + Div256(s * iw); });
      return;
    case BLIT_DODGE:
      FillWith(v, c, colour, iw, [iw](int d, int s) { return DodgeChannel(d, s, iw); });
      return;
    default:
      return;
  }
}

namespace {

// Source region and destination position after clipping, in 64-bit arithmetic
// so that boxes near the limits of int cannot overflow.
struct BlitGeometry {
  int srcLeft = 0, srcTop = 0, width = 0, height = 0, x = 0, y = 0;
};

bool ClipBlit(const SurfaceView& d, const SurfaceView& s, int x, int y, const RasterBox* box,
              BlitGeometry& g) {
  std::int64_t left = 0, top = 0, right = s.width, bottom = s.height;
  if (box) {
    left = std::max<std::int64_t>(box->left, 0);
    top = std::max<std::int64_t>(box->top, 0);
    right = std::min<std::int64_t>(box->right, s.width);
    bottom = std::min<std::int64_t>(box->bottom, s.height);
  }
  std::int64_t dx = x, dy = y;
  if (dx < 0) {
    left -= dx;
    dx = 0;
  }
  if (dy < 0) {
    top -= dy;
    dy = 0;
  }
  right = std::min<std::int64_t>(right, left + (d.width - dx));
  bottom = std::min<std::int64_t>(bottom, top + (d.height - dy));
  if (right <= left || bottom <= top) return false;
  g = {int(left), int(top), int(right - left), int(bottom - top), int(dx), int(dy)};
  return true;
}

void ChannelCopy(const SurfaceView& d, const SurfaceView& s, const BlitGeometry& g, int mode) {
  const int srcShift = 8 * (mode & 3);
  const int dstShift = 8 * ((mode >> 2) & 3);
  const RasterPixel keep = ~(RasterPixel(0xFF) << dstShift);
  for (int row = 0; row < g.height; ++row) {
    const RasterPixel* sp = s.Row(g.srcTop + row) + g.srcLeft;
    RasterPixel* dp = d.Row(g.y + row) + g.x;
    for (int i = 0; i < g.width; ++i)
      dp[i] = (dp[i] & keep) | (((sp[i] >> srcShift) & 0xFF) << dstShift);
  }
}

// True when the destination rectangle covers pixels of the source rectangle of the
// same surface, so that writing one could change what is still to be read.
bool Overlaps(const BlitGeometry& g) {
  return g.x < g.srcLeft + g.width && g.srcLeft < g.x + g.width && g.y < g.srcTop + g.height &&
         g.srcTop < g.y + g.height;
}

void BlitPixels(const SurfaceView& d, const SurfaceView& s, const BlitGeometry& g, bool sameSurface,
                float weight, int mode) {
  const int op = mode & BLIT_OPERATOR_MASK;
  if (op >= BLIT_CHANNEL_COPY) {
    ChannelCopy(d, s, g, mode);
    return;
  }
  if (op == BLIT_COPY && !(mode & BLIT_USE_ALPHA) && weight == 1.0f) {
    // A surface blitted onto itself: memmove handles rows that overlap
    // sideways, and rows moving down go bottom row first so that none is
    // overwritten before it was read.
    const bool vector = !sameSurface && FastPathsEnabled();
    const bool bottomUp = sameSurface && g.y > g.srcTop;
    for (int i = 0; i < g.height; ++i) {
      const int row = bottomUp ? g.height - 1 - i : i;
      RasterPixel* to = d.Row(g.y + row) + g.x;
      const RasterPixel* from = s.Row(g.srcTop + row) + g.srcLeft;
      if (!(vector && CopyPixelsSse2(to, from, g.width)))
        std::memmove(to, from, std::size_t(g.width) * 4u);
    }
    return;
  }
  weight = SaneWeight(weight);
  const RowKernel kernel = SelectRowKernel(SelectBlend(mode, weight));
  if (!kernel) return;
  const int w = int(weight * 256.0f);
  for (int row = 0; row < g.height; ++row)
    kernel(d.Row(g.y + row) + g.x, s.Row(g.srcTop + row) + g.srcLeft, g.width, w);
}

}  // namespace

void RasterBlit(RasterBitmap* dst, RasterBitmap* src, int x, int y, const RasterBox* srcBox,
                float weight, int mode) {
  const SurfaceView d = ViewOf(dst);
  const SurfaceView s = ViewOf(src);
  if (!d.Usable() || !s.Usable()) return;
  BlitGeometry g;
  if (!ClipBlit(d, s, x, y, srcBox, g)) return;
  const bool sameSurface = dst == src;
  const int op = mode & BLIT_OPERATOR_MASK;
  const bool plainCopy = op == BLIT_COPY && !(mode & BLIT_USE_ALPHA) && weight == 1.0f;
  if (sameSurface && !plainCopy && Overlaps(g)) {
    // Blending reads every source pixel after earlier ones were written: blend
    // from a copy of the source rectangle instead (rare, never on the audio side).
    MemBitmap copy(g.width, g.height);
    const SurfaceView c = ViewOf(&copy);
    if (!c.Usable()) return;
    for (int row = 0; row < g.height; ++row)
      std::memcpy(c.Row(row), s.Row(g.srcTop + row) + g.srcLeft, std::size_t(g.width) * 4u);
    BlitGeometry fromCopy = g;
    fromCopy.srcLeft = 0;
    fromCopy.srcTop = 0;
    BlitPixels(d, c, fromCopy, false, weight, mode);
    return;
  }
  BlitPixels(d, s, g, sameSurface, weight, mode);
}

void RasterBlitRegion(RasterBitmap* dst, RasterBitmap* src, int x, int y, int srcX, int srcY,
                      int srcW, int srcH, float weight, int mode) {
  // Right and bottom saturate instead of overflowing; the clip does the rest.
  const auto edge = [](int a, int b) {
    const std::int64_t e = std::int64_t(a) + b;
    return int(std::clamp<std::int64_t>(e, INT32_MIN, INT32_MAX));
  };
  const RasterBox box{srcX, srcY, edge(srcX, srcW), edge(srcY, srcH)};
  RasterBlit(dst, src, x, y, &box, weight, mode);
}

void RasterCopy(RasterBitmap* dst, RasterBitmap* src) {
  if (!dst || !src || dst == src) return;
  dst->Resize(src->GetWidth(), src->GetHeight());
  RasterBlit(dst, src, 0, 0, nullptr, 1.0f, BLIT_COPY);
}

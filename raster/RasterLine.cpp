#include "raster/RasterLine.h"

#include <cmath>
#include <cstdlib>
#include <initializer_list>

#include "raster/RasterBlendOps.h"
#include "raster/RasterSurfaceView.h"

using namespace raster_detail;

namespace {

struct Segment {
  double x1, y1, x2, y2;
};

enum : int { kLeft = 1, kRight = 2, kAbove = 4, kBelow = 8 };

int OutCode(double x, double y, int width, int height) {
  int code = 0;
  if (x < 0) code |= kLeft;
  if (x >= width) code |= kRight;
  if (y < 0) code |= kAbove;
  if (y >= height) code |= kBelow;
  return code;
}

// Outcode clipping on whole-pixel end points. The arithmetic is in doubles so
// that end points far outside the surface cannot overflow; the loop is bounded
// because rounding at such distances could otherwise keep it moving points.
bool ClipSegment(Segment& g, int width, int height) {
  int c1 = OutCode(g.x1, g.y1, width, height);
  int c2 = OutCode(g.x2, g.y2, width, height);
  for (int round = 0; round < 8; ++round) {
    if ((c1 | c2) == 0) return true;
    if (c1 & c2) return false;
    const bool first = c1 != 0;
    const int code = first ? c1 : c2;
    const double dx = g.x2 - g.x1, dy = g.y2 - g.y1;
    double x, y;
    if (code & kBelow) {
      y = height - 1;
      x = g.x1 + std::trunc(dx * (height - g.y1) / dy);
    } else if (code & kAbove) {
      y = 0;
      x = g.x1 - std::trunc(dx * g.y1 / dy);
    } else if (code & kRight) {
      x = width - 1;
      y = g.y1 + std::trunc(dy * (width - g.x1) / dx);
    } else {
      x = 0;
      y = g.y1 - std::trunc(dy * g.x1 / dx);
    }
    if (first) {
      g.x1 = x;
      g.y1 = y;
      c1 = OutCode(x, y, width, height);
    } else {
      g.x2 = x;
      g.y2 = y;
      c2 = OutCode(x, y, width, height);
    }
  }
  return false;
}

// Writes one pixel of a line; pixels the line only touches through its
// antialiasing neighbour are tested against the surface.
template <class Op>
struct Plotter {
  const SurfaceView& v;
  RasterPixel colour;
  // Forced inline: one call per pixel costs more than the blend itself.
  [[gnu::always_inline]] void Put(int x, int y, int w) const {
    RasterPixel* p = v.bits + std::ptrdiff_t(y) * v.span + x;
    *p = Op::Apply(*p, colour, w);
  }
  [[gnu::always_inline]] void PutChecked(int x, int y, int w) const {
    if (v.Contains(x, y)) Put(x, y, w);
  }
};

template <class Op>
void StraightLine(const Plotter<Op>& p, int x1, int y1, int x2, int y2, int w) {
  const int n = std::abs(x2 - x1) + std::abs(y2 - y1);  // one of the two is 0
  const int sx = x2 > x1 ? 1 : (x2 < x1 ? -1 : 0), sy = y2 > y1 ? 1 : (y2 < y1 ? -1 : 0);
  for (int i = 0; i <= n; ++i) p.Put(x1 + i * sx, y1 + i * sy, w);
}

template <class Op>
void DiagonalLine(const Plotter<Op>& p, int x, int y, int x2, int y2, int w, bool antialias) {
  const int n = std::abs(x2 - x);
  const int sx = x2 > x ? 1 : -1, sy = y2 > y ? 1 : -1;
  if (!antialias) {
    for (int i = 0; i <= n; ++i, x += sx, y += sy) p.Put(x, y, w);
    return;
  }
  const int core = w * 3 / 4, side = w / 4;
  for (int i = 0; i < n; ++i, x += sx, y += sy) {
    p.Put(x, y, core);
    p.PutChecked(x + sx, y, side);
    p.PutChecked(x, y + sy, side);
  }
  p.Put(x, y, core);
}

// e * 255 rounded half away from zero; e never goes below 0 here, so adding a half
// and truncating gives the same result as lround without the library call.
inline int RoundShare(double e) { return int(e * 255.0 + 0.5); }

template <class Op>
void GeneralLine(const Plotter<Op>& p, int x1, int y1, int x2, int y2, int w, bool antialias) {
  const int adx = std::abs(x2 - x1), ady = std::abs(y2 - y1);
  const bool xMajor = adx > ady;
  const int major = xMajor ? adx : ady;
  const double slope = double(xMajor ? ady : adx) / double(major);
  const int sx = x2 > x1 ? 1 : -1, sy = y2 > y1 ? 1 : -1;
  // Steps along the major and minor axes as (x, y) increments.
  const int majX = xMajor ? sx : 0, majY = xMajor ? 0 : sy;
  const int minX = xMajor ? 0 : sx, minY = xMajor ? sy : 0;
  int x = x1, y = y1;
  double e = 0.0;
  if (!antialias) {
    for (int i = 0; i <= major; ++i) {
      p.PutChecked(x, y, w);  // the accumulated slope may round one step long
      if (slope + e > 0.5) {
        x += minX;
        y += minY;
        e = slope + e - 1.0;
      } else
        e = slope + e;
      x += majX;
      y += majY;
    }
    return;
  }
  for (int i = 0; i < major; ++i) {
    const int b = RoundShare(e);
    p.PutChecked(x, y, (255 - b) * w / 256);
    p.PutChecked(x + minX, y + minY, w * b / 256);
    const double t = slope + e;
    if (t > 1.0) {
      x += minX;
      y += minY;
      e = t - 1.0;
    } else
      e = t;
    x += majX;
    y += majY;
  }
  const int b = RoundShare(e);
  p.PutChecked(x, y, (255 - b) * w / 256);
}

}  // namespace

void RasterLine(RasterBitmap* surface, float x1, float y1, float x2, float y2, RasterPixel colour,
                float weight, int mode, bool antialias) {
  const SurfaceView v = ViewOf(surface);
  if (!v.Usable()) return;
  for (float c : {x1, y1, x2, y2})
    if (!std::isfinite(c)) return;
  Segment g{std::trunc(double(x1)), std::trunc(double(y1)), std::trunc(double(x2)),
            std::trunc(double(y2))};
  if (v.flipped) {
    g.y1 = v.height - 1 - g.y1;
    g.y2 = v.height - 1 - g.y2;
  }
  if (!ClipSegment(g, v.width, v.height)) return;
  const int ix1 = int(g.x1), iy1 = int(g.y1), ix2 = int(g.x2), iy2 = int(g.y2);

  weight = SaneWeight(weight);
  const int w = int(weight * 255.0f);
  WithBlend(SelectBlend(mode, weight), [&](auto op) {
    using Op = decltype(op);
    const Plotter<Op> p{v, colour};
    if (ix1 == ix2 || iy1 == iy2)
      StraightLine(p, ix1, iy1, ix2, iy2, w);
    else if (std::abs(ix2 - ix1) == std::abs(iy2 - iy1))
      DiagonalLine(p, ix1, iy1, ix2, iy2, w, antialias);
    else
      GeneralLine(p, ix1, iy1, ix2, iy2, w, antialias);
  });
}

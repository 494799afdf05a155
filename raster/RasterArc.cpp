#include "raster/RasterArc.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>

#include "raster/RasterBlendOps.h"
#include "raster/RasterSurfaceView.h"

using namespace raster_detail;

namespace {

constexpr float kTwoPi = 6.2831855f;
constexpr float kHalfPi = 1.5707964f;
constexpr float kQuadrantsPerRadian = 0.63661975f;  // 2 / pi

// Maps local quadrant-0 coordinates (u, v) onto the surface:
// x = m0 u + m1 v + cx, y = m2 u + m3 v + cy.
struct Orientation {
  double m0, m1, m2, m3;
};

Orientation QuadrantMatrix(int q) {
  switch (((q % 4) + 4) % 4) {
    case 0:
      return {1, 0, 0, -1};
    case 1:
      return {0, 1, 1, 0};
    case 2:
      return {-1, 0, 0, 1};
    default:
      return {0, -1, -1, 0};
  }
}

struct Quadrant {
  Orientation m;
  double cx, cy, r;
  double a0, a1;  // offsets within the quadrant, 0 .. pi/2
};

// Local range [lo, hi] of a coordinate whose surface position is k c + centre,
// widened by a pixel on each side because the mapping truncates and the
// antialiasing partner sits one pixel further.
void RangeFor(double k, double centre, int size, double& lo, double& hi) {
  if (k > 0) {
    lo = std::max(lo, -1.0 - centre);
    hi = std::min(hi, size - centre);
  } else if (k < 0) {
    lo = std::max(lo, centre - size);
    hi = std::min(hi, centre + 1.0);
  }
}

// The piece from (us, vs) to (ue, ve) moved onto the part of the circle that can
// reach the surface; false when nothing is left. u grows and v shrinks along it.
bool ClipPiece(const SurfaceView& s, const Quadrant& q, double& us, double& vs, double& ue,
               double& ve) {
  double uLo = 0, uHi = q.r, vLo = 0, vHi = q.r;
  RangeFor(q.m.m0, q.cx, s.width, uLo, uHi);
  RangeFor(q.m.m1, q.cx, s.width, vLo, vHi);
  RangeFor(q.m.m2, q.cy, s.height, uLo, uHi);
  RangeFor(q.m.m3, q.cy, s.height, vLo, vHi);
  if (uLo > uHi || vLo > vHi) return false;
  const double r2 = q.r * q.r;
  if (us < uLo) {
    us = uLo;
    vs = std::sqrt(r2 - uLo * uLo);
  }
  if (vs > vHi) {
    vs = vHi;
    us = std::sqrt(r2 - vHi * vHi);
  }
  if (ue > uHi) {
    ue = uHi;
    ve = std::sqrt(r2 - uHi * uHi);
  }
  if (ve < vLo) {
    ve = vLo;
    ue = std::sqrt(r2 - vLo * vLo);
  }
  return us <= ue && ve <= vs;
}

template <class Op>
struct ArcPlotter {
  const SurfaceView& s;
  const Quadrant& q;
  RasterPixel colour;
  void Put(double u, double v, int w) const {
    const int x = int(q.m.m1 * v + q.m.m0 * u + q.cx);
    const int y = int(u * q.m.m2 + v * q.m.m3 + q.cy);
    if (!s.Contains(x, y)) return;
    RasterPixel* p = s.Row(y) + x;
    *p = Op::Apply(*p, colour, w);
  }
  // Pixel A (on the circle's outer side of the step) and its partner B.
  void Pair(double ua, double va, double ub, double vb, double f, float weight,
            bool antialias) const {
    if (!antialias) {
      Put(ua, va, int(weight * 256.0f));
      return;
    }
    Put(ua, va, int((1.0 - f) * weight * 256.0));
    Put(ub, vb, int(f * weight * 256.0));
  }
};

template <class Op>
void DrawQuadrant(const SurfaceView& s, const Quadrant& q, RasterPixel colour, float weight,
                  bool antialias) {
  const double r = q.r;
  double us = 0, vs = r, ue = r, ve = 0;
  if (q.a0 > 0) {
    us = r * std::sin(q.a0);
    vs = r * std::cos(q.a0);
  }
  if (q.a1 < double(kHalfPi)) {
    ue = r * std::sin(q.a1);
    ve = r * std::cos(q.a1);
  }
  if (!ClipPiece(s, q, us, vs, ue, ve)) return;

  const ArcPlotter<Op> plot{s, q, colour};
  const double octant = r / std::sqrt(2.0);
  // Steep octant: one pixel pair per column u; p follows ceil(v) down the circle.
  double p = vs, previous = 0.0;
  for (double u = us, limit = std::min(octant, ue - 1.0); u <= limit; u += 1.0) {
    const double v = std::sqrt(r * r - u * u);
    const double f = std::ceil(v) - v;
    if (f < previous) p -= 1.0;
    previous = f;
    plot.Pair(u, p, u, p - 1.0, f, weight, antialias);
  }
  // Flat octant: one pixel pair per row v; the same walk on u.
  double c = ue;
  previous = 0.0;
  for (double v = ve, limit = std::min(octant, vs - 1.0); v <= limit; v += 1.0) {
    const double u = std::sqrt(r * r - v * v);
    const double f = std::ceil(u) - u;
    if (f < previous) c -= 1.0;
    previous = f;
    plot.Pair(c, v, c - 1.0, v, f, weight, antialias);
  }
}

float NormaliseAngle(float a) {
  // Far-out angles are brought near the range first, so the loops stay short.
  if (std::fabs(a) > 1000.0f) a = float(std::fmod(double(a), double(kTwoPi)));
  while (a < 0.0f) a += kTwoPi;
  while (a > kTwoPi) a -= kTwoPi;
  return a;
}

}  // namespace

void RasterArc(RasterBitmap* surface, float cx, float cy, float r, float startAngle, float endAngle,
               RasterPixel colour, float weight, int mode, bool antialias) {
  const SurfaceView s = ViewOf(surface);
  if (!s.Usable()) return;
  for (float c : {cx, cy, r})
    if (!SaneCoord(c)) return;
  if (!std::isfinite(startAngle) || !std::isfinite(endAngle) || !(r > 0.0f)) return;
  weight = SaneWeight(weight);

  const float start = NormaliseAngle(startAngle), end = NormaliseAngle(endAngle);
  const int first = int(start * kQuadrantsPerRadian);
  const int lastInCircle = int(std::ceil(end * kQuadrantsPerRadian)) - 1;
  const double startOffset = double(start - float(first) * kHalfPi);
  const double endOffset = double(end - float(lastInCircle) * kHalfPi);
  // An end before the start runs on past 2 pi through the quadrants after 3.
  const int last = end < start ? lastInCircle + 4 : lastInCircle;
  if (last < first) return;

  WithBlend(SelectBlend(mode, weight), [&](auto op) {
    using Op = decltype(op);
    for (int quadrant = first; quadrant <= last; ++quadrant) {
      const double a0 = quadrant == first ? startOffset : 0.0;
      const double a1 = quadrant == last ? endOffset : double(kHalfPi);
      const Quadrant q{QuadrantMatrix(quadrant), cx, cy, r, a0, a1};
      DrawQuadrant<Op>(s, q, colour, weight, antialias);
    }
  });
}

void RasterCircle(RasterBitmap* surface, float cx, float cy, float r, RasterPixel colour,
                  float weight, int mode, bool antialias) {
  RasterArc(surface, cx, cy, r, 0.0f, kTwoPi, colour, weight, mode, antialias);
}

#include "tools/imagegen/Paint.h"

#include <vector>

#include "raster/RasterBlit.h"
#include "raster/RasterSurface.h"

RasterPixel MixColour(RasterPixel a, RasterPixel b, float t) {
  t = std::clamp(t, 0.0f, 1.0f);
  auto mix = [t](int ca, int cb) {
    return int(std::lround(float(ca) + (float(cb) - float(ca)) * t));
  };
  return RasterMakePixel(mix(RasterAlpha(a), RasterAlpha(b)), mix(RasterRed(a), RasterRed(b)),
                         mix(RasterGreen(a), RasterGreen(b)), mix(RasterBlue(a), RasterBlue(b)));
}

RasterPixel WithAlpha(RasterPixel colour, int alpha) {
  return (colour & 0x00FFFFFFu) | (RasterPixel(std::clamp(alpha, 0, 255)) << 24);
}

void BlendOver(RasterBitmap* surface, int x, int y, RasterPixel colour, float coverage) {
  if (!surface || x < 0 || y < 0 || x >= surface->GetWidth() || y >= surface->GetHeight()) return;
  const float sa = float(RasterAlpha(colour)) / 255.0f * std::clamp(coverage, 0.0f, 1.0f);
  if (sa <= 0.0f) return;
  const RasterPixel d = RasterGetPixel(surface, x, y);
  const float da = float(RasterAlpha(d)) / 255.0f;
  const float outA = sa + da * (1.0f - sa);
  auto channel = [&](int sc, int dc) {
    return int(std::lround((float(sc) * sa + float(dc) * da * (1.0f - sa)) / outA));
  };
  const RasterPixel out = RasterMakePixel(
      int(std::lround(outA * 255.0f)), channel(RasterRed(colour), RasterRed(d)),
      channel(RasterGreen(colour), RasterGreen(d)), channel(RasterBlue(colour), RasterBlue(d)));
  // A copy at weight 1.0 (w = 256) replaces the pixel exactly.
  RasterPutPixel(surface, x, y, out, 1.0f, BLIT_COPY);
}

float RoundBoxSdf(float px, float py, float left, float top, float right, float bottom, float r) {
  const float cx = (left + right) * 0.5f;
  const float cy = (top + bottom) * 0.5f;
  const float hx = (right - left) * 0.5f - r;
  const float hy = (bottom - top) * 0.5f - r;
  const float qx = std::fabs(px - cx) - hx;
  const float qy = std::fabs(py - cy) - hy;
  const float outside = std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f));
  const float inside = std::min(std::max(qx, qy), 0.0f);
  return outside + inside - r;
}

float CapsuleSdf(float px, float py, float ax, float ay, float bx, float by, float halfWidth) {
  const float vx = bx - ax, vy = by - ay;
  const float len2 = vx * vx + vy * vy;
  const float t =
      len2 > 0.0f ? std::clamp(((px - ax) * vx + (py - ay) * vy) / len2, 0.0f, 1.0f) : 0.0f;
  return std::hypot(px - (ax + vx * t), py - (ay + vy * t)) - halfWidth;
}

namespace {

PaintBounds Around(float left, float top, float right, float bottom) {
  return PaintBounds{int(std::floor(left)) - 1, int(std::floor(top)) - 1, int(std::ceil(right)) + 1,
                     int(std::ceil(bottom)) + 1};
}

}  // namespace

void FillDisc(RasterBitmap* surface, float cx, float cy, float r, RasterPixel top,
              RasterPixel bottom) {
  FillShape(
      surface, Around(cx - r, cy - r, cx + r, cy + r),
      [=](float px, float py) { return DiscSdf(px, py, cx, cy, r); },
      [=](float, float py) { return MixColour(top, bottom, (py - (cy - r)) / (2.0f * r)); });
}

void FillRoundBox(RasterBitmap* surface, float left, float top, float right, float bottom, float r,
                  RasterPixel topColour, RasterPixel bottomColour) {
  FillShape(
      surface, Around(left, top, right, bottom),
      [=](float px, float py) { return RoundBoxSdf(px, py, left, top, right, bottom, r); },
      [=](float, float py) {
        return MixColour(topColour, bottomColour, (py - top) / (bottom - top));
      });
}

void StrokeRoundBox(RasterBitmap* surface, float left, float top, float right, float bottom,
                    float r, float width, RasterPixel colour) {
  const float h = width * 0.5f;
  FillShape(
      surface, Around(left - h, top - h, right + h, bottom + h),
      [=](float px, float py) {
        return std::fabs(RoundBoxSdf(px, py, left, top, right, bottom, r)) - h;
      },
      [=](float, float) { return colour; });
}

void DrawCapsule(RasterBitmap* surface, float ax, float ay, float bx, float by, float halfWidth,
                 RasterPixel colour) {
  FillShape(
      surface,
      Around(std::min(ax, bx) - halfWidth, std::min(ay, by) - halfWidth,
             std::max(ax, bx) + halfWidth, std::max(ay, by) + halfWidth),
      [=](float px, float py) { return CapsuleSdf(px, py, ax, ay, bx, by, halfWidth); },
      [=](float, float) { return colour; });
}

void FillVerticalGradient(RasterBitmap* surface, int x, int y, int w, int h, RasterPixel top,
                          RasterPixel bottom) {
  for (int row = 0; row < h; ++row) {
    const float t = h > 1 ? float(row) / float(h - 1) : 0.0f;
    RasterFillRect(surface, x, y + row, w, 1, MixColour(top, bottom, t) | 0xFF000000u, 1.0f,
                   BLIT_COPY);
  }
}

void AddGrain(RasterBitmap* surface, int x, int y, int w, int h, int amplitude, unsigned seed) {
  unsigned state = seed * 2654435761u + 1u;
  auto next = [&state]() {
    state = state * 1664525u + 1013904223u;
    return state >> 8;
  };
  for (int row = 0; row < h; ++row) {
    // Runs of 3..10 pixels share one value: a faint horizontal brush.
    int col = 0;
    while (col < w) {
      const int run = 3 + int(next() % 8u);
      const int level = int(next() % unsigned(2 * amplitude + 1)) - amplitude;
      const RasterPixel grey =
          RasterMakePixel(0, std::abs(level), std::abs(level), std::abs(level));
      for (int i = 0; i < run && col < w; ++i, ++col) {
        if (level != 0)
          RasterPutPixel(surface, x + col, y + row, grey, level > 0 ? 1.0f : -1.0f, BLIT_ADD);
      }
    }
  }
}

void BleedIntoTransparent(RasterBitmap* surface) {
  const int w = surface->GetWidth();
  const int h = surface->GetHeight();
  // Repeated dilation: each pass gives empty pixels the mean colour of their
  // already-coloured neighbours. A few passes cover the filter's reach.
  std::vector<unsigned char> known(std::size_t(w) * std::size_t(h));
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      known[std::size_t(y) * w + x] = RasterAlpha(RasterGetPixel(surface, x, y)) > 0;
  for (int pass = 0; pass < 4; ++pass) {
    std::vector<unsigned char> next = known;
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x) {
        if (known[std::size_t(y) * w + x]) continue;
        int r = 0, g = 0, b = 0, n = 0;
        for (int dy = -1; dy <= 1; ++dy) {
          for (int dx = -1; dx <= 1; ++dx) {
            const int nx = x + dx, ny = y + dy;
            if (nx < 0 || ny < 0 || nx >= w || ny >= h || !known[std::size_t(ny) * w + nx])
              continue;
            const RasterPixel p = RasterGetPixel(surface, nx, ny);
            r += RasterRed(p), g += RasterGreen(p), b += RasterBlue(p), ++n;
          }
        }
        if (n == 0) continue;
        RasterPutPixel(surface, x, y, RasterMakePixel(0, r / n, g / n, b / n), 1.0f, BLIT_COPY);
        next[std::size_t(y) * w + x] = 1;
      }
    }
    known.swap(next);
  }
}

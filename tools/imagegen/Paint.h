#pragma once
// Antialiased shape filling for the generated pictures. Shapes are signed
// distance functions (negative inside, in pixels); a pixel's coverage is taken
// from the distance at its centre, which gives a one-pixel soft edge. Colours
// may vary across a shape (gradients) through a colour function.

#include <algorithm>
#include <cmath>

#include "graphics/IBox.h"
#include "raster/RasterBitmap.h"

// A box: left, top, right, bottom, right and bottom exclusive.
using PaintBounds = IBox;

// Linear mix of two colours, alpha included; t in [0, 1].
RasterPixel MixColour(RasterPixel a, RasterPixel b, float t);
// The colour with its alpha replaced.
RasterPixel WithAlpha(RasterPixel colour, int alpha);

// Source-over of colour (its alpha times coverage) onto the pixel at (x, y),
// correct for transparent destinations too (non-premultiplied result).
void BlendOver(RasterBitmap* surface, int x, int y, RasterPixel colour, float coverage);

// Fills the shape inside bounds. sdf(px, py) and colour(px, py) are evaluated
// at pixel centres.
template <class Sdf, class ColourFn>
void FillShape(RasterBitmap* surface, PaintBounds bounds, Sdf sdf, ColourFn colour) {
  for (int y = bounds.top; y < bounds.bottom; ++y) {
    for (int x = bounds.left; x < bounds.right; ++x) {
      const float px = float(x) + 0.5f;
      const float py = float(y) + 0.5f;
      const float coverage = std::clamp(0.5f - sdf(px, py), 0.0f, 1.0f);
      if (coverage > 0.0f) BlendOver(surface, x, y, colour(px, py), coverage);
    }
  }
}

// Distance functions.
inline float DiscSdf(float px, float py, float cx, float cy, float r) {
  return std::hypot(px - cx, py - cy) - r;
}
inline float RingSdf(float px, float py, float cx, float cy, float r, float halfWidth) {
  return std::fabs(std::hypot(px - cx, py - cy) - r) - halfWidth;
}
// Box (left, top, right, bottom as floats) with rounded corners of radius r.
float RoundBoxSdf(float px, float py, float left, float top, float right, float bottom, float r);
// Segment from (ax, ay) to (bx, by) with round caps and the given half width.
float CapsuleSdf(float px, float py, float ax, float ay, float bx, float by, float halfWidth);

// Convenience wrappers for the common cases.
void FillDisc(RasterBitmap* surface, float cx, float cy, float r, RasterPixel top,
              RasterPixel bottom);
void FillRoundBox(RasterBitmap* surface, float left, float top, float right, float bottom, float r,
                  RasterPixel topColour, RasterPixel bottomColour);
void StrokeRoundBox(RasterBitmap* surface, float left, float top, float right, float bottom,
                    float r, float width, RasterPixel colour);
void DrawCapsule(RasterBitmap* surface, float ax, float ay, float bx, float by, float halfWidth,
                 RasterPixel colour);

// Opaque rows from top colour to bottom colour (RasterFillRect per row).
void FillVerticalGradient(RasterBitmap* surface, int x, int y, int w, int h, RasterPixel top,
                          RasterPixel bottom);
// Adds a fixed pseudo-random grain of +-amplitude levels (grey) to an opaque area,
// stretched horizontally so it reads as brushed metal. Deterministic for a seed.
void AddGrain(RasterBitmap* surface, int x, int y, int w, int h, int amplitude, unsigned seed);
// Gives fully transparent pixels the colour of a nearby visible one, so that a
// bilinear blit does not pull dark fringes in from their (meaningless) colour.
void BleedIntoTransparent(RasterBitmap* surface);

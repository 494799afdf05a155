#pragma once
// Blending a glyph's coverage onto a row of pixels in one colour:
//   d' = d + ((s - d) coverage alpha + 32767) / 65025   (division truncating)
// on every channel, alpha included, with s the colour's channel (255 for
// alpha) and alpha the colour's alpha.

#include "raster/RasterPixel.h"

// One pixel, the formula as written.
RasterPixel GlyphBlendPixel(RasterPixel dst, RasterPixel colour, int coverage);

// n pixels of a glyph row: dst[i] blended with coverage[i]. Gives exactly
// GlyphBlendPixel's pixels (vectorised for opaque colours).
void GlyphBlendRow(RasterPixel* dst, const unsigned char* coverage, int n, RasterPixel colour);

#pragma once
// Single pixels, solid rectangles and unscaled blits with the blend operators
// of the mode word (RasterMode.h). Weights are floats, 1.0 = full strength,
// applied as trunc(weight x 256). All routines clip to the destination and do
// nothing on an empty clip or a surface without storage.

#include "raster/RasterBitmap.h"
#include "raster/RasterMode.h"

// Source rectangle: left and top inclusive, right and bottom exclusive.
struct RasterBox {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
};

// Blends colour into the pixel at (x, y). Copy needs weight > 0; add and dodge
// any non-zero weight (a negative one makes add darken).
void RasterPutPixel(RasterBitmap* surface, int x, int y, RasterPixel colour, float weight,
                    int mode);

// Blends colour over the rectangle. BLIT_USE_ALPHA folds the colour's alpha into
// the weight; the weight itself stands in for the source alpha channel.
void RasterFillRect(RasterBitmap* surface, int x, int y, int w, int h, RasterPixel colour,
                    float weight, int mode);

// Blends srcBox of src (null = the whole source) onto dst with its top-left
// corner at (x, y). Channel-copy operators copy one byte per pixel; an opaque
// copy at weight 1.0 is a plain row copy.
void RasterBlit(RasterBitmap* dst, RasterBitmap* src, int x, int y, const RasterBox* srcBox,
                float weight, int mode);

// RasterBlit of the source rectangle (srcX, srcY, srcW, srcH).
void RasterBlitRegion(RasterBitmap* dst, RasterBitmap* src, int x, int y, int srcX, int srcY,
                      int srcW, int srcH, float weight, int mode);

// Resizes dst to the size of src and copies every pixel.
void RasterCopy(RasterBitmap* dst, RasterBitmap* src);

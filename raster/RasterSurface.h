#pragma once
// Whole-surface elementary operations.

#include "raster/RasterBitmap.h"

// Sets every pixel of the surface to value.
void RasterClear(RasterBitmap* surface, RasterPixel value);

// Pixel at picture position (x, y); 0 for a null surface, no storage or a
// position outside the surface.
RasterPixel RasterGetPixel(RasterBitmap* surface, int x, int y);

// pixel = (pixel & andMask) | orBits over the rectangle clipped to the surface
// (used with 0x00FFFFFF, 0 to clear the alpha channel of a scratch surface).
void RasterMaskOr(RasterBitmap* surface, int x, int y, int w, int h, RasterPixel andMask,
                  RasterPixel orBits);

#pragma once
// Straight lines with the blend operators of the mode word. End points are
// truncated to whole pixels and the line is clipped to the surface. The weight
// is applied as trunc(weight x 255), so a copy at 1.0 gives (d + s x 255) / 256.
// Antialiasing shares each step between two pixels (three on a 45-degree line).

#include "raster/RasterBitmap.h"
#include "raster/RasterMode.h"

void RasterLine(RasterBitmap* surface, float x1, float y1, float x2, float y2, RasterPixel colour,
                float weight, int mode, bool antialias);

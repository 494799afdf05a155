#pragma once
// Circular arcs and circles centred on (cx, cy) with radius r. Angles are in
// radians, 0 at 12 o'clock, growing clockwise on a top-down surface (pi/2 at 3
// o'clock). An arc whose end lies before its start runs on past 2 pi. Unlike
// lines, arcs apply the weight as trunc(weight x 256), so an unantialiased copy
// at 1.0 writes the colour exactly.

#include "raster/RasterBitmap.h"
#include "raster/RasterMode.h"

void RasterArc(RasterBitmap* surface, float cx, float cy, float r, float startAngle, float endAngle,
               RasterPixel colour, float weight, int mode, bool antialias);

// The whole circle: RasterArc from 0 to 2 pi.
void RasterCircle(RasterBitmap* surface, float cx, float cy, float r, RasterPixel colour,
                  float weight, int mode, bool antialias);

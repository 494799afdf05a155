#pragma once
// Rotated blits: the destination rectangle (x, y, dstW, dstH) shows the source
// rectangle (srcX, srcY, srcW, srcH) turned by angle radians about its centre
// moved by (centreX, centreY). With clipToSource only pixels inside the source
// rectangle are read, otherwise anything inside the source surface. Destination
// pixels whose source position falls outside stay untouched.

#include "raster/RasterBitmap.h"
#include "raster/RasterMode.h"

void RasterRotatedBlit(RasterBitmap* dst, RasterBitmap* src, int x, int y, int dstW, int dstH,
                       float srcX, float srcY, float srcW, float srcH, float angle,
                       bool clipToSource, float weight, int mode, float centreX, float centreY);

#pragma once
// Scaled blits: the source rectangle (srcX, srcY, srcW, srcH), in fractional
// source pixels, stretched onto the destination rectangle (x, y, dstW, dstH).
// Nearest-neighbour or, with BLIT_FILTER_BILINEAR, bilinear sampling; then the
// blend operator of the mode. A negative dstW or dstH mirrors that axis.

#include "raster/RasterBitmap.h"
#include "raster/RasterMode.h"

void RasterScaledBlit(RasterBitmap* dst, RasterBitmap* src, int x, int y, int dstW, int dstH,
                      float srcX, float srcY, float srcW, float srcH, float weight, int mode);

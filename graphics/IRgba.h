#pragma once
// A colour as four 0-255 channels; converts to the raster library's 0xAARRGGBB.
#include "raster/RasterPixel.h"

struct IRgba {
  int a = 255;
  int r = 0;
  int g = 0;
  int b = 0;
};

inline RasterPixel IRgbaToPixel(IRgba c) { return RasterMakePixel(c.a, c.r, c.g, c.b); }

inline IRgba IRgbaFromPixel(RasterPixel p) {
  return IRgba{RasterAlpha(p), RasterRed(p), RasterGreen(p), RasterBlue(p)};
}

inline bool operator==(IRgba x, IRgba y) {
  return x.a == y.a && x.r == y.r && x.g == y.g && x.b == y.b;
}

#pragma once
// A loaded picture: a handle to a surface owned by the process-wide image caches.
// Frames are equally tall pictures stacked vertically.
#include "raster/RasterBitmap.h"

struct IImage {
  RasterBitmap* surface = nullptr;
  int width = 0;
  int height = 0;
  int frameCount = 1;

  // Frame count as a safe divisor: anything below 1 counts as one frame.
  int Frames() const { return frameCount < 1 ? 1 : frameCount; }
  int FrameHeight() const { return height / Frames(); }
};

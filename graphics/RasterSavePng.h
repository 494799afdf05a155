#pragma once
// Writes a surface to a PNG file (8-bit RGBA, colours as stored, not premultiplied).
#include "raster/RasterBitmap.h"

// False when the surface has no pixels or the file cannot be written.
bool RasterSavePng(RasterBitmap* surface, const char* path);

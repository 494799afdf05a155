#pragma once
// Writes a raster surface to a PNG file: 8-bit RGB for opaque pictures, 8-bit
// RGBA (not premultiplied, as the surface holds it) for the others.

#include "raster/RasterBitmap.h"

// Returns false when the surface has no pixels or the file cannot be written.
bool WritePng(RasterBitmap* surface, const char* path, bool withAlpha);

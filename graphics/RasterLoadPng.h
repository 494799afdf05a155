#pragma once
// PNG decoding into 32-bit surfaces of non-premultiplied 0xAARRGGBB pixels.
#include <cstddef>

#include "raster/RasterBitmap.h"

// Largest picture accepted, checked before anything is allocated.
constexpr int kPngMaxSide = 16384;
constexpr long long kPngMaxPixels = 16ll * 1024 * 1024;

// Decodes the PNG in bytes[0, size). With a destination, that surface is resized
// and filled and returned; otherwise a new MemBitmap is returned (owned by the
// caller). Null on any failure: short or foreign data, a libpng error (bad CRC,
// truncation), a picture larger than the limits above, a destination that will
// not take the size. Every libpng type and bit depth ends as four bytes a pixel.
RasterBitmap* RasterLoadPngFromMemory(const unsigned char* bytes, std::size_t size,
                                      RasterBitmap* destination);

// Decodes the PNG resource id of module (the platform's resource lookup; module
// may be null for the current one). Null when the resource is missing.
RasterBitmap* RasterLoadPng(void* module, int id, RasterBitmap* destination);

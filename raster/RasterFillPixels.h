#pragma once
// Internal: setting a run of pixels to one value, the inner loop of opaque fills.

#include <cstddef>

#include "raster/RasterPixel.h"

namespace raster_detail {

// Runs at least this long go to the processor's string store: it writes whole
// cache lines and reaches the cache's store bandwidth, where a vector loop of
// unaligned stores stays well below it. Below this length its start-up costs
// more than it saves.
constexpr std::size_t kStringStoreMinPixels = 256;

// Sets n pixels from p on to value. Honours VIRLEX_NO_SIMD like the other fast
// paths (the plain loop then does the work; the pixels are the same).
void FillPixels(RasterPixel* p, std::size_t n, RasterPixel value);

}  // namespace raster_detail

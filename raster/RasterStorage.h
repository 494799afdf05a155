#pragma once
// Size of the pixel block for a width x height surface, shared by the surface
// classes so they agree on what gets storage.

#include <cstddef>
#include <cstdint>

// Largest surface the library allocates: 2^28 pixels (1 GiB). Bigger requests
// and negative sizes get no storage rather than an overflowed size.
constexpr std::int64_t kRasterMaxPixels = std::int64_t(1) << 28;

// Bytes for width x height pixels; 0 when either size is not positive or the
// surface would be larger than kRasterMaxPixels.
inline std::size_t RasterStorageBytes(int width, int height) {
  if (width <= 0 || height <= 0) return 0;
  const std::int64_t pixels = std::int64_t(width) * height;
  if (pixels > kRasterMaxPixels) return 0;
  return std::size_t(pixels) * 4u;
}

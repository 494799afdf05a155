#include "raster/RasterFillPixels.h"

#include <algorithm>

#include "raster/RasterRowKernels.h"

namespace raster_detail {

namespace {

// True when StringStore below is the processor's repeated 32-bit store.
#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
constexpr bool kHaveStringStore = true;
void StringStore(RasterPixel* p, std::size_t n, RasterPixel value) {
  asm volatile("rep stosl" : "+D"(p), "+c"(n) : "a"(value) : "memory");
}
#else
constexpr bool kHaveStringStore = false;
void StringStore(RasterPixel* p, std::size_t n, RasterPixel value) { std::fill_n(p, n, value); }
#endif

}  // namespace

void FillPixels(RasterPixel* p, std::size_t n, RasterPixel value) {
  if (kHaveStringStore && n >= kStringStoreMinPixels && FastPathsEnabled())
    StringStore(p, n, value);
  else
    std::fill_n(p, n, value);
}

}  // namespace raster_detail

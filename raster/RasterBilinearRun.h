#pragma once
// Internal: runs of four-tap bilinear samples, the inner loop of the scaled and
// rotated blits. A run is a stretch of destination pixels whose source
// positions all lie where the four taps are inside the source, so it needs no
// per-pixel edge tests. The plain loop is the reference; the vectorised loops
// give identical pixels and are chosen once at run time (VIRLEX_NO_SIMD=1 keeps
// the plain loop).

#include <cstddef>
#include <cstdint>

#include "raster/RasterBlendOps.h"
#include "raster/RasterPixel.h"

namespace raster_detail {

// Pixel i of the run samples at (x + i dx, y + i dy), 16.16 fixed point: the
// four taps are the pixels at (x >> 16, y >> 16) and their right, lower and
// lower-right neighbours, and all of them exist for every i < n.
struct BilinearRun {
  const RasterPixel* origin = nullptr;  // source pixel (0, 0)
  std::ptrdiff_t rowStep = 0;           // from a source row to the one below, in pixels
  std::int64_t x = 0, y = 0, dx = 0, dy = 0;
  int n = 0;
};

// Writes the run's n samples to out.
using BilinearRunKernel = void (*)(const BilinearRun& run, RasterPixel* out);

BilinearRunKernel ReferenceBilinearRunKernel();
// The fastest loop this processor runs, honouring VIRLEX_NO_SIMD.
BilinearRunKernel SelectBilinearRunKernel();
// The SSE2 and AVX2 loops, or null when the build or the processor has none.
BilinearRunKernel Sse2BilinearRunKernel();
BilinearRunKernel Avx2BilinearRunKernel();

// Samples a run and blends it onto dst (the run's n pixels) with the operator
// kind at weight w in one pass; false, drawing nothing, for an operator or
// weight it has no exact loop for.
using BilinearBlendKernel = bool (*)(const BilinearRun& run, RasterPixel* dst, BlendKind kind,
                                     int w);
// The AVX2 one, or null when the build or the processor has none.
BilinearBlendKernel Avx2BilinearBlendKernel();
// The one to use, honouring VIRLEX_NO_SIMD; null when there is none.
BilinearBlendKernel SelectBilinearBlendKernel();

// The indices i in [0, n) with lo <= p + i step < hi, which form one interval
// [first, last) because the positions move monotonically; empty as first == last.
struct IndexRange {
  int first = 0, last = 0;
};
IndexRange StepsInside(std::int64_t p, std::int64_t step, std::int64_t lo, std::int64_t hi, int n);

}  // namespace raster_detail

#pragma once
// Internal: SSE2 versions of the row blends whose integer results can be
// reproduced exactly with 16-bit lanes (copy, copy with alpha, add, add with
// alpha). Each falls back to the reference loop for weights outside the range
// it handles exactly.

#include "raster/RasterRowKernels.h"

namespace raster_detail {

// True when this processor runs SSE2 code.
bool CpuHasSse2();
// Copies n pixels between non-overlapping runs, or returns false when this
// build has no SSE2 (the caller then uses memmove).
bool CopyPixelsSse2(RasterPixel* d, const RasterPixel* s, int n);

// The SSE2 loop for kind, or null when there is none (or no SSE2 in this build).
RowKernel Sse2RowKernel(BlendKind kind);

}  // namespace raster_detail

#pragma once
// Internal: AVX2 versions of the row blends (eight pixels per step), with the
// same exact integer results as the SSE2 and reference loops. Built only for
// x86-64 targets; elsewhere a stand-in reports that there are none.

#include "raster/RasterRowKernels.h"

namespace raster_detail {

// The AVX2 loop for kind, or null when there is none or the processor lacks AVX2.
RowKernel Avx2RowKernel(BlendKind kind);

}  // namespace raster_detail

#pragma once
// Internal: blending a run of source pixels onto a run of destination pixels,
// one function per operator. The plain loops are the reference; on processors
// that have them, vectorised versions giving identical pixels are chosen once
// at run time (VIRLEX_NO_SIMD=1 in the environment keeps the plain loops).

#include "raster/RasterBlendOps.h"

namespace raster_detail {

using RowKernel = void (*)(RasterPixel* d, const RasterPixel* s, int n, int w);

template <class Op>
void BlendRowReference(RasterPixel* d, const RasterPixel* s, int n, int w) {
  for (int i = 0; i < n; ++i) d[i] = Op::Apply(d[i], s[i], w);
}

// False when VIRLEX_NO_SIMD=1 or the processor lacks the vector unit the fast
// paths need; read once per process.
bool FastPathsEnabled();

// The plain loop for kind (null for BlendKind::None).
RowKernel ReferenceRowKernel(BlendKind kind);
// The fastest loop for kind this processor runs, honouring VIRLEX_NO_SIMD.
RowKernel SelectRowKernel(BlendKind kind);
// True when a vectorised loop exists for kind and this processor runs it.
bool HasFastRowKernel(BlendKind kind);

}  // namespace raster_detail

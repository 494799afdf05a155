// Targets without AVX2 kernels (32-bit Windows, non-x86 processors).
#include "raster/RasterBilinearRun.h"
#include "raster/RasterRowKernelsAvx2.h"

namespace raster_detail {

RowKernel Avx2RowKernel(BlendKind) { return nullptr; }
BilinearRunKernel Avx2BilinearRunKernel() { return nullptr; }
BilinearBlendKernel Avx2BilinearBlendKernel() { return nullptr; }

}  // namespace raster_detail

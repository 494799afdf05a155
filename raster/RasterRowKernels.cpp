#include "raster/RasterRowKernels.h"

#include <cstdlib>
#include <cstring>

#include "raster/RasterRowKernelsAvx2.h"
#include "raster/RasterRowKernelsSse2.h"

namespace raster_detail {

RowKernel ReferenceRowKernel(BlendKind kind) {
  switch (kind) {
    case BlendKind::Copy:
      return BlendRowReference<OpCopy>;
    case BlendKind::Add:
      return BlendRowReference<OpAdd>;
    case BlendKind::Dodge:
      return BlendRowReference<OpDodge>;
    case BlendKind::CopyAlpha:
      return BlendRowReference<OpCopyAlpha>;
    case BlendKind::AddAlpha:
      return BlendRowReference<OpAddAlpha>;
    case BlendKind::DodgeAlpha:
      return BlendRowReference<OpDodgeAlpha>;
    case BlendKind::None:
      break;
  }
  return nullptr;
}

bool FastPathsEnabled() {
  // Read once: the choice must not change between calls of one run.
  static const bool allowed = [] {
    const char* off = std::getenv("VIRLEX_NO_SIMD");
    return !(off && std::strcmp(off, "1") == 0) && CpuHasSse2();
  }();
  return allowed;
}

namespace {

// The widest vector loop for kind, chosen once per kind for the whole process.
RowKernel FastRowKernel(BlendKind kind) {
  static const RowKernel table[7] = {
      nullptr,
      Avx2RowKernel(BlendKind::Copy) ? Avx2RowKernel(BlendKind::Copy)
                                     : Sse2RowKernel(BlendKind::Copy),
      Avx2RowKernel(BlendKind::Add) ? Avx2RowKernel(BlendKind::Add) : Sse2RowKernel(BlendKind::Add),
      Avx2RowKernel(BlendKind::Dodge) ? Avx2RowKernel(BlendKind::Dodge)
                                      : Sse2RowKernel(BlendKind::Dodge),
      Avx2RowKernel(BlendKind::CopyAlpha) ? Avx2RowKernel(BlendKind::CopyAlpha)
                                          : Sse2RowKernel(BlendKind::CopyAlpha),
      Avx2RowKernel(BlendKind::AddAlpha) ? Avx2RowKernel(BlendKind::AddAlpha)
                                         : Sse2RowKernel(BlendKind::AddAlpha),
      Avx2RowKernel(BlendKind::DodgeAlpha) ? Avx2RowKernel(BlendKind::DodgeAlpha)
                                           : Sse2RowKernel(BlendKind::DodgeAlpha),
  };
  return table[int(kind)];
}

}  // namespace

bool HasFastRowKernel(BlendKind kind) {
  return FastPathsEnabled() && FastRowKernel(kind) != nullptr;
}

RowKernel SelectRowKernel(BlendKind kind) {
  if (FastPathsEnabled())
    if (RowKernel fast = FastRowKernel(kind)) return fast;
  return ReferenceRowKernel(kind);
}

}  // namespace raster_detail

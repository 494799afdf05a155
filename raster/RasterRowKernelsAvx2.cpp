// Compiled with -mavx2; nothing here runs unless the processor reports AVX2.
#include "raster/RasterRowKernelsAvx2.h"

#include <immintrin.h>

#include "raster/RasterBlendStepsAvx2.h"

namespace raster_detail {

namespace {

inline __m256i Load(const RasterPixel* p) {
  return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}
inline void Store(RasterPixel* p, __m256i v) {
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v);
}

// Runs step(d, s) over the row eight pixels at a time; the last few pixels go
// through one masked step, whose lanes past the end are neither read nor written.
template <class Step>
inline void ForEachStep(RasterPixel* d, const RasterPixel* s, int n, Step step) {
  int i = 0;
  for (; i + 8 <= n; i += 8) Store(d + i, step(Load(d + i), Load(s + i)));
  if (i == n) return;
  const __m256i mask =
      _mm256_cmpgt_epi32(_mm256_set1_epi32(n - i), _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7));
  int* dp = reinterpret_cast<int*>(d + i);
  const int* sp = reinterpret_cast<const int*>(s + i);
  _mm256_maskstore_epi32(dp, mask,
                         step(_mm256_maskload_epi32(dp, mask), _mm256_maskload_epi32(sp, mask)));
}

// The row loop of one operator: its vector step where that is exact for w,
// else the reference loop.
template <class Op, class Step>
void StepRow(RasterPixel* d, const RasterPixel* s, int n, int w) {
  if (!Step::Accepts(w)) return BlendRowReference<Op>(d, s, n, w);
  ForEachStep(d, s, n, Step(w));
}

}  // namespace

RowKernel Avx2RowKernel(BlendKind kind) {
  if (!__builtin_cpu_supports("avx2")) return nullptr;
  switch (kind) {
    case BlendKind::Copy:
      return StepRow<OpCopy, avx2::CopyStep>;
    case BlendKind::CopyAlpha:
      return StepRow<OpCopyAlpha, avx2::CopyAlphaStep>;
    case BlendKind::Add:
      return StepRow<OpAdd, avx2::AddStep<false>>;
    case BlendKind::AddAlpha:
      return StepRow<OpAddAlpha, avx2::AddStep<true>>;
    default:
      return nullptr;
  }
}

}  // namespace raster_detail

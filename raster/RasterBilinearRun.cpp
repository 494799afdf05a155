#include "raster/RasterBilinearRun.h"

#include <algorithm>

#include "raster/RasterBilinearTapsSse2.h"
#include "raster/RasterRowKernels.h"
#include "raster/RasterRowKernelsSse2.h"

namespace raster_detail {

namespace {

template <class Taps>
void SampleRun(const BilinearRun& r, RasterPixel* out) {
  Taps taps;
  std::int64_t x = r.x, y = r.y;
  for (int i = 0; i < r.n; ++i, x += r.dx, y += r.dy) {
    const RasterPixel* p = r.origin + (y >> 16) * r.rowStep + (x >> 16);
    out[i] = taps.Four(p, p + r.rowStep, std::uint32_t(y & 0xFFFF), std::uint32_t(x & 0xFFFF));
  }
}

// Floor and ceiling of a / b for b > 0.
std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
  return a >= 0 ? a / b : -((-a + b - 1) / b);
}
std::int64_t CeilDiv(std::int64_t a, std::int64_t b) { return -FloorDiv(-a, b); }

}  // namespace

BilinearRunKernel ReferenceBilinearRunKernel() { return SampleRun<ReferenceTaps>; }

BilinearRunKernel Sse2BilinearRunKernel() {
  return kHaveSse2Taps && CpuHasSse2() ? SampleRun<Sse2Taps> : nullptr;
}

BilinearRunKernel SelectBilinearRunKernel() {
  if (!FastPathsEnabled()) return SampleRun<ReferenceTaps>;
  static const BilinearRunKernel fast = [] {
    const BilinearRunKernel avx2 = Avx2BilinearRunKernel();
    return avx2 ? avx2 : Sse2BilinearRunKernel();
  }();
  return fast ? fast : SampleRun<ReferenceTaps>;
}

BilinearBlendKernel SelectBilinearBlendKernel() {
  static const BilinearBlendKernel fast = Avx2BilinearBlendKernel();
  return FastPathsEnabled() ? fast : nullptr;
}

IndexRange StepsInside(std::int64_t p, std::int64_t step, std::int64_t lo, std::int64_t hi, int n) {
  std::int64_t first = 0, last = n;
  if (lo >= hi) return {};
  if (step == 0) {
    if (p < lo || p >= hi) return {};
  } else if (step > 0) {
    // p + i step >= lo from i = ceil((lo - p) / step); < hi until ceil((hi - p) / step).
    first = CeilDiv(lo - p, step);
    last = CeilDiv(hi - p, step);
  } else {
    // Falling: below hi from i = floor((p - hi) / -step) + 1, at least lo up to
    // floor((p - lo) / -step).
    first = FloorDiv(p - hi, -step) + 1;
    last = FloorDiv(p - lo, -step) + 1;
  }
  first = std::clamp<std::int64_t>(first, 0, n);
  last = std::clamp<std::int64_t>(last, first, n);
  return {int(first), int(last)};
}

}  // namespace raster_detail

// The four-tap run loops against the reference loop, on positions chosen to
// reach every corner of the weight arithmetic, and the interval of steps that
// stay inside a range.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "raster/RasterBilinearRun.h"
#include "raster/RasterRowKernels.h"

using namespace raster_detail;

namespace {

constexpr int kW = 40, kH = 24;

std::vector<RasterPixel> RandomSource(std::mt19937& rng) {
  std::vector<RasterPixel> src(kW * kH);
  const RasterPixel extremes[] = {0x00000000u, 0xFFFFFFFFu, 0xFF000000u, 0x00FFFFFFu, 0xFF00FF00u};
  for (std::size_t i = 0; i < src.size(); ++i) src[i] = i % 3 == 0 ? extremes[i % 5] : rng();
  return src;
}

// Fractions at both ends (where the top-left weight is held at 0) and between.
std::int64_t Fraction(std::mt19937& rng) {
  const std::int64_t special[] = {0, 1, 2, 255, 256, 32767, 32768, 65279, 65534, 65535};
  return rng() % 2 ? special[rng() % 10] : std::int64_t(rng() % 65536);
}

// Steps with fractions near both ends as well, whole steps and no step.
std::int64_t Step(std::mt19937& rng) {
  const std::int64_t special[] = {0, 1, -1, 65535, -65535, 65536, -65536, 32768, 131071};
  return rng() % 2 ? special[rng() % 9] : std::int64_t(rng() % 200000) - 100000;
}

}  // namespace

TEST(BilinearRuns, FastLoopsMatchReference) {
  std::mt19937 rng(7);
  const std::vector<RasterPixel> src = RandomSource(rng);
  const BilinearRunKernel reference = ReferenceBilinearRunKernel();
  const BilinearRunKernel kernels[] = {SelectBilinearRunKernel(), Sse2BilinearRunKernel(),
                                       Avx2BilinearRunKernel()};
  int checked = 0;
  for (int trial = 0; trial < 20000; ++trial) {
    BilinearRun run;
    const bool flipped = trial % 5 == 1, oneRow = trial % 7 == 3;
    run.rowStep = flipped ? -kW : kW;
    run.origin = src.data() + (flipped ? (kH - 1) * kW : 0);
    run.dx = Step(rng);
    run.dy = oneRow ? 0 : Step(rng);
    // A start whose four taps are inside, then as many steps as stay inside.
    run.x = std::int64_t(rng() % (kW - 1)) * 65536 + Fraction(rng);
    run.y = std::int64_t(rng() % (kH - 1)) * 65536 + (oneRow && trial % 2 ? 0 : Fraction(rng));
    const IndexRange across = StepsInside(run.x, run.dx, 0, std::int64_t(kW - 1) << 16, 64);
    const IndexRange down = StepsInside(run.y, run.dy, 0, std::int64_t(kH - 1) << 16, 64);
    ASSERT_EQ(across.first, 0);
    ASSERT_EQ(down.first, 0);
    run.n = std::min<int>({across.last, down.last, 1 + int(rng() % 40)});
    std::vector<RasterPixel> expected(run.n + 8, 0x5A5A5A5Au);
    reference(run, expected.data());
    for (BilinearRunKernel kernel : kernels) {
      if (kernel == nullptr) continue;
      // Guard pixels after the run: nothing past it may be written.
      std::vector<RasterPixel> got(run.n + 8, 0x5A5A5A5Au);
      kernel(run, got.data());
      ASSERT_EQ(got, expected) << "trial " << trial << " n " << run.n << " x " << run.x << " y "
                               << run.y << " dx " << run.dx << " dy " << run.dy;
      ++checked;
    }
  }
  RecordProperty("runs_checked", checked);
}

TEST(BilinearRuns, StepsInsideIsTheExactInterval) {
  std::mt19937 rng(11);
  for (int trial = 0; trial < 20000; ++trial) {
    const std::int64_t p = std::int64_t(rng() % 4000000) - 2000000;
    const std::int64_t step = trial % 10 == 0 ? 0 : std::int64_t(rng() % 200001) - 100000;
    const std::int64_t lo = std::int64_t(rng() % 2000000) - 1000000;
    const std::int64_t hi = lo + std::int64_t(rng() % 1500000) - 100000;
    const int n = int(rng() % 70);
    const IndexRange r = StepsInside(p, step, lo, hi, n);
    ASSERT_LE(0, r.first);
    ASSERT_LE(r.first, r.last);
    ASSERT_LE(r.last, n);
    for (int i = 0; i < n; ++i) {
      const std::int64_t at = p + i * step;
      const bool inside = at >= lo && at < hi;
      const bool inRange = i >= r.first && i < r.last;
      ASSERT_EQ(inside, inRange) << "p " << p << " step " << step << " lo " << lo << " hi " << hi
                                 << " i " << i;
    }
  }
}

// Sampling and blending in one pass gives what sampling into a buffer and
// blending it with the reference operator gives, and a refused operator or
// weight draws nothing.
TEST(BilinearRuns, OnePassBlendMatchesSampleThenBlend) {
  const BilinearBlendKernel kernel = Avx2BilinearBlendKernel();
  if (kernel == nullptr) GTEST_SKIP() << "no one-pass loop on this processor";
  std::mt19937 rng(5);
  const std::vector<RasterPixel> src = RandomSource(rng);
  const BlendKind kinds[] = {BlendKind::Copy,     BlendKind::CopyAlpha, BlendKind::Add,
                             BlendKind::AddAlpha, BlendKind::Dodge,     BlendKind::DodgeAlpha};
  const int weights[] = {256, 255, 128, 1, 0, -1, -128, -256, 300, -300};
  for (int trial = 0; trial < 3000; ++trial) {
    BilinearRun run;
    run.rowStep = kW;
    run.origin = src.data();
    run.dx = Step(rng);
    run.dy = trial % 3 == 0 ? 0 : Step(rng);
    run.x = std::int64_t(rng() % (kW - 1)) * 65536 + Fraction(rng);
    run.y = std::int64_t(rng() % (kH - 1)) * 65536 + (trial % 6 == 0 ? 0 : Fraction(rng));
    const IndexRange across = StepsInside(run.x, run.dx, 0, std::int64_t(kW - 1) << 16, 64);
    const IndexRange down = StepsInside(run.y, run.dy, 0, std::int64_t(kH - 1) << 16, 64);
    run.n = std::min<int>({across.last, down.last, 1 + int(rng() % 30)});
    const BlendKind kind = kinds[rng() % 6];
    const int w = weights[rng() % 10];
    std::vector<RasterPixel> dst(run.n + 8);
    for (RasterPixel& p : dst) p = rng();
    std::vector<RasterPixel> expected = dst, samples(run.n);
    ReferenceBilinearRunKernel()(run, samples.data());
    std::vector<RasterPixel> got = dst;
    if (kernel(run, got.data(), kind, w)) {
      ReferenceRowKernel(kind)(expected.data(), samples.data(), run.n, w);
      ASSERT_EQ(got, expected) << "trial " << trial << " kind " << int(kind) << " w " << w;
    } else {
      ASSERT_EQ(got, dst) << "a refused operator drew, trial " << trial;
      ASSERT_TRUE(kind == BlendKind::Dodge || kind == BlendKind::DodgeAlpha || w > 256 ||
                  w < -256 || ((kind == BlendKind::Copy || kind == BlendKind::CopyAlpha) && w < 0))
          << "kind " << int(kind) << " w " << w;
    }
  }
}

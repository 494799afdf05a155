// Compiled with -mavx2; nothing here runs unless the processor reports AVX2.
//
// Eight samples per step. The weights of all eight are formed side by side in
// 32-bit lanes; then each sample's two pixel pairs are widened to one 32-bit
// lane per channel and multiplied by its weights, so every product and sum is
// the exact integer the reference forms. The samples can be blended onto the
// destination in the same step, without a trip through memory.
#include <immintrin.h>

#include <type_traits>

#include "raster/RasterBilinearRun.h"
#include "raster/RasterBlendStepsAvx2.h"

namespace raster_detail {

namespace {

// How a run moves through the source, which decides how each sample's pixels
// are found. Runs along one source row (scaled blits) keep the row; when that
// row has a zero vertical fraction too, the lower taps weigh nothing and are
// not read.
enum class RunShape { Slanted, Level, OnRow };

template <RunShape S>
using Shape = std::integral_constant<RunShape, S>;

// Channels of the pixel pair at p: [b g r a] of p[0], then of p[1].
inline __m256i Pair(const RasterPixel* p) {
  return _mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)));
}

// [a left + a right | b right + b left] >> 16: the channels of two samples,
// with one lane crossing (a blend is cheaper than a second one).
inline __m256i Finish(__m256i a, __m256i b) {
  const __m256i sum =
      _mm256_add_epi32(_mm256_blend_epi32(a, b, 0xF0), _mm256_permute2x128_si256(a, b, 0x21));
  return _mm256_srli_epi32(sum, 16);
}

// The top-left taps of eight samples in turn. Partial: the run may end
// within the eight, and its last sample is repeated.
template <RunShape S, bool Partial>
struct Cursor {
  const RasterPixel* origin;
  const RasterPixel* row;
  std::int64_t x, y, dx, dy;
  std::ptrdiff_t rowStep;
  int left;  // samples of the run from here on

  const RasterPixel* Next(int j) {
    const RasterPixel* p =
        (S == RunShape::Slanted ? origin + (y >> 16) * rowStep : row) + (x >> 16);
    if (!Partial || j + 1 < left) {
      x += dx;
      if (S == RunShape::Slanted) y += dy;
    }
    return p;
  }
};

// Eight samples from sample i of the run on, in order. Partial: a run with
// fewer than eight left repeats its last sample in the lanes beyond it, so
// nothing past the run is read.
template <RunShape S, bool Partial>
inline __m256i EightSamples(const BilinearRun& r, int i) {
  const std::int64_t x0 = r.x + i * r.dx, y0 = r.y + i * r.dy;
  const std::ptrdiff_t rowStep = r.rowStep;
  Cursor<S, Partial> at{r.origin, r.origin + (y0 >> 16) * rowStep, x0, y0, r.dx, r.dy, rowStep,
                        r.n - i};
  __m256i lane = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
  if (Partial) lane = _mm256_min_epi32(lane, _mm256_set1_epi32(at.left - 1));
  // Fractions need only the low 16 bits of each position, so 32-bit lanes
  // that wrap on overflow still hold them exactly.
  const __m256i px = _mm256_add_epi32(_mm256_set1_epi32(int(x0)),
                                      _mm256_mullo_epi32(lane, _mm256_set1_epi32(int(r.dx))));
  const __m256i py = _mm256_add_epi32(_mm256_set1_epi32(int(y0)),
                                      _mm256_mullo_epi32(lane, _mm256_set1_epi32(int(r.dy))));
  const __m256i low16 = _mm256_set1_epi32(0xFFFF), full = _mm256_set1_epi32(65535);
  const __m256i g = _mm256_and_si256(px, low16), f = _mm256_and_si256(py, low16);
  // k = f g >> 16; wbr = k, wr = g - k, wb = f - k, wp = 65535 - f - wr held at 0.
  const __m256i k = _mm256_srli_epi32(_mm256_mullo_epi32(f, g), 16);
  const __m256i wr = _mm256_sub_epi32(g, k), wb = _mm256_sub_epi32(f, k);
  const __m256i wp =
      _mm256_max_epi32(_mm256_sub_epi32(_mm256_sub_epi32(full, f), wr), _mm256_setzero_si256());
  // Samples 0, 1, 4, 5 in the low pairs; 2, 3, 6, 7 in the high ones.
  const __m256i topLo = _mm256_unpacklo_epi32(wp, wr), topHi = _mm256_unpackhi_epi32(wp, wr);
  const __m256i botLo = _mm256_unpacklo_epi32(wb, k), botHi = _mm256_unpackhi_epi32(wb, k);
  // Channel sums of sample j: the top pair times [wp x4, wr x4] plus the bottom
  // pair times [wb x4, wbr x4]; left and right halves still to be added.
  const auto products = [&](int j, __m256i top, __m256i bottom) {
    const RasterPixel* p = at.Next(j);
    const __m256i upper = _mm256_mullo_epi32(Pair(p), top);
    if (S == RunShape::OnRow) return upper;
    return _mm256_add_epi32(upper, _mm256_mullo_epi32(Pair(p + rowStep), bottom));
  };
  // Two samples at a time: they use pick and pick + 2 of their pairs.
  const auto two = [&](int j, __m256i top, __m256i bottom, __m256i pick) {
    const __m256i next = _mm256_add_epi32(pick, _mm256_set1_epi32(2));
    const __m256i a = products(j, _mm256_permutevar8x32_epi32(top, pick),
                               _mm256_permutevar8x32_epi32(bottom, pick));
    const __m256i b = products(j + 1, _mm256_permutevar8x32_epi32(top, next),
                               _mm256_permutevar8x32_epi32(bottom, next));
    return Finish(a, b);
  };
  const __m256i pickLow = _mm256_setr_epi32(0, 0, 0, 0, 1, 1, 1, 1);
  const __m256i pickHigh = _mm256_setr_epi32(4, 4, 4, 4, 5, 5, 5, 5);
  const __m256i s01 = two(0, topLo, botLo, pickLow);
  const __m256i s23 = two(2, topHi, botHi, pickLow);
  const __m256i s45 = two(4, topLo, botLo, pickHigh);
  const __m256i s67 = two(6, topHi, botHi, pickHigh);
  // Sums of at most 65535 x 255 shifted down fit a byte, so the packs only
  // narrow; they leave the samples in the order 0 2 4 6 | 1 3 5 7.
  const __m256i bytes =
      _mm256_packus_epi16(_mm256_packus_epi32(s01, s23), _mm256_packus_epi32(s45, s67));
  return _mm256_permutevar8x32_epi32(bytes, _mm256_setr_epi32(0, 4, 1, 5, 2, 6, 3, 7));
}

template <class Fn>
inline void WithShape(const BilinearRun& r, Fn&& fn) {
  if (r.dy != 0)
    fn(Shape<RunShape::Slanted>{});
  else if ((r.y & 0xFFFF) != 0)
    fn(Shape<RunShape::Level>{});
  else
    fn(Shape<RunShape::OnRow>{});
}

// Samples the run and blends it onto d with step, eight pixels at a time; the
// last few through one masked step that reads and writes nothing past the run.
template <RunShape S, class Step>
void BlendRun(const BilinearRun& r, RasterPixel* d, const Step& step) {
  const int n = r.n;
  int i = 0;
  for (; i + 8 <= n; i += 8) {
    __m256i* at = reinterpret_cast<__m256i*>(d + i);
    _mm256_storeu_si256(at, step(_mm256_loadu_si256(at), EightSamples<S, false>(r, i)));
  }
  if (i == n) return;
  const __m256i mask =
      _mm256_cmpgt_epi32(_mm256_set1_epi32(n - i), _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7));
  int* at = reinterpret_cast<int*>(d + i);
  _mm256_maskstore_epi32(at, mask,
                         step(_mm256_maskload_epi32(at, mask), EightSamples<S, true>(r, i)));
}

// Samples replacing the destination need not read it, and a run of eight or
// more can end with a step that overlaps the one before: it writes the same
// values again.
template <RunShape S>
void ReplaceRun(const BilinearRun& r, RasterPixel* d) {
  const int n = r.n;
  if (n < 8) {
    const __m256i mask =
        _mm256_cmpgt_epi32(_mm256_set1_epi32(n), _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7));
    _mm256_maskstore_epi32(reinterpret_cast<int*>(d), mask, EightSamples<S, true>(r, 0));
    return;
  }
  for (int i = 0;; i += 8) {
    if (i > n - 8) i = n - 8;
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + i), EightSamples<S, false>(r, i));
    if (i == n - 8) break;
  }
}

template <RunShape S, class Step>
void DrawRun(const BilinearRun& r, RasterPixel* d, const Step& step) {
  if constexpr (std::is_same_v<Step, avx2::ReplaceStep>)
    ReplaceRun<S>(r, d);
  else
    BlendRun<S>(r, d, step);
}

void SampleRunAvx2(const BilinearRun& r, RasterPixel* out) {
  if (r.n <= 0) return;
  WithShape(r, [&](auto shape) { ReplaceRun<decltype(shape)::value>(r, out); });
}

bool BlendRunAvx2(const BilinearRun& r, RasterPixel* d, BlendKind kind, int w) {
  return avx2::WithStep(kind, w, [&](const auto& step) {
    if (r.n > 0) WithShape(r, [&](auto shape) { DrawRun<decltype(shape)::value>(r, d, step); });
  });
}

}  // namespace

BilinearRunKernel Avx2BilinearRunKernel() {
  return __builtin_cpu_supports("avx2") ? SampleRunAvx2 : nullptr;
}

BilinearBlendKernel Avx2BilinearBlendKernel() {
  return __builtin_cpu_supports("avx2") ? BlendRunAvx2 : nullptr;
}

}  // namespace raster_detail

// Compiled with -mavx2; nothing here runs unless the processor reports AVX2.
//
// Eight samples per step. The weights of all eight are formed side by side in
// 32-bit lanes; then each sample's two pixel pairs are widened to one 32-bit
// lane per channel and multiplied by its weights, so every product and sum is
// the exact integer the reference forms.
#include <immintrin.h>

#include "raster/RasterBilinearRun.h"

namespace raster_detail {

namespace {

// How a run moves through the source. Runs along one source row (scaled
// blits) skip the row arithmetic per sample; when that row also has a zero
// vertical fraction, the lower taps weigh nothing and are not read at all.
enum class RunShape { Slanted, Level, OnRow };

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

template <RunShape Shape, bool Partial>
struct Cursor {
  const RasterPixel* origin;
  const RasterPixel* row;
  std::ptrdiff_t rowStep;
  std::int64_t x, y, dx, dy;
  int left;  // when Partial: samples left in the run; the last one is repeated

  // Top-left tap of the next sample.
  const RasterPixel* Next() {
    const bool slanted = Shape == RunShape::Slanted;
    const RasterPixel* p = (slanted ? origin + (y >> 16) * rowStep : row) + (x >> 16);
    if (!Partial || --left > 0) {
      x += dx;
      if (slanted) y += dy;
    }
    return p;
  }

  // Channel sums of one sample: the top pair times [wp x4, wr x4] plus the
  // bottom pair times [wb x4, wbr x4]; left and right halves still to be added.
  __m256i Products(__m256i top, __m256i bottom) {
    const RasterPixel* p = Next();
    const __m256i upper = _mm256_mullo_epi32(Pair(p), top);
    if (Shape == RunShape::OnRow) return upper;
    return _mm256_add_epi32(upper, _mm256_mullo_epi32(Pair(p + rowStep), bottom));
  }
};

// Eight samples from sample i of the run on, in order. Partial: the run may
// have fewer than eight left; its last sample is repeated in the lanes beyond
// it, so nothing past the run is read.
template <RunShape Shape, bool Partial>
inline __m256i EightSamples(const BilinearRun& r, int i) {
  const std::int64_t x0 = r.x + i * r.dx, y0 = r.y + i * r.dy;
  const std::ptrdiff_t rowStep = r.rowStep;
  Cursor<Shape, Partial> at{r.origin, r.origin + (y0 >> 16) * rowStep, rowStep, x0, y0, r.dx, r.dy,
                            r.n - i};
  // Fractions need only the low 16 bits of each position, so 32-bit lanes
  // that wrap on overflow still hold them exactly. (Lanes past the run get
  // the weights of positions that are never read; they are never stored.)
  const __m256i lane = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
  const __m256i low16 = _mm256_set1_epi32(0xFFFF), full = _mm256_set1_epi32(65535);
  const __m256i g =
      _mm256_and_si256(_mm256_add_epi32(_mm256_set1_epi32(int(x0)),
                                        _mm256_mullo_epi32(lane, _mm256_set1_epi32(int(r.dx)))),
                       low16);
  const __m256i f =
      _mm256_and_si256(_mm256_add_epi32(_mm256_set1_epi32(int(y0)),
                                        _mm256_mullo_epi32(lane, _mm256_set1_epi32(int(r.dy)))),
                       low16);
  // k = f g >> 16; wbr = k, wr = g - k, wb = f - k, wp = 65535 - f - wr held at 0.
  const __m256i k = _mm256_srli_epi32(_mm256_mullo_epi32(f, g), 16);
  const __m256i wr = _mm256_sub_epi32(g, k), wb = _mm256_sub_epi32(f, k);
  const __m256i wp =
      _mm256_max_epi32(_mm256_sub_epi32(_mm256_sub_epi32(full, f), wr), _mm256_setzero_si256());
  // Samples 0, 1, 4, 5 in the low pairs; 2, 3, 6, 7 in the high ones.
  const __m256i topLo = _mm256_unpacklo_epi32(wp, wr), topHi = _mm256_unpackhi_epi32(wp, wr);
  const __m256i botLo = _mm256_unpacklo_epi32(wb, k), botHi = _mm256_unpackhi_epi32(wb, k);
  // Two samples at a time: they use pick and pick + 2 of their pairs.
  const auto two = [&](__m256i top, __m256i bottom, __m256i pick) {
    const __m256i next = _mm256_add_epi32(pick, _mm256_set1_epi32(2));
    const __m256i a = at.Products(_mm256_permutevar8x32_epi32(top, pick),
                                  _mm256_permutevar8x32_epi32(bottom, pick));
    const __m256i b = at.Products(_mm256_permutevar8x32_epi32(top, next),
                                  _mm256_permutevar8x32_epi32(bottom, next));
    return Finish(a, b);
  };
  const __m256i pickLow = _mm256_setr_epi32(0, 0, 0, 0, 1, 1, 1, 1);
  const __m256i pickHigh = _mm256_setr_epi32(4, 4, 4, 4, 5, 5, 5, 5);
  const __m256i s01 = two(topLo, botLo, pickLow);
  const __m256i s23 = two(topHi, botHi, pickLow);
  const __m256i s45 = two(topLo, botLo, pickHigh);
  const __m256i s67 = two(topHi, botHi, pickHigh);
  // Sums of at most 65535 x 255 shifted down fit a byte, so the packs only
  // narrow; they leave the samples in the order 0 2 4 6 | 1 3 5 7.
  const __m256i bytes =
      _mm256_packus_epi16(_mm256_packus_epi32(s01, s23), _mm256_packus_epi32(s45, s67));
  return _mm256_permutevar8x32_epi32(bytes, _mm256_setr_epi32(0, 4, 1, 5, 2, 6, 3, 7));
}

template <RunShape Shape>
void SampleRunAvx2(const BilinearRun& r, RasterPixel* out) {
  const int n = r.n;
  if (n < 8) {
    const __m256i mask =
        _mm256_cmpgt_epi32(_mm256_set1_epi32(n), _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7));
    _mm256_maskstore_epi32(reinterpret_cast<int*>(out), mask, EightSamples<Shape, true>(r, 0));
    return;
  }
  // The last step of eight overlaps the one before it when n is not a
  // multiple of eight: it writes the same values again.
  for (int i = 0;; i += 8) {
    if (i > n - 8) i = n - 8;
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i), EightSamples<Shape, false>(r, i));
    if (i == n - 8) break;
  }
}

void SampleAnyRunAvx2(const BilinearRun& r, RasterPixel* out) {
  if (r.n <= 0) return;
  if (r.dy != 0)
    SampleRunAvx2<RunShape::Slanted>(r, out);
  else if ((r.y & 0xFFFF) != 0)
    SampleRunAvx2<RunShape::Level>(r, out);
  else
    SampleRunAvx2<RunShape::OnRow>(r, out);
}

}  // namespace

BilinearRunKernel Avx2BilinearRunKernel() {
  return __builtin_cpu_supports("avx2") ? SampleAnyRunAvx2 : nullptr;
}

}  // namespace raster_detail

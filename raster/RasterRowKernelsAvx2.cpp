// Compiled with -mavx2; nothing here runs unless the processor reports AVX2.
#include "raster/RasterRowKernelsAvx2.h"

#include <immintrin.h>

#include <type_traits>

namespace raster_detail {

namespace {

// Unpacking and packing work within each 128-bit half, so pixel order survives
// the round trip through 16-bit lanes.
inline __m256i Lo16(__m256i v) { return _mm256_unpacklo_epi8(v, _mm256_setzero_si256()); }
inline __m256i Hi16(__m256i v) { return _mm256_unpackhi_epi8(v, _mm256_setzero_si256()); }
inline __m256i SpreadAlpha(__m256i v16) {
  return _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(v16, 0xFF), 0xFF);
}
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

// (d (256 - w) + s w) >> 8, exact for 0 <= w <= 256 (see the SSE2 loop).
void CopyRow(RasterPixel* d, const RasterPixel* s, int n, int w) {
  if (w < 0 || w > 256) return BlendRowReference<OpCopy>(d, s, n, w);
  const __m256i vw = _mm256_set1_epi16(short(w)), vinv = _mm256_set1_epi16(short(256 - w));
  const auto half = [&](__m256i d16, __m256i s16) {
    return _mm256_srli_epi16(
        _mm256_add_epi16(_mm256_mullo_epi16(d16, vinv), _mm256_mullo_epi16(s16, vw)), 8);
  };
  ForEachStep(d, s, n, [&](__m256i dv, __m256i sv) {
    return _mm256_packus_epi16(half(Lo16(dv), Lo16(sv)), half(Hi16(dv), Hi16(sv)));
  });
}

// a = (sa w) >> 8; (s a + d (255 - a)) >> 8; a transparent source keeps d.
void CopyAlphaRow(RasterPixel* d, const RasterPixel* s, int n, int w) {
  if (w < 0 || w > 256) return BlendRowReference<OpCopyAlpha>(d, s, n, w);
  const __m256i vw = _mm256_set1_epi16(short(w)), c255 = _mm256_set1_epi16(255);
  const auto half = [&](__m256i d16, __m256i s16) {
    const __m256i a = _mm256_srli_epi16(_mm256_mullo_epi16(SpreadAlpha(s16), vw), 8);
    return _mm256_srli_epi16(_mm256_add_epi16(_mm256_mullo_epi16(s16, a),
                                              _mm256_mullo_epi16(d16, _mm256_sub_epi16(c255, a))),
                             8);
  };
  ForEachStep(d, s, n, [&](__m256i dv, __m256i sv) {
    const __m256i blended = _mm256_packus_epi16(half(Lo16(dv), Lo16(sv)), half(Hi16(dv), Hi16(sv)));
    const __m256i keep = _mm256_cmpeq_epi32(_mm256_srli_epi32(sv, 24), _mm256_setzero_si256());
    return _mm256_blendv_epi8(blended, dv, keep);
  });
}

// d +- (s |w|) >> 8 (or with a = (sa |w|) >> 8 in place of |w|), saturating.
template <bool UseAlpha>
void AddRow(RasterPixel* d, const RasterPixel* s, int n, int w) {
  using Reference = std::conditional_t<UseAlpha, OpAddAlpha, OpAdd>;
  if (w < -256 || w > 256) return BlendRowReference<Reference>(d, s, n, w);
  const bool subtract = w < 0;
  const int magnitudeW = subtract ? -w : w;
  const __m256i vw = _mm256_set1_epi16(short(magnitudeW));
  const auto magnitude = [&](__m256i s16) {
    const __m256i k =
        UseAlpha ? _mm256_srli_epi16(_mm256_mullo_epi16(SpreadAlpha(s16), vw), 8) : vw;
    return _mm256_srli_epi16(_mm256_mullo_epi16(s16, k), 8);
  };
  ForEachStep(d, s, n, [&](__m256i dv, __m256i sv) {
    // Without alpha at full weight (s x 256) >> 8 is s itself.
    const __m256i t = (!UseAlpha && magnitudeW == 256)
                          ? sv
                          : _mm256_packus_epi16(magnitude(Lo16(sv)), magnitude(Hi16(sv)));
    return subtract ? _mm256_subs_epu8(dv, t) : _mm256_adds_epu8(dv, t);
  });
}

}  // namespace

RowKernel Avx2RowKernel(BlendKind kind) {
  if (!__builtin_cpu_supports("avx2")) return nullptr;
  switch (kind) {
    case BlendKind::Copy:
      return CopyRow;
    case BlendKind::CopyAlpha:
      return CopyAlphaRow;
    case BlendKind::Add:
      return AddRow<false>;
    case BlendKind::AddAlpha:
      return AddRow<true>;
    default:
      return nullptr;
  }
}

}  // namespace raster_detail

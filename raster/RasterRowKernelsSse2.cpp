#include "raster/RasterRowKernelsSse2.h"

#include <type_traits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace raster_detail {

#if defined(__SSE2__)

bool CpuHasSse2() {
#if defined(__GNUC__)
  return __builtin_cpu_supports("sse2");
#else
  return true;
#endif
}

namespace {

// Four 16-bit lanes per pixel, two pixels per register.
inline __m128i Lo16(__m128i v) { return _mm_unpacklo_epi8(v, _mm_setzero_si128()); }
inline __m128i Hi16(__m128i v) { return _mm_unpackhi_epi8(v, _mm_setzero_si128()); }

// Each pixel's alpha lane copied into its four lanes.
inline __m128i SpreadAlpha(__m128i v16) {
  return _mm_shufflehi_epi16(_mm_shufflelo_epi16(v16, 0xFF), 0xFF);
}

// (d (256 - w) + s w) >> 8 for 0 <= w <= 256: both products are non-negative
// and their sum stays below 65536, so shifts equal the truncating division.
inline __m128i CopyHalf(__m128i d, __m128i s, __m128i w, __m128i wInv) {
  return _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(d, wInv), _mm_mullo_epi16(s, w)), 8);
}

void CopyRow(RasterPixel* d, const RasterPixel* s, int n, int w) {
  if (w < 0 || w > 256) return BlendRowReference<OpCopy>(d, s, n, w);
  const __m128i vw = _mm_set1_epi16(short(w)), vinv = _mm_set1_epi16(short(256 - w));
  int i = 0;
  for (; i + 4 <= n; i += 4) {
    const __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
    const __m128i sv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
    const __m128i lo = CopyHalf(Lo16(dv), Lo16(sv), vw, vinv);
    const __m128i hi = CopyHalf(Hi16(dv), Hi16(sv), vw, vinv);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), _mm_packus_epi16(lo, hi));
  }
  BlendRowReference<OpCopy>(d + i, s + i, n - i, w);
}

// a = (sa w) >> 8, then (s a + d (255 - a)) >> 8; all terms non-negative and
// below 65536 for 0 <= w <= 256.
inline __m128i CopyAlphaHalf(__m128i d, __m128i s, __m128i w, __m128i c255) {
  const __m128i a = _mm_srli_epi16(_mm_mullo_epi16(SpreadAlpha(s), w), 8);
  const __m128i sum =
      _mm_add_epi16(_mm_mullo_epi16(s, a), _mm_mullo_epi16(d, _mm_sub_epi16(c255, a)));
  return _mm_srli_epi16(sum, 8);
}

void CopyAlphaRow(RasterPixel* d, const RasterPixel* s, int n, int w) {
  if (w < 0 || w > 256) return BlendRowReference<OpCopyAlpha>(d, s, n, w);
  const __m128i vw = _mm_set1_epi16(short(w)), c255 = _mm_set1_epi16(255);
  int i = 0;
  for (; i + 4 <= n; i += 4) {
    const __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
    const __m128i sv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
    const __m128i lo = CopyAlphaHalf(Lo16(dv), Lo16(sv), vw, c255);
    const __m128i hi = CopyAlphaHalf(Hi16(dv), Hi16(sv), vw, c255);
    const __m128i blended = _mm_packus_epi16(lo, hi);
    // A transparent source pixel leaves the destination as it was.
    const __m128i keep = _mm_cmpeq_epi32(_mm_srli_epi32(sv, 24), _mm_setzero_si128());
    const __m128i out = _mm_or_si128(_mm_and_si128(keep, dv), _mm_andnot_si128(keep, blended));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), out);
  }
  BlendRowReference<OpCopyAlpha>(d + i, s + i, n - i, w);
}

// Add with |w| <= 256: s w / 256 truncates toward zero, i.e. the magnitude is
// (s |w|) >> 8 with the sign of w, and the clamp is a saturating byte add or
// subtract. With alpha the same holds for a = sa w / 256 (a transparent source
// adds nothing, exactly as the reference's shortcut).
template <bool UseAlpha>
void AddRow(RasterPixel* d, const RasterPixel* s, int n, int w) {
  using Reference = std::conditional_t<UseAlpha, OpAddAlpha, OpAdd>;
  if (w < -256 || w > 256) return BlendRowReference<Reference>(d, s, n, w);
  const bool subtract = w < 0;
  const bool w256 = w == 256 || w == -256;
  const __m128i vw = _mm_set1_epi16(short(subtract ? -w : w));
  const auto magnitude = [&](__m128i s16) {
    const __m128i k = UseAlpha ? _mm_srli_epi16(_mm_mullo_epi16(SpreadAlpha(s16), vw), 8) : vw;
    return _mm_srli_epi16(_mm_mullo_epi16(s16, k), 8);
  };
  int i = 0;
  for (; i + 4 <= n; i += 4) {
    const __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
    const __m128i sv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
    // Without alpha at full weight (s x 256) >> 8 is s itself.
    const __m128i t =
        (!UseAlpha && w256) ? sv : _mm_packus_epi16(magnitude(Lo16(sv)), magnitude(Hi16(sv)));
    const __m128i out = subtract ? _mm_subs_epu8(dv, t) : _mm_adds_epu8(dv, t);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), out);
  }
  BlendRowReference<Reference>(d + i, s + i, n - i, w);
}

}  // namespace

// Plain 16-byte loads and stores: for rows of a few kilobytes this beats the
// library copy, which may switch to string instructions at that size.
bool CopyPixelsSse2(RasterPixel* d, const RasterPixel* s, int n) {
  int i = 0;
  for (; i + 16 <= n; i += 16) {
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i + 4));
    const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i + 8));
    const __m128i e = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i + 12));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), a);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i + 4), b);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i + 8), c);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i + 12), e);
  }
  for (; i < n; ++i) d[i] = s[i];
  return true;
}

RowKernel Sse2RowKernel(BlendKind kind) {
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

#else

bool CpuHasSse2() { return false; }
bool CopyPixelsSse2(RasterPixel*, const RasterPixel*, int) { return false; }
RowKernel Sse2RowKernel(BlendKind) { return nullptr; }

#endif

}  // namespace raster_detail

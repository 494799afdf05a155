#pragma once
// Internal, for files compiled with -mavx2 only: the blend operators applied to
// eight pixels at once, giving exactly the reference operators' pixels for the
// weights each accepts (Accepts(w)); other weights take the reference loop.
// All arithmetic is on 16-bit lanes whose products and sums cannot overflow.

#include <immintrin.h>

#include "raster/RasterBlendOps.h"

namespace raster_detail::avx2 {

// Unpacking and packing work within each 128-bit half, so pixel order survives
// the round trip through 16-bit lanes.
inline __m256i Lo16(__m256i v) { return _mm256_unpacklo_epi8(v, _mm256_setzero_si256()); }
inline __m256i Hi16(__m256i v) { return _mm256_unpackhi_epi8(v, _mm256_setzero_si256()); }
inline __m256i SpreadAlpha(__m256i v16) {
  return _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(v16, 0xFF), 0xFF);
}

// Copy at full weight: the source replaces the destination.
struct ReplaceStep {
  __m256i operator()(__m256i, __m256i s) const { return s; }
};

// (d (256 - w) + s w) >> 8: both products non-negative and their sum below
// 65536 for 0 <= w <= 256, so the shift is the truncating division.
struct CopyStep {
  static bool Accepts(int w) { return w >= 0 && w <= 256; }
  explicit CopyStep(int w)
      : vw(_mm256_set1_epi16(short(w))), vinv(_mm256_set1_epi16(short(256 - w))) {}
  __m256i operator()(__m256i d, __m256i s) const {
    const auto half = [&](__m256i d16, __m256i s16) {
      return _mm256_srli_epi16(
          _mm256_add_epi16(_mm256_mullo_epi16(d16, vinv), _mm256_mullo_epi16(s16, vw)), 8);
    };
    return _mm256_packus_epi16(half(Lo16(d), Lo16(s)), half(Hi16(d), Hi16(s)));
  }
  __m256i vw, vinv;
};

// a = (sa w) >> 8; (s a + d (255 - a)) >> 8; a transparent source keeps d.
struct CopyAlphaStep {
  static bool Accepts(int w) { return w >= 0 && w <= 256; }
  explicit CopyAlphaStep(int w) : vw(_mm256_set1_epi16(short(w))) {}
  __m256i operator()(__m256i d, __m256i s) const {
    const __m256i c255 = _mm256_set1_epi16(255);
    const auto half = [&](__m256i d16, __m256i s16) {
      const __m256i a = _mm256_srli_epi16(_mm256_mullo_epi16(SpreadAlpha(s16), vw), 8);
      return _mm256_srli_epi16(_mm256_add_epi16(_mm256_mullo_epi16(s16, a),
                                                _mm256_mullo_epi16(d16, _mm256_sub_epi16(c255, a))),
                               8);
    };
    const __m256i blended = _mm256_packus_epi16(half(Lo16(d), Lo16(s)), half(Hi16(d), Hi16(s)));
    const __m256i keep = _mm256_cmpeq_epi32(_mm256_srli_epi32(s, 24), _mm256_setzero_si256());
    return _mm256_blendv_epi8(blended, d, keep);
  }
  __m256i vw;
};

// d +- (s |w|) >> 8 (with alpha: a = (sa |w|) >> 8 in place of |w|), saturating:
// s w / 256 truncates toward zero, so its magnitude is (s |w|) >> 8 with the
// sign of w, and the clamp is a saturating byte add or subtract.
template <bool UseAlpha>
struct AddStep {
  static bool Accepts(int w) { return w >= -256 && w <= 256; }
  explicit AddStep(int w)
      : subtract(w < 0),
        full(w == 256 || w == -256),
        vw(_mm256_set1_epi16(short(w < 0 ? -w : w))) {}
  __m256i operator()(__m256i d, __m256i s) const {
    const auto magnitude = [&](__m256i s16) {
      const __m256i k =
          UseAlpha ? _mm256_srli_epi16(_mm256_mullo_epi16(SpreadAlpha(s16), vw), 8) : vw;
      return _mm256_srli_epi16(_mm256_mullo_epi16(s16, k), 8);
    };
    // Without alpha at full weight (s x 256) >> 8 is s itself.
    const __m256i t =
        (!UseAlpha && full) ? s : _mm256_packus_epi16(magnitude(Lo16(s)), magnitude(Hi16(s)));
    return subtract ? _mm256_subs_epu8(d, t) : _mm256_adds_epu8(d, t);
  }
  bool subtract, full;
  __m256i vw;
};

// Calls fn with the step for kind at weight w; false when there is none (dodge,
// or a weight outside what the step handles exactly).
template <class Fn>
inline bool WithStep(BlendKind kind, int w, Fn&& fn) {
  switch (kind) {
    case BlendKind::Copy:
      if (w == 256) return fn(ReplaceStep{}), true;
      return CopyStep::Accepts(w) && (fn(CopyStep(w)), true);
    case BlendKind::CopyAlpha:
      return CopyAlphaStep::Accepts(w) && (fn(CopyAlphaStep(w)), true);
    case BlendKind::Add:
      return AddStep<false>::Accepts(w) && (fn(AddStep<false>(w)), true);
    case BlendKind::AddAlpha:
      return AddStep<true>::Accepts(w) && (fn(AddStep<true>(w)), true);
    default:
      return false;
  }
}

}  // namespace raster_detail::avx2

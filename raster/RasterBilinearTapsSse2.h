#pragma once
// Internal: the four-tap bilinear sample with SSE2, giving exactly the
// reference FourTap's pixels (16-bit weights times 8-bit channels are formed
// as full 32-bit products, summed and shifted as the reference does).

#include "raster/RasterBlendOps.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace raster_detail {

// Reference taps: pixel pairs (p, pr) from row and (pb, pbr) from below.
struct ReferenceTaps {
  RasterPixel Four(const RasterPixel* row, const RasterPixel* below, std::uint32_t f,
                   std::uint32_t g) {
    return FourTap(row[0], row[1], below[0], below[1], f, g);
  }
};

#if defined(__SSE2__)

constexpr bool kHaveSse2Taps = true;

// Keeps the last pixel pairs unpacked: enlarging blits read each pair for
// several destination pixels in a row.
struct Sse2Taps {
  const RasterPixel* cached = nullptr;
  __m128i top = _mm_setzero_si128(), bot = _mm_setzero_si128();

  RasterPixel Four(const RasterPixel* row, const RasterPixel* below, std::uint32_t f,
                   std::uint32_t g) {
    const std::uint32_t k = (f * g) >> 16;
    const std::int32_t wpSigned = 65535 - std::int32_t(f) - std::int32_t(g) + std::int32_t(k);
    const std::uint32_t wp = wpSigned > 0 ? std::uint32_t(wpSigned) : 0u;
    const __m128i zero = _mm_setzero_si128();
    // Lanes 0-3 hold the left pixel's channels, lanes 4-7 the right one's.
    // The pair below is always the next memory row at the same column, so
    // the top pointer alone identifies both pairs within one blit.
    if (row != cached) {
      top = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(row)), zero);
      bot = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(below)), zero);
      cached = row;
    }
    // [wp, wr, wb, wbr] spread to [wp x4, wr x4] and [wb x4, wbr x4].
    const __m128i w4 = _mm_unpacklo_epi32(_mm_cvtsi32_si128(int(wp | ((g - k) << 16))),
                                          _mm_cvtsi32_si128(int((f - k) | (k << 16))));
    const __m128i w8 = _mm_unpacklo_epi16(w4, w4);
    const __m128i wTop = _mm_unpacklo_epi32(w8, w8);
    const __m128i wBot = _mm_unpackhi_epi32(w8, w8);
    const __m128i loT = _mm_mullo_epi16(top, wTop), hiT = _mm_mulhi_epu16(top, wTop);
    const __m128i loB = _mm_mullo_epi16(bot, wBot), hiB = _mm_mulhi_epu16(bot, wBot);
    __m128i sum = _mm_add_epi32(_mm_unpacklo_epi16(loT, hiT), _mm_unpackhi_epi16(loT, hiT));
    sum = _mm_add_epi32(sum,
                        _mm_add_epi32(_mm_unpacklo_epi16(loB, hiB), _mm_unpackhi_epi16(loB, hiB)));
    sum = _mm_srli_epi32(sum, 16);
    const __m128i packed = _mm_packus_epi16(_mm_packs_epi32(sum, sum), zero);
    return RasterPixel(_mm_cvtsi128_si32(packed));
  }
};

#else

constexpr bool kHaveSse2Taps = false;
using Sse2Taps = ReferenceTaps;

#endif

}  // namespace raster_detail

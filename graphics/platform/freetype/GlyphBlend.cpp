#include "graphics/platform/freetype/GlyphBlend.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

RasterPixel GlyphBlendPixel(RasterPixel dst, RasterPixel colour, int coverage) {
  const int weight = coverage * RasterAlpha(colour);
  const RasterPixel source = colour | 0xFF000000u;
  RasterPixel out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    const int d = int((dst >> shift) & 0xFF);
    const int s = int((source >> shift) & 0xFF);
    out |= RasterPixel((d + ((s - d) * weight + 32767) / 65025) & 0xFF) << shift;
  }
  return out;
}

namespace {

#if defined(__SSE2__)
// With an opaque colour the weight is 255 c (c the coverage), and with
// u = (s - d) c the formula reduces to 16-bit arithmetic:
//   u >= -128:  (u + 128) / 255      (255 u + 32767 = 65025 a + 255 b + 127, b < 255)
//   u <= -129:  -((-u - 129) / 255)  (likewise for -(255 u + 32767))
// and x / 255 = (x + 1 + (x >> 8)) >> 8 for 0 <= x < 65280; here x <= 65153.
inline __m128i Div255(__m128i x) {
  return _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(x, _mm_set1_epi16(1)), _mm_srli_epi16(x, 8)),
                        8);
}

// Two pixels (eight 16-bit channels) d with their coverages c spread over their channels.
inline __m128i BlendOpaque(__m128i d, __m128i s, __m128i c) {
  // |s - d| c fits 16 bits unsigned (at most 255 x 255).
  const __m128i up = _mm_subs_epu16(s, d), down = _mm_subs_epu16(d, s);
  const __m128i rise = Div255(_mm_add_epi16(_mm_mullo_epi16(up, c), _mm_set1_epi16(128)));
  const __m128i fall = Div255(_mm_subs_epu16(_mm_mullo_epi16(down, c), _mm_set1_epi16(129)));
  return _mm_sub_epi16(_mm_add_epi16(d, rise), fall);
}

// Four pixels from dst, with their four coverages.
inline void BlendFour(RasterPixel* dst, const unsigned char* coverage, __m128i s) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst));
  int four;
  __builtin_memcpy(&four, coverage, 4);
  // Coverage bytes c0 c1 c2 c3 -> 16-bit lanes c0 x4 c1 x4 | c2 x4 c3 x4.
  const __m128i c8 = _mm_unpacklo_epi8(_mm_cvtsi32_si128(four), zero);
  const __m128i c16 = _mm_unpacklo_epi16(c8, c8);
  const __m128i lo = BlendOpaque(_mm_unpacklo_epi8(d, zero), s, _mm_unpacklo_epi32(c16, c16));
  const __m128i hi = BlendOpaque(_mm_unpackhi_epi8(d, zero), s, _mm_unpackhi_epi32(c16, c16));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(dst), _mm_packus_epi16(lo, hi));
}

// Four pixels at a time, the last few through a small copy; returns n.
int GlyphBlendRowOpaque(RasterPixel* dst, const unsigned char* coverage, int n,
                        RasterPixel colour) {
  const __m128i s =
      _mm_unpacklo_epi8(_mm_set1_epi32(int(colour | 0xFF000000u)), _mm_setzero_si128());
  int i = 0;
  for (; i + 4 <= n; i += 4) BlendFour(dst + i, coverage + i, s);
  if (i < n) {
    RasterPixel pixels[4] = {};
    unsigned char covered[4] = {};
    for (int k = 0; k < n - i; ++k) {
      pixels[k] = dst[i + k];
      covered[k] = coverage[i + k];
    }
    BlendFour(pixels, covered, s);
    for (int k = 0; k < n - i; ++k) dst[i + k] = pixels[k];
  }
  return n;
}
#else
int GlyphBlendRowOpaque(RasterPixel*, const unsigned char*, int, RasterPixel) { return 0; }
#endif

}  // namespace

void GlyphBlendRow(RasterPixel* dst, const unsigned char* coverage, int n, RasterPixel colour) {
  int i = RasterAlpha(colour) == 255 ? GlyphBlendRowOpaque(dst, coverage, n, colour) : 0;
  for (; i < n; ++i)
    if (coverage[i] != 0) dst[i] = GlyphBlendPixel(dst[i], colour, coverage[i]);
}

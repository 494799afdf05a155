#include "plugin/engine/SpectrumAnalyser.h"

#include "plugin/engine/Fft.h"

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

constexpr double kTwoPi = 6.283185307179586476925286766559;

// Sizes from this one on take the half-length transform of the packed real
// samples; smaller ones (below any the display uses) the full-length one.
constexpr int kHalfTransformMinSize = 8;

// Smoothed magnitudes below this draw less than a billionth of a pixel even at
// the deepest zoom; flushing them keeps the average out of the subnormal range.
constexpr float kSilent = 1e-30f;

}  // namespace

SpectrumAnalyser::SpectrumAnalyser() {
  Init(2048);
  blend_ = 1.0f;
}

bool SpectrumAnalyser::Init(int n) {
  if (!FftSizeSupported(n)) return false;
  size_ = n;
  smoothed_.assign(n / 2, 0.0f);
  work_.resize(2 * static_cast<size_t>(n));
  magnitude_.resize(n / 2);
  window_.resize(n);
  const double step = kTwoPi / (n - 1);
  for (int i = 0; i < n; ++i) {
    const double t = i * step;
    window_[i] = static_cast<float>((0.42 - 0.5 * std::cos(t)) + 0.08 * std::cos(2.0 * t));
  }
  rotation_.resize(2 * static_cast<size_t>(n / 4 + 1));
  for (int k = 0; k <= n / 4; ++k) {
    rotation_[2 * k] = static_cast<float>(std::cos(kTwoPi * k / n));
    rotation_[2 * k + 1] = static_cast<float>(std::sin(kTwoPi * k / n));
  }
  return true;
}

void SpectrumAnalyser::SetBlend(double blend) {
  if (!std::isfinite(blend)) return;
  if (blend < 0.0) blend = 0.0;
  if (blend > 1.0) blend = 1.0;
  blend_ = static_cast<float>(blend);
}

void SpectrumAnalyser::Clear() { smoothed_.assign(size_ / 2, 0.0f); }

const float* SpectrumAnalyser::Analyse(const float* samples) {
  const int n = size_;
  if (samples == nullptr || FftOrderTable(n) == nullptr) return smoothed_.data();
  const bool half = n >= kHalfTransformMinSize;
  Window(samples, half);
  if (half) {
    FftTransform(work_.data(), n / 2);
    MagnitudesFromHalfTransform();
  } else {
    FftTransform(work_.data(), n);
    MagnitudesFromFullTransform();
  }
  // The magnitudes are of 2 X_k: 2 |X_k| / n times blend is theirs times blend / n.
  const float blend = blend_;
  const float scale = blend / static_cast<float>(n);
  const float keep = 1.0f - blend;
  const float* magnitude = magnitude_.data();
  float* smoothed = smoothed_.data();
  for (int k = 0; k < n / 2; ++k) {
    float value = magnitude[k] * scale + smoothed[k] * keep;
    // Huge finite samples can still overflow inside the transform; NaN and
    // inf saturate so the average stays finite.
    value = value <= FLT_MAX ? value : FLT_MAX;
    // A decaying average would end in the subnormal range, where a slow blend
    // holds it for ever (and many processors compute slowly): far below
    // anything drawn, it becomes silence.
    smoothed[k] = value >= kSilent ? value : 0.0f;
  }
  return smoothed;
}

// The n real samples x_j went in as n/2 complex values z_m = x_2m + i x_2m+1,
// whose transform Z gives the real transform's bins as
//   2 X_k = (Z_k + conj Z_h) - i W^k (Z_k - conj Z_h),  h = n/2 - k,  W = e^{-2 pi i / n}
// (Z_{n/2} being Z_0). With A = Z_k + conj Z_h, B = Z_k - conj Z_h, c + i s = e^{2 pi i k / n},
// P = c Bi - s Br and Q = c Br + s Bi, the bins k and h come out together:
//   2 X_k = (Ar + P, Ai - Q),  2 X_h = (Ar - P, -Ai - Q).
namespace {

// |2 X_k| and |2 X_h| from A, B and the rotation (c, s), the squares formed in
// double so that loud but finite input cannot overflow them.
inline void BinPair(float ar, float ai, float br, float bi, float c, float s, float& magnitudeK,
                    float& magnitudeH) {
  const float p = c * bi - s * br, q = c * br + s * bi;
  const double xr = ar + p, xi = ai - q;
  const double yr = ar - p, yi = -ai - q;
  magnitudeK = static_cast<float>(std::sqrt(xi * xi + xr * xr));
  magnitudeH = static_cast<float>(std::sqrt(yi * yi + yr * yr));
}

// Z_k at its scrambled position: (re, im).
inline const float* Bin(const float* z, const int* order, int k) { return z + 2 * order[k]; }

// The pair k, h = n/2 - k through the plain path.
inline void PlainPair(const float* z, const int* order, const float* rot, float* magnitude, int h,
                      int k) {
  const float* zk = Bin(z, order, k);
  const float* zh = Bin(z, order, h - k);
  BinPair(zk[0] + zh[0], zk[1] - zh[1], zk[0] - zh[0], zk[1] + zh[1], rot[2 * k], rot[2 * k + 1],
          magnitude[k], magnitude[h - k]);
}

#if defined(__SSE2__)
// sqrt(i * i + r * r) of four lanes, formed in double as BinPair forms it.
inline __m128 MagnitudesInDouble(__m128 r, __m128 i) {
  const auto half = [](__m128d re, __m128d im) {
    return _mm_cvtpd_ps(_mm_sqrt_pd(_mm_add_pd(_mm_mul_pd(im, im), _mm_mul_pd(re, re))));
  };
  const __m128 low = half(_mm_cvtps_pd(r), _mm_cvtps_pd(i));
  const __m128 high = half(_mm_cvtps_pd(_mm_movehl_ps(r, r)), _mm_cvtps_pd(_mm_movehl_ps(i, i)));
  return _mm_movelh_ps(low, high);
}

// Four k at a time, bit for bit as PlainPair: the scrambled Z_k and Z_{n/2-k}
// are fetched in pairs of floats and sorted into real and imaginary parts;
// bins n/2 - k .. n/2 - k - 3 are stored in reverse. Returns the first k it
// left for the plain loop.
int BinPairsSse2(const float* z, const int* order, const float* rot, float* magnitude, int h) {
  int k = 1;
  for (; k + 3 <= h / 2; k += 4) {
    const auto pairs = [&](int a, int b, int c, int d, __m128& re, __m128& im) {
      const __m128 ab = _mm_loadh_pi(
          _mm_loadl_pi(_mm_setzero_ps(), reinterpret_cast<const __m64*>(Bin(z, order, a))),
          reinterpret_cast<const __m64*>(Bin(z, order, b)));
      const __m128 cd = _mm_loadh_pi(
          _mm_loadl_pi(_mm_setzero_ps(), reinterpret_cast<const __m64*>(Bin(z, order, c))),
          reinterpret_cast<const __m64*>(Bin(z, order, d)));
      re = _mm_shuffle_ps(ab, cd, _MM_SHUFFLE(2, 0, 2, 0));
      im = _mm_shuffle_ps(ab, cd, _MM_SHUFFLE(3, 1, 3, 1));
    };
    __m128 kr, ki, hr, hi;
    pairs(k, k + 1, k + 2, k + 3, kr, ki);
    pairs(h - k, h - k - 1, h - k - 2, h - k - 3, hr, hi);
    const __m128 r0 = _mm_loadu_ps(rot + 2 * k), r1 = _mm_loadu_ps(rot + 2 * k + 4);
    const __m128 c = _mm_shuffle_ps(r0, r1, _MM_SHUFFLE(2, 0, 2, 0));
    const __m128 s = _mm_shuffle_ps(r0, r1, _MM_SHUFFLE(3, 1, 3, 1));
    const __m128 ar = _mm_add_ps(kr, hr), ai = _mm_sub_ps(ki, hi);
    const __m128 br = _mm_sub_ps(kr, hr), bi = _mm_add_ps(ki, hi);
    const __m128 p = _mm_sub_ps(_mm_mul_ps(c, bi), _mm_mul_ps(s, br));
    const __m128 q = _mm_add_ps(_mm_mul_ps(c, br), _mm_mul_ps(s, bi));
    const __m128 xr = _mm_add_ps(ar, p), xi = _mm_sub_ps(ai, q);
    // -ai - q, which equals -(ai + q) up to the sign of a zero that is squared.
    const __m128 yr = _mm_sub_ps(ar, p), yi = _mm_sub_ps(_mm_setzero_ps(), _mm_add_ps(ai, q));
    _mm_storeu_ps(magnitude + k, MagnitudesInDouble(xr, xi));
    const __m128 ym = MagnitudesInDouble(yr, yi);
    _mm_storeu_ps(magnitude + h - k - 3, _mm_shuffle_ps(ym, ym, _MM_SHUFFLE(0, 1, 2, 3)));
  }
  return k;
}
#else
int BinPairsSse2(const float*, const int*, const float*, float*, int) { return 1; }
#endif

}  // namespace

void SpectrumAnalyser::MagnitudesFromHalfTransform() {
  const int h = size_ / 2;
  const int* order = FftOrderTable(h);
  const float* z = work_.data();
  const float* rot = rotation_.data();
  float* magnitude = magnitude_.data();
  // k = 0: 2 X_0 = 2 (Zr_0 + Zi_0).
  magnitude[0] = 2.0f * std::fabs(z[2 * order[0]] + z[2 * order[0] + 1]);
  // k = n/4 pairs with itself and writes its bin twice.
  for (int k = BinPairsSse2(z, order, rot, magnitude, h); k <= h / 2; ++k)
    PlainPair(z, order, rot, magnitude, h, k);
}

// Bins of the full-length transform of the real samples, read from their
// scrambled positions, doubled to match 2 X_k.
void SpectrumAnalyser::MagnitudesFromFullTransform() {
  const int n = size_;
  const int* order = FftOrderTable(n);
  const float* work = work_.data();
  float* magnitude = magnitude_.data();
  for (int k = 0; k < n / 2; ++k) {
    const double re = work[2 * order[k]];
    const double im = work[2 * order[k] + 1];
    magnitude[k] = static_cast<float>(2.0 * std::sqrt(im * im + re * re));
  }
}

void SpectrumAnalyser::Window(const float* samples, bool packed) {
  const int n = size_;
  float* work = work_.data();
  const float* window = window_.data();
  // Non-finite samples are spotted by their all-ones exponent while the
  // main loop stays branch-free; the rare broken window is cleaned after.
  uint32_t broken = 0;
  if (packed) {
    for (int i = 0; i < n; ++i) {
      uint32_t bits;
      std::memcpy(&bits, samples + i, sizeof bits);
      broken |= (bits & 0x7f800000u) == 0x7f800000u;
      work[i] = window[i] * samples[i];
    }
  } else {
    for (int i = 0; i < n; ++i) {
      uint32_t bits;
      std::memcpy(&bits, samples + i, sizeof bits);
      broken |= (bits & 0x7f800000u) == 0x7f800000u;
      work[2 * i] = window[i] * samples[i];
      work[2 * i + 1] = 0.0f;
    }
  }
  if (broken == 0) return;
  // A NaN or inf sample would spread over every bin: analyse it as silence.
  const int stride = packed ? 1 : 2;
  for (int i = 0; i < n; ++i) {
    if (!std::isfinite(samples[i])) work[stride * i] = 0.0f;
  }
}

// AVX2 + FMA code path of the transform. Same algorithm and output order as
// the reference path; four complex values per register. The passes run four
// butterflies at a time; the 4-, 8- and 16-point kernels stay in registers.
//
// Only the functions after the target pragma use AVX2, and they are reached
// only through FftTransformAvx2 once FftAvx2Supported() said yes, so the rest
// of the module keeps to the build's baseline instruction set.
#include "plugin/engine/FftTables.h"

#include <immintrin.h>

bool FftAvx2Supported() {
  // May run before the runtime's own start-up code has probed the processor.
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
}

// GCC takes the target for the whole region; clang has its own spelling (the sanitizer
// and fuzz trees are built with clang).
#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx2,fma"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx2,fma")
#endif

namespace {

using V = __m256;

inline V Load(const float* p) { return _mm256_loadu_ps(p); }
inline void Store(float* p, V v) { _mm256_storeu_ps(p, v); }

// Sign masks: flip the real parts, the imaginary parts, or a whole lane.
inline V FlipRe() { return _mm256_setr_ps(-0.0f, 0.0f, -0.0f, 0.0f, -0.0f, 0.0f, -0.0f, 0.0f); }
inline V FlipIm() { return _mm256_setr_ps(0.0f, -0.0f, 0.0f, -0.0f, 0.0f, -0.0f, 0.0f, -0.0f); }

// (re, im) -> (im, re) in every complex slot.
inline V Swap(V a) { return _mm256_permute_ps(a, 0xB1); }

// i * a = (-im, re).
inline V MulI(V a) { return _mm256_xor_ps(Swap(a), FlipRe()); }

// a * w and a * conj(w), w = (c, s) per slot: (ac - bs, bc + as) and
// (ac + bs, bc - as).
inline V CMul(V a, V w) {
  return _mm256_fmaddsub_ps(a, _mm256_moveldup_ps(w),
                            _mm256_mul_ps(Swap(a), _mm256_movehdup_ps(w)));
}
inline V CMulConj(V a, V w) {
  return _mm256_fmsubadd_ps(a, _mm256_moveldup_ps(w),
                            _mm256_mul_ps(Swap(a), _mm256_movehdup_ps(w)));
}

// Twiddles for k .. k+3 mirrored from entries q-k-3 .. q-k: reversing the
// eight floats both reverses the entries and exchanges cos and sin.
inline V Mirrored(const float* w, int q, int k) {
  const V v = Load(w + 2 * (q - k - 3));
  return _mm256_permute_ps(_mm256_permute2f128_ps(v, v, 0x01), 0x1B);
}

inline void Butterflies(float* x, int k, int q, V w) {
  float* a = x + 2 * k;
  float* b = a + 2 * q;
  float* e = b + 2 * q;
  float* f = e + 2 * q;
  const V u = Load(a), v = Load(b), s = Load(e), t = Load(f);
  Store(a, _mm256_add_ps(u, s));
  Store(b, _mm256_add_ps(v, t));
  const V d = _mm256_sub_ps(u, s);
  const V g = MulI(_mm256_sub_ps(v, t));
  Store(e, CMul(_mm256_add_ps(d, g), w));
  Store(f, CMulConj(_mm256_sub_ps(d, g), w));
}

template <int N>
void Pass(float* x) {
  constexpr int q = N / 4;
  const float* w = FftTwiddles<N>();
  if constexpr (N <= 512) {
    for (int k = 0; k < q; k += 4) Butterflies(x, k, q, Load(w + 2 * k));
  } else {
    constexpr int eighth = N / 8;
    for (int k = 0; k < eighth; k += 4) Butterflies(x, k, q, Load(w + 2 * k));
    for (int k = eighth; k < q; k += 4) Butterflies(x, k, q, Mirrored(w, q, k));
  }
}

// Pairs (a, b) in each 128-bit lane -> (a + b, a - b).
inline V Kernel2x2(V x) {
  const V swapped = _mm256_permute_ps(x, 0x4E);
  const V negSecond = _mm256_setr_ps(0.0f, 0.0f, -0.0f, -0.0f, 0.0f, 0.0f, -0.0f, -0.0f);
  return _mm256_add_ps(swapped, _mm256_xor_ps(x, negSecond));
}

// x0..x3 -> x0+x1+x2+x3, (x0+x2)-(x1+x3), (x0-x2)+i(x1-x3), (x0-x2)-i(x1-x3).
inline V Kernel4(V x) {
  const V p = _mm256_permute2f128_ps(x, x, 0x01);
  const V a = _mm256_blend_ps(_mm256_add_ps(x, p), _mm256_sub_ps(p, x), 0xF0);
  return Kernel2x2(_mm256_blend_ps(a, MulI(a), 0xC0));
}

// 8-point kernel on x0..x3 (lo) and x4..x7 (hi).
inline void Kernel8(V& lo, V& hi, V twiddle8) {
  const V d = _mm256_sub_ps(lo, hi);
  lo = Kernel4(_mm256_add_ps(lo, hi));
  const V first = _mm256_permute2f128_ps(d, d, 0x00);
  const V second = _mm256_permute2f128_ps(d, d, 0x11);
  const V flipUpper = _mm256_setr_ps(0.0f, 0.0f, 0.0f, 0.0f, -0.0f, -0.0f, -0.0f, -0.0f);
  const V zy = _mm256_add_ps(first, _mm256_xor_ps(MulI(second), flipUpper));
  hi = Kernel2x2(CMul(zy, twiddle8));
}

// Twiddles of the 8-point pass with the conjugate folded in: 1, w, 1, conj(w),
// w = e^{i*pi/4}, taken from the 16-point table.
inline V Twiddle8() {
  const float h = FftTwiddles<16>()[4];
  return _mm256_setr_ps(1.0f, 0.0f, h, h, 1.0f, 0.0f, h, -h);
}

inline void Kernel8(float* x) {
  V lo = Load(x), hi = Load(x + 8);
  Kernel8(lo, hi, Twiddle8());
  Store(x, lo);
  Store(x + 8, hi);
}

inline void Kernel16(float* x) {
  const V w = Load(FftTwiddles<16>());
  const V u = Load(x), v = Load(x + 8), s = Load(x + 16), t = Load(x + 24);
  V lo = _mm256_add_ps(u, s);
  V hi = _mm256_add_ps(v, t);
  const V d = _mm256_sub_ps(u, s);
  const V g = MulI(_mm256_sub_ps(v, t));
  Store(x + 16, Kernel4(CMul(_mm256_add_ps(d, g), w)));
  Store(x + 24, Kernel4(CMulConj(_mm256_sub_ps(d, g), w)));
  Kernel8(lo, hi, Twiddle8());
  Store(x, lo);
  Store(x + 8, hi);
}

template <int N>
void Kernel(float* x) {
  if constexpr (N == 4) {
    Store(x, Kernel4(Load(x)));
  } else if constexpr (N == 16) {
    Kernel16(x);
  } else if constexpr (N == 8) {
    Kernel8(x);
  } else {
    Pass<N>(x);
    Kernel<N / 4>(x + N);
    Kernel<N / 4>(x + 3 * N / 2);
    Kernel<N / 2>(x);
  }
}

}  // namespace

void FftTransformAvx2(float* data, int n) {
  FftWithSize(n, [data](auto size) { Kernel<size()>(data); });
}

#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif

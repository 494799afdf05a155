// SSE2 code path of the transform: the split-radix passes two butterflies at a
// time, the 4-, 8- and 16-point leaves as in the reference path. SSE2 is the floor
// of every x86 target we build for (x86-64, and the 32-bit DLL), so this is the
// path wherever AVX2 is missing. Every product and sum is formed in the same order
// as in the reference path, so the results are identical to it, bit for bit.
#include <emmintrin.h>

#include "plugin/engine/FftTables.h"

bool FftSse2Supported() { return true; }

namespace {

using V = __m128;

inline V Load(const float* p) { return _mm_loadu_ps(p); }
inline void Store(float* p, V v) { _mm_storeu_ps(p, v); }

// (re, im) -> (im, re) in both complex slots.
inline V Swap(V a) { return _mm_shuffle_ps(a, a, _MM_SHUFFLE(2, 3, 0, 1)); }
inline V FlipRe() { return _mm_setr_ps(-0.0f, 0.0f, -0.0f, 0.0f); }
inline V FlipIm() { return _mm_setr_ps(0.0f, -0.0f, 0.0f, -0.0f); }

// i * a = (-im, re).
inline V MulI(V a) { return _mm_xor_ps(Swap(a), FlipRe()); }

// a * w = (re c - im s, im c + re s) and a * conj(w) = (re c + im s, im c - re s),
// with w = (c, s) in each slot.
inline V Cos(V w) { return _mm_shuffle_ps(w, w, _MM_SHUFFLE(2, 2, 0, 0)); }
inline V Sin(V w) { return _mm_shuffle_ps(w, w, _MM_SHUFFLE(3, 3, 1, 1)); }
inline V CMul(V a, V w) {
  return _mm_add_ps(_mm_mul_ps(a, Cos(w)), _mm_xor_ps(_mm_mul_ps(Swap(a), Sin(w)), FlipRe()));
}
inline V CMulConj(V a, V w) {
  return _mm_add_ps(_mm_mul_ps(a, Cos(w)), _mm_xor_ps(_mm_mul_ps(Swap(a), Sin(w)), FlipIm()));
}

// Twiddles for k, k+1 read from entries q-k, q-k-1 with cos and sin exchanged:
// reversing the four floats does both.
inline V Mirrored(const float* w, int q, int k) {
  const V v = Load(w + 2 * (q - k - 1));
  return _mm_shuffle_ps(v, v, _MM_SHUFFLE(0, 1, 2, 3));
}

inline void Butterflies(float* x, int k, int q, V w) {
  float* a = x + 2 * k;
  float* b = a + 2 * q;
  float* e = b + 2 * q;
  float* f = e + 2 * q;
  const V u = Load(a), v = Load(b), s = Load(e), t = Load(f);
  Store(a, _mm_add_ps(u, s));
  Store(b, _mm_add_ps(v, t));
  const V d = _mm_sub_ps(u, s);
  const V g = MulI(_mm_sub_ps(v, t));
  Store(e, CMul(_mm_add_ps(d, g), w));
  Store(f, CMulConj(_mm_sub_ps(d, g), w));
}

template <int N>
void Pass(float* x) {
  constexpr int q = N / 4;
  const float* w = FftTwiddles<N>();
  if constexpr (N <= 512) {
    for (int k = 0; k < q; k += 2) Butterflies(x, k, q, Load(w + 2 * k));
  } else {
    constexpr int eighth = N / 8;
    for (int k = 0; k < eighth; k += 2) Butterflies(x, k, q, Load(w + 2 * k));
    for (int k = eighth; k < q; k += 2) Butterflies(x, k, q, Mirrored(w, q, k));
  }
}

template <int N>
void Kernel(float* x) {
  if constexpr (N <= 16) {
    FftTransformReference(x, N);  // the leaves stay in registers either way
  } else {
    Pass<N>(x);
    Kernel<N / 4>(x + N);
    Kernel<N / 4>(x + 3 * N / 2);
    Kernel<N / 2>(x);
  }
}

}  // namespace

void FftTransformSse2(float* data, int n) {
  FftWithSize(n, [data](auto size) { Kernel<size()>(data); });
}

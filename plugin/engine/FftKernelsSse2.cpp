// SSE2 code path of the transform: the split-radix passes two butterflies at a
// time, the 4-, 8- and 16-point leaves in registers. SSE2 is the floor of every
// x86 target we build for (x86-64, and the 32-bit DLL), so this is the path
// wherever AVX2 is missing. Every product and sum is formed from the same
// operands as in the reference path (a difference as the sum with a negated
// operand, which is the same operation), so the results are identical to it,
// bit for bit.
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

// Sign masks for the pairs of complex values in a register.
inline V FlipSecond() { return _mm_setr_ps(0.0f, 0.0f, -0.0f, -0.0f); }
inline V FlipReIm() { return _mm_setr_ps(-0.0f, 0.0f, 0.0f, -0.0f); }

// Both slots hold the first (Low) or the second (High) complex value of a.
inline V Low(V a) { return _mm_movelh_ps(a, a); }
inline V High(V a) { return _mm_movehl_ps(a, a); }

// [a, b] -> [a + b, a - b]: the 2-point kernel on the register's two values.
inline V Kernel2(V ab) { return _mm_add_ps(Low(ab), _mm_xor_ps(High(ab), FlipSecond())); }

// The 4-point kernel on x0, x1 (lo) and x2, x3 (hi):
//   a = x0 + x2, b = x1 + x3, c = x0 - x2, d = x1 - x3;
//   lo = [a + b, a - b], hi = [(cr - di, ci + dr), (cr + di, ci - dr)].
inline void Kernel4(V& lo, V& hi) {
  const V ab = _mm_add_ps(lo, hi), cd = _mm_sub_ps(lo, hi);
  lo = Kernel2(ab);
  // [di, dr, di, dr] with the signs of -di, +dr, +di, -dr.
  const V dSwapped = _mm_shuffle_ps(cd, cd, _MM_SHUFFLE(2, 3, 2, 3));
  hi = _mm_add_ps(Low(cd), _mm_xor_ps(dSwapped, FlipReIm()));
}

// The 8-point kernel on x0..x7 in q0..q3 (two values each): the 8-point pass
// (twiddles 1 and e^{i pi/4}, the latter as products with h = sqrt(2)/2 on
// both parts), the 4-point kernel on the first half and the 2-point kernel on
// each pair of the second.
inline void Kernel8(V& q0, V& q1, V& q2, V& q3) {
  const V h = _mm_set1_ps(FftTwiddles<16>()[4]);
  const V d = _mm_sub_ps(q0, q2), g = _mm_sub_ps(q1, q3);
  q0 = _mm_add_ps(q0, q2);
  q1 = _mm_add_ps(q1, q3);
  // z = (dr - gi, di + gr) and y = (dr + gi, di - gr), for k = 0 and k = 1.
  const V z = _mm_add_ps(d, _mm_xor_ps(Swap(g), FlipRe()));
  const V y = _mm_add_ps(d, _mm_xor_ps(Swap(g), FlipIm()));
  // k = 1: (zr h - zi h, zi h + zr h) and (yr h + yi h, yi h - yr h).
  const V zh = _mm_mul_ps(z, h), yh = _mm_mul_ps(y, h);
  const V z1 = _mm_add_ps(zh, _mm_xor_ps(Swap(zh), FlipRe()));
  const V y1 = _mm_add_ps(yh, _mm_xor_ps(Swap(yh), FlipIm()));
  Kernel4(q0, q1);
  q2 = Kernel2(_mm_shuffle_ps(z, z1, _MM_SHUFFLE(3, 2, 1, 0)));
  q3 = Kernel2(_mm_shuffle_ps(y, y1, _MM_SHUFFLE(3, 2, 1, 0)));
}

// The 16-point kernel: the 16-point pass with the table's twiddles (1 + 0i
// included, multiplied like the others), the 4-point kernel on each of the
// last two quarters and the 8-point kernel on the first half.
inline void Kernel16(float* x) {
  const float* w = FftTwiddles<16>();
  V q[8];
  for (int i = 0; i < 8; ++i) q[i] = Load(x + 4 * i);
  for (int k = 0; k < 2; ++k) {
    const V tw = Load(w + 4 * k);
    const V u = q[k], v = q[k + 2], s = q[k + 4], t = q[k + 6];
    q[k] = _mm_add_ps(u, s);
    q[k + 2] = _mm_add_ps(v, t);
    const V d = _mm_sub_ps(u, s);
    const V g = MulI(_mm_sub_ps(v, t));
    q[k + 4] = CMul(_mm_add_ps(d, g), tw);
    q[k + 6] = CMulConj(_mm_sub_ps(d, g), tw);
  }
  Kernel4(q[4], q[5]);
  Kernel4(q[6], q[7]);
  Kernel8(q[0], q[1], q[2], q[3]);
  for (int i = 0; i < 8; ++i) Store(x + 4 * i, q[i]);
}

template <int N>
void Kernel(float* x) {
  if constexpr (N == 4) {
    V lo = Load(x), hi = Load(x + 4);
    Kernel4(lo, hi);
    Store(x, lo);
    Store(x + 4, hi);
  } else if constexpr (N == 8) {
    V q0 = Load(x), q1 = Load(x + 4), q2 = Load(x + 8), q3 = Load(x + 12);
    Kernel8(q0, q1, q2, q3);
    Store(x, q0);
    Store(x + 4, q1);
    Store(x + 8, q2);
    Store(x + 12, q3);
  } else if constexpr (N == 16) {
    Kernel16(x);
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

// Reference code path of the transform: a conjugate-pair split-radix
// decimation in frequency, one unrolled kernel per size, plain C++.
#include "plugin/engine/FftTables.h"

namespace {

// One butterfly of an n-point pass at index k (complex), q = n/4, with the
// twiddle w = c + i*s:
//   x[k] = u + s', x[k+q] = v + t',
//   x[k+2q] = ((u - s') + i(v - t')) * w, x[k+3q] = ((u - s') - i(v - t')) * conj(w).
inline void Butterfly(float* x, int k, int q, float c, float s) {
  float* a = x + 2 * k;
  float* b = x + 2 * (k + q);
  float* e = x + 2 * (k + 2 * q);
  float* f = x + 2 * (k + 3 * q);
  const float dr = a[0] - e[0], di = a[1] - e[1];
  const float gr = b[0] - f[0], gi = b[1] - f[1];
  a[0] += e[0];
  a[1] += e[1];
  b[0] += f[0];
  b[1] += f[1];
  const float zr = dr - gi, zi = di + gr;
  const float yr = dr + gi, yi = di - gr;
  e[0] = zr * c - zi * s;
  e[1] = zi * c + zr * s;
  f[0] = yr * c + yi * s;
  f[1] = yi * c - yr * s;
}

// The split-radix step of an n-point kernel; large sizes read the second
// half of their twiddles mirrored from the first (cos and sin exchanged).
template <int N>
void Pass(float* x) {
  constexpr int q = N / 4;
  const float* w = FftTwiddles<N>();
  Butterfly(x, 0, q, 1.0f, 0.0f);
  if constexpr (N <= 512) {
    for (int k = 1; k < q; ++k) Butterfly(x, k, q, w[2 * k], w[2 * k + 1]);
  } else {
    constexpr int eighth = N / 8;
    for (int k = 1; k <= eighth; ++k) Butterfly(x, k, q, w[2 * k], w[2 * k + 1]);
    for (int k = eighth + 1; k < q; ++k) Butterfly(x, k, q, w[2 * (q - k) + 1], w[2 * (q - k)]);
  }
}

inline void Kernel2(float* x) {
  const float r = x[0] - x[2], i = x[1] - x[3];
  x[0] += x[2];
  x[1] += x[3];
  x[2] = r;
  x[3] = i;
}

// x0..x3 -> x0+x1+x2+x3, (x0+x2)-(x1+x3), (x0-x2)+i(x1-x3), (x0-x2)-i(x1-x3).
inline void Kernel4(float* x) {
  const float ar = x[0] + x[4], ai = x[1] + x[5];
  const float br = x[2] + x[6], bi = x[3] + x[7];
  const float cr = x[0] - x[4], ci = x[1] - x[5];
  const float dr = x[2] - x[6], di = x[3] - x[7];
  x[0] = ar + br;
  x[1] = ai + bi;
  x[2] = ar - br;
  x[3] = ai - bi;
  x[4] = cr - di;
  x[5] = ci + dr;
  x[6] = cr + di;
  x[7] = ci - dr;
}

// Straight-line 8-point kernel: pass 8 (twiddles 1 and e^{i*pi/4}), then
// kernel 4 on the first half and kernel 2 on each remaining pair.
inline void Kernel8(float* x) {
  const float h = FftTwiddles<16>()[4];  // sqrt(2)/2
  const float d0r = x[0] - x[8], d0i = x[1] - x[9];
  const float d1r = x[2] - x[10], d1i = x[3] - x[11];
  const float g0r = x[4] - x[12], g0i = x[5] - x[13];
  const float g1r = x[6] - x[14], g1i = x[7] - x[15];
  x[0] += x[8];
  x[1] += x[9];
  x[2] += x[10];
  x[3] += x[11];
  x[4] += x[12];
  x[5] += x[13];
  x[6] += x[14];
  x[7] += x[15];
  // k = 0: no twiddle.
  x[8] = d0r - g0i;
  x[9] = d0i + g0r;
  x[12] = d0r + g0i;
  x[13] = d0i - g0r;
  // k = 1: z * (h + ih) and y * (h - ih).
  const float zr = d1r - g1i, zi = d1i + g1r;
  const float yr = d1r + g1i, yi = d1i - g1r;
  x[10] = zr * h - zi * h;
  x[11] = zi * h + zr * h;
  x[14] = yr * h + yi * h;
  x[15] = yi * h - yr * h;
  Kernel4(x);
  Kernel2(x + 8);
  Kernel2(x + 12);
}

// Straight-line 16-point kernel: pass 16 with the 16-point table's
// constants, kernel 4 on each of the last two quarters, kernel 8 on the
// first half.
inline void Kernel16(float* x) {
  const float* w = FftTwiddles<16>();
  Butterfly(x, 0, 4, 1.0f, 0.0f);
  Butterfly(x, 1, 4, w[2], w[3]);
  Butterfly(x, 2, 4, w[4], w[5]);
  Butterfly(x, 3, 4, w[6], w[7]);
  Kernel4(x + 16);
  Kernel4(x + 24);
  Kernel8(x);
}

// Kernel of size N >= 32: pass N, then kernels N/4, N/4 and N/2 on the
// disjoint parts (complex offsets 3N/4, N/2 and 0).
template <int N>
void Kernel(float* x) {
  if constexpr (N == 4) {
    Kernel4(x);
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

void FftTransformReference(float* data, int n) {
  FftWithSize(n, [data](auto size) { Kernel<size()>(data); });
}

#pragma once

#include <type_traits>

// Process-wide tables shared by the transform's code paths (internal to the
// FFT files). Built once by FftInit, read-only afterwards.
//
// Twiddle table of an n-point pass (n = 16 .. 16384): interleaved (cos, sin)
// pairs of theta = 2*pi*k/n, entry 0 being (1, 0). Up to n = 512 the table
// holds entries 0 .. n/4 - 1; from 1024 on only 0 .. n/8 (the last one being
// (sqrt(2)/2, sqrt(2)/2)), and entry k > n/8 is entry n/4 - k with cosine and
// sine exchanged. Every table starts 32-byte aligned.

constexpr int FftTwiddleEntries(int n) { return n <= 512 ? n / 4 : n / 8 + 1; }

// Padded to a multiple of four complex values so the next table stays aligned.
constexpr int FftTwiddlePaddedFloats(int n) { return (FftTwiddleEntries(n) + 3) / 4 * 8; }

constexpr int FftTwiddleOffset(int n) {
  int offset = 0;
  for (int m = 16; m < n; m *= 2) offset += FftTwiddlePaddedFloats(m);
  return offset;
}

constexpr int kFftTwiddleFloats = FftTwiddleOffset(32768);

extern float g_fftTwiddles[kFftTwiddleFloats];

template <int N>
inline const float* FftTwiddles() {
  static_assert(N >= 16 && N <= 16384 && (N & (N - 1)) == 0);
  return g_fftTwiddles + FftTwiddleOffset(N);
}

// Calls kernel(std::integral_constant<int, N>{}) for a supported size n == N, so
// that every code path instantiates one kernel per size from a single list;
// nothing happens for other n.
template <class Kernel>
inline void FftWithSize(int n, Kernel kernel) {
  switch (n) {
    case 4:
      kernel(std::integral_constant<int, 4>{});
      break;
    case 8:
      kernel(std::integral_constant<int, 8>{});
      break;
    case 16:
      kernel(std::integral_constant<int, 16>{});
      break;
    case 32:
      kernel(std::integral_constant<int, 32>{});
      break;
    case 64:
      kernel(std::integral_constant<int, 64>{});
      break;
    case 128:
      kernel(std::integral_constant<int, 128>{});
      break;
    case 256:
      kernel(std::integral_constant<int, 256>{});
      break;
    case 512:
      kernel(std::integral_constant<int, 512>{});
      break;
    case 1024:
      kernel(std::integral_constant<int, 1024>{});
      break;
    case 2048:
      kernel(std::integral_constant<int, 2048>{});
      break;
    case 4096:
      kernel(std::integral_constant<int, 4096>{});
      break;
    case 8192:
      kernel(std::integral_constant<int, 8192>{});
      break;
    case 16384:
      kernel(std::integral_constant<int, 16384>{});
      break;
    default:
      break;
  }
}

// The reference code path: plain C++, any processor.
void FftTransformReference(float* data, int n);

// The SSE2 code path (x86 builds); results identical to the reference path.
bool FftSse2Supported();
void FftTransformSse2(float* data, int n);

// The AVX2 + FMA code path; call only when FftAvx2Supported() is true.
bool FftAvx2Supported();
void FftTransformAvx2(float* data, int n);

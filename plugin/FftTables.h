#pragma once

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

// The reference code path: plain C++, any processor.
void FftTransformReference(float* data, int n);

// The SSE2 code path (x86 builds); results identical to the reference path.
bool FftSse2Supported();
void FftTransformSse2(float* data, int n);

// The AVX2 + FMA code path; call only when FftAvx2Supported() is true.
bool FftAvx2Supported();
void FftTransformAvx2(float* data, int n);

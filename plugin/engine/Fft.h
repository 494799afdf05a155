#pragma once

// In-place complex FFT of power-of-two length on interleaved 32-bit floats
// (real, imaginary, real, imaginary, ...). The transform is unnormalised and
// leaves its bins in a scrambled order: read bin k of an n-point transform at
// complex position FftOrder(n, k). Skipping the reordering pass is what makes
// the transform cheap; every consumer here reads bins through the table anyway.

// Smallest and largest supported transform lengths (complex points).
constexpr int kFftMinSize = 4;
constexpr int kFftMaxSize = 16384;

// Builds the process-wide twiddle and order tables and picks the fastest code
// path this processor runs. Later calls return at once. Not thread-safe: the
// first call must be serialised by the caller (the plug-in's creation lock).
void FftInit();

// True for the lengths FftTransform accepts: powers of two from 4 to 16384.
bool FftSizeSupported(int n);

// Transforms n complex values (2n floats) in place. After the call, position
// FftOrder(n, k) holds X_k = sum_j x_j * exp(-2*pi*i*j*k/n). Does nothing for
// an unsupported n or a null pointer, or before FftInit.
void FftTransform(float* data, int n);

// Complex position of bin k after FftTransform(data, n); -1 when n is not a
// supported length, k is outside 0..n-1 or FftInit has not run.
int FftOrder(int n, int k);

// The n positions of FftOrder(n, 0..n-1) as one array, for loops over many
// bins; null when n is not supported or FftInit has not run.
const int* FftOrderTable(int n);

// Code paths of the transform. Reference is plain C++ and runs everywhere; Sse2
// runs on every x86 target and gives results identical to Reference; Avx2 needs a
// processor with AVX2 and FMA. Every path gives the same transform up to float
// rounding, with bins at the same positions.
enum class FftPath { Reference, Avx2, Sse2 };

// Switches every later FftTransform to `path`; false (and no change) when this
// processor cannot run it. FftInit picks the fastest path (AVX2, else SSE2)
// unless the environment variable VIRLEX_FFT_REFERENCE is set to a non-empty value.
bool FftSelectPath(FftPath path);
FftPath FftActivePath();

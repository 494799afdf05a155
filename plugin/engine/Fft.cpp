#include "plugin/engine/Fft.h"

#include "plugin/engine/FftTables.h"

#include <cmath>
#include <cstdlib>

namespace {

constexpr int kMinTableSize = 16;

// Order tables for sizes 4 .. 16384; the table of size n starts at n - 4.
constexpr int kOrderEntries = 2 * kFftMaxSize - kFftMinSize;

int g_order[kOrderEntries];
bool g_initialised = false;
void (*g_transform)(float*, int) = FftTransformReference;
FftPath g_path = FftPath::Reference;

// Split-radix output order: which frequency of the e^{+i} transform lands
// at position a of a b-point kernel. The first half holds the even bins, the
// third quarter the bins = 1 (mod 4), the last quarter the bins = -1 (mod 4).
int Perm(int a, int b) {
  if (b <= 2) return a;
  const int c = b / 2;
  if (a < c) return 2 * Perm(a, c);
  const int d = b / 4;
  if (a - c < d) return 4 * Perm(a - c, d) + 1;
  return (b - 1) & (4 * Perm(a - c - d, d) - 1);
}

void BuildTwiddles() {
  const double twoPi = 6.283185307179586476925286766559;
  for (int n = kMinTableSize; n <= kFftMaxSize; n *= 2) {
    float* table = g_fftTwiddles + FftTwiddleOffset(n);
    for (int k = 0; k < FftTwiddleEntries(n); ++k) {
      const double theta = twoPi * k / n;
      table[2 * k] = static_cast<float>(std::cos(theta));
      table[2 * k + 1] = static_cast<float>(std::sin(theta));
    }
  }
  // The eighth-turn constant of every large table is the 16-point table's
  // entry 2, so all sizes use the identical float value.
  const float* t16 = g_fftTwiddles + FftTwiddleOffset(16);
  for (int n = 1024; n <= kFftMaxSize; n *= 2) {
    float* table = g_fftTwiddles + FftTwiddleOffset(n);
    const int k = n / 8;
    table[2 * k] = t16[4];
    table[2 * k + 1] = t16[5];
  }
}

void BuildOrder() {
  for (int n = kFftMinSize; n <= kFftMaxSize; n *= 2) {
    int* table = g_order + (n - kFftMinSize);
    table[0] = 0;
    // Position i holds Y_perm(i) of the e^{+i} transform, and X_k = Y_{n-k}.
    for (int i = 1; i < n; ++i) table[n - Perm(i, n)] = i;
  }
}

bool ReferenceRequested() {
  const char* value = std::getenv("VIRLEX_FFT_REFERENCE");
  return value != nullptr && value[0] != '\0';
}

}  // namespace

alignas(32) float g_fftTwiddles[kFftTwiddleFloats];

bool FftSizeSupported(int n) { return n >= kFftMinSize && n <= kFftMaxSize && (n & (n - 1)) == 0; }

void FftInit() {
  if (g_initialised) return;
  BuildTwiddles();
  BuildOrder();
  if (!ReferenceRequested() && !FftSelectPath(FftPath::Avx2)) FftSelectPath(FftPath::Sse2);
  g_initialised = true;
}

void FftTransform(float* data, int n) {
  if (!g_initialised || data == nullptr || !FftSizeSupported(n)) return;
  g_transform(data, n);
}

int FftOrder(int n, int k) {
  const int* table = FftOrderTable(n);
  if (table == nullptr || k < 0 || k >= n) return -1;
  return table[k];
}

const int* FftOrderTable(int n) {
  if (!g_initialised || !FftSizeSupported(n)) return nullptr;
  return g_order + (n - kFftMinSize);
}

bool FftSelectPath(FftPath path) {
  if (path == FftPath::Avx2) {
    if (!FftAvx2Supported()) return false;
    g_transform = FftTransformAvx2;
  } else if (path == FftPath::Sse2) {
    if (!FftSse2Supported()) return false;
    g_transform = FftTransformSse2;
  } else {
    g_transform = FftTransformReference;
  }
  g_path = path;
  return true;
}

FftPath FftActivePath() { return g_path; }

#include "plugin/engine/Fft.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <complex>
#include <cstdint>
#include <random>
#include <vector>

namespace {

using Cd = std::complex<double>;

struct FftTest : ::testing::Test {
  static void SetUpTestSuite() { FftInit(); }
  void TearDown() override {
    if (!FftSelectPath(FftPath::Avx2)) FftSelectPath(FftPath::Reference);
  }
};

// Every code path this processor can run.
std::vector<FftPath> Paths() {
  std::vector<FftPath> paths{FftPath::Reference};
  if (FftSelectPath(FftPath::Avx2)) paths.push_back(FftPath::Avx2);
  if (FftSelectPath(FftPath::Sse2)) paths.push_back(FftPath::Sse2);
  return paths;
}

const char* Name(FftPath path) {
  return path == FftPath::Avx2 ? "avx2" : (path == FftPath::Sse2 ? "sse2" : "reference");
}

std::vector<int> Sizes() {
  std::vector<int> sizes;
  for (int n = kFftMinSize; n <= kFftMaxSize; n *= 2) sizes.push_back(n);
  return sizes;
}

// X_k = sum_j x_j e^{-2 pi i jk/n} in double, with an exact index reduction
// so the reference itself carries no accumulated angle error.
std::vector<Cd> Dft(const std::vector<float>& x, int n) {
  std::vector<Cd> unit(n);
  for (int m = 0; m < n; ++m) unit[m] = std::polar(1.0, -2.0 * M_PI * m / n);
  std::vector<Cd> out(n);
  for (int k = 0; k < n; ++k) {
    Cd sum = 0.0;
    for (int j = 0; j < n; ++j) {
      sum += Cd(x[2 * j], x[2 * j + 1]) * unit[(static_cast<long long>(j) * k) % n];
    }
    out[k] = sum;
  }
  return out;
}

Cd Bin(const std::vector<float>& data, int n, int k) {
  const int p = FftOrder(n, k);
  return {data[2 * p], data[2 * p + 1]};
}

// sqrt(sum |X - ref|^2 / sum |ref|^2) over all bins read through FftOrder.
double RelativeRmsError(const std::vector<float>& data, const std::vector<Cd>& ref, int n) {
  double err = 0.0, energy = 0.0;
  for (int k = 0; k < n; ++k) {
    err += std::norm(Bin(data, n, k) - ref[k]);
    energy += std::norm(ref[k]);
  }
  return std::sqrt(err / energy);
}

std::vector<float> RandomSignal(int n, unsigned seed) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<float> dist(-1.0f, 1.0f);
  std::vector<float> x(2 * n);
  for (float& v : x) v = dist(rng);
  return x;
}

// The tolerated relative RMS error: float rounding grows about with the
// square root of the number of passes.
double ErrorBound(int n) { return 6e-8 * std::sqrt(std::log2(static_cast<double>(n))); }

}  // namespace

TEST_F(FftTest, MatchesDoublePrecisionDftForEverySizeAndPath) {
  for (FftPath path : Paths()) {
    ASSERT_TRUE(FftSelectPath(path));
    for (int n : Sizes()) {
      const std::vector<float> x = RandomSignal(n, 1234u + n);
      const std::vector<Cd> ref = Dft(x, n);
      std::vector<float> data = x;
      FftTransform(data.data(), n);
      EXPECT_LT(RelativeRmsError(data, ref, n), ErrorBound(n)) << Name(path) << " n=" << n;
    }
  }
}

TEST_F(FftTest, ImpulseConstantAndTonesLandInTheirBins) {
  for (FftPath path : Paths()) {
    ASSERT_TRUE(FftSelectPath(path));
    for (int n : Sizes()) {
      const float tol = 2e-6f * n;
      // Unit impulse: 1 + 0i at every position.
      std::vector<float> data(2 * n, 0.0f);
      data[0] = 1.0f;
      FftTransform(data.data(), n);
      for (int p = 0; p < n; ++p) {
        ASSERT_NEAR(data[2 * p], 1.0f, 1e-6f) << Name(path) << " n=" << n << " p=" << p;
        ASSERT_NEAR(data[2 * p + 1], 0.0f, 1e-6f) << Name(path) << " n=" << n << " p=" << p;
      }
      // Constant 1: n at bin 0, nothing elsewhere.
      std::vector<float> ones(2 * n, 0.0f);
      for (int j = 0; j < n; ++j) ones[2 * j] = 1.0f;
      FftTransform(ones.data(), n);
      for (int k = 0; k < n; ++k) {
        ASSERT_NEAR(std::abs(Bin(ones, n, k) - Cd(k == 0 ? n : 0, 0)), 0.0, tol) << n << " " << k;
      }
      // e^{+2 pi i 3j/n} lands in bin 3, its conjugate in bin n - 3.
      for (int sign : {1, -1}) {
        std::vector<float> tone(2 * n);
        for (int j = 0; j < n; ++j) {
          const double a = sign * 2.0 * M_PI * ((3LL * j) % n) / n;
          tone[2 * j] = static_cast<float>(std::cos(a));
          tone[2 * j + 1] = static_cast<float>(std::sin(a));
        }
        FftTransform(tone.data(), n);
        const int target = sign > 0 ? 3 % n : (n - 3 % n) % n;
        for (int k = 0; k < n; ++k) {
          const Cd want(k == target ? n : 0, 0);
          ASSERT_NEAR(std::abs(Bin(tone, n, k) - want), 0.0, tol) << n << " " << sign << " " << k;
        }
      }
    }
  }
}

// Inputs where the order of operations shows in the bits: random values, and
// exact cancellations that leave zeros whose sign depends on every step
// (negative zeros, a constant, alternating signs, small integers).
std::vector<std::vector<float>> BitPatternInputs(int n) {
  std::vector<std::vector<float>> inputs{RandomSignal(n, 7u + n)};
  std::vector<float> v(2 * n);
  for (int i = 0; i < 2 * n; ++i) v[i] = i % 3 == 0 ? -0.0f : 0.0f;
  v[2] = -1.0f;
  inputs.push_back(v);
  for (int i = 0; i < 2 * n; ++i) v[i] = i % 2 == 0 ? 1.0f : -0.0f;
  inputs.push_back(v);
  for (int i = 0; i < 2 * n; ++i) v[i] = (i / 2) % 2 == 0 ? 0.5f : -0.5f;
  inputs.push_back(v);
  std::mt19937 rng(3u + n);
  for (float& f : v) f = float(int(rng() % 5) - 2);
  inputs.push_back(v);
  // Zeros of both signs and ones: cancellations everywhere, so the sign of
  // many a zero depends on the exact operations. Many of them where the
  // transform is small (the same leaves serve every size).
  const float sparse[] = {0.0f, -0.0f, 0.0f, -0.0f, 1.0f, -1.0f};
  const int count = n <= 64 ? 4000 : 8;
  for (int i = 0; i < count; ++i) {
    for (float& f : v) f = sparse[rng() % 6];
    inputs.push_back(v);
  }
  return inputs;
}

// The SSE2 path forms every sum and product from the reference path's
// operands: it must give the very same floats, bit for bit (the sign of every
// zero included), whatever the size and the input.
TEST_F(FftTest, Sse2PathIsBitIdenticalToTheReference) {
  if (!FftSelectPath(FftPath::Sse2)) GTEST_SKIP() << "no SSE2 path in this build";
  for (int n : Sizes()) {
    for (const std::vector<float>& x : BitPatternInputs(n)) {
      std::vector<float> ref = x;
      ASSERT_TRUE(FftSelectPath(FftPath::Reference));
      FftTransform(ref.data(), n);
      std::vector<float> shifted(2 * n + 1);  // only 4-byte aligned
      std::copy(x.begin(), x.end(), shifted.begin() + 1);
      ASSERT_TRUE(FftSelectPath(FftPath::Sse2));
      FftTransform(shifted.data() + 1, n);
      for (int i = 0; i < 2 * n; ++i) {
        ASSERT_EQ(std::bit_cast<std::uint32_t>(shifted[i + 1]),
                  std::bit_cast<std::uint32_t>(ref[i]))
            << "n=" << n << " i=" << i << " " << shifted[i + 1] << " vs " << ref[i];
      }
    }
  }
}

TEST_F(FftTest, PathsAgreeAndIgnoreAlignment) {
  if (!FftSelectPath(FftPath::Avx2)) GTEST_SKIP() << "no AVX2 on this processor";
  for (int n : Sizes()) {
    const std::vector<float> x = RandomSignal(n, 99u + n);
    std::vector<float> ref = x;
    ASSERT_TRUE(FftSelectPath(FftPath::Reference));
    FftTransform(ref.data(), n);
    ASSERT_TRUE(FftSelectPath(FftPath::Avx2));
    // One float of offset: the data is only 4-byte aligned.
    std::vector<float> shifted(2 * n + 1);
    std::copy(x.begin(), x.end(), shifted.begin() + 1);
    FftTransform(shifted.data() + 1, n);
    double err = 0.0, energy = 0.0;
    for (int i = 0; i < 2 * n; ++i) {
      err += (shifted[i + 1] - ref[i]) * double(shifted[i + 1] - ref[i]);
      energy += ref[i] * double(ref[i]);
    }
    EXPECT_LT(std::sqrt(err / energy), ErrorBound(n)) << "n=" << n;
  }
}

TEST_F(FftTest, OrderTableFollowsTheSplitRadixLayout) {
  const int expected16[16] = {0, 12, 6, 11, 3, 15, 5, 9, 1, 13, 7, 10, 2, 14, 4, 8};
  for (int k = 0; k < 16; ++k) EXPECT_EQ(FftOrder(16, k), expected16[k]) << k;
  for (int n : Sizes()) {
    EXPECT_EQ(FftOrder(n, 0), 0) << n;
    // A permutation: every position holds exactly one bin.
    std::vector<int> seen(n, 0);
    for (int k = 0; k < n; ++k) {
      const int p = FftOrder(n, k);
      ASSERT_GE(p, 0);
      ASSERT_LT(p, n);
      ++seen[p];
    }
    for (int p = 0; p < n; ++p) ASSERT_EQ(seen[p], 1) << n << " " << p;
    // Bins = 1 (mod 4) of the e^{+i} transform (X_{n-k}) sit in the third quarter.
    if (n >= 8) {
      const int p = FftOrder(n, n - 1);
      EXPECT_GE(p, n / 2);
      EXPECT_LT(p, 3 * n / 4);
    }
  }
}

TEST_F(FftTest, BadSizesAndIndicesAreRefused) {
  std::vector<float> guard(2 * 64 + 2, 7.0f);
  for (int n : {-16, 0, 1, 2, 3, 6, 48, 100, 32768, 1 << 20}) {
    FftTransform(guard.data(), n);
    EXPECT_EQ(FftOrder(n, 0), -1) << n;
    EXPECT_EQ(FftOrderTable(n), nullptr) << n;
    EXPECT_FALSE(FftSizeSupported(n)) << n;
  }
  for (float v : guard) ASSERT_EQ(v, 7.0f);  // nothing was written
  FftTransform(nullptr, 64);
  EXPECT_EQ(FftOrder(16, -1), -1);
  EXPECT_EQ(FftOrder(16, 16), -1);
  EXPECT_EQ(FftOrder(16384, 16384), -1);
  EXPECT_GE(FftOrder(16384, 16383), 0);
}

TEST_F(FftTest, SecondInitKeepsTablesAndPath) {
  const FftPath before = FftActivePath();
  const int* table = FftOrderTable(1024);
  std::vector<int> copy(table, table + 1024);
  FftInit();
  EXPECT_EQ(FftActivePath(), before);
  EXPECT_EQ(FftOrderTable(1024), table);
  EXPECT_TRUE(std::equal(copy.begin(), copy.end(), FftOrderTable(1024)));
}

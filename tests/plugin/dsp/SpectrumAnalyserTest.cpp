#include "plugin/engine/SpectrumAnalyser.h"

#include "plugin/engine/Fft.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <complex>
#include <limits>
#include <random>
#include <vector>

namespace {

struct SpectrumAnalyserTest : ::testing::Test {
  static void SetUpTestSuite() { FftInit(); }
};

std::vector<float> Sine(int n, double cyclesPerWindow, double amplitude = 1.0) {
  std::vector<float> x(n);
  for (int i = 0; i < n; ++i)
    x[i] = static_cast<float>(amplitude * std::sin(2.0 * M_PI * cyclesPerWindow * i / n));
  return x;
}

// Radix-2 transform in double precision (e^{-i}), accurate to about 1e-15.
void DoubleFft(std::vector<std::complex<double>>& a) {
  const std::size_t n = a.size();
  if (n == 1) return;
  std::vector<std::complex<double>> even(n / 2), odd(n / 2);
  for (std::size_t i = 0; i < n / 2; ++i) {
    even[i] = a[2 * i];
    odd[i] = a[2 * i + 1];
  }
  DoubleFft(even);
  DoubleFft(odd);
  for (std::size_t k = 0; k < n / 2; ++k) {
    const auto w = std::polar(1.0, -2.0 * M_PI * double(k) / double(n)) * odd[k];
    a[k] = even[k] + w;
    a[k + n / 2] = even[k] - w;
  }
}

// What the analyser shows at blend 1, in double precision: 2 |X_k| / n of the
// windowed samples, the window and the products formed in floats as it does.
std::vector<double> ExactSpectrum(const std::vector<float>& x) {
  const int n = int(x.size());
  std::vector<std::complex<double>> z(n);
  for (int i = 0; i < n; ++i) {
    const double t = i * (6.283185307179586476925286766559 / (n - 1));
    const float w = static_cast<float>((0.42 - 0.5 * std::cos(t)) + 0.08 * std::cos(2.0 * t));
    z[i] = double(w * x[i]);
  }
  DoubleFft(z);
  std::vector<double> out(n / 2);
  for (int k = 0; k < n / 2; ++k) out[k] = std::abs(z[k]) * 2.0 / n;
  return out;
}

}  // namespace

// The spectrum comes from a half-length transform of the samples packed in
// pairs, unpacked into the bins; its rounding differs from a full-length
// transform's but not its accuracy. Against the exact spectrum, on every size
// and transform path: every bin within 3e-7 of the peak (-130 dB, far below
// anything the display draws) and the relative RMS error within 3e-7; input
// 1e30 times louder gives the same spectrum 1e30 times larger.
TEST_F(SpectrumAnalyserTest, SpectrumMatchesTheExactOneWithinFloatRounding) {
  const FftPath chosen = FftActivePath();
  for (FftPath path : {FftPath::Reference, FftPath::Sse2, FftPath::Avx2}) {
    if (!FftSelectPath(path)) continue;
    for (int n = 4; n <= 16384; n *= 2) {
      std::mt19937 rng(n);
      std::normal_distribution<float> noise(0.0f, 0.3f);
      std::vector<float> x(n);
      for (int i = 0; i < n; ++i)
        x[i] = float(0.5 * std::sin(2.0 * M_PI * i * 37.3 / n) + 0.01 * (i % 7)) + noise(rng);
      SpectrumAnalyser a;
      ASSERT_TRUE(a.Init(n));
      const float* s = a.Analyse(x.data());
      const std::vector<double> exact = ExactSpectrum(x);
      double peak = 0.0, worst = 0.0, err2 = 0.0, ref2 = 0.0;
      for (int k = 0; k < n / 2; ++k) {
        peak = std::max(peak, exact[k]);
        worst = std::max(worst, std::fabs(s[k] - exact[k]));
        err2 += (s[k] - exact[k]) * (s[k] - exact[k]);
        ref2 += exact[k] * exact[k];
      }
      EXPECT_LE(worst, 3e-7 * peak) << "n=" << n << " path " << int(path);
      EXPECT_LE(std::sqrt(err2 / ref2), 3e-7) << "n=" << n << " path " << int(path);
      // Loud but finite input (squares beyond the float range): the same spectrum, scaled.
      const float gain = 1e30f;
      for (float& v : x) v *= gain;
      SpectrumAnalyser loud;
      ASSERT_TRUE(loud.Init(n));
      const float* l = loud.Analyse(x.data());
      for (int k = 0; k < n / 2; ++k)
        ASSERT_NEAR(l[k] / gain, exact[k], 3e-7 * peak) << "n=" << n << " bin " << k;
    }
  }
  FftSelectPath(chosen);
}

// Every bin, bit for bit, as the half-length transform's bins unpacked one pair
// at a time with each power formed in double (so that loud input scales and
// quiet input keeps its precision), whichever way the analyser groups them.
TEST_F(SpectrumAnalyserTest, BinsAreUnpackedWithTheirPowersFormedInDouble) {
  const double twoPi = 6.283185307179586476925286766559;
  for (int n = 8; n <= 16384; n *= 2) {
    for (const float gain : {1.0f, 1e-22f, 1e30f}) {
      std::mt19937 rng(n);
      std::normal_distribution<float> noise(0.0f, 0.3f);
      std::vector<float> x(n), z(n);
      for (int i = 0; i < n; ++i) {
        x[i] = noise(rng) * gain;
        const double t = i * (twoPi / (n - 1));
        z[i] = static_cast<float>((0.42 - 0.5 * std::cos(t)) + 0.08 * std::cos(2.0 * t)) * x[i];
      }
      const int h = n / 2;
      FftTransform(z.data(), h);
      const int* order = FftOrderTable(h);
      const auto re = [&](int k) { return z[2 * order[k]]; };
      const auto im = [&](int k) { return z[2 * order[k] + 1]; };
      std::vector<float> expected(h);
      expected[0] = 2.0f * std::fabs(re(0) + im(0));
      for (int k = 1; k <= h / 2; ++k) {
        const float c = static_cast<float>(std::cos(twoPi * k / n));
        const float s = static_cast<float>(std::sin(twoPi * k / n));
        const float ar = re(k) + re(h - k), ai = im(k) - im(h - k);
        const float br = re(k) - re(h - k), bi = im(k) + im(h - k);
        const float p = c * bi - s * br, q = c * br + s * bi;
        const double xr = ar + p, xi = ai - q, yr = ar - p, yi = -ai - q;
        expected[k] = static_cast<float>(std::sqrt(xi * xi + xr * xr));
        expected[h - k] = static_cast<float>(std::sqrt(yi * yi + yr * yr));
      }
      SpectrumAnalyser a;
      ASSERT_TRUE(a.Init(n));
      const float* got = a.Analyse(x.data());
      for (int k = 0; k < h; ++k) {
        // At blend 1 the smoothed value is the magnitude times 1/n, exactly.
        const float want = expected[k] / static_cast<float>(n);
        ASSERT_EQ(got[k], want >= 1e-30f ? want : 0.0f)
            << "n=" << n << " gain " << gain << " bin " << k;
      }
    }
  }
}

TEST_F(SpectrumAnalyserTest, StartsAt2048WithBlendOneAndBlackmanWindow) {
  SpectrumAnalyser a;
  EXPECT_EQ(a.Size(), 2048);
  EXPECT_FLOAT_EQ(a.Blend(), 1.0f);
  for (int k = 0; k < 1024; ++k) ASSERT_EQ(a.Smoothed()[k], 0.0f);
  // A constant input shows the window's mean (0.42) times 2 in bin 0.
  std::vector<float> ones(2048, 1.0f);
  EXPECT_NEAR(a.Analyse(ones.data())[0], 0.84, 2e-3);
}

TEST_F(SpectrumAnalyserTest, SineAtBinCentreShowsWindowMeanAndItsNeighbours) {
  for (int n : {256, 4096, 16384}) {
    SpectrumAnalyser a;
    ASSERT_TRUE(a.Init(n));
    const int k = n / 8 + 3;
    const std::vector<float> x = Sine(n, k);
    const float* s = a.Analyse(x.data());
    EXPECT_NEAR(s[k], 0.42, 2e-3) << n;
    EXPECT_NEAR(s[k - 1], 0.25, 2e-3) << n;
    EXPECT_NEAR(s[k + 1], 0.25, 2e-3) << n;
    EXPECT_NEAR(s[k - 2], 0.04, 2e-3) << n;
    EXPECT_NEAR(s[k + 2], 0.04, 2e-3) << n;
    // Far away the Blackman window's side lobes are below -58 dB.
    EXPECT_LT(s[k + 10], 0.42 * 1.3e-3) << n;
    EXPECT_LT(s[k - 10], 0.42 * 1.3e-3) << n;
  }
}

TEST_F(SpectrumAnalyserTest, BlendHalvesTheDistanceOnEveryRedraw) {
  SpectrumAnalyser a;
  ASSERT_TRUE(a.Init(1024));
  a.SetBlend(0.5);
  const std::vector<float> x = Sine(1024, 100);
  const float v = 0.42f;
  double expected = 0.0;
  for (int step = 0; step < 6; ++step) {
    const float* s = a.Analyse(x.data());
    expected = expected + (v - expected) * 0.5;
    EXPECT_NEAR(s[100], expected, 2e-3) << step;
  }
  // And back towards zero once the tone stops.
  const std::vector<float> silence(1024, 0.0f);
  const float before = a.Smoothed()[100];
  EXPECT_NEAR(a.Analyse(silence.data())[100], before * 0.5f, 1e-6);
}

TEST_F(SpectrumAnalyserTest, BlendIsClampedAndNonFiniteBlendIgnored) {
  SpectrumAnalyser a;
  a.SetBlend(0.3);
  EXPECT_FLOAT_EQ(a.Blend(), 0.3f);
  a.SetBlend(std::numeric_limits<double>::quiet_NaN());
  EXPECT_FLOAT_EQ(a.Blend(), 0.3f);
  a.SetBlend(5.0);
  EXPECT_FLOAT_EQ(a.Blend(), 1.0f);
  a.SetBlend(-2.0);
  EXPECT_FLOAT_EQ(a.Blend(), 0.0f);
}

TEST_F(SpectrumAnalyserTest, NonFiniteSamplesDoNotPoisonTheAverage) {
  SpectrumAnalyser a;
  ASSERT_TRUE(a.Init(512));
  a.SetBlend(0.5);
  std::vector<float> x = Sine(512, 40);
  std::vector<float> zeroed = x;
  x[100] = std::numeric_limits<float>::quiet_NaN();
  x[200] = std::numeric_limits<float>::infinity();
  x[300] = -std::numeric_limits<float>::infinity();
  zeroed[100] = zeroed[200] = zeroed[300] = 0.0f;
  SpectrumAnalyser b;
  ASSERT_TRUE(b.Init(512));
  b.SetBlend(0.5);
  // A broken sample counts as silence.
  const float* s = a.Analyse(x.data());
  const float* t = b.Analyse(zeroed.data());
  for (int k = 0; k < 256; ++k) ASSERT_FLOAT_EQ(s[k], t[k]) << k;
  // Samples so large that the transform overflows saturate instead.
  std::vector<float> huge(512, 3e38f);
  for (int step = 0; step < 3; ++step) a.Analyse(huge.data());
  for (int k = 0; k < 256; ++k) ASSERT_TRUE(std::isfinite(a.Smoothed()[k])) << k;
  // With blend 1 the next clean window is shown exactly as from scratch.
  a.SetBlend(1.0);
  b.SetBlend(1.0);
  const std::vector<float> clean = Sine(512, 10);
  s = a.Analyse(clean.data());
  t = b.Analyse(clean.data());
  for (int k = 0; k < 256; ++k) ASSERT_FLOAT_EQ(s[k], t[k]) << k;
}

TEST_F(SpectrumAnalyserTest, InitRefusesBadSizesAndReusesItsBuffers) {
  SpectrumAnalyser a;
  ASSERT_TRUE(a.Init(16384));
  for (int n : {0, -4, 3, 1000, 32768}) {
    EXPECT_FALSE(a.Init(n)) << n;
    EXPECT_EQ(a.Size(), 16384);
  }
  // Shrinking and growing back within the largest size keeps the storage.
  const float* smoothed = a.Smoothed();
  ASSERT_TRUE(a.Init(256));
  ASSERT_TRUE(a.Init(16384));
  EXPECT_EQ(a.Smoothed(), smoothed);
  // Analyse after a size change reads exactly the new size.
  std::vector<float> x = Sine(256, 8);
  ASSERT_TRUE(a.Init(256));
  EXPECT_NEAR(a.Analyse(x.data())[8], 0.42, 2e-3);
  EXPECT_EQ(a.Analyse(nullptr), a.Smoothed());
}

TEST_F(SpectrumAnalyserTest, ClearZeroesTheAverage) {
  SpectrumAnalyser a;
  ASSERT_TRUE(a.Init(256));
  a.SetBlend(0.5);
  const std::vector<float> x = Sine(256, 20);
  a.Analyse(x.data());
  a.Clear();
  for (int k = 0; k < 128; ++k) ASSERT_EQ(a.Smoothed()[k], 0.0f);
  EXPECT_NEAR(a.Analyse(x.data())[20], 0.21, 2e-3);
}

// Decaying towards silence at a slow blend must reach zero: values stuck in the
// subnormal range never decay further and are slow on many processors.
TEST_F(SpectrumAnalyserTest, SilenceAfterAToneDecaysToExactZero) {
  for (const double blend : {0.1, 0.3, 0.49}) {
    SpectrumAnalyser a;
    ASSERT_TRUE(a.Init(256));
    a.SetBlend(blend);
    const std::vector<float> x = Sine(256, 20);
    for (int i = 0; i < 10; ++i) a.Analyse(x.data());
    const std::vector<float> silence(256, 0.0f);
    for (int i = 0; i < 3000; ++i) a.Analyse(silence.data());
    for (int k = 0; k < 128; ++k) {
      const float v = a.Smoothed()[k];
      ASSERT_EQ(std::fpclassify(v), FP_ZERO) << "blend " << blend << ", bin " << k << ": " << v;
    }
  }
}

// Loud but finite input: every bin's power is formed without overflowing, so the
// spectrum scales with the input instead of saturating.
TEST_F(SpectrumAnalyserTest, LargeFiniteSamplesScaleInsteadOfSaturating) {
  const int n = 1024;
  const std::vector<float> unit = Sine(n, 64);
  SpectrumAnalyser reference;
  ASSERT_TRUE(reference.Init(n));
  const float* r = reference.Analyse(unit.data());
  for (const double gain : {1e15, 1e20, 1e30}) {
    SpectrumAnalyser a;
    ASSERT_TRUE(a.Init(n));
    const std::vector<float> loud = Sine(n, 64, gain);
    const float* s = a.Analyse(loud.data());
    EXPECT_NEAR(s[64] / gain, r[64], 1e-3 * r[64]) << gain;
    EXPECT_NEAR(s[63] / gain, r[63], 1e-3 * r[63]) << gain;
  }
}

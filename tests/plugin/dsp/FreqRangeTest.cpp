#include "plugin/engine/FreqRange.h"

#include "plugin/engine/Fft.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

TEST(FreqRangeTest, ZoomExampleGivesItsBins) {
  const FreqRange r = UpdateFreqRange(0.0, 0.75, 4096, 44100.0);
  EXPECT_DOUBLE_EQ(r.lowHz, 20.0);
  EXPECT_DOUBLE_EQ(r.highHz, 12383.75);
  EXPECT_EQ(r.firstBin, 2);
  EXPECT_EQ(r.lastBin, 1151);
  // The spectrum's edges are the first and last bins drawn.
  EXPECT_DOUBLE_EQ(r.edgeLowHz, 2 * 44100.0 / 4096);
  EXPECT_DOUBLE_EQ(r.edgeHighHz, 1150 * 44100.0 / 4096);
  EXPECT_NEAR(r.mappedLow, std::pow(4096.0, 1.0 - r.edgeLowHz / 44100.0), 1e-9);
  EXPECT_NEAR(r.mappedHigh, std::pow(4096.0, 1.0 - r.edgeHighHz / 44100.0), 1e-9);
  // Full zoom spans 20 Hz to 22000 Hz.
  const FreqRange full = UpdateFreqRange(0.0, 1.0, 4096, 44100.0);
  EXPECT_DOUBLE_EQ(full.highHz, 22000.0);
  EXPECT_EQ(full.lastBin, 2044);
}

// Two bins: the spectrum spans one bin from edge to edge (a single bin would
// have no width to be drawn in).
TEST(FreqRangeTest, NarrowZoomIsWidenedToSpanOneBin) {
  const FreqRange r = UpdateFreqRange(0.5, 0.5005, 256, 44100.0);
  EXPECT_EQ(r.lastBin, r.firstBin + 2);
  EXPECT_DOUBLE_EQ(r.lowHz, r.firstBin * 44100.0 / 256);
  EXPECT_DOUBLE_EQ(r.highHz, r.lastBin * 44100.0 / 256);
}

TEST(FreqRangeTest, EndsBeyondNyquistArePulledBackToExistingBins) {
  // 8000 Hz: the 22000 Hz end of the axis lies far above Nyquist.
  const FreqRange r = UpdateFreqRange(0.0, 1.0, 4096, 8000.0);
  EXPECT_EQ(r.lastBin, 2048);
  EXPECT_DOUBLE_EQ(r.highHz, 4000.0);
  EXPECT_DOUBLE_EQ(r.lowHz, 20.0);
  EXPECT_DOUBLE_EQ(r.edgeHighHz, 2047 * 8000.0 / 4096);
  // Both ends above Nyquist: the last two bins.
  const FreqRange top = UpdateFreqRange(0.9, 1.0, 4096, 8000.0);
  EXPECT_EQ(top.firstBin, 2046);
  EXPECT_EQ(top.lastBin, 2048);
  EXPECT_LT(top.lowHz, top.highHz);
  for (int n = 16; n <= kFftMaxSize; n *= 2) {
    for (double sr : {1.0, 8000.0, 44100.0, 192000.0, 1e-300}) {
      const FreqRange any = UpdateFreqRange(0.0, 1.0, n, sr);
      ASSERT_GE(any.firstBin, 0);
      ASSERT_LE(any.firstBin + 2, any.lastBin);
      ASSERT_LE(any.lastBin, n / 2) << n << " " << sr;
      ASSERT_TRUE(std::isfinite(any.mappedLow) && std::isfinite(any.mappedHigh));
    }
  }
}

// Position and FrequencyAt are one mapping, the one the spectrum's bins follow:
// bin k lies at (N^(-k/N) - N^(-first/N)) / (N^(-(last-1)/N) - N^(-first/N)).
TEST(FreqRangeTest, PositionsFollowTheBinsAndInvert) {
  const FreqRange r = UpdateFreqRange(0.0, 0.75, 1024, 48000.0);
  EXPECT_DOUBLE_EQ(r.Position(r.edgeLowHz), 0.0);
  EXPECT_NEAR(r.Position(r.edgeHighHz), 1.0, 1e-12);
  auto p = [](int k) { return std::pow(1024.0, -k / 1024.0); };
  const int k = 50;
  EXPECT_NEAR(r.Position(k * 48000.0 / 1024),
              (p(k) - p(r.firstBin)) / (p(r.lastBin - 1) - p(r.firstBin)), 1e-12);
  for (double hz : {30.0, 440.0, 1000.0, 9999.0})
    EXPECT_NEAR(r.FrequencyAt(r.Position(hz)), hz, 1e-6);
}

TEST(FreqRangeTest, BadSizesRatesAndZoomsAreSafe) {
  const FreqRange bad = UpdateFreqRange(0.0, 1.0, 3000, 44100.0);
  EXPECT_EQ(bad.firstBin, 0);
  EXPECT_EQ(bad.lastBin, 0);
  EXPECT_EQ(bad.Position(1000.0), 0.0);
  EXPECT_EQ(bad.FrequencyAt(0.5), 0.0);
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const FreqRange rate = UpdateFreqRange(0.0, 0.75, 4096, nan);
  EXPECT_EQ(rate.lastBin, 1151);  // counted as 44100 Hz
  EXPECT_EQ(UpdateFreqRange(0.0, 0.75, 4096, -1.0).lastBin, 1151);
  const FreqRange zoom = UpdateFreqRange(nan, 7.0, 4096, 44100.0);
  EXPECT_DOUBLE_EQ(zoom.lowHz, 20.0);
  EXPECT_EQ(zoom.lastBin, 2044);
}

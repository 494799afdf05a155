#include "plugin/engine/SpectrumMapper.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

namespace {

// The curve computed step by step as first written: per column, solve the
// Bezier piece's parameter with a square root and a division and evaluate it
// in Bernstein form, all in double.
void CurveByTheFormula(float* out, int width, const float* xs, const float* ys, int n) {
  const auto put = [&](double h, double v) {
    if (h >= 0.0 && h < width) out[int(h)] = float(v);
  };
  double h = xs[0];
  double e = (double(xs[0]) + xs[1]) / 2.0, m = (double(ys[0]) + ys[1]) / 2.0;
  double y = ys[0];
  double slope = (double(ys[1]) - ys[0]) / (double(xs[1]) - xs[0]);
  for (; h < e && h < width; h += 1.0, y += slope) put(h, y);
  for (int k = 1; k <= n - 2; ++k) {
    const double px = xs[k], py = ys[k];
    const double o = (px + xs[k + 1]) / 2.0, l = (py + ys[k + 1]) / 2.0;
    for (; h < o && h < width; h += 1.0) {
      if (m == l) {
        put(h, py);
      } else if (h <= e) {
        put(h, m);
      } else {
        const double bq = e - 2.0 * px + o;
        if (bq == 0.0) {
          put(h, e == o ? m : m + (h - e) / (o - e) * (l - m));
        } else {
          const double d = 2.0 * (px - e);
          const double t = (std::sqrt(d * d - 4.0 * bq * (e - h)) - d) / (2.0 * bq);
          put(h, (1.0 - t) * (1.0 - t) * m + t * t * l + 2.0 * (1.0 - t) * t * py);
        }
      }
    }
    e = o;
    m = l;
  }
  slope = (double(ys[n - 1]) - ys[n - 2]) / (double(xs[n - 1]) - xs[n - 2]);
  y = m;
  for (; h <= xs[n - 1] && h < width; h += 1.0, y += slope) put(h, y);
}

}  // namespace

TEST(SpectrumMapperTest, BinPositionsFallFromOneToInverseRootOfN) {
  SpectrumMapper m;
  for (int n : {256, 4096, 16384}) {
    m.SetBins(n / 2);
    ASSERT_EQ(m.BinCount(), n / 2);
    EXPECT_FLOAT_EQ(m.Position(0), 1.0f);
    for (int i : {1, n / 8, n / 2 - 1}) {
      EXPECT_NEAR(m.Position(i), std::pow(static_cast<double>(n), -static_cast<double>(i) / n),
                  1e-6);
      EXPECT_LT(m.Position(i), m.Position(i - 1));  // strictly falling
    }
    EXPECT_GT(m.Position(n / 2 - 1), 1.0 / std::sqrt(static_cast<double>(n)));
    EXPECT_EQ(m.Position(n / 2), 0.0f);
    EXPECT_EQ(m.Position(-1), 0.0f);
  }
  m.SetBins(0);
  EXPECT_EQ(m.BinCount(), 0);
  std::vector<float> ones(2048, 1.0f);
  EXPECT_EQ(m.Map(ones.data(), 2048, 0, 10, 50)[0], 0.0f);
}

TEST(SpectrumMapperTest, SparseBinsFollowASmoothCurveThroughTheirValues) {
  SpectrumMapper m;
  m.SetBins(2048);
  // Bins 2..40 of a 4096-point transform over 538 columns are all sparse.
  std::vector<float> constant(2048, 0.5f);
  const float* out = m.Map(constant.data(), 2048, 2, 38, 538);
  for (int c = 0; c < 538; ++c) ASSERT_NEAR(out[c], 0.5f, 1e-6f) << c;

  // A single raised bin gives a smooth bump that peaks near its column and
  // never overshoots the values it passes between.
  std::vector<float> bump(2048, 0.0f);
  bump[10] = 1.0f;
  out = m.Map(bump.data(), 2048, 2, 38, 538);
  int peak = 0;
  for (int c = 0; c < 538; ++c) {
    ASSERT_GE(out[c], -1e-6f) << c;
    ASSERT_LE(out[c], 1.0f + 1e-6f) << c;
    if (out[c] > out[peak]) peak = c;
  }
  EXPECT_GT(out[peak], 0.4f);
  EXPECT_EQ(out[0], 0.0f);
  EXPECT_EQ(out[537], 0.0f);
}

TEST(SpectrumMapperTest, DenseBinsKeepTheLargestValuePerColumn) {
  SpectrumMapper m;
  m.SetBins(8192);  // N = 16384: thousands of bins share the right-hand columns
  std::vector<float> values(8192, 0.1f);
  values[7000] = 0.9f;
  const float* out = m.Map(values.data(), 8192, 2, 8000, 538);
  int raised = 0;
  for (int c = 0; c < 538; ++c) {
    if (out[c] > 0.5f) ++raised;
  }
  EXPECT_EQ(raised, 1);  // the spike survives, on exactly one column
  EXPECT_FLOAT_EQ(out[537], 0.1f);
}

TEST(SpectrumMapperTest, InterpolateIsLinearForCollinearPoints) {
  // Points on a line with uneven spacing: the curve stays on the line.
  const float xs[] = {0.0f, 3.0f, 7.0f, 12.0f, 20.0f};
  const float ys[] = {1.0f, 2.5f, 4.5f, 7.0f, 11.0f};
  std::vector<float> out(21, -1.0f);
  SpectrumMapper::Interpolate(out.data(), 21, xs, ys, 5);
  for (int h = 0; h <= 20; ++h) EXPECT_NEAR(out[h], 1.0f + 0.5f * h, 1e-4f) << h;
  // A narrower output only receives the columns that fit.
  std::vector<float> narrow(11, -1.0f);
  narrow.push_back(-7.0f);  // sentinel just past the width
  SpectrumMapper::Interpolate(narrow.data(), 11, xs, ys, 5);
  EXPECT_NEAR(narrow[10], 6.0f, 1e-4f);
  EXPECT_EQ(narrow[11], -7.0f);
}

TEST(SpectrumMapperTest, OutOfRangeArgumentsStayInsideTheBuffers) {
  SpectrumMapper m;
  m.SetBins(128);
  std::vector<float> values(128, 0.25f);
  // Ranges past the bins, past the values, before zero, empty; widths of 0 and 1.
  const float* out = m.Map(values.data(), 128, 100, 500, 64);
  EXPECT_GT(out[63], 0.0f);
  out = m.Map(values.data(), 50, 40, 60, 64);
  EXPECT_GT(out[0], 0.0f);
  out = m.Map(values.data(), 128, -10, 20, 64);
  EXPECT_GT(out[0], 0.0f);
  out = m.Map(values.data(), 128, 127, 1, 64);
  for (int c = 0; c < 64; ++c) ASSERT_EQ(out[c], 0.0f);
  out = m.Map(values.data(), 128, 10, 0, 64);
  EXPECT_EQ(out[5], 0.0f);
  EXPECT_NE(m.Map(values.data(), 128, 0, 128, 0), nullptr);
  out = m.Map(values.data(), 128, 0, 128, 1);
  EXPECT_FLOAT_EQ(out[0], 0.25f);
  out = m.Map(nullptr, 128, 0, 128, 16);
  EXPECT_EQ(out[3], 0.0f);
}

TEST(SpectrumMapperTest, SameSizesTwiceReuseTheOutput) {
  SpectrumMapper m;
  m.SetBins(2048);
  std::vector<float> values(2048, 0.3f);
  const float* first = m.Map(values.data(), 2048, 2, 1149, 538);
  const float* second = m.Map(values.data(), 2048, 2, 1149, 538);
  EXPECT_EQ(first, second);
}

// The curve is evaluated per piece with its constants formed once (and its
// columns vectorised), which rounds differently from the step-by-step formula
// but stays within 2e-6 of the largest value: no pixel of the display moves.
// The columns it writes are exactly the formula's.
TEST(SpectrumMapperTest, CurveMatchesTheStepByStepFormula) {
  std::mt19937 rng(17);
  std::uniform_real_distribution<float> gap(0.2f, 9.0f), value(0.0f, 1.0f);
  for (int trial = 0; trial < 300; ++trial) {
    const int n = 2 + int(rng() % 60);
    std::vector<float> xs(n), ys(n);
    xs[0] = 0.0f;
    for (int k = 1; k < n; ++k) xs[k] = xs[k - 1] + (trial % 10 == 0 ? 3.0f : gap(rng));
    for (float& y : ys) y = trial % 7 == 0 ? 0.25f : value(rng);
    if (trial % 5 == 0) ys[n / 2] = ys[n / 2 + 1 < n ? n / 2 + 1 : n / 2];  // flat pieces
    const int width = 1 + int(rng() % 400);
    std::vector<float> got(width + 1, -3.0f), want(width + 1, -3.0f);
    SpectrumMapper::Interpolate(got.data(), width, xs.data(), ys.data(), n);
    CurveByTheFormula(want.data(), width, xs.data(), ys.data(), n);
    for (int c = 0; c <= width; ++c) {
      if (want[c] == -3.0f) {
        ASSERT_EQ(got[c], -3.0f) << "trial " << trial << " column " << c;
      } else {
        ASSERT_NEAR(got[c], want[c], 2e-6f) << "trial " << trial << " column " << c;
      }
    }
  }
  // The spectra the display maps: sparse low bins of every size over 538 columns.
  SpectrumMapper m;
  for (int n = 256; n <= 16384; n *= 2) {
    m.SetBins(n / 2);
    std::vector<float> values(n / 2);
    for (float& v : values) v = value(rng);
    const float* out = m.Map(values.data(), n / 2, 1, n / 2 - 1, 538);
    std::vector<float> curve(538, 0.0f);
    std::vector<float> xs;
    const float b = m.Position(1), g = 1.0f / (m.Position(n / 2 - 1) - b);
    for (int i = 0; i < n / 2 - 1; ++i) {
      const float x = (m.Position(1 + i) - b) * g * 538.0f;
      if (i > 0 && int(x) == int(xs.back())) break;
      xs.push_back(x);
    }
    if (xs.size() < 2) continue;
    CurveByTheFormula(curve.data(), 538, xs.data(), values.data() + 1, int(xs.size()));
    for (int c = 0; c < int(xs.back()); ++c) ASSERT_NEAR(out[c], curve[c], 2e-6f) << n << " " << c;
  }
}

// The frequency display with known signals: a tone's peak must stand under the
// axis label of its frequency, in every fft size and at the sample rates hosts
// run at, and the axis must end where the spectrum ends.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <numbers>
#include <string>
#include <vector>

#include "plugin/display/AxisOverlay.h"
#include "plugin/display/FrequencyReadout.h"
#include "tests/view/ViewHarness.h"

using namespace viewtest;

namespace {

constexpr int kSizes = 7;  // fft size 256 << k

struct Case {
  double rate;
  int sizeIndex;
};

void PrintTo(const Case& c, std::ostream* os) {
  *os << c.rate << " Hz, fft " << (256 << c.sizeIndex);
}

// The spectrum's outline: per column, the highest row the white trace reaches
// (the bottom row where it does not rise). Brighter than the grey grid (127),
// which the axis draws over the spectrum: a peak on a grid line shows in the
// antialiased columns beside it.
std::vector<int> Outline(Harness& h) {
  std::vector<int> rows;
  for (int x = kView.left; x < kView.right; ++x) {
    int top = kView.bottom - 1;
    for (int y = kView.top + 1; y < kView.bottom - 1; ++y) {
      const IRgba p = h.Pixel(x, y);
      if (p.r > 140 && p.g > 140 && p.b > 140) {
        top = y;
        break;
      }
    }
    rows.push_back(top);
  }
  return rows;
}

class TonesUnderTheirLabels : public ::testing::TestWithParam<Case> {};

// One tone at every labelled frequency, then each label must have the peak of
// its tone below it: within one bin (the nearest bin misses the tone by up to
// half a bin, and where bins are sparse the smooth curve through them may put
// its top up to half a bin further), plus a pixel and a half of rounding.
TEST_P(TonesUnderTheirLabels, EachPeakStandsUnderItsLabel) {
  const Case c = GetParam();
  Harness h(c.rate);
  h.Set(kParamDomain, 0.5);
  h.Set(kParamFftSize, c.sizeIndex / 6.0);
  h.Set(kParamBlendSpeed, 1.0);  // the newest spectrum, unsmoothed
  h.Set(kParamInput1 + 1, 0.0);
  const AxisScale axis = h.e.Editor().Widgets().horizontalAxis->Scale();
  ASSERT_EQ(axis.kind, kAxisFrequency);
  std::vector<double> tones;
  for (const GridMark& mark : axis.marks) tones.push_back(std::stod(mark.label));
  ASSERT_GE(tones.size(), 3u) << "too few labels to check";

  const double rate = c.rate;
  h.Play(48000, [&](int, long i) {
    double v = 0.0;
    for (double f : tones) v += 0.05 * std::sin(2.0 * std::numbers::pi * f * i / rate);
    return static_cast<float>(v);
  });
  h.Tick();
  const std::vector<int> outline = Outline(h);
  const FreqRange& range = h.view->Range();
  const double bin = rate / (256 << c.sizeIndex);
  for (std::size_t k = 0; k < axis.marks.size(); ++k) {
    const double f = tones[k];
    const int labelX = kView.left + static_cast<int>(axis.marks[k].position * kWidth);
    const double miss = kWidth * std::max(std::fabs(range.Position(f + bin) - range.Position(f)),
                                          std::fabs(range.Position(f - bin) - range.Position(f)));
    const double tolerance = 1.5 + miss;
    // The highest point of the outline near the label, no nearer another label.
    double reach = tolerance + 2.0;
    for (std::size_t j = 0; j < axis.marks.size(); ++j) {
      if (j != k)
        reach = std::min(
            reach, std::fabs(double(axis.marks[j].position) - axis.marks[k].position) * kWidth / 2);
    }
    int peakX = -1;
    int peakRow = kView.bottom;
    for (int x = labelX - static_cast<int>(reach); x <= labelX + static_cast<int>(reach); ++x) {
      if (x < kView.left || x >= kView.right) continue;
      const int row = outline[static_cast<std::size_t>(x - kView.left)];
      if (row < peakRow) {
        peakRow = row;
        peakX = x;
      }
    }
    ASSERT_LT(peakRow, kView.bottom - 20) << "no peak near the label " << f << " Hz";
    EXPECT_NEAR(peakX, labelX, tolerance) << f << " Hz";
  }
}

std::vector<Case> AllCases() {
  std::vector<Case> cases;
  for (double rate : {22050.0, 44100.0, 48000.0, 96000.0, 192000.0}) {
    for (int k = 0; k < kSizes; ++k) cases.push_back({rate, k});
  }
  return cases;
}

INSTANTIATE_TEST_SUITE_P(View, TonesUnderTheirLabels, ::testing::ValuesIn(AllCases()),
                         [](const ::testing::TestParamInfo<Case>& info) {
                           return std::to_string(static_cast<int>(info.param.rate)) + "Hz_fft" +
                                  std::to_string(256 << info.param.sizeIndex);
                         });

// At 22.05 kHz the whole zoom reaches far past Nyquist: the spectrum ends at its
// last bin, and so do the axis and the pointer readout.
TEST(Spectrum, BelowFortyFourKilohertzTheAxisEndsWhereTheSpectrumEnds) {
  Harness h(22050.0);
  h.Set(kParamDomain, 0.5);
  h.Set(kParamXZoomHigh, 1.0);
  const FreqRange& range = h.view->Range();
  const AxisScale axis = h.e.Editor().Widgets().horizontalAxis->Scale();
  char last[32];
  std::snprintf(last, sizeof(last), "%.0f", range.edgeHighHz);
  EXPECT_STREQ(axis.endText, last);
  EXPECT_LE(range.edgeHighHz, 11025.0);
  EXPECT_GT(range.edgeHighHz, 11000.0);
  for (const GridMark& mark : axis.marks) EXPECT_LT(std::stod(mark.label), 11025.0);
  // The pointer over the "10000" label reads 10 kHz.
  for (const GridMark& mark : axis.marks) {
    if (std::string(mark.label) != "10000") continue;
    const int x = kView.left + static_cast<int>(mark.position * kWidth);
    h.e.G().Move(x, 200, kHover);
    h.Tick();
    EXPECT_NEAR(h.e.Editor().Widgets().readout->Frequency(), 10000.0, 25.0);
  }
}

}  // namespace

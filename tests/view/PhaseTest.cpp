// The phase display with known signals: the points must lie where the geometry
// puts them (input a of a pair against input b, rotated so that identical signals
// stand upright over the middle of the bottom edge), visible inside the frame.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "graphics/ITextWidget.h"
#include "plugin/display/ScopeViewMath.h"
#include "tests/view/ViewHarness.h"

using namespace viewtest;

namespace {

constexpr int kCx = (kView.left + kView.right) / 2;
constexpr int kOriginRow = kView.bottom - 1;  // the bottom row inside the frame

// Pair 1/2's colour, (238, 143, 143), added at the point's weight (older points
// fainter) onto the black display, white where many points add up; the grid is
// grey.
bool PairColour(IRgba p) {
  return (p.r >= 12 && p.r > p.g + 4 && p.r > p.b + 4) || (p.r > 240 && p.g > 240 && p.b > 240);
}

struct Extent {
  int count = 0;
  int left = 100000, right = -1, top = 100000, bottom = -1;
};

Extent PairPixels(Harness& h) {
  Extent e;
  for (int y = kView.top - 2; y < kView.bottom + 2; ++y) {
    for (int x = kView.left - 2; x < kView.right + 2; ++x) {
      if (!PairColour(h.Pixel(x, y))) continue;
      ++e.count;
      e.left = std::min(e.left, x);
      e.right = std::max(e.right, x);
      e.top = std::min(e.top, y);
      e.bottom = std::max(e.bottom, y);
    }
  }
  return e;
}

class Phase : public ::testing::Test {
 protected:
  void SetUp() override {
    h.Set(kParamDomain, 1.0);
    h.Set(kParamBlendSpeed, 1.0);  // the newest 1024 pairs
  }
  // k = 1 / zoom divisor, as the display scales: H k rows and W k / 2 columns per unit.
  double ScaleY() { return kView.H() / ZoomDivisor(h.view->YZoom()); }
  double ScaleX() { return kWidth * 0.5 / ZoomDivisor(h.view->YZoom()); }

  Harness h;
};

// A sine against its inverted copy: polarity inversion, the thing a phase display
// is for. Every point lies on the origin row, spread left and right of the middle.
TEST_F(Phase, AntiPhasePairLiesAlongTheOriginRow) {
  h.Play(48000, [](int c, long i) {
    const float v = 0.5f * static_cast<float>(std::sin(i * 0.02));
    return c == 1 ? -v : v;
  });
  h.Tick();
  const Extent e = PairPixels(h);
  ASSERT_GT(e.count, 100);
  EXPECT_EQ(e.top, kOriginRow);
  EXPECT_EQ(e.bottom, kOriginRow);
  // (a - b) / sqrt 2 reaches sqrt 2 x 0.5 at the sine's peaks.
  const int reach = static_cast<int>(std::sqrt(2.0) * 0.5 * ScaleX());
  EXPECT_NEAR(e.left, kCx - reach, 1);
  EXPECT_NEAR(e.right, kCx + reach, 1);
}

// Identical signals stand upright over the middle, as high as their sum reaches.
TEST_F(Phase, IdenticalSignalsStandUprightAsHighAsTheirLevel) {
  h.Play(48000, [](int, long i) { return 0.4f * static_cast<float>(std::sin(i * 0.02)); });
  h.Tick();
  const Extent e = PairPixels(h);
  ASSERT_GT(e.count, 50);
  EXPECT_EQ(e.left, kCx);
  EXPECT_EQ(e.right, kCx);
  EXPECT_LE(e.bottom, kOriginRow);  // the sine passes 0 in steps of about 3.5 rows
  EXPECT_GE(e.bottom, kOriginRow - 4);
  EXPECT_NEAR(e.top, kOriginRow - static_cast<int>(std::sqrt(2.0) * 0.4 * ScaleY()), 1);
}

// Far beyond the scale, a pair is kept at the frame's edge, inside it.
TEST_F(Phase, PairsBeyondTheScaleStayInsideTheFrame) {
  h.Set(kParamYZoom, 1.0);
  h.Play(48000, [](int c, long i) { return c == 0 ? 1.0f : (i % 2 ? 1.0f : -1.0f); });
  h.Tick();
  const Extent e = PairPixels(h);
  ASSERT_GT(e.count, 0);
  EXPECT_GE(e.top, kView.top + 1);
  EXPECT_GE(e.left, kView.left + 1);
  EXPECT_LE(e.right, kView.right - 1);
  EXPECT_LE(e.bottom, kOriginRow);
  EXPECT_TRUE(PairColour(h.Pixel(kCx, kView.top + 1)));  // 1 with 1: straight up, clipped
}

// Input 1 on its own draws no pair, but its level still shows what it plays.
TEST_F(Phase, AnInputWithoutItsPartnerStillReadsItsLevel) {
  h.Set(kParamInput1 + 1, 0.0);
  h.Play(48000, [](int, long i) { return 0.5f * static_cast<float>(std::sin(i * 0.05)); });
  h.Tick();
  h.Play(512, [](int, long i) { return 0.5f * static_cast<float>(std::sin(i * 0.05)); });
  h.Tick();  // the level measured by a redraw is written at the next one
  EXPECT_EQ(std::string(h.e.Editor().Widgets().levelText[0]->Text()), "-9.0");
  EXPECT_EQ(PairPixels(h).count, 0);
}

}  // namespace

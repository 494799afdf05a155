// The axis overlays drawn on their own host, over a black background, at the
// editor's places: horizontal (80, 41, 618, 362), vertical (80, 56, 650, 362).
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "plugin/display/AxisOverlay.h"
#include "plugin/display/ScopeViewMath.h"
#include "tests/display/DisplayTestSupport.h"

namespace {

const IRgba kGrey{255, 127, 127, 127};
const IBox kPlot{80, 56, 618, 362};

struct AxisTest : ::testing::Test {
  ControlHost fx;
  AxisOverlay* horizontal = nullptr;
  AxisOverlay* vertical = nullptr;

  void SetUp() override {
    IFontSpec font;
    font.colour = kGrey;
    fx.G().AddWidget(new Backing(IBox{0, 0, 724, 526}, IRgba{255, 0, 0, 0}));
    horizontal = new AxisOverlay(&fx.Plug(), IBox{80, 41, 618, 362}, font);
    vertical = new AxisOverlay(&fx.Plug(), IBox{80, 56, 650, 362}, font);
    fx.G().AddWidget(horizontal);
    fx.G().AddWidget(vertical);
    fx.Attach();
  }
  void Redraw() {
    fx.G().MarkAllDirty();
    fx.G().Tick();
  }
  // Columns of the plot's inside where row y is grey.
  std::vector<int> GreyColumns(int y) {
    std::vector<int> xs;
    for (int x = kPlot.left + 1; x < kPlot.right; ++x) {
      if (SameColour(fx.G().ReadPixel(x, y), kGrey)) xs.push_back(x);
    }
    return xs;
  }
  std::vector<int> GreyRows(int x) {
    std::vector<int> ys;
    for (int y = kPlot.top + 1; y < kPlot.bottom; ++y) {
      if (SameColour(fx.G().ReadPixel(x, y), kGrey)) ys.push_back(y);
    }
    return ys;
  }
};

TEST_F(AxisTest, WholeWindowAt44100HasALineEvery100Ms) {
  const double window = 48000.0 / 44100.0;  // 1.0884 s
  horizontal->ConfigureTimeAxis(0.0, window, window);
  EXPECT_EQ(horizontal->Plot(), kPlot);
  Redraw();
  const std::vector<int> xs = GreyColumns(200);
  ASSERT_EQ(xs.size(), 10u);  // 100 .. 1000 ms before the newest sample
  const double perLine = 538 * 0.1 / window;
  EXPECT_NEAR(kPlot.right - xs.back(), perLine, 1.0);  // the first at -100 ms
  for (std::size_t i = 1; i < xs.size(); ++i) EXPECT_NEAR(xs[i] - xs[i - 1], perLine, 1.0);
  // The frame, and labels above the plot (none inside it).
  EXPECT_TRUE(SameColour(fx.G().ReadPixel(kPlot.left, 200), kGrey));
  EXPECT_TRUE(SameColour(fx.G().ReadPixel(kPlot.right, 200), kGrey));
  EXPECT_TRUE(SameColour(fx.G().ReadPixel(300, kPlot.top), kGrey));
  EXPECT_TRUE(RowHas(fx.G(), 46, 590, 617, kGrey));  // "0 ms" at the right end
  EXPECT_EQ(GreyColumns(kPlot.top + 3).size(), xs.size());
}

TEST_F(AxisTest, AmplitudeAtYZoomHalfMarksMinus3ToMinus12AboveAndBelowTheMiddle) {
  horizontal->SetHidden(true);
  vertical->SetMargin(0.1);
  vertical->ConfigureAmplitudeAxis(ZoomDivisor(0.5));
  EXPECT_EQ(vertical->Plot(), kPlot);
  Redraw();
  const std::vector<int> ys = GreyRows(300);
  ASSERT_EQ(ys.size(), 8u);  // -12, -9, -6, -3 dB below, -3 .. -12 above
  const int cy = 209;
  const int half = 153;
  const double positions[4] = {0.708, 0.501, 0.355, 0.251};  // -3, -6, -9, -12 dB
  for (int i = 0; i < 4; ++i) {
    EXPECT_NEAR(cy - ys[static_cast<std::size_t>(i)], half * positions[i], 1.5) << i;
    EXPECT_NEAR(ys[static_cast<std::size_t>(7 - i)] - cy, half * positions[i], 1.5) << i;
  }
  // No frame on a vertical axis; the labels stand right of the plot.
  EXPECT_FALSE(SameColour(fx.G().ReadPixel(kPlot.left, 200), kGrey));
  EXPECT_TRUE(RowHas(fx.G(), ys[0] - 2, 623, 650, kGrey) ||
              RowHas(fx.G(), ys[0] - 1, 623, 650, kGrey));
}

TEST_F(AxisTest, FrequencyLinesMatchTheirMarks) {
  horizontal->ConfigureFrequencyAxis(UpdateFreqRange(0.0, 1.0, 4096, 44100.0));
  Redraw();
  const AxisScale scale = horizontal->Scale();
  ASSERT_GT(scale.marks.size(), 3u);
  const std::vector<int> xs = GreyColumns(200);
  ASSERT_EQ(xs.size(), scale.marks.size());
  for (int x : xs) {
    EXPECT_GT(x, kPlot.left + 0.06 * 538 - 1);
    EXPECT_LT(x, kPlot.left + 0.92 * 538 + 1);
  }
}

TEST_F(AxisTest, SpectrumLevelRisesFromTheBottom) {
  vertical->SetMargin(0.05);
  vertical->ConfigureLevelAxis(0.5 * 0.9995 + 0.001);
  Redraw();
  const AxisScale scale = vertical->Scale();
  const std::vector<int> ys = GreyRows(300);
  ASSERT_EQ(ys.size(), scale.marks.size());
  ASSERT_FALSE(ys.empty());
  // The highest mark is the first one (the loudest level) and lies nearest the top.
  EXPECT_NEAR(kPlot.bottom - ys.front(), scale.marks.front().position * 306, 1.0);
}

TEST_F(AxisTest, PhaseGridDrawsConcentricHalfCirclesAroundTheBottomMiddle) {
  vertical->SetHidden(true);  // as in the phase domain
  horizontal->SetMargin(0.1);
  horizontal->ConfigurePhaseGrid(ZoomDivisor(0.5));
  Redraw();
  const AxisScale scale = horizontal->Scale();
  ASSERT_FALSE(scale.marks.empty());
  auto lit = [&](int x, int y) { return fx.G().ReadPixel(x, y).g > 40; };
  // Antialiased: some pixel next to the exact point carries the circle.
  auto near = [&](double x, double y) {
    for (int dy = -1; dy <= 1; ++dy) {
      for (int dx = -1; dx <= 1; ++dx) {
        if (lit(static_cast<int>(std::lround(x)) + dx, static_cast<int>(std::lround(y)) + dy)) {
          return true;
        }
      }
    }
    return false;
  };
  for (const GridMark& mark : scale.marks) {
    const double r = mark.position * 306;
    // Straight above the origin, and at 30 degrees from the base line on both
    // sides (clear of the guide lines).
    EXPECT_TRUE(near(349, 362 - r)) << r;
    EXPECT_TRUE(near(349 - r * 0.866, 362 - r * 0.5)) << r;
    EXPECT_TRUE(near(349 + r * 0.866, 362 - r * 0.5)) << r;
  }
  // Between two circles on the vertical through the origin it stays dark.
  const double r0 = scale.marks[0].position * 306;
  const double r1 = scale.marks.size() > 1 ? scale.marks[1].position * 306 : 0.0;
  EXPECT_FALSE(lit(349, 362 - static_cast<int>((r0 + r1) / 2)));
}

TEST_F(AxisTest, OverlaysNeverTakeTheMouse) {
  horizontal->ConfigureTimeAxis(0.0, 1.0, 1.0);
  EXPECT_EQ(fx.G().WidgetAtPoint(300, 200), 0);
  EXPECT_EQ(fx.G().WidgetAtPoint(640, 200), 0);
}

TEST_F(AxisTest, AHiddenOverlayKeepsItsMarksAndDrawsNothing) {
  vertical->SetMargin(0.1);
  vertical->ConfigureAmplitudeAxis(ZoomDivisor(0.5));
  vertical->SetHidden(true);
  Redraw();
  EXPECT_TRUE(GreyRows(300).empty());
  EXPECT_EQ(vertical->Scale().marks.size(), 4u);
}

}  // namespace

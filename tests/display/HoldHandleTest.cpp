// The hold-level handle on its own host, placed where the editor puts it: the
// strip at (80, 49) .. (679, 369), middle row 209.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "iplug/IPlugParam.h"
#include "plugin/ScopeParams.h"
#include "plugin/display/HoldHandle.h"
#include "tests/display/DisplayTestSupport.h"

namespace {

const IRgba kRed{255, 221, 32, 32};
constexpr int kMiddle = 209;
constexpr int kStripX = 670;

struct HoldTest : ::testing::Test {
  ControlHost fx;
  HoldHandle* hold = nullptr;

  void SetUp() override {
    IFontSpec font;
    font.colour = kRed;
    font.align = IALIGN_RIGHT;
    const IImage handle = fx.G().ImageFromResource(107, "img/trig_handle.png", 1);
    ASSERT_EQ(handle.width, 15);
    fx.G().AddWidget(new Backing(IBox{0, 0, 724, 526}, IRgba{255, 0, 0, 0}));
    hold = new HoldHandle(&fx.Plug(), IBox{80, 49, 679, 369}, kParamHold, handle, font);
    fx.G().AddWidget(hold);
    fx.Attach();
    fx.ClearCalls();
  }
  double HoldDb() { return fx.Real(kParamHold); }
  void Click(int y) {
    fx.G().Press(kStripX, y, kLeft);
    fx.G().Release(kStripX, y, kLeft);
  }
  std::string Text() {
    char text[32];
    hold->LevelText(text, sizeof(text));
    return text;
  }
  void Redraw() {
    fx.G().MarkAllDirty();
    fx.G().Tick();
  }
};

TEST_F(HoldTest, TheCentreLineIsMinus30AndFarEnoughOutIsOff) {
  hold->SetYZoom(0.0);  // the widest scale
  const float scale = hold->Scale();
  ASSERT_NEAR(scale, 76.5f, 1e-3f);  // half the display's 306 rows per unit
  Click(kMiddle);
  EXPECT_DOUBLE_EQ(HoldDb(), -30.0);
  EXPECT_EQ(Text(), "-30.0 dB");
  const int off = static_cast<int>(std::ceil(std::pow(10.0, 0.15) * scale));  // 109
  Click(kMiddle - off);
  EXPECT_DOUBLE_EQ(HoldDb(), 3.0);
  EXPECT_EQ(Text(), "off");
  Click(kMiddle + off + 20);  // below the middle counts the same
  EXPECT_DOUBLE_EQ(HoldDb(), 3.0);
  // One pixel nearer than that is just below +3 dB: the trigger is on.
  Click(kMiddle - off + 1);
  EXPECT_LT(HoldDb(), 3.0);
  EXPECT_GT(HoldDb(), 2.8);
  // The host saw each value with begin and end of the edit around it.
  EXPECT_EQ(fx.Count(vst::audioMasterBeginEdit), 4);
  EXPECT_EQ(fx.Count(vst::audioMasterEndEdit), 4);
  ASSERT_NE(fx.Last(vst::audioMasterAutomate), nullptr);
  EXPECT_EQ(fx.Last(vst::audioMasterAutomate)->index, kParamHold);
}

TEST_F(HoldTest, ALevelMapsToTheRowsASampleOfThatLevelReaches) {
  hold->SetYZoom(0.0);
  const double scale = hold->Scale();
  // 20 rows from the middle is a sample level of 20 / scale.
  Click(kMiddle + 20);
  EXPECT_NEAR(HoldDb(), 20.0 * std::log10(20.0 / scale), 0.06);
  Redraw();
  // Red threshold lines 20 rows above and below the middle, across the display
  // (the level is rounded to the parameter's 0.1 dB step: within a row).
  EXPECT_EQ(ColumnCount(fx.G(), 300, kMiddle - 21, kMiddle - 19, kRed), 1);
  EXPECT_EQ(ColumnCount(fx.G(), 300, kMiddle + 19, kMiddle + 21, kRed), 1);
  EXPECT_EQ(ColumnCount(fx.G(), 300, 50, 368, kRed), 2);
  // Dragging follows the pointer.
  fx.G().Press(kStripX, kMiddle + 20, kLeft);
  fx.G().Move(kStripX, kMiddle + 40, kLeft);
  fx.G().Release(kStripX, kMiddle + 40, kLeft);
  EXPECT_NEAR(HoldDb(), 20.0 * std::log10(40.0 / scale), 0.06);
}

TEST_F(HoldTest, YZoomMovesTheLinesWithTheTraces) {
  fx.Automate(kParamHold, fx.Plug().Param(kParamHold)->ToNormalized(-6.0));
  hold->SetYZoom(0.0);
  const double wide = hold->LineOffset();
  hold->SetYZoom(0.5);
  const double tight = hold->LineOffset();
  EXPECT_NEAR(wide, 76.5 * std::pow(10.0, -6.0 / 20.0), 0.01);
  EXPECT_NEAR(tight, 2.0 / 1.0005 * wide, 0.01);
  // Never past the strip's ends, however far the zoom puts the level.
  hold->SetYZoom(1.0);
  EXPECT_EQ(hold->LineOffset(), 160.0 - 7.0);
}

TEST_F(HoldTest, OffPutsTheHandlesAtTheEndsAndWritesOff) {
  EXPECT_EQ(hold->Value(), 1.0);  // the parameter's default, +3 dB
  hold->SetYZoom(0.5);
  Redraw();
  // No threshold line across the display, the track at the right edge.
  for (int y = 60; y < 360; ++y) ASSERT_FALSE(SameColour(fx.G().ReadPixel(200, y), kRed)) << y;
  EXPECT_GT(ColumnCount(fx.G(), 679 - 7 - 1, 60, 360, kRed), 250);
  // "HOLD" and "off" in red left of the strip.
  EXPECT_TRUE(BoxHas(fx.G(), IBox{625, kMiddle - 21, 665, kMiddle - 9}, kRed, 60));
  EXPECT_TRUE(BoxHas(fx.G(), IBox{625, kMiddle + 8, 665, kMiddle + 20}, kRed, 60));
}

TEST_F(HoldTest, OnlyTheStripTakesTheMouse) {
  EXPECT_TRUE(hold->HitTest(670, kMiddle));
  EXPECT_FALSE(hold->HitTest(664, kMiddle));  // left of the strip: the display's
  EXPECT_FALSE(hold->HitTest(679, kMiddle));
  EXPECT_FALSE(hold->HitTest(670, 53));
  EXPECT_TRUE(hold->HitTest(670, 54));
  EXPECT_FALSE(hold->HitTest(670, 365));
  EXPECT_EQ(fx.G().WidgetAtPoint(300, kMiddle), 0);
}

TEST_F(HoldTest, RightClickOpensValueEntryForHold) {
  fx.G().Press(kStripX, kMiddle, kRight);
  fx.G().Release(kStripX, kMiddle, kRight);
  ASSERT_TRUE(fx.G().IsValueEntryOpen());
  EXPECT_DOUBLE_EQ(HoldDb(), 3.0);  // the right button does not set a level
  EXPECT_EQ(fx.G().ValueEntryText(), "3.0");
  fx.G().TypeValueEntry("-12");
  fx.G().Tick();
  EXPECT_DOUBLE_EQ(HoldDb(), -12.0);
  EXPECT_EQ(Text(), "-12.0 dB");
}

}  // namespace

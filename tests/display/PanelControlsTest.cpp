// The panel's own controls on an off-screen host of their own: the X zoom bar, the
// Y zoom slider, the domain knob and the frequency readout.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "iplug/IPlugParam.h"
#include "plugin/ScopeParams.h"
#include "plugin/display/DomainKnob.h"
#include "plugin/display/FrequencyReadout.h"
#include "plugin/display/ZoomRangeBar.h"
#include "plugin/display/ZoomSlider.h"
#include "tests/display/DisplayTestSupport.h"

namespace {

const IRgba kWhite{255, 255, 255, 255};
const IRgba kGrey{255, 127, 127, 127};

// The X zoom bar where the editor puts it: track (82, 383) .. (618, 399), handles
// 16 pixels wide, so a handle travels 520 pixels.
struct ZoomBarTest : ::testing::Test {
  ControlHost fx;
  ZoomRangeBar* bar = nullptr;

  void SetUp() override {
    const IImage handle = fx.G().ImageFromResource(106, "img/bar_handle.png", 1);
    ASSERT_EQ(handle.width, 16);
    fx.G().AddWidget(new Backing(IBox{0, 0, 724, 526}, IRgba{255, 0, 0, 0}));
    bar = new ZoomRangeBar(&fx.Plug(), 82, 383, 536, kParamXZoomLow, kParamXZoomHigh, handle,
                           IDIRECTION_HORIZONTAL, kWhite);
    bar->AddTo(&fx.G());
  }
  // Sets both ends from the host (low out of the way first, so the plug-in's gap
  // never pushes one of them), attaching the editor the first time.
  void Start(double low, double high) {
    fx.Automate(kParamXZoomLow, 0.0);
    fx.Automate(kParamXZoomHigh, high);
    fx.Automate(kParamXZoomLow, low);
    if (!attached) fx.Attach();
    attached = true;
    fx.ClearCalls();
  }
  bool attached = false;
  static int HandleCentre(double v) { return 82 + 8 + static_cast<int>(520 * v); }
  double Low() { return fx.Normalized(kParamXZoomLow); }
  double High() { return fx.Normalized(kParamXZoomHigh); }
};

TEST_F(ZoomBarTest, FadersComeFirstAndTheBarOverTheirTrackTakesTheMouse) {
  Start(0.2, 0.8);
  ASSERT_EQ(fx.G().WidgetCount(), 4);
  EXPECT_EQ(fx.G().Widget(1)->ParamIdx(), kParamXZoomLow);
  EXPECT_EQ(fx.G().Widget(2)->ParamIdx(), kParamXZoomHigh);
  EXPECT_EQ(fx.G().Widget(3), bar);
  EXPECT_EQ(bar->Rect(), (IBox{82, 383, 618, 399}));
  EXPECT_EQ(bar->Low()->Rect(), bar->Rect());
  EXPECT_EQ(fx.G().WidgetAtPoint(HandleCentre(0.2), 390), 3);
  EXPECT_NEAR(bar->Low()->Value(), 0.2, 1e-6);  // attaching pushed the values
  EXPECT_NEAR(bar->High()->Value(), 0.8, 1e-6);
}

TEST_F(ZoomBarTest, DraggingTheRangeMovesBothEndsOneStepPerFourPixels) {
  Start(0.2, 0.8);
  fx.G().Press(350, 391, kLeft);
  EXPECT_EQ(bar->Mode(), ZoomRangeBar::kDragBoth);
  fx.G().Move(390, 391, kLeft);  // one drag event of 40 pixels
  EXPECT_NEAR(Low(), 0.3, 1e-6);
  EXPECT_NEAR(High(), 0.9, 1e-6);
  EXPECT_GE(fx.Count(vst::audioMasterAutomate), 2);  // the host hears both
  fx.G().Move(393, 391, kLeft);                      // 3 pixels: below one step
  fx.G().Move(396, 391, kLeft);
  EXPECT_NEAR(Low(), 0.3, 1e-6);
  EXPECT_NEAR(High(), 0.9, 1e-6);
  fx.G().Move(356, 391, kLeft);  // 40 back
  EXPECT_NEAR(Low(), 0.2, 1e-6);
  EXPECT_NEAR(High(), 0.8, 1e-6);
  fx.G().Release(356, 391, kLeft);
  EXPECT_EQ(bar->Mode(), ZoomRangeBar::kDragNone);
}

TEST_F(ZoomBarTest, LowNeverPassesHighLessTheGap) {
  Start(0.5, 0.52);
  fx.G().Press(HandleCentre(0.5), 391, kLeft);
  EXPECT_EQ(bar->Mode(), ZoomRangeBar::kDragLow);
  fx.G().Move(600, 391, kLeft);
  EXPECT_NEAR(bar->Low()->Value(), 0.519, 1e-6);  // the handle stops, not only the plug-in
  EXPECT_NEAR(Low(), 0.519, 1e-6);
  EXPECT_NEAR(High(), 0.52, 1e-6);
  fx.G().Release(600, 391, kLeft);
  // Pushing the whole range into the right end: high stops at 1, low closes up.
  fx.G().Press(150, 391, kLeft);
  ASSERT_EQ(bar->Mode(), ZoomRangeBar::kDragBoth);
  for (int x = 190; x <= 1190; x += 40) fx.G().Move(x, 391, kLeft);
  EXPECT_NEAR(High(), 1.0, 1e-6);
  EXPECT_LE(Low(), High() - 0.001 + 1e-6);
  fx.G().Release(1190, 391, kLeft);
  // The limits last only while the mouse is down: the value reaches the plug-in,
  // which keeps the gap, and the handle shows what the plug-in kept.
  EXPECT_NEAR(bar->Low()->Value(), Low(), 1e-6);
  bar->Low()->SetValueFromUser(1.0);
  EXPECT_NEAR(Low(), High() - 0.001, 1e-6);
  EXPECT_NEAR(bar->Low()->Value(), Low(), 1e-6);
}

TEST_F(ZoomBarTest, OverlappingHandlesGiveTheOneThatCanStillMove) {
  Start(0.3, 0.3);  // high gets pushed to 0.301 by the plug-in's gap
  EXPECT_EQ(bar->HitPart(HandleCentre(0.3), 391), ZoomRangeBar::kDragHigh);
  Start(0.7, 0.7);
  EXPECT_EQ(bar->HitPart(HandleCentre(0.7) - 2, 391), ZoomRangeBar::kDragLow);
  EXPECT_EQ(bar->HitPart(100, 391), ZoomRangeBar::kDragBoth);
}

TEST_F(ZoomBarTest, WheelOverTheRangeNarrowsItFromBothEnds) {
  Start(0.2, 0.8);
  fx.G().Wheel(350, 391, IMouseFlags{}, 120 * 5);
  EXPECT_NEAR(Low(), 0.25, 1e-6);
  EXPECT_NEAR(High(), 0.75, 1e-6);
  fx.G().Wheel(HandleCentre(0.75), 391, IMouseFlags{}, 120 * 2);  // over the high handle
  EXPECT_NEAR(Low(), 0.25, 1e-6);
  EXPECT_NEAR(High(), 0.77, 1e-6);
}

TEST_F(ZoomBarTest, DoubleClickRestoresBothDefaults) {
  Start(0.2, 0.8);
  fx.G().Press(350, 391, kLeft);
  fx.G().Move(430, 391, kLeft);
  fx.G().Release(430, 391, kLeft);
  ASSERT_NEAR(Low(), 0.4, 1e-6);
  fx.G().DoubleClick(350, 391, kLeft);
  EXPECT_NEAR(Low(), 0.2, 1e-6);  // the first values the plug-in sent
  EXPECT_NEAR(High(), 0.8, 1e-6);
}

// Each gesture on the bar is one edit of each end it moves, so a host records it as
// a gesture and not as loose automation points: a drag from press to release, a
// wheel step, a double click.
TEST_F(ZoomBarTest, EachGestureIsOneEditOfTheEndsItMoves) {
  Start(0.2, 0.8);
  auto edits = [&](vst::int32 opcode, int index) {
    int n = 0;
    for (const HostCall& c : fx.host.calls) n += c.opcode == opcode && c.index == index;
    return n;
  };
  auto expectEdits = [&](int low, int high) {
    EXPECT_EQ(edits(vst::audioMasterBeginEdit, kParamXZoomLow), low);
    EXPECT_EQ(edits(vst::audioMasterEndEdit, kParamXZoomLow), low);
    EXPECT_EQ(edits(vst::audioMasterBeginEdit, kParamXZoomHigh), high);
    EXPECT_EQ(edits(vst::audioMasterEndEdit, kParamXZoomHigh), high);
    fx.ClearCalls();
  };
  fx.G().Press(350, 391, kLeft);  // the range: both ends
  fx.G().Move(390, 391, kLeft);
  fx.G().Move(430, 391, kLeft);
  EXPECT_EQ(fx.Count(vst::audioMasterEndEdit), 0);  // still inside the gesture
  fx.G().Release(430, 391, kLeft);
  expectEdits(1, 1);
  fx.G().Press(HandleCentre(0.4), 391, kLeft);  // the low handle only
  fx.G().Move(HandleCentre(0.4) - 30, 391, kLeft);
  fx.G().Release(HandleCentre(0.4) - 30, 391, kLeft);
  expectEdits(1, 0);
  fx.G().Wheel(350, 391, IMouseFlags{}, 120 * 2);
  expectEdits(1, 1);
  fx.G().DoubleClick(350, 391, kLeft);
  expectEdits(1, 1);
}

TEST_F(ZoomBarTest, RightClickOnAHandleOpensItsValueEntry) {
  Start(0.2, 0.8);
  fx.G().Press(HandleCentre(0.8), 391, kRight);
  fx.G().Release(HandleCentre(0.8), 391, kRight);
  ASSERT_TRUE(fx.G().IsValueEntryOpen());
  EXPECT_EQ(fx.G().ValueEntryText(), "0.80");
  fx.G().TypeValueEntry("0.35");
  fx.G().Tick();
  EXPECT_NEAR(High(), 0.35, 1e-6);
  EXPECT_NEAR(Low(), 0.2, 1e-6);
}

TEST_F(ZoomBarTest, DrawsTheSelectedRangeBrightOverADimTrack) {
  Start(0.25, 0.75);
  fx.G().Tick();
  // Track row 391 dim over the whole length; row 390 bright only in the range.
  const IRgba dim{255, 127, 127, 127};
  EXPECT_TRUE(SameColour(fx.G().ReadPixel(83, 391), dim));
  EXPECT_TRUE(SameColour(fx.G().ReadPixel(300, 390), kWhite));
  EXPECT_FALSE(SameColour(fx.G().ReadPixel(150, 390), kWhite));
  EXPECT_FALSE(SameColour(fx.G().ReadPixel(550, 390), kWhite));
}

struct SliderTest : ::testing::Test {
  ControlHost fx;
  void SetUp() override {
    const IImage handle = fx.G().ImageFromResource(106, "img/bar_handle.png", 1);
    fx.G().AddWidget(new Backing(IBox{40, 50, 80, 370}, IRgba{255, 0, 0, 0}));
    fx.G().AddWidget(new ZoomSlider(&fx.Plug(), 52, 58, 305, kParamYZoom, handle, kWhite));
  }
  // White pixels of the lit line (column 59) below the handle's track.
  int LitRows() {
    fx.G().MarkAllDirty();
    fx.G().Tick();
    return ColumnCount(fx.G(), 59, 58, 362, kWhite);
  }
};

TEST_F(SliderTest, TheLitLineRunsFromTheHandleDown) {
  fx.Attach();
  EXPECT_EQ(fx.G().Widget(1)->Rect(), (IBox{52, 58, 68, 363}));
  fx.Automate(kParamYZoom, 1.0);
  const int full = LitRows();
  fx.Automate(kParamYZoom, 0.5);
  const int half = LitRows();
  fx.Automate(kParamYZoom, 0.0);
  const int none = LitRows();
  EXPECT_GT(full, 280);
  EXPECT_NEAR(half, full / 2 + 8, 12);
  EXPECT_LT(none, 16);
  // The dim track runs the whole length beside it.
  EXPECT_GT(ColumnCount(fx.G(), 60, 58, 362, kGrey), 280);
}

TEST_F(SliderTest, DraggingUpMagnifies) {
  fx.Attach();
  fx.ClearCalls();
  fx.G().Press(60, 300, kLeft);
  const double before = fx.Normalized(kParamYZoom);
  fx.G().Move(60, 100, kLeft);
  fx.G().Release(60, 100, kLeft);
  EXPECT_GT(fx.Normalized(kParamYZoom), before);
  EXPECT_EQ(fx.Count(vst::audioMasterBeginEdit), 1);
  EXPECT_EQ(fx.Count(vst::audioMasterEndEdit), 1);
}

TEST(DomainKnob, ShowsOnlyThreeDetentsWhileTheValueMovesFreely) {
  ControlHost fx;
  const IImage image = fx.G().ImageFromResource(105, "img/knob_line.png", 1);
  fx.G().AddWidget(new Backing(IBox{40, 445, 85, 490}, IRgba{255, 0, 0, 0}));
  auto* knob = new DomainKnob(&fx.Plug(), 47, 452, kParamDomain, image);
  fx.G().AddWidget(knob);
  fx.Attach();
  auto picture = [&](double v) {
    knob->SetValue(v);
    fx.G().MarkAllDirty();
    fx.G().Tick();
    std::vector<int> pixels;
    for (int y = 452; y < 483; ++y) {
      for (int x = 47; x < 78; ++x) pixels.push_back(static_cast<int>(fx.G().ReadPixel(x, y).g));
    }
    return pixels;
  };
  const auto time = picture(0.0);
  EXPECT_EQ(picture(0.2), time);
  const auto freq = picture(0.5);
  EXPECT_NE(freq, time);
  EXPECT_EQ(picture(0.3), freq);
  EXPECT_EQ(picture(0.7), freq);
  const auto phase = picture(1.0);
  EXPECT_NE(phase, freq);
  EXPECT_EQ(picture(0.8), phase);
  // Dragging up four knob heights covers the range (the stock knob's drag).
  knob->SetValue(0.0);
  fx.G().Press(62, 467, kLeft);
  fx.G().Move(62, 467 - 62, kLeft);
  EXPECT_NEAR(knob->Value(), 0.5, 1e-9);
}

struct ReadoutTest : ::testing::Test {
  ControlHost fx;
  FrequencyReadout* readout = nullptr;
  void SetUp() override {
    IFontSpec font;
    font.colour = kWhite;
    font.align = IALIGN_CENTER;
    fx.G().AddWidget(new Backing(IBox{0, 0, 724, 526}, kWhite));  // so the backing shows
    readout = new FrequencyReadout(&fx.Plug(), IBox{80, 56, 618, 362}, font);
    fx.G().AddWidget(readout);
    fx.Attach();
  }
};

TEST_F(ReadoutTest, ShowsOnlyFrequenciesAbove20UpTo22000Hz) {
  struct Case {
    int x, y;
    double hz;
    bool shown;
  };
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const Case cases[] = {{300, 200, 20.0, false},   {300, 200, 20.01, true},
                        {300, 200, 22000.0, true}, {300, 200, 22000.5, false},
                        {300, 200, nan, false},    {-1, 200, 1000.0, false},
                        {300, -1, 1000.0, false},  {300, 200, -5.0, false}};
  for (const Case& c : cases) {
    readout->Show(c.x, c.y, c.hz);
    EXPECT_EQ(!readout->TextBox().Empty(), c.shown) << c.x << " " << c.y << " " << c.hz;
  }
}

TEST_F(ReadoutTest, TheBoxHangsAboveThePointerAwayFromTheNearerEdge) {
  readout->Show(200, 150, 1000.0);
  EXPECT_EQ(readout->TextBox(), (IBox{200, 136, 300, 150}));
  readout->Show(349, 150, 1000.0);  // the middle column counts as the right half
  EXPECT_EQ(readout->TextBox(), (IBox{249, 136, 349, 150}));
  // A half-transparent black backing: white becomes mid grey.
  readout->SetDirty(false);
  fx.G().Tick();
  const IRgba backing = fx.G().ReadPixel(249, 136);
  EXPECT_NEAR(backing.r, 127, 2);
  EXPECT_TRUE(SameColour(fx.G().ReadPixel(248, 136), kWhite));
  EXPECT_TRUE(SameColour(fx.G().ReadPixel(249, 150), kWhite));
  // It never takes the mouse: the backing below it does.
  EXPECT_EQ(fx.G().WidgetAtPoint(300, 140), 0);
}

}  // namespace

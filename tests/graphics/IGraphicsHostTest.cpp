// The graphics host: redraw cycle, mouse routing, parameter fan-out and the
// gesture brackets that reach the VST host.
#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <utility>

#include "graphics/IBitmapWidget.h"
#include "tests/graphics/GraphicsTestSupport.h"

namespace {

constexpr IMouseFlags kLeft{true, false, false, false, false};
constexpr IMouseFlags kRight{false, true, false, false, false};
constexpr IMouseFlags kNone{};

struct HostTest : ::testing::Test {
  EditorFixture fx;
  TestGraphics& g() { return *fx.graphics; }
  ProbeWidget* Add(IBox r, int param = -1) {
    auto* w = new ProbeWidget(&fx.Plug(), r, param);
    g().AddWidget(w);
    return w;
  }
  void SetUp() override { fx.Attach(); }
};

TEST_F(HostTest, OverlappingControlsTheLaterAttachedTakesTheClick) {
  ProbeWidget* under = Add(IBox{0, 0, 50, 50});
  ProbeWidget* over = Add(IBox{20, 20, 60, 60});
  g().MouseDown(30, 30, kLeft);
  g().MouseUp(30, 30, kLeft);
  EXPECT_TRUE(under->log.empty());
  EXPECT_EQ(over->log, (std::vector<std::string>{"down 30,30", "up 30,30"}));
  g().MouseDown(10, 10, kLeft);
  EXPECT_EQ(under->log.size(), 1u);
}

TEST_F(HostTest, HiddenAndDisabledControlsGetNoMouseButCaptureSurvivesHiding) {
  ProbeWidget* under = Add(IBox{0, 0, 50, 50});
  ProbeWidget* over = Add(IBox{0, 0, 50, 50});
  over->SetHidden(true);
  EXPECT_EQ(g().WidgetAtPoint(5, 5), 0);
  over->SetHidden(false);
  over->SetDisabled(true);
  EXPECT_EQ(g().WidgetAtPoint(5, 5), 0);
  EXPECT_FLOAT_EQ(over->Blend().weight, 0.25f);
  over->SetDisabled(false);

  g().MouseDown(5, 5, kLeft);
  over->SetHidden(true);
  g().MouseDrag(8, 9, kLeft);
  g().MouseDrag(8, 9, kLeft);  // unchanged position: not delivered
  g().MouseUp(100, 90, kLeft);
  EXPECT_EQ(over->log, (std::vector<std::string>{"down 5,5", "drag 3,4", "up 100,90"}));
  EXPECT_TRUE(under->log.empty());
  EXPECT_EQ(g().CaptureIdx(), -1);
  g().MouseDrag(20, 20, kLeft);  // no capture: nothing
  EXPECT_EQ(over->log.size(), 3u);
}

TEST_F(HostTest, CollectDirtyUnionsAndLeavesBoxAloneWhenClean) {
  Add(IBox{10, 10, 20, 20});
  Add(IBox{30, 5, 40, 15});
  IBox r;
  ASSERT_TRUE(g().CollectDirty(r));
  EXPECT_EQ(r, (IBox{10, 5, 40, 20}));
  g().DrawDirty(r);
  IBox untouched{1, 2, 3, 4};
  EXPECT_FALSE(g().CollectDirty(untouched));
  EXPECT_EQ(untouched, (IBox{1, 2, 3, 4}));
}

TEST_F(HostTest, DrawDirtyEdgeRule) {
  ProbeWidget* w = Add(IBox{50, 50, 60, 60});
  g().DrawDirty(IBox{40, 40, 50, 50});  // ends on the control's left and top edges: drawn
  EXPECT_EQ(w->draws, 1);
  g().DrawDirty(IBox{60, 50, 70, 60});  // begins at its right edge: not drawn
  g().DrawDirty(IBox{50, 60, 60, 70});  // begins at its bottom edge: not drawn
  EXPECT_EQ(w->draws, 1);
  EXPECT_FALSE(w->IsDirty());  // cleared whether drawn or not
  g().DrawDirty(IBox{});       // the empty box overlaps nothing
  EXPECT_EQ(w->draws, 1);
}

TEST_F(HostTest, DrawDirtySkipsHiddenAndPresentsTheRectangle) {
  ProbeWidget* a = Add(IBox{0, 0, 10, 10});
  ProbeWidget* b = Add(IBox{0, 0, 10, 10});
  b->SetHidden(true);
  g().TakePresented();
  EXPECT_TRUE(g().DrawDirty(IBox{0, 0, 200, 100}));
  EXPECT_EQ(a->draws, 1);
  EXPECT_EQ(b->draws, 0);
  EXPECT_EQ(g().TakePresented(), (IBox{0, 0, 200, 100}));
  // SetHidden keeps the control dirty for one more redraw.
  EXPECT_TRUE(b->IsDirty());
}

TEST_F(HostTest, ValueFromPluginDrawsInTwoCycles) {
  ProbeWidget* w = Add(IBox{0, 0, 10, 10}, 2);
  g().Tick();
  EXPECT_FALSE(w->IsDirty());
  g().SetControlsFromPlugin(2, -30.0, false);  // real -> normalised: -30 dB is 0
  EXPECT_EQ(w->Value(), 0.0);
  g().SetControlsFromPlugin(2, 3.0, false);
  EXPECT_DOUBLE_EQ(w->Value(), 1.0);
  EXPECT_TRUE(g().Tick());
  EXPECT_TRUE(g().Tick());
  EXPECT_FALSE(g().Tick());
  EXPECT_EQ(w->draws, 3);
}

TEST_F(HostTest, SetBackdropGoesUnderEverythingEvenWhenLate) {
  g().pngs[100] = SolidRgbaPng(200, 100, 0, 0, 255, 255);
  ProbeWidget* w = Add(IBox{10, 10, 20, 20});
  g().SetBackdrop(100, "bg");
  ASSERT_EQ(g().WidgetCount(), 2);
  EXPECT_EQ(g().Widget(1), w);
  g().DrawDirty(IBox{0, 0, 200, 100});
  EXPECT_EQ(g().ReadPixel(15, 15).r, 255);  // control drawn after the backdrop
  EXPECT_EQ(g().ReadPixel(100, 50).b, 255);
  EXPECT_EQ(g().WidgetAtPoint(15, 15), 1);
}

TEST_F(HostTest, GestureOnBoundControlIsBracketedForTheHost) {
  ProbeWidget* w = Add(IBox{0, 0, 50, 50}, 2);
  ProbeWidget* unbound = Add(IBox{100, 0, 150, 50});
  fx.instance.host.calls.clear();
  g().MouseDown(5, 5, kLeft);
  w->SetValue(0.5);
  w->SetDirty(true);
  g().MouseUp(5, 5, kLeft);
  auto& calls = fx.instance.host.calls;
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_EQ(calls[0].opcode, vst::audioMasterBeginEdit);
  EXPECT_EQ(calls[1].opcode, vst::audioMasterAutomate);
  EXPECT_FLOAT_EQ(calls[1].opt, 0.5f);
  EXPECT_EQ(calls[2].opcode, vst::audioMasterEndEdit);
  for (const HostCall& c : calls) EXPECT_EQ(c.index, 2);
  EXPECT_DOUBLE_EQ(fx.Plug().Param(2)->Normalized(), 0.5);
  g().MouseDown(120, 5, kLeft);
  g().MouseUp(120, 5, kLeft);
  EXPECT_EQ(calls.size(), 3u);  // an unbound control starts no gesture
  EXPECT_EQ(unbound->log.size(), 2u);
}

// A switch changes its value in the press itself: the host must hear the gesture
// begin before that value, or it records the change outside the gesture.
TEST_F(HostTest, ValueSetByThePressComesInsideTheGesture) {
  struct PressSets : ProbeWidget {
    using ProbeWidget::ProbeWidget;
    void MouseDown(int, int, IMouseFlags) override {
      value = 1.0;
      SetDirty(true);
    }
  };
  g().AddWidget(new PressSets(&fx.Plug(), IBox{0, 0, 50, 50}, 2));
  fx.instance.host.calls.clear();
  g().MouseDown(5, 5, kLeft);
  g().MouseUp(5, 5, kLeft);
  auto& calls = fx.instance.host.calls;
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_EQ(calls[0].opcode, vst::audioMasterBeginEdit);
  EXPECT_EQ(calls[1].opcode, vst::audioMasterAutomate);
  EXPECT_EQ(calls[2].opcode, vst::audioMasterEndEdit);
}

// Each wheel step on a bound control is a gesture of its own for the host; on an
// unbound one nothing is bracketed.
TEST_F(HostTest, WheelOnBoundControlIsBracketed) {
  Add(IBox{0, 0, 50, 50}, 1);
  Add(IBox{100, 0, 150, 50});
  fx.instance.host.calls.clear();
  g().MouseWheel(5, 5, kNone, 2);
  auto& calls = fx.instance.host.calls;
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_EQ(calls[0].opcode, vst::audioMasterBeginEdit);
  EXPECT_EQ(calls[1].opcode, vst::audioMasterAutomate);
  EXPECT_EQ(calls[2].opcode, vst::audioMasterEndEdit);
  for (const HostCall& c : calls) EXPECT_EQ(c.index, 1);
  g().MouseWheel(120, 5, kNone, 2);
  EXPECT_EQ(calls.size(), 3u);
}

TEST_F(HostTest, SetControlsFromUserReachesThePlugin) {
  ProbeWidget* a = Add(IBox{0, 0, 10, 10}, 1);
  ProbeWidget* b = Add(IBox{10, 0, 20, 10}, 1);
  fx.instance.host.calls.clear();
  g().SetControlsFromUser(1, 0.5);
  EXPECT_EQ(a->Value(), 0.5);
  EXPECT_EQ(b->Value(), 0.5);
  EXPECT_EQ(fx.instance.host.Count(vst::audioMasterAutomate), 2);
  EXPECT_DOUBLE_EQ(fx.Plug().Param(1)->Value(), 3.0);
}

TEST_F(HostTest, WheelHoverAndLeaveRouting) {
  g().SetHandleMouseOver(true);
  ProbeWidget* a = Add(IBox{0, 0, 50, 50});
  ProbeWidget* b = Add(IBox{60, 0, 100, 50});
  EXPECT_TRUE(g().MouseHover(5, 5, kNone));
  EXPECT_TRUE(g().MouseHover(70, 5, kNone));
  EXPECT_EQ(a->log, (std::vector<std::string>{"hover", "leave"}));
  EXPECT_EQ(b->log, (std::vector<std::string>{"hover"}));
  g().Wheel(70, 5, kNone, 240);
  g().Wheel(70, 5, kNone, 119);  // less than one notch
  EXPECT_EQ(b->log.back(), "wheel 0");
  EXPECT_DOUBLE_EQ(b->Value(), 0.02);
  g().SetHandleMouseOver(false);
  EXPECT_FALSE(g().MouseHover(5, 5, kNone));
}

TEST_F(HostTest, DoubleClickRestoresDefaultOrActsAsPress) {
  ProbeWidget* w = Add(IBox{0, 0, 50, 50}, 2);
  w->SetValueFromPlugin(0.0);  // the first value is the default, even 0
  EXPECT_EQ(w->DefaultValue(), 0.0);
  w->SetValue(0.7);
  EXPECT_FALSE(g().MouseDoubleClick(5, 5, kLeft));
  EXPECT_EQ(w->Value(), 0.0);
  w->SetDblClickAsDown(true);
  EXPECT_TRUE(g().MouseDoubleClick(5, 5, kLeft));
  EXPECT_EQ(g().CaptureIdx(), 0);
  EXPECT_EQ(w->log.back(), "down 5,5");
}

TEST_F(HostTest, DrawRectOutlineAndClampedLines) {
  const IRgba white{255, 255, 255, 255};
  EXPECT_TRUE(g().DrawRectOutline(white, IBox{10, 10, 20, 15}));
  EXPECT_EQ(g().ReadPixel(20, 15).r, 255);  // right and bottom on the coordinates themselves
  EXPECT_EQ(g().ReadPixel(20, 10).r, 255);
  EXPECT_EQ(g().ReadPixel(15, 12).r, 0);
  EXPECT_TRUE(g().DrawVLine(white, 500, -5, 1000));  // clamped into the surface
  EXPECT_EQ(g().ReadPixel(199, 0).r, 255);
  EXPECT_EQ(g().ReadPixel(199, 99).r, 255);
  EXPECT_FALSE(g().StorePixel(white, 200, 0));
}

TEST_F(HostTest, ResizeDropsControlsAndCapture) {
  Add(IBox{0, 0, 50, 50});
  g().MouseDown(5, 5, kLeft);
  g().Resize(300, 150);
  EXPECT_EQ(g().WidgetCount(), 0);
  EXPECT_EQ(g().CaptureIdx(), -1);
  EXPECT_EQ(g().DrawSurface()->GetWidth(), 300);
  g().MouseDrag(9, 9, kLeft);  // must not touch a deleted control
}

TEST_F(HostTest, SurfaceWithoutWidthOrHeightTakesNoLines) {
  const IRgba white{255, 255, 255, 255};
  for (const IBox size : {IBox{0, 0, 0, 100}, IBox{0, 0, 200, 0}}) {
    g().Resize(size.right, size.bottom);
    EXPECT_FALSE(g().DrawHLine(white, 5, 0, 50));
    EXPECT_FALSE(g().DrawVLine(white, 5, 0, 50));
    EXPECT_FALSE(g().DrawRectOutline(white, IBox{1, 1, 20, 20}));
    EXPECT_FALSE(g().StorePixel(white, 0, 0));
    g().Resize(200, 100);
    EXPECT_TRUE(g().DrawHLine(white, 5, 0, 50));
    EXPECT_EQ(g().ReadPixel(50, 5).r, 255);
  }
}

TEST_F(HostTest, PointsAtNonFiniteOrHugePositionsAreDropped) {
  const IRgba white{255, 255, 255, 255};
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  for (const float bad : {nan, inf, -inf, 3e9f, -3e9f, 1e30f}) {
    EXPECT_TRUE(g().PlotPoint(white, bad, 5.0f, nullptr, false));
    EXPECT_TRUE(g().PlotPoint(white, 5.0f, bad, nullptr, false));
  }
  for (int y = 0; y < 100; ++y)
    for (int x = 0; x < 200; ++x) ASSERT_EQ(g().ReadPixel(x, y).r, 0) << x << "," << y;
  EXPECT_TRUE(g().PlotPoint(white, 4.6f, 5.2f, nullptr, false));  // rounds to (5, 5)
  EXPECT_GT(g().ReadPixel(5, 5).r, 250);
}

// A control whose Draw lets "another thread" change it half-way through, the way a
// host thread can while the editor redraws.
class ChangedWhileDrawn : public IWidget {
 public:
  using IWidget::IWidget;
  std::function<void()> duringDraw;
  int draws = 0;
  bool Draw(IGraphicsHost*) override {
    ++draws;
    if (duringDraw) std::exchange(duringDraw, nullptr)();
    return true;
  }
};

TEST_F(HostTest, AChangeArrivingDuringTheDrawIsDrawnNextCycle) {
  auto* w = new ChangedWhileDrawn(&fx.Plug(), IBox{0, 0, 10, 10}, 2);
  g().AddWidget(w);
  g().Tick();
  w->duringDraw = [w] { w->SetValueFromPlugin(0.25); };
  w->SetDirty(false);
  EXPECT_TRUE(g().Tick());
  EXPECT_TRUE(w->IsDirty());
  EXPECT_TRUE(g().Tick());
  EXPECT_EQ(w->draws, 3);
}

TEST_F(HostTest, BlendRequestsMapToRasterModes) {
  EXPECT_EQ(IBlendRasterMode(nullptr), BLIT_COPY | BLIT_USE_ALPHA);
  const IBlend opaque{IBLEND_OPAQUE, 1.0f}, add{IBLEND_ADD, 1.0f}, dodge{IBLEND_DODGE, 1.0f},
      odd{42, 1.0f};
  EXPECT_EQ(IBlendRasterMode(&opaque), BLIT_COPY);
  EXPECT_EQ(IBlendRasterMode(&add), BLIT_ADD | BLIT_USE_ALPHA);
  EXPECT_EQ(IBlendRasterMode(&dodge), BLIT_DODGE | BLIT_USE_ALPHA);
  EXPECT_EQ(IBlendRasterMode(&odd), BLIT_COPY | BLIT_USE_ALPHA);
  // Drawn: an add of 40 onto 100.
  g().FillBox(IRgba{255, 100, 100, 100}, IBox{0, 0, 10, 10}, &opaque);
  g().FillBox(IRgba{255, 40, 0, 0}, IBox{0, 0, 10, 10}, &add);
  EXPECT_EQ(g().ReadPixel(5, 5).r, 140);  // a fill uses w = 256 at alpha 255
  EXPECT_EQ(g().ReadPixel(5, 5).g, 100);
  // A transparent colour copied with alpha leaves the pixel alone.
  g().FillBox(IRgba{0, 255, 255, 255}, IBox{0, 0, 10, 10}, nullptr);
  EXPECT_EQ(g().ReadPixel(5, 5).g, 100);
}

TEST_F(HostTest, RotatedMaskTakesAlphaFromTheMaskAndClipsToTheRedraw) {
  g().pngs[310] = SolidRgbaPng(8, 8, 200, 0, 0, 255);  // base: opaque red
  g().pngs[311] = SolidRgbaPng(8, 8, 0, 0, 0, 255);    // mask: full alpha everywhere
  g().pngs[312] = SolidRgbaPng(8, 8, 0, 0, 0, 0);      // top: nothing
  IImage base = g().ImageFromResource(310, "b", 1);
  IImage mask = g().ImageFromResource(311, "m", 1);
  IImage top = g().ImageFromResource(312, "t", 1);
  const IBlend opaque{IBLEND_OPAQUE, 1.0f};
  g().FillBox(IRgba{255, 0, 0, 0}, IBox{0, 0, 200, 100}, &opaque);
  Add(IBox{190, 90, 200, 100});        // with no control at all, DrawDirty sets no rectangle
  g().DrawDirty(IBox{0, 0, 14, 100});  // the redraw rectangle ends inside the picture
  ASSERT_TRUE(g().PaintRotatedMask(base, mask, top, 10, 10, 0.0, &opaque));
  EXPECT_EQ(g().ReadPixel(13, 13).r, 200);
  EXPECT_GE(g().ReadPixel(13, 13).a, 250);  // the mask's alpha, scaled by the add operator
  EXPECT_EQ(g().ReadPixel(15, 13).r, 0);    // outside the redraw rectangle
}

}  // namespace

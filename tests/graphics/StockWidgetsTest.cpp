// The control base defaults and the stock controls, drawn through an off-screen host.
#include <gtest/gtest.h>

#include <png.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstring>
#include <string>
#include <thread>
#include <utility>

#include "graphics/IBitmapWidget.h"
#include "graphics/IFaderWidget.h"
#include "graphics/ILinkWidget.h"
#include "graphics/IRotatingKnobWidget.h"
#include "graphics/ITextWidget.h"
#include "tests/graphics/GraphicsTestSupport.h"

namespace {

constexpr IMouseFlags kLeft{true, false, false, false, false};
constexpr IMouseFlags kRight{false, true, false, false, false};
constexpr IMouseFlags kShift{false, false, true, false, false};

struct WidgetTest : ::testing::Test {
  EditorFixture fx;
  TestGraphics& g() { return *fx.graphics; }
  void SetUp() override { fx.Attach(); }
  // A stack of n frames of w x h, frame k filled with red = 10 x k.
  IImage Frames(int id, int w, int h, int n) {
    std::vector<unsigned char> s;
    for (int k = 1; k <= n; ++k) {
      for (int i = 0; i < w * h; ++i)
        s.insert(s.end(), {static_cast<unsigned char>(10 * k), 0, 0, 255});
    }
    g().pngs[id] = MakePng(w, h * n, PNG_COLOR_TYPE_RGB_ALPHA, 8, s);
    return g().ImageFromResource(id, "frames", n);
  }
};

TEST_F(WidgetTest, HitTestWithEmptyHitBoxIsFalseEverywhere) {
  ProbeWidget w(nullptr, IBox{0, 0, 10, 10});
  EXPECT_TRUE(w.HitTest(0, 0));
  EXPECT_FALSE(w.HitTest(10, 5));
  w.SetHitRect(IBox{});
  EXPECT_FALSE(w.HitTest(0, 0));
}

TEST_F(WidgetTest, WheelStepsAndClamp) {
  ProbeWidget w(nullptr, IBox{0, 0, 10, 10});
  w.MouseWheel(0, 0, IMouseFlags{}, 1);
  EXPECT_DOUBLE_EQ(w.Value(), 0.01);
  w.MouseWheel(0, 0, kShift, 3);
  EXPECT_NEAR(w.Value(), 0.013, 1e-12);
  w.MouseWheel(0, 0, IMouseFlags{}, -50);
  EXPECT_EQ(w.Value(), 0.0);
  w.MouseWheel(0, 0, IMouseFlags{}, 500);
  EXPECT_EQ(w.Value(), 1.0);
  w.SetValue(std::nan(""));
  w.SetDirty(false);
  EXPECT_EQ(w.Value(), 0.0);  // a broken value never survives
}

TEST_F(WidgetTest, FirstPluginValueBecomesDefaultAndRepeatsAreIgnored) {
  ProbeWidget w(nullptr, IBox{0, 0, 10, 10}, 0);
  w.ClearDirty();
  w.SetValueFromPlugin(0.25);
  EXPECT_EQ(w.DefaultValue(), 0.25);
  w.ClearDirty();
  w.ClearDirty();
  w.SetValueFromPlugin(0.25);  // same value: no redraw
  EXPECT_FALSE(w.IsDirty());
  w.SetValueFromPlugin(0.75);
  EXPECT_EQ(w.DefaultValue(), 0.25);
  w.MouseDoubleClick(0, 0, IMouseFlags{});
  EXPECT_EQ(w.Value(), 0.25);
}

TEST_F(WidgetTest, SwitchStepsThroughItsFrames) {
  ISwitchWidget two(nullptr, 0, 0, -1, Frames(300, 4, 4, 2));
  two.MouseDown(0, 0, kLeft);
  EXPECT_EQ(two.Value(), 1.0);
  two.MouseDown(0, 0, kLeft);
  EXPECT_EQ(two.Value(), 0.0);
  ISwitchWidget three(nullptr, 0, 0, -1, Frames(301, 4, 4, 3));
  std::vector<double> seen;
  for (int i = 0; i < 4; ++i) {
    three.MouseDown(0, 0, kLeft);
    seen.push_back(three.Value());
  }
  EXPECT_EQ(seen, (std::vector<double>{0.5, 1.0, 0.0, 0.5}));
  EXPECT_EQ(three.Rect(), (IBox{0, 0, 4, 4}));
}

TEST_F(WidgetTest, BitmapWidgetDrawsTheFrameForItsValue) {
  auto* w = new IBitmapWidget(&fx.Plug(), 10, 10, -1, Frames(302, 4, 4, 3), IBLEND_OPAQUE);
  g().AddWidget(w);
  const int expected[] = {1, 2, 3};
  const double values[] = {0.0, 0.5, 1.0};
  for (int i = 0; i < 3; ++i) {
    w->SetValue(values[i]);
    EXPECT_EQ(w->FrameForValue(), expected[i]);
    g().DrawDirty(IBox{0, 0, 200, 100});
    EXPECT_EQ(g().ReadPixel(11, 11).r, 10 * expected[i]);
  }
  EXPECT_EQ(g().ReadPixel(14, 14).r, 0);  // one frame tall and wide only
}

TEST_F(WidgetTest, RightClickOpensValueEntryUnlessDisabledForTheControl) {
  auto* knob =
      new IRotatingKnobWidget(&fx.Plug(), 0, 0, 1, Frames(303, 9, 9, 1), -2.35, 2.35, 0, 0, 4.0);
  g().AddWidget(knob);
  knob->SetNoValueEntry(true);
  knob->MouseDown(1, 1, kRight);
  EXPECT_FALSE(g().IsValueEntryOpen());
  knob->SetNoValueEntry(false);
  knob->MouseDown(1, 1, kRight);
  ASSERT_TRUE(g().IsValueEntryOpen());
  EXPECT_EQ(g().ValueEntryItems().size(), 7u);
}

TEST_F(WidgetTest, KnobDragGearingAndDrawnAngle) {
  // A white needle from the centre to the top edge of a 21 x 21 image.
  std::vector<unsigned char> s(21 * 21 * 4, 0);
  for (int y = 0; y <= 10; ++y) std::memset(&s[(y * 21 + 10) * 4], 255, 4);
  g().pngs[304] = MakePng(21, 21, PNG_COLOR_TYPE_RGB_ALPHA, 8, s);
  IImage img = g().ImageFromResource(304, "needle", 1);
  auto* knob = new IRotatingKnobWidget(&fx.Plug(), 50, 20, -1, img, -M_PI / 2, M_PI / 2, 0, 0, 4.0);
  g().AddWidget(knob);
  knob->MouseDrag(0, 0, 0, -42, IMouseFlags{});  // up by two heights at gearing 4: +0.5
  EXPECT_DOUBLE_EQ(knob->Value(), 0.5);
  g().DrawDirty(IBox{0, 0, 200, 100});
  EXPECT_GT(g().ReadPixel(60, 23).r, 200);  // straight up at the middle value
  EXPECT_LT(g().ReadPixel(67, 30).r, 50);
  knob->SetValue(1.0);
  g().FillBox(IRgba{255, 0, 0, 0}, IBox{0, 0, 200, 100}, nullptr);
  g().DrawDirty(IBox{0, 0, 200, 100});
  EXPECT_GT(g().ReadPixel(67, 30).r, 200);  // pointing right at the maximum
  EXPECT_LT(g().ReadPixel(60, 23).r, 50);
}

TEST_F(WidgetTest, FaderSnapsHandleAndDrawsItAtTheValue) {
  IImage handle = Frames(305, 10, 8, 1);
  auto* h = new IFaderWidget(&fx.Plug(), 20, 30, 110, 2, handle, IDIRECTION_HORIZONTAL);
  g().AddWidget(h);
  EXPECT_EQ(h->Rect(), (IBox{20, 30, 130, 38}));
  h->MouseDown(20 + 5 + 50, 33, kLeft);  // handle centre at 50 of 100 pixels of travel
  EXPECT_DOUBLE_EQ(h->Value(), 0.5);
  EXPECT_EQ(h->HandleBox(0.5), (IBox{70, 30, 80, 38}));
  g().DrawDirty(IBox{0, 0, 200, 100});
  EXPECT_EQ(g().ReadPixel(70, 30).r, 10 * 255 / 256);  // alpha copy of an opaque pixel
  EXPECT_EQ(g().ReadPixel(69, 30).r, 0);
  h->MouseDrag(500, 33, 0, 0, IMouseFlags{});
  EXPECT_EQ(h->Value(), 1.0);

  auto* v = new IFaderWidget(&fx.Plug(), 150, 0, 58, 2, handle, IDIRECTION_VERTICAL);
  g().AddWidget(v);
  v->MouseDown(155, 4, kLeft);  // top of the track is the maximum
  EXPECT_DOUBLE_EQ(v->Value(), 1.0);
  EXPECT_EQ(v->HandleBox(0.0), (IBox{150, 50, 160, 58}));
}

TEST_F(WidgetTest, TextControlsCopyCutAndRedrawOnlyOnChange) {
  IFontSpec font;
  ITextWidget t(nullptr, IBox{0, 0, 50, 12}, font, "abc");
  t.ClearDirty();
  t.SetText("abc");
  EXPECT_FALSE(t.IsDirty());
  std::string longText(5000, 'x');
  t.SetText(longText.c_str());
  EXPECT_TRUE(t.IsDirty());
  EXPECT_EQ(std::strlen(t.Text()), size_t(ITextWidget::kMaxText - 1));
  t.SetText(nullptr);
  EXPECT_STREQ(t.Text(), "");
}

// The plug-in writes panel texts from host threads while the editor draws them.
TEST_F(WidgetTest, TextWrittenWhileDrawnIsNeverTorn) {
  class Recorder : public TestGraphics {
   public:
    using TestGraphics::TestGraphics;
    bool PaintText(const IFontSpec&, const char* text, IBox) override {
      last.assign(text);
      return true;
    }
    std::string last;
  };
  Recorder graphics(nullptr, 200, 100, 0);
  graphics.PrepareSurfaces();
  IFontSpec font;
  ITextWidget t(nullptr, IBox{0, 0, 50, 12}, font, "");
  // Different letters, so a read that catches a copy half-way shows a mix.
  const std::string texts[3] = {std::string(ITextWidget::kMaxText - 1, 'L'),
                                std::string(ITextWidget::kMaxText / 2, 'M'), "s"};
  std::atomic<bool> stop{false};
  std::thread writer([&] {
    for (int i = 0; !stop.load(); ++i) t.SetText(texts[i % 3].c_str());
  });
  int torn = 0;
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(500);
  for (int i = 0; std::chrono::steady_clock::now() < end || i < 1000; ++i) {
    t.Draw(&graphics);
    const std::string& seen = graphics.last;
    if (!seen.empty() && seen != texts[0] && seen != texts[1] && seen != texts[2]) ++torn;
  }
  stop = true;
  writer.join();
  EXPECT_EQ(torn, 0);
}

TEST_F(WidgetTest, TextChangedDuringARedrawIsDrawnNextCycle) {
  class ChangesItself : public ITextWidget {
   public:
    using ITextWidget::ITextWidget;
    const char* next = nullptr;
    bool Draw(IGraphicsHost* g) override {
      if (next != nullptr) SetText(std::exchange(next, nullptr));
      return ITextWidget::Draw(g);
    }
  };
  IFontSpec font;
  auto* t = new ChangesItself(nullptr, IBox{0, 0, 50, 12}, font, "first");
  g().AddWidget(t);
  g().Tick();
  t->next = "second";
  t->SetDirty(false);
  EXPECT_TRUE(g().Tick());
  EXPECT_TRUE(t->IsDirty());
}

TEST_F(WidgetTest, ValueTextShowsTheParameterDisplayText) {
  IFontSpec font;
  auto* t = new IValueTextWidget(&fx.Plug(), IBox{0, 0, 100, 14}, 2, font, true);
  g().AddWidget(t);
  fx.Plug().Param(2)->SetFromNormalized(1.0);
  g().DrawDirty(IBox{0, 0, 200, 100});
  EXPECT_STREQ(t->Text(), "3.0 dB");
}

TEST_F(WidgetTest, LinkWithoutUrlDoesNothingAndLongTextsAreCut) {
  ILinkWidget link(&fx.Plug(), IBox{0, 0, 10, 10}, "", "fallback", "title");
  link.AttachTo(&g());
  link.MouseDown(1, 1, IMouseFlags{});  // empty url: nothing at all
  EXPECT_TRUE(link.Draw(&g()));
  std::string longUrl(600, 'u');
  ILinkWidget cut(nullptr, IBox{}, longUrl.c_str(), nullptr, nullptr);
  EXPECT_EQ(std::strlen(cut.Url()), 255u);
}

}  // namespace

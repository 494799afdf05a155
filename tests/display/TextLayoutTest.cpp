// Texts in the complete editor: drawn whole or not at all, never run together,
// never over the display's frame or over a control the user grabs. Pixels are
// compared with a full redraw of the same state, which draws every text whole.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "graphics/IFontSpec.h"
#include "plugin/ScopeParams.h"
#include "plugin/display/FreezeButton.h"
#include "plugin/display/PanelLayout.h"
#include "plugin/display/ScopeEditor.h"
#include "plugin/display/ScopeView.h"
#include "tests/display/DisplayTestSupport.h"

namespace {

std::vector<IRgba> Picture(IGraphicsOffscreen& g) {
  std::vector<IRgba> pixels;
  for (int y = 0; y < g.Height(); ++y)
    for (int x = 0; x < g.Width(); ++x) pixels.push_back(g.ReadPixel(x, y));
  return pixels;
}

// Where the picture after the redraws that followed a change differs from a
// redraw of everything, as "x,y" of the first pixel and a count.
std::string DifferenceFromAFullRedraw(IGraphicsOffscreen& g) {
  const std::vector<IRgba> now = Picture(g);
  g.MarkAllDirty();
  g.Tick();
  const std::vector<IRgba> full = Picture(g);
  int count = 0;
  std::string first;
  for (std::size_t i = 0; i < now.size(); ++i) {
    if (now[i] == full[i]) continue;
    if (count++ == 0) {
      first = std::to_string(i % static_cast<std::size_t>(g.Width())) + "," +
              std::to_string(i / static_cast<std::size_t>(g.Width()));
    }
  }
  return count == 0 ? "" : std::to_string(count) + " pixels from " + first;
}

struct TextLayout : ::testing::Test {
  EditorInstance fx;
  IGraphicsOffscreen& G() { return fx.G(); }
  void SetUp() override {
    ASSERT_NE(&fx.G(), nullptr);
    G().Tick();
  }
};

// Changes at run time redraw only what changed; every text they touch must come
// out as a full redraw draws it: the domain's name with its descenders, a cursor
// label longer than its box, the freeze caption.
TEST_F(TextLayout, TextsChangedAtRunTimeAreDrawnWhole) {
  // The domain knob turned to "phase", whose descender reaches below its box.
  const panel::Point knob = panel::KnobCentre(panel::kDomainKnob.x, panel::kDomainKnob.y);
  G().Press(knob.x, knob.y, kLeft);
  G().Move(knob.x, knob.y - 120, kLeft);
  G().Release(knob.x, knob.y - 120, kLeft);
  G().Tick();
  ASSERT_EQ(fx.Real(kParamDomain), kDomainPhase);
  EXPECT_EQ(DifferenceFromAFullRedraw(G()), "");
  fx.Automate(kParamDomain, 0.0);
  G().Tick();
  EXPECT_EQ(DifferenceFromAFullRedraw(G()), "");
  // A cursor close to the right edge: the right label reads a short time with a
  // note name ("12.1 ms 82.6 Hz E2 +27c"), wider than its box.
  fx.Automate(kParamXZoomLow, 0.0);
  G().Tick();
  G().Press(panel::kDisplay.right - 6, 200, kLeft);
  G().Release(panel::kDisplay.right - 6, 200, kLeft);
  G().Tick();
  EXPECT_EQ(DifferenceFromAFullRedraw(G()), "");
  fx.Editor().Widgets().freeze->MouseDown(0, 0, kLeft);  // unfreeze
  G().Tick();
  EXPECT_EQ(DifferenceFromAFullRedraw(G()), "");
}

// Columns of the label band above the display that hold glyph pixels (the grey
// of the axis texts, antialiased), as runs of neighbouring columns.
std::vector<std::pair<int, int>> LabelRuns(IGraphicsOffscreen& g) {
  std::vector<std::pair<int, int>> runs;
  int start = -1;
  for (int x = panel::kDisplay.left - 4; x <= panel::kDisplay.right + 4; ++x) {
    bool ink = false;
    for (int y = panel::kHorizontalAxis.top; y < panel::kDisplay.top - 1 && !ink; ++y) {
      const IRgba p = g.ReadPixel(x, y);
      ink = std::abs(p.r - p.g) < 8 && std::abs(p.g - p.b) < 8 && p.r > 75;
    }
    if (ink && start < 0) start = x;
    if (!ink && start >= 0) {
      runs.emplace_back(start, x);
      start = -1;
    }
  }
  return runs;
}

// Frequency labels that would run into each other or into the end texts are left
// out: every run of ink in the label band is one label, no wider than the
// widest label, and the end texts are always there.
TEST_F(TextLayout, FrequencyLabelsNeverRunTogether) {
  struct Setting {
    double rate;
    double fftIndex;
    double low, high;
  };
  const Setting settings[] = {{48000.0, 1.0, 0.0, 0.75},  // "9000" beside the end
                              {44100.0, 4.0 / 6.0, 0.0, 1.0},
                              {22050.0, 4.0 / 6.0, 0.0, 1.0},
                              {48000.0, 4.0 / 6.0, 0.55, 1.0}};
  IFontSpec font;  // "Arial" 14, as the axis draws
  const int widest = G().TextBounds(font, "20000", IBox{0, 0, 100, 12}).right -
                     G().TextBounds(font, "20000", IBox{0, 0, 100, 12}).left;
  ASSERT_GT(widest, 20);
  for (const Setting& s : settings) {
    Dispatch(fx.effect, vst::effSetSampleRate, 0, 0, nullptr, static_cast<float>(s.rate));
    fx.Automate(kParamDomain, 0.5);
    fx.Automate(kParamFftSize, s.fftIndex);
    fx.Automate(kParamXZoomLow, s.low);
    fx.Automate(kParamXZoomHigh, s.high);
    G().MarkAllDirty();
    G().Tick();
    const auto runs = LabelRuns(G());
    ASSERT_GE(runs.size(), 2u) << s.rate;
    for (const auto& [from, to] : runs) {
      EXPECT_LE(to - from, widest + 1) << s.rate << " Hz: labels run together at " << from;
    }
    EXPECT_LE(runs.front().first, panel::kDisplay.left + 2) << "the start text is missing";
    EXPECT_GE(runs.back().second, panel::kDisplay.right - 2) << "the end text is missing";
  }
}

bool Red(IRgba p) { return p.r > 90 && p.r > p.g + 50 && p.r > p.b + 50; }

// The hold level stands right of the display's frame, never on it.
TEST_F(TextLayout, HoldTextStaysClearOfTheDisplaysFrame) {
  for (double db : {-10.0, -25.5, -3.0}) {
    fx.Automate(kParamHold, (db + 30.0) / 33.0);
    G().Tick();
    const int cy = (panel::kHoldStrip.top + panel::kHoldStrip.bottom) / 2;
    int text = 0;
    for (int y = cy + 6; y < cy + 24; ++y) {
      if (Red(G().ReadPixel(panel::kDisplay.left + 10, y))) continue;  // a threshold line
      for (int x = panel::kDisplay.right - 3; x <= panel::kDisplay.right + 2; ++x) {
        EXPECT_FALSE(Red(G().ReadPixel(x, y))) << db << " dB at " << x << "," << y;
      }
      for (int x = panel::kDisplay.right + 3; x < panel::kHoldStrip.right - 15; ++x) {
        text += Red(G().ReadPixel(x, y));
      }
    }
    EXPECT_GT(text, 20) << "the level text is missing at " << db << " dB";
  }
}

// "UNFREEZE" is wider than the button's box; it grows away from the zoom bar, whose
// high handle sits right beside it, and the whole caption takes the click.
TEST_F(TextLayout, FreezeCaptionLeavesTheZoomHandleUncovered) {
  const IBox handle{panel::kZoomBar.right - panel::kBarHandle, panel::kZoomBar.top,
                    panel::kZoomBar.right, panel::kZoomBar.bottom};
  std::vector<IRgba> before;
  for (int y = handle.top; y < handle.bottom; ++y)
    for (int x = handle.left; x < handle.right + 2; ++x) before.push_back(G().ReadPixel(x, y));
  fx.Editor().Widgets().freeze->MouseDown(0, 0, kLeft);
  G().Tick();
  std::vector<IRgba> after;
  for (int y = handle.top; y < handle.bottom; ++y)
    for (int x = handle.left; x < handle.right + 2; ++x) after.push_back(G().ReadPixel(x, y));
  EXPECT_TRUE(before == after) << "the caption covers the zoom bar's handle";
  EXPECT_EQ(DifferenceFromAFullRedraw(G()), "");
  // A click on the caption's last letters, past the button's box, unfreezes.
  const IBox ink = G().TextBounds(IFontSpec{}, "UNFREEZE", panel::kFreeze);
  EXPECT_GT(ink.W(), panel::kFreeze.W());
  G().Press(panel::kFreeze.left + ink.W() - 2, (panel::kFreeze.top + panel::kFreeze.bottom) / 2,
            kLeft);
  EXPECT_FALSE(fx.Editor().Widgets().view->Frozen());
}

}  // namespace

// The complete editor as the module's entry builds it, on the off-screen host:
// the controls in their order and places, the hand-off from the plug-in, freezing,
// value entry, the overlays per domain, and the picture as a whole.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <typeinfo>
#include <vector>

#include "graphics/IBitmapWidget.h"
#include "graphics/IFaderWidget.h"
#include "graphics/ILinkWidget.h"
#include "graphics/IRotatingKnobWidget.h"
#include "graphics/ITextWidget.h"
#include "iplug/IPlugParam.h"
#include "plugin/ScopeParams.h"
#include "plugin/display/AxisOverlay.h"
#include "plugin/display/DomainKnob.h"
#include "plugin/display/FreezeButton.h"
#include "plugin/display/FrequencyReadout.h"
#include "plugin/display/HoldHandle.h"
#include "plugin/display/ScopeEditor.h"
#include "plugin/display/ScopeView.h"
#include "plugin/display/ZoomRangeBar.h"
#include "plugin/display/ZoomSlider.h"
#include "tests/display/DisplayTestSupport.h"

namespace {

// Where the rendered pictures of the editor are written.
std::string Picture(const char* name) { return std::string(VIRLEX_DISPLAY_PICTURES) + "/" + name; }

struct EditorTest : ::testing::Test {
  EditorInstance fx;
  const ScopeEditor::Parts* parts = nullptr;

  void SetUp() override {
    ASSERT_NE(&fx.G(), nullptr);
    parts = &fx.Editor().Widgets();
    fx.ClearCalls();
  }
  IGraphicsOffscreen& G() { return fx.G(); }
  std::string FreezeCaption() { return parts->freeze->Caption(); }
};

TEST_F(EditorTest, FortyTwoControlsInDrawingOrderAtTheirPlaces) {
  struct Row {
    IBox rect;
    int param;
    const std::type_info& type;
  };
  const Row rows[] = {
      {{80, 368, 210, 380}, -1, typeid(ITextWidget)},
      {{300, 368, 430, 380}, -1, typeid(ITextWidget)},
      {{490, 368, 620, 380}, -1, typeid(ITextWidget)},
      {{44, 385, 74, 397}, -1, typeid(ITextWidget)},
      {{656, 484, 690, 499}, -1, typeid(ITextWidget)},
      {{47, 452, 78, 483}, 0, typeid(DomainKnob)},
      {{43, 409, 83, 421}, 0, typeid(IValueTextWidget)},
      {{453, 448, 496, 491}, -1, typeid(IBitmapWidget)},
      {{501, 448, 544, 491}, -1, typeid(IBitmapWidget)},
      {{460, 452, 491, 483}, 10, typeid(IRotatingKnobWidget)},
      {{508, 452, 539, 483}, 11, typeid(IRotatingKnobWidget)},
      {{556, 452, 587, 483}, 12, typeid(IRotatingKnobWidget)},
      {{456, 409, 496, 421}, 10, typeid(IValueTextWidget)},
      {{504, 409, 544, 421}, 11, typeid(IValueTextWidget)},
      {{552, 409, 592, 421}, 12, typeid(IValueTextWidget)},
      {{102, 452, 133, 483}, 5, typeid(IRotatingKnobWidget)},
      {{149, 463, 176, 490}, 1, typeid(ISwitchWidget)},
      {{105, 409, 135, 421}, -1, typeid(ITextWidget)},
      {{140, 409, 170, 421}, -1, typeid(ITextWidget)},
      {{191, 452, 222, 483}, 6, typeid(IRotatingKnobWidget)},
      {{238, 463, 265, 490}, 2, typeid(ISwitchWidget)},
      {{194, 409, 224, 421}, -1, typeid(ITextWidget)},
      {{229, 409, 259, 421}, -1, typeid(ITextWidget)},
      {{280, 452, 311, 483}, 7, typeid(IRotatingKnobWidget)},
      {{327, 463, 354, 490}, 3, typeid(ISwitchWidget)},
      {{283, 409, 313, 421}, -1, typeid(ITextWidget)},
      {{318, 409, 348, 421}, -1, typeid(ITextWidget)},
      {{369, 452, 400, 483}, 8, typeid(IRotatingKnobWidget)},
      {{416, 463, 443, 490}, 4, typeid(ISwitchWidget)},
      {{372, 409, 402, 421}, -1, typeid(ITextWidget)},
      {{407, 409, 437, 421}, -1, typeid(ITextWidget)},
      {{82, 383, 618, 399}, 13, typeid(IFaderWidget)},
      {{82, 383, 618, 399}, 14, typeid(IFaderWidget)},
      {{82, 383, 618, 399}, -1, typeid(ZoomRangeBar)},
      {{52, 58, 68, 363}, 15, typeid(ZoomSlider)},
      {{625, 384, 681, 398}, -1, typeid(FreezeButton)},
      {{80, 56, 618, 362}, -1, typeid(ScopeView)},
      {{80, 41, 618, 362}, -1, typeid(AxisOverlay)},
      {{80, 56, 650, 362}, -1, typeid(AxisOverlay)},
      {{80, 49, 679, 369}, 9, typeid(HoldHandle)},
      {{80, 56, 618, 362}, -1, typeid(FrequencyReadout)},
      {{609, 442, 699, 499}, -1, typeid(ILinkWidget)},
  };
  ASSERT_EQ(G().WidgetCount(), 43);  // the background first
  EXPECT_EQ(G().Widget(0)->Rect(), (IBox{0, 0, 724, 526}));
  for (int i = 0; i < 42; ++i) {
    IWidget* w = G().Widget(i + 1);
    EXPECT_EQ(w->Rect(), rows[i].rect) << "item " << i + 1;
    EXPECT_EQ(w->ParamIdx(), rows[i].param) << "item " << i + 1;
    EXPECT_EQ(typeid(*w), rows[i].type) << "item " << i + 1;
  }
  // The pointers the plug-in keeps are those controls.
  EXPECT_EQ(parts->leftLabel, G().Widget(1));
  EXPECT_EQ(parts->windowLabel, G().Widget(2));
  EXPECT_EQ(parts->rightLabel, G().Widget(3));
  for (int n = 0; n < 4; ++n) {
    EXPECT_EQ(parts->delayText[n], G().Widget(18 + 4 * n));
    EXPECT_EQ(parts->levelText[n], G().Widget(19 + 4 * n));
  }
  EXPECT_EQ(parts->freeze, G().Widget(36));
  EXPECT_EQ(parts->view, G().Widget(37));
  EXPECT_EQ(parts->horizontalAxis, G().Widget(38));
  EXPECT_EQ(parts->verticalAxis, G().Widget(39));
  EXPECT_EQ(parts->hold, G().Widget(40));
  EXPECT_EQ(parts->readout, G().Widget(41));
  EXPECT_STREQ(static_cast<ITextWidget*>(G().Widget(4))->Text(), "ZOOM");
  EXPECT_STREQ(static_cast<ITextWidget*>(G().Widget(5))->Text(), "v1.54");
  std::string folder;
  G().GetPluginFolder(folder);
  EXPECT_EQ(static_cast<ILinkWidget*>(G().Widget(42))->Url(), folder + "Virlex_manual.pdf");
}

TEST_F(EditorTest, OpeningFillsTheControlsAndTextsFromTheParameters) {
  EXPECT_EQ(parts->freeze->Value(), 0.0);
  EXPECT_EQ(FreezeCaption(), "FREEZE");
  EXPECT_STREQ(parts->delayText[0]->Text(), "0.0 ms");
  EXPECT_STREQ(parts->windowLabel->Text(), "544.2 ms 1.8 Hz");
  EXPECT_EQ(G().Widget(17)->Value(), 1.0);  // input 1 on
  EXPECT_EQ(G().Widget(25)->Value(), 0.0);  // input 3 off
  // Automation from the host reaches the controls and the texts.
  fx.Automate(kParamDelay1, fx.Plug().Param(kParamDelay1)->ToNormalized(12.3));
  EXPECT_STREQ(parts->delayText[0]->Text(), "12 ms");
  fx.Automate(kParamHold, fx.Plug().Param(kParamHold)->ToNormalized(-12.0));
  EXPECT_NEAR(parts->hold->Value(), 18.0 / 33.0, 1e-6);
  // The hold handle follows Y zoom with the display's own vertical scale.
  fx.Automate(kParamYZoom, 0.8);
  EXPECT_FLOAT_EQ(parts->hold->Scale(), parts->view->YScale());
}

TEST_F(EditorTest, FreezeButtonTogglesWithEitherButton) {
  G().Press(650, 390, kLeft);
  G().Release(650, 390, kLeft);
  EXPECT_TRUE(fx.Plug().Frozen());
  EXPECT_TRUE(parts->view->Frozen());
  EXPECT_EQ(FreezeCaption(), "UNFREEZE");
  // A right click acts like a left click: no value entry, it unfreezes.
  G().Press(650, 390, kRight);
  G().Release(650, 390, kRight);
  EXPECT_FALSE(G().IsValueEntryOpen());
  EXPECT_FALSE(fx.Plug().Frozen());
  EXPECT_FALSE(parts->view->Frozen());
  EXPECT_EQ(FreezeCaption(), "FREEZE");
  // Its value is no parameter: the host heard nothing.
  EXPECT_EQ(fx.Count(vst::audioMasterAutomate), 0);
  EXPECT_EQ(fx.Count(vst::audioMasterBeginEdit), 0);
}

TEST_F(EditorTest, AClickOnTheDisplayFreezesAndUnfreezingClearsTheCursor) {
  G().Press(300, 200, kLeft);
  G().Release(300, 200, kLeft);
  EXPECT_TRUE(fx.Plug().Frozen());
  EXPECT_EQ(FreezeCaption(), "UNFREEZE");
  EXPECT_GE(parts->view->CursorPos(), 0.0);
  EXPECT_NE(std::strlen(parts->leftLabel->Text()), 0u);
  EXPECT_NE(std::strlen(parts->rightLabel->Text()), 0u);
  G().Press(650, 390, kLeft);
  G().Release(650, 390, kLeft);
  EXPECT_FALSE(fx.Plug().Frozen());
  EXPECT_LT(parts->view->CursorPos(), 0.0);
  EXPECT_STREQ(parts->leftLabel->Text(), "");
  EXPECT_STREQ(parts->rightLabel->Text(), "");
  EXPECT_STRNE(parts->windowLabel->Text(), "");  // the window length stays
}

TEST_F(EditorTest, RightClickOpensValueEntryOnKnobSwitchFaderAndHoldStrip) {
  // The fft size knob: a list of its sizes.
  G().Press(475, 467, kRight);
  G().Release(475, 467, kRight);
  ASSERT_TRUE(G().IsValueEntryOpen());
  ASSERT_EQ(G().ValueEntryItems().size(), 7u);
  EXPECT_EQ(G().ValueEntryItems()[6], "16384");
  G().PickValueEntryItem(6);
  G().Tick();
  EXPECT_EQ(fx.Plug().FftSize(), 16384);
  // The input 3 switch.
  G().Press(340, 476, kRight);
  G().Release(340, 476, kRight);
  ASSERT_TRUE(G().IsValueEntryOpen());
  EXPECT_EQ(G().ValueEntryText(), "off");
  G().TypeValueEntry("on");
  G().Tick();
  EXPECT_EQ(fx.Real(kParamInput1 + 2), 1.0);
  EXPECT_EQ(G().Widget(25)->Value(), 1.0);
  // The Y zoom fader.
  G().Press(60, 200, kRight);
  G().Release(60, 200, kRight);
  ASSERT_TRUE(G().IsValueEntryOpen());
  G().TypeValueEntry("0.25");
  G().Tick();
  EXPECT_NEAR(fx.Real(kParamYZoom), 0.25, 1e-9);
  EXPECT_NEAR(parts->view->YZoom(), 0.25, 1e-9);
  // The hold strip.
  G().Press(670, 209, kRight);
  G().Release(670, 209, kRight);
  ASSERT_TRUE(G().IsValueEntryOpen());
  G().TypeValueEntry("-9");
  G().Tick();
  EXPECT_DOUBLE_EQ(fx.Real(kParamHold), -9.0);
  // Each press bound to a parameter was bracketed by begin and end of edit.
  EXPECT_EQ(fx.Count(vst::audioMasterBeginEdit), 4);
  EXPECT_EQ(fx.Count(vst::audioMasterEndEdit), 4);
}

TEST_F(EditorTest, ClickingTheHoldStripCentreSetsMinus30Db) {
  G().Press(670, 209, kLeft);
  G().Release(670, 209, kLeft);
  EXPECT_DOUBLE_EQ(fx.Real(kParamHold), -30.0);
  EXPECT_NEAR(parts->view->TriggerLevel(), 0.0316, 1e-3);
  EXPECT_FALSE(fx.Plug().Frozen());  // the display below did not get the click
}

TEST_F(EditorTest, EachDomainConfiguresItsAxesAndHidesTheTimeControls) {
  AxisOverlay* h = parts->horizontalAxis;
  AxisOverlay* v = parts->verticalAxis;
  EXPECT_EQ(h->Scale().kind, kAxisTime);
  EXPECT_EQ(v->Scale().kind, kAxisAmplitude);
  EXPECT_EQ(v->Scale().marks.size(), 4u);  // -3 .. -12 dB at Y zoom 0.5
  EXPECT_STREQ(h->Scale().endText, "0 ms");
  fx.Automate(kParamDomain, 0.5);  // freq
  EXPECT_EQ(h->Scale().kind, kAxisFrequency);
  // X zoom 0 .. 0.75 in this domain: 20 .. 12384 Hz, drawn from bin 2 (21.5 Hz) to
  // bin 1150 (12381.6 Hz), the frequencies the axis ends name.
  EXPECT_STREQ(h->Scale().startText, "22");
  EXPECT_STREQ(h->Scale().endText, "12382");
  EXPECT_EQ(v->Scale().kind, kAxisLevel);
  EXPECT_FALSE(v->IsHidden());
  for (ITextWidget* label : {parts->leftLabel, parts->windowLabel, parts->rightLabel}) {
    EXPECT_TRUE(label->IsHidden());
  }
  EXPECT_TRUE(parts->hold->IsHidden());
  fx.Automate(kParamDomain, 1.0);  // phase
  EXPECT_EQ(h->Scale().kind, kAxisPhase);
  EXPECT_TRUE(v->IsHidden());
  const AxisScale phase = h->Scale();
  fx.Automate(kParamDomain, 0.0);  // back to time
  EXPECT_EQ(h->Scale().kind, kAxisTime);
  EXPECT_FALSE(v->IsHidden());
  EXPECT_FALSE(parts->hold->IsHidden());
  EXPECT_FALSE(parts->leftLabel->IsHidden());
  EXPECT_GT(phase.marks.size(), 0u);
}

TEST_F(EditorTest, TheTimeAxisDoesNotDependOnTheDomainsVisitedBefore) {
  const AxisScale before = parts->horizontalAxis->Scale();
  fx.Automate(kParamDomain, 1.0);
  fx.Automate(kParamDomain, 0.0);
  const AxisScale after = parts->horizontalAxis->Scale();
  ASSERT_EQ(after.marks.size(), before.marks.size());
  for (std::size_t i = 0; i < before.marks.size(); ++i) {
    EXPECT_EQ(after.marks[i].position, before.marks[i].position);
    EXPECT_STREQ(after.marks[i].label, before.marks[i].label);
  }
}

TEST_F(EditorTest, HoveringTheSpectrumShowsTheFrequencyInsideTheLimits) {
  fx.Automate(kParamDomain, 0.5);
  G().Tick();
  G().Move(300, 200, kHover);
  G().Tick();
  EXPECT_EQ(parts->readout->X(), 300);
  EXPECT_GT(parts->readout->Frequency(), 20.0);
  EXPECT_LT(parts->readout->Frequency(), 22000.0);
  EXPECT_FALSE(parts->readout->TextBox().Empty());
  G().Move(300, 65, kHover);  // within 15 pixels of the top
  G().Tick();
  EXPECT_TRUE(parts->readout->TextBox().Empty());
  fx.Automate(kParamDomain, 0.0);
  G().Move(300, 200, kHover);
  G().Tick();
  EXPECT_TRUE(parts->readout->TextBox().Empty());  // time domain: none
}

TEST_F(EditorTest, TheWholeEditorRendersWithItsTextsAndGrid) {
  G().Tick();
  ASSERT_TRUE(G().WritePng(Picture("display_editor.png").c_str()));
  const IRgba blue{255, 32, 128, 216};
  const IRgba grey{255, 127, 127, 127};
  // "FREEZE" in blue, right-aligned in its box.
  EXPECT_TRUE(BoxHas(G(), IBox{650, 384, 681, 398}, blue, 40));
  EXPECT_FALSE(BoxHas(G(), IBox{625, 384, 628, 398}, blue, 40));
  // The plot's frame and the amplitude grid in grey over the display well.
  EXPECT_TRUE(SameColour(G().ReadPixel(80, 200), grey));
  EXPECT_TRUE(SameColour(G().ReadPixel(617, 56), grey));
  EXPECT_GE(ColumnCount(G(), 200, 57, 361, grey), 8);
  // The hold strip's track in red at the right edge.
  EXPECT_GT(ColumnCount(G(), 671, 60, 360, IRgba{255, 221, 32, 32}), 250);
}

// A 441 Hz sine on input 1 and the same a quarter period later on input 2,
// 0.6 s of it (more than the half window shown) in blocks of 512.
void FeedSines(vst::AEffect* effect) {
  constexpr int kBlock = 512;
  std::vector<float> in[4], out[2];
  for (auto& v : in) v.assign(kBlock, 0.0f);
  for (auto& v : out) v.assign(kBlock, 0.0f);
  float* ins[4] = {in[0].data(), in[1].data(), in[2].data(), in[3].data()};
  float* outs[2] = {out[0].data(), out[1].data()};
  const double w = 2.0 * 3.141592653589793 * 441.0 / 44100.0;
  for (int start = 0; start < 26460; start += kBlock) {
    for (int i = 0; i < kBlock; ++i) {
      in[0][static_cast<std::size_t>(i)] = static_cast<float>(0.7 * std::sin(w * (start + i)));
      in[1][static_cast<std::size_t>(i)] = static_cast<float>(0.5 * std::cos(w * (start + i)));
    }
    effect->processReplacing(effect, ins, outs, kBlock);
  }
}

TEST_F(EditorTest, AudioDrawsTracesAndLevelsInEveryDomain) {
  Dispatch(fx.effect, vst::effSetSampleRate, 0, 0, nullptr, 44100.0f);
  Dispatch(fx.effect, vst::effSetBlockSize, 0, 512);
  Dispatch(fx.effect, vst::effMainsChanged, 0, 1);
  FeedSines(fx.effect);
  G().Tick();  // draws, measuring the levels
  G().Tick();  // the next pull shows them
  ASSERT_TRUE(G().WritePng(Picture("display_editor_time.png").c_str()));
  // Level of a 0.7 sine: 20 log10(0.7 / sqrt 2) = -6.1 dB; input 3 is off.
  EXPECT_STREQ(parts->levelText[0]->Text(), "-6.1");
  EXPECT_STREQ(parts->levelText[1]->Text(), "-9.0");
  EXPECT_STREQ(parts->levelText[2]->Text(), "");
  // The traces stay within +/- 0.7 of the display's +/- 1.0005 (153 rows each
  // way from row 209), and fill much of that.
  auto bright = [&](int y1, int y2) {
    int n = 0;
    for (int x = 200; x < 400; x += 10) {
      for (int y = y1; y <= y2; ++y) n += G().ReadPixel(x, y).r > 150;
    }
    return n;
  };
  EXPECT_EQ(bright(60, 100), 0);
  EXPECT_EQ(bright(319, 360), 0);
  EXPECT_GT(bright(102, 316), 20 * 150);
  fx.Automate(kParamDomain, 0.5);
  FeedSines(fx.effect);
  G().Tick();
  ASSERT_TRUE(G().WritePng(Picture("display_editor_freq.png").c_str()));
  EXPECT_TRUE(BoxHas(G(), IBox{620, 50, 650, 70}, IRgba{255, 127, 127, 127}, 40));  // level top
  fx.Automate(kParamDomain, 1.0);
  FeedSines(fx.effect);
  G().Tick();
  ASSERT_TRUE(G().WritePng(Picture("display_editor_phase.png").c_str()));
  // Pair 1/2 as points added up over and over (brighter than the grey grid)
  // on a half circle: a quarter period apart, the pair traces a circle.
  int points = 0;
  for (int y = 57; y < 361; ++y) {
    for (int x = 81; x < 617; ++x) points += G().ReadPixel(x, y).r > 180;
  }
  EXPECT_GT(points, 30);
}

}  // namespace

namespace {

// The host sends an X zoom low above "X zoom high"; the plug-in keeps it below,
// and the zoom bar shows the handle where the zoom really is.
TEST_F(EditorTest, ZoomBarShowsTheZoomThePluginKeptNotTheOneTheHostSent) {
  fx.Automate(kParamXZoomLow, 0.1);
  fx.Automate(kParamXZoomHigh, 0.3);
  fx.Automate(kParamXZoomLow, 0.9);
  EXPECT_NEAR(fx.Real(kParamXZoomLow), 0.299, 1e-6);
  EXPECT_NEAR(parts->view->XLow(), 0.299, 1e-6);
  int faders = 0;
  for (int i = 0; i < G().WidgetCount(); ++i) {
    IWidget* w = G().Widget(i);
    if (w->ParamIdx() != kParamXZoomLow) continue;
    ++faders;
    EXPECT_NEAR(w->Value(), 0.299, 1e-6);
  }
  EXPECT_EQ(faders, 1);
  // And the same for the high end sent below the low one.
  fx.Automate(kParamXZoomHigh, 0.3);
  fx.Automate(kParamXZoomLow, 0.1);
  fx.Automate(kParamXZoomHigh, 0.05);
  EXPECT_NEAR(fx.Real(kParamXZoomHigh), 0.101, 1e-6);
  for (int i = 0; i < G().WidgetCount(); ++i) {
    IWidget* w = G().Widget(i);
    if (w->ParamIdx() == kParamXZoomHigh) {
      EXPECT_NEAR(w->Value(), 0.101, 1e-6);
    }
  }
}

}  // namespace

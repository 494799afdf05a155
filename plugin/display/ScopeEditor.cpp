#include "plugin/display/ScopeEditor.h"

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "graphics/IBitmapWidget.h"
#include "graphics/IGraphicsLice.h"
#include "graphics/ILinkWidget.h"
#include "graphics/IRotatingKnobWidget.h"
#include "graphics/ITextWidget.h"
#include "graphics/MakeEditorGraphics.h"
#include "plugin/ScopeParams.h"
#include "plugin/ScopePlugin.h"
#include "plugin/display/AxisOverlay.h"
#include "plugin/display/DomainKnob.h"
#include "plugin/display/FreezeButton.h"
#include "plugin/display/FrequencyReadout.h"
#include "plugin/display/HoldHandle.h"
#include "plugin/display/PanelLayout.h"
#include "plugin/display/ScopeView.h"
#include "plugin/display/ScopeViewMath.h"
#include "plugin/display/ZoomRangeBar.h"
#include "plugin/display/ZoomSlider.h"
#include "plugin/engine/ChannelWindow.h"
#include "plugin/engine/FreqRange.h"

namespace {

// Margins of the axis marks: vertical axes keep clear of their end texts.
constexpr double kDefaultMargin = 0.06;
constexpr double kAmplitudeMargin = 0.1;
constexpr double kLevelMargin = 0.05;
constexpr double kPhaseMargin = 0.1;

constexpr int kFontSize = 14;  // every text of the panel: "Arial", 14 pixels

const IRgba kGrey{255, 127, 127, 127};
const IRgba kWhite{255, 255, 255, 255};
const IRgba kBlack{255, 0, 0, 0};
const IRgba kRed{255, 221, 32, 32};
const IRgba kBlue{255, 32, 128, 216};

IFontSpec Font(IRgba colour, int align) {
  IFontSpec font;
  font.colour = colour;
  font.align = align;
  return font;
}

struct Images {
  IImage knob;
  IImage bigKnob;
  IImage button;
};

class PanelBuilder {
 public:
  PanelBuilder(ScopePlugin& plugin, IGraphicsLice* g) : plugin_(plugin), g_(g) {}

  ScopeEditor::Parts Build();

 private:
  ITextWidget* Text(IBox box, IRgba colour, int align, const char* text);
  IRotatingKnobWidget* Knob(int x, int y, int param);
  void AddTimeLabels();
  void AddGlobalKnobs();
  void AddInputColumn(int n);
  void AddZoom();
  void AddDisplay();

  ScopePlugin& plugin_;
  IGraphicsLice* g_;
  Images images_{};
  ScopeEditor::Parts parts_{};
};

ITextWidget* PanelBuilder::Text(IBox box, IRgba colour, int align, const char* text) {
  auto* widget = new ITextWidget(&plugin_, box, Font(colour, align), text);
  g_->AddWidget(widget);
  return widget;
}

IRotatingKnobWidget* PanelBuilder::Knob(int x, int y, int param) {
  auto* knob =
      new IRotatingKnobWidget(&plugin_, x, y, param, images_.knob, -panel::kKnobSweep,
                              panel::kKnobSweep, 0, IDIRECTION_VERTICAL, panel::kKnobGearing);
  g_->AddWidget(knob);
  return knob;
}

void PanelBuilder::AddTimeLabels() {
  parts_.leftLabel = Text(panel::kLeftTimeLabel, kGrey, IALIGN_LEFT, "");
  parts_.windowLabel = Text(panel::kWindowLabel, kGrey, IALIGN_LEFT, "");
  parts_.rightLabel = Text(panel::kRightTimeLabel, kGrey, IALIGN_LEFT, "");
  Text(panel::kZoomCaption, kGrey, IALIGN_CENTER, "ZOOM");
  Text(panel::kVersion, kBlack, IALIGN_CENTER, "v1.54");
}

// Domain, and the spectrum's fft size, blend speed and opacity with their values.
void PanelBuilder::AddGlobalKnobs() {
  const IFontSpec value = Font(kWhite, IALIGN_CENTER);
  g_->AddWidget(new DomainKnob(&plugin_, panel::kDomainKnob.x, panel::kDomainKnob.y, kParamDomain,
                               images_.knob));
  g_->AddWidget(new IValueTextWidget(&plugin_, panel::kDomainValue, kParamDomain, value, false));
  g_->AddWidget(new IBitmapWidget(&plugin_, panel::kFftBody.x, panel::kFftBody.y, -1,
                                  images_.bigKnob, IBLEND_ALPHA));
  g_->AddWidget(new IBitmapWidget(&plugin_, panel::kBlendBody.x, panel::kBlendBody.y, -1,
                                  images_.bigKnob, IBLEND_ALPHA));
  Knob(panel::kFftKnob.x, panel::kFftKnob.y, kParamFftSize);
  Knob(panel::kBlendKnob.x, panel::kBlendKnob.y, kParamBlendSpeed);
  Knob(panel::kOpacityKnob.x, panel::kOpacityKnob.y, kParamOpacity);
  const int params[3] = {kParamFftSize, kParamBlendSpeed, kParamOpacity};
  const IBox boxes[3] = {panel::kFftValue, panel::kBlendValue, panel::kOpacityValue};
  for (int i = 0; i < 3; ++i) {
    g_->AddWidget(new IValueTextWidget(&plugin_, boxes[i], params[i], value, false));
  }
}

// Input n (1..4): delay knob, on/off switch, delay text and level text.
void PanelBuilder::AddInputColumn(int n) {
  Knob(panel::DelayKnob(n).x, panel::DelayKnob(n).y, kParamDelay1 + n - 1);
  g_->AddWidget(new ISwitchWidget(&plugin_, panel::InputSwitch(n).x, panel::InputSwitch(n).y,
                                  kParamInput1 + n - 1, images_.button, IBLEND_ALPHA));
  parts_.delayText[n - 1] = Text(panel::DelayText(n), kWhite, IALIGN_RIGHT, "");
  parts_.levelText[n - 1] = Text(panel::LevelText(n), kWhite, IALIGN_RIGHT, "");
}

void PanelBuilder::AddZoom() {
  const IImage handle = g_->ImageFromResource(106, "img/bar_handle.png", 1);
  auto* bar =
      new ZoomRangeBar(&plugin_, panel::kZoomBarX, panel::kZoomBarY, panel::kZoomBarLength,
                       kParamXZoomLow, kParamXZoomHigh, handle, IDIRECTION_HORIZONTAL, kWhite);
  bar->AddTo(g_);
  g_->AddWidget(new ZoomSlider(&plugin_, panel::kYZoomX, panel::kYZoomY, panel::kYZoomLength,
                               kParamYZoom, handle, kWhite));
}

// The display with everything drawn over it, and the manual link on the logo.
void PanelBuilder::AddDisplay() {
  parts_.freeze = new FreezeButton(&plugin_, panel::kFreeze, Font(kBlue, IALIGN_RIGHT));
  g_->AddWidget(parts_.freeze);
  parts_.view = new ScopeView(&plugin_, panel::kDisplay);
  g_->AddWidget(parts_.view);
  parts_.horizontalAxis =
      new AxisOverlay(&plugin_, panel::kHorizontalAxis, Font(kGrey, IALIGN_LEFT));
  g_->AddWidget(parts_.horizontalAxis);
  parts_.verticalAxis = new AxisOverlay(&plugin_, panel::kVerticalAxis, Font(kGrey, IALIGN_LEFT));
  g_->AddWidget(parts_.verticalAxis);
  const IImage trigger = g_->ImageFromResource(107, "img/trig_handle.png", 1);
  parts_.hold =
      new HoldHandle(&plugin_, panel::kHoldStrip, kParamHold, trigger, Font(kRed, IALIGN_RIGHT));
  g_->AddWidget(parts_.hold);
  parts_.readout = new FrequencyReadout(&plugin_, panel::kDisplay, Font(kWhite, IALIGN_CENTER));
  g_->AddWidget(parts_.readout);
  std::string manual;
  g_->GetPluginFolder(manual);
  manual += "Virlex_manual.pdf";
  g_->AddWidget(new ILinkWidget(&plugin_, panel::kLogo, manual.c_str(), nullptr, nullptr));
}

ScopeEditor::Parts PanelBuilder::Build() {
  parts_.graphics = g_;
  g_->SetHandleMouseOver(true);
  g_->SetBackdrop(100, "img/bg.png");
  images_.knob = g_->ImageFromResource(105, "img/knob_line.png", 1);
  images_.bigKnob = g_->ImageFromResource(101, "img/big_knob.png", 1);
  images_.button = g_->ImageFromResource(102, "img/sm_button.png", 2);
  AddTimeLabels();
  AddGlobalKnobs();
  for (int n = 1; n <= kScopeInputs; ++n) AddInputColumn(n);
  AddZoom();
  AddDisplay();
  parts_.freeze->Wire(parts_.view, parts_.leftLabel, parts_.rightLabel);
  parts_.view->SetReadout(parts_.readout);
  parts_.view->SetTimeLabels(parts_.leftLabel, parts_.rightLabel);
  parts_.view->SetFreezeButton(parts_.freeze);
  return parts_;
}

}  // namespace

std::unique_ptr<ScopeEditor> BuildScopeEditor(ScopePlugin& plugin) {
  IGraphicsLice* graphics = MakeEditorGraphics(&plugin, panel::kWidth, panel::kHeight, 0);
  if (graphics == nullptr) return nullptr;
  auto editor = std::make_unique<ScopeEditor>(PanelBuilder(plugin, graphics).Build());
  plugin.AttachEditor(graphics);
  return editor;
}

void ScopeEditor::ApplyParam(int index, const IPlugParam& param) {
  parts_.view->ApplyParam(index, param);
}

void ScopeEditor::ResetView(double sampleRate) { parts_.view->SetSampleRate(sampleRate); }

void ScopeEditor::MarkViewDirty() { parts_.view->MarkDirtyFromAudio(); }

void ScopeEditor::SetDelayText(int input, const char* text) {
  if (input >= 0 && input < kScopeInputs) parts_.delayText[input]->SetText(text);
}

void ScopeEditor::SetLevelText(int input, const char* text) {
  if (input >= 0 && input < kScopeInputs) parts_.levelText[input]->SetText(text);
}

void ScopeEditor::SetWindowReadout(const char* text) { parts_.windowLabel->SetText(text); }

void ScopeEditor::SetTimeControlsHidden(bool hidden) {
  parts_.leftLabel->SetHidden(hidden);
  parts_.windowLabel->SetHidden(hidden);
  parts_.rightLabel->SetHidden(hidden);
  parts_.hold->SetHidden(hidden);
}

void ScopeEditor::SetHoldYZoom(double yZoom) { parts_.hold->SetYZoom(yZoom); }

// Each domain's pair of axes. The horizontal margin is set for every domain, so
// the time axis looks the same whether or not the phase grid was shown before.
void ScopeEditor::RefreshScales(const ScaleSettings& s) {
  AxisOverlay* h = parts_.horizontalAxis;
  AxisOverlay* v = parts_.verticalAxis;
  if (s.domain == kDomainFreq) {
    h->SetMargin(kDefaultMargin);
    h->ConfigureFrequencyAxis(UpdateFreqRange(s.xLow, s.xHigh, s.fftSize, s.sampleRate));
    v->SetMargin(kLevelMargin);
    v->ConfigureLevelAxis((1.0 - s.yZoom) * 0.9995 + 0.001);
    v->SetHidden(false);
  } else if (s.domain == kDomainPhase) {
    h->SetMargin(kPhaseMargin);
    h->ConfigurePhaseGrid(ZoomDivisor(s.yZoom));
    v->SetHidden(true);
  } else {
    const double window = kMaxCapture / s.sampleRate;  // seconds
    h->SetMargin(kDefaultMargin);
    h->ConfigureTimeAxis(s.xLow * window, s.xHigh * window, window);
    v->SetMargin(kAmplitudeMargin);
    v->ConfigureAmplitudeAxis(ZoomDivisor(s.yZoom));
    v->SetHidden(false);
  }
  // The hold handle's texts share the column right of the display with the
  // amplitude labels: the labels give way.
  AxisOverlay::KeepOut holdTexts;
  if (s.domain == kDomainTime) {
    for (IBox box : {parts_.hold->CaptionBox(), parts_.hold->LevelBox()}) {
      box.bottom = box.top + kFontSize + 1;  // the whole character cell
      holdTexts.boxes[holdTexts.count++] = box;
    }
  }
  v->SetKeepOut(holdTexts);
  h->SetDirty(false);
  v->SetDirty(false);
}

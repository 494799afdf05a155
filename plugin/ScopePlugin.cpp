#include "plugin/ScopePlugin.h"

#include <cstring>

#include "plugin/engine/Fft.h"
#include "plugin/engine/ScopeMath.h"
#include "plugin/engine/ScopeTexts.h"

namespace {
constexpr std::int32_t kUniqueId = vst::FourCC('V', 'r', 'l', 'x');
constexpr std::int32_t kVendorId = vst::FourCC('O', 'r', 'b', 'k');
}  // namespace

ScopePlugin::ScopePlugin(vst::HostCallback host)
    : IPlugVST(host, kNumScopeParams, "1-1 2-2 4-2", 0, "Virlex", "", "Orbek", kVersion, kUniqueId,
               kVendorId, 0, false, false, false) {
  FftInit();  // once per process; construction is serialised by the entry point
  DeclareScopeParams(*this);
}

ScopePlugin::~ScopePlugin() = default;

void ScopePlugin::AttachDisplay(std::unique_ptr<ScopeDisplayLink> display) {
  ILockGuard hold(Lock());
  display_ = std::move(display);
  AnnounceAllParams();
}

// The instance lock is held for copying the new samples only; the windows take
// them in after it is released, so the audio thread never waits for that.
int ScopePlugin::Pull(ChannelWindow* const channels[ScopeFeed::kInputs]) {
  int count = 0;
  {
    ILockGuard hold(Lock());
    count = feed_.Collect(channels, display_.get());
  }
  ScopeFeed::Absorb(channels);
  return count;
}

// Each connected input goes to its output unchanged (an output that is its own
// input's buffer already holds it) and into the capture queues.
template <class Sample>
void ScopePlugin::PassAndCapture(Sample** inputs, Sample** outputs, int nFrames) {
  const auto bytes = static_cast<std::size_t>(nFrames) * sizeof(Sample);
  for (int i = 0; i < ScopeFeed::kInputs; ++i) {
    if (InputConnected(i)) {
      if (OutputConnected(i) && outputs[i] != inputs[i]) std::memcpy(outputs[i], inputs[i], bytes);
      feed_.Capture(i, inputs[i], nFrames);
    } else if (OutputConnected(i)) {
      std::memset(outputs[i], 0, bytes);
    }
  }
  feed_.AddPending(nFrames);
  if (display_ != nullptr && !Frozen()) display_->MarkViewDirty();
}

void ScopePlugin::ProcessBlock(double** inputs, double** outputs, int nFrames) {
  PassAndCapture(inputs, outputs, nFrames);
}

bool ScopePlugin::ProcessFloatBlock(float** inputs, float** outputs, int nFrames) {
  PassAndCapture(inputs, outputs, nFrames);
  return true;
}

void ScopePlugin::ResetState() {
  ILockGuard hold(Lock());
  sampleRate_ = SampleRate();
  if (display_ != nullptr) display_->ResetView(sampleRate_);
  feed_.ResetPending();
  if (domain_ == kDomainTime) UpdateWindowReadout();
  RefreshScales();
}

void ScopePlugin::ParamChanged(int idx) {
  ILockGuard hold(Lock());
  IPlugParam* param = Param(idx);
  if (param == nullptr) return;
  const double value = param->Value();
  bool scalesChanged = false;
  if (idx == kParamDomain) {
    domain_ = static_cast<int>(value);
    if (display_ != nullptr) display_->SetTimeControlsHidden(domain_ != kDomainTime);
    scalesChanged = true;
  } else if (idx >= kParamDelay1 && idx < kParamDelay1 + kScopeInputs) {
    if (display_ != nullptr) {
      char text[32];
      FormatDelay(value, text, sizeof(text));
      display_->SetDelayText(idx - kParamDelay1, text);
    }
  } else if (idx == kParamFftSize) {
    fftSize_ = static_cast<int>(IntPow(2.0, static_cast<int>(value) + 8));
    scalesChanged = true;
  } else if (idx == kParamXZoomLow || idx == kParamXZoomHigh) {
    ClampXZoom(idx);
    UpdateWindowReadout();
    scalesChanged = true;
  } else if (idx == kParamYZoom) {
    yZoom_ = value;
    if (display_ != nullptr) display_->SetHoldYZoom(yZoom_);
    scalesChanged = true;
  }
  if (scalesChanged) RefreshScales();
  if (display_ != nullptr) display_->ApplyParam(idx, *param);
}

// Keeps "X zoom low" at least kMinXZoomGap below "X zoom high". The parameter that
// was just moved gives way; its value is corrected directly, without telling the
// host, and the controls bound to it show the corrected value.
void ScopePlugin::ClampXZoom(int idx) {
  IPlugParam* low = Param(kParamXZoomLow);
  IPlugParam* high = Param(kParamXZoomHigh);
  xZoomLow_ = low->Value();
  xZoomHigh_ = high->Value();
  if (idx == kParamXZoomLow && xZoomLow_ > xZoomHigh_ - kMinXZoomGap) {
    xZoomLow_ = xZoomHigh_ - kMinXZoomGap;
    low->SetClamped(xZoomLow_);
    if (Graphics() != nullptr) Graphics()->SetControlsFromPlugin(idx, xZoomLow_, false);
  } else if (idx == kParamXZoomHigh && xZoomHigh_ < xZoomLow_ + kMinXZoomGap) {
    xZoomHigh_ = xZoomLow_ + kMinXZoomGap;
    high->SetClamped(xZoomHigh_);
    if (Graphics() != nullptr) Graphics()->SetControlsFromPlugin(idx, xZoomHigh_, false);
  }
}

void ScopePlugin::UpdateWindowReadout() {
  if (domain_ != kDomainTime || display_ == nullptr) return;
  char text[96];
  FormatWindowReadout(xZoomLow_, xZoomHigh_, sampleRate_, text, sizeof(text));
  display_->SetWindowReadout(text);
}

void ScopePlugin::RefreshScales() {
  if (display_ == nullptr) return;
  ScaleSettings settings;
  settings.domain = domain_;
  settings.xLow = xZoomLow_;
  settings.xHigh = xZoomHigh_;
  settings.yZoom = yZoom_;
  settings.sampleRate = sampleRate_;
  settings.fftSize = fftSize_;
  display_->RefreshScales(settings);
}

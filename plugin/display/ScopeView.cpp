// Drawing and parameter state of the display. The mouse handling is in
// ScopeViewMouse.cpp.
#include "plugin/display/ScopeView.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "graphics/IGraphicsHost.h"
#include "iplug/IPlugParam.h"
#include "plugin/display/FrequencyReadout.h"
#include "plugin/engine/ScopeMath.h"
#include "plugin/ScopeParams.h"
#include "plugin/ScopePlugin.h"

namespace {

// Trace colours of inputs 1 to 4: white, red, green, blue.
constexpr IRgba kTraceColours[ScopeView::kChannels] = {
    {255, 255, 255, 255}, {255, 221, 32, 32}, {255, 32, 185, 93}, {255, 32, 128, 216}};
constexpr IRgba kCursorColour = {255, 32, 128, 216};
constexpr IRgba kWhite = {255, 255, 255, 255};
constexpr int kPhaseHistoryMin = 1024;

}  // namespace

ScopeView::ScopeView(ScopePlugin* plugin, IBox rect)
    : IWidget(plugin, rect, -1, IBLEND_ALPHA, 1.0f), scope_(plugin), channels_(kChannels) {
  const auto width = static_cast<std::size_t>(std::max(rect.right - rect.left, 1));
  for (int i = 0; i < kChannels; ++i) {
    Channel& channel = ChannelAt(i);
    channel.colour = kTraceColours[i];
    channel.columnTop.assign(width, 0.0f);
    channel.columnBottom.assign(width, 0.0f);
  }
  yScale_ = static_cast<float>((rect.bottom - rect.top) * 0.5 / ZoomDivisor(yZoom_));
  ResetColumns();
}

ScopeView::~ScopeView() = default;

// --- Parameters ------------------------------------------------------------------

void ScopeView::ApplyParam(int index, const IPlugParam& param) {
  ILockGuard hold(lock_);
  const double value = param.Value();
  if (index == kParamDomain) {
    ApplyDomain(static_cast<int>(value));
  } else if (index >= kParamInput1 && index < kParamInput1 + kChannels) {
    ChannelAt(index - kParamInput1).window.enabled = value >= 0.5;
  } else if (index >= kParamDelay1 && index < kParamDelay1 + kChannels) {
    ChannelAt(index - kParamDelay1).window.delayMs = value;
    relayout_ = true;
  } else if (index == kParamHold) {
    triggerLevel_ = value == kHoldOffDb ? -1.0 : DbToAmp(value);
    return;
  } else if (index == kParamFftSize) {
    const int size = static_cast<int>(IntPow(2.0, static_cast<int>(value) + 8));
    if (size == fftSize_) return;
    fftSize_ = size;
    for (Channel& channel : channels_) channel.analyser.Init(size);
    mapper_.SetBins(size / 2);
    UpdateFreqRange();
  } else if (index == kParamBlendSpeed) {
    blendSpeed_ = value;
    for (Channel& channel : channels_) channel.analyser.SetBlend(value);
    return;
  } else if (index == kParamOpacity) {
    blend.weight = static_cast<float>(value * 0.85);
  } else if (index == kParamXZoomLow || index == kParamXZoomHigh) {
    (index == kParamXZoomLow ? xLow_ : xHigh_) = value;
    UpdateFreqRange();
    relayout_ = true;
  } else if (index == kParamYZoom) {
    yZoom_ = value;
    yScale_ = static_cast<float>((rect.bottom - rect.top) * 0.5 / ZoomDivisor(value));
    relayout_ = true;
  } else {
    return;
  }
  SetDirty(false);
}

void ScopeView::SetSampleRate(double sampleRate) {
  ILockGuard hold(lock_);
  sampleRate_ = sampleRate;
  for (Channel& channel : channels_) {
    std::fill(channel.window.samples.begin(), channel.window.samples.end(), 0.0f);
    channel.window.level = 0.0;
    channel.analyser.Clear();
  }
  ResetColumns();
  UpdateFreqRange();
  SetDirty(false);
}

void ScopeView::UpdateFreqRange() {
  const int size = fftSize_ > 0 ? fftSize_ : ChannelAt(0).analyser.Size();
  range_ = ::UpdateFreqRange(xLow_, xHigh_, size, sampleRate_);
}

void ScopeView::ResetColumns() {
  const float row =
      mode_ == kDomainFreq ? static_cast<float>(rect.bottom) : (rect.top + rect.bottom) * 0.5f;
  for (Channel& channel : channels_) {
    std::fill(channel.columnTop.begin(), channel.columnTop.end(), row);
    std::fill(channel.columnBottom.begin(), channel.columnBottom.end(), row);
  }
}

TraceRows ScopeView::Rows() const {
  TraceRows rows;
  rows.midY = (rect.top + rect.bottom) * 0.5f;
  rows.yScale = yScale_;
  rows.top = static_cast<float>(rect.top);
  rows.bottom = static_cast<float>(rect.bottom);
  return rows;
}

void ScopeView::SetTimeLabels(ITextWidget* left, ITextWidget* right) {
  leftLabel_ = left;
  rightLabel_ = right;
}

// --- Drawing -----------------------------------------------------------------------

bool ScopeView::Draw(IGraphicsHost* graphics) {
  // Pull before taking the view's lock: the instance lock always comes first.
  int newCount = 0;
  if (!frozen_) {
    ChannelWindow* windows[kChannels];
    for (int i = 0; i < kChannels; ++i) windows[i] = &ChannelAt(i).window;
    newCount = scope_->Pull(windows);
  }
  ILockGuard hold(lock_);
  for (int i = kChannels - 1; i >= 0; --i) {  // input 1 ends on top
    Channel& channel = ChannelAt(i);
    if (!channel.window.enabled) continue;
    if (mode_ == kDomainTime) {
      DrawTimeTrace(graphics, channel, newCount);
    } else if (mode_ == kDomainFreq) {
      DrawSpectrum(graphics, channel);
    } else if ((i == 3 || i == 1) && ChannelAt(i - 1).window.enabled) {
      DrawPhase(graphics, channel, ChannelAt(i - 1));
    }
  }
  if (mode_ == kDomainTime && frozen_ && cursorPos_ >= 0.0) DrawCursor(graphics);
  UpdateReadout();
  relayout_ = false;
  return true;
}

void ScopeView::DrawTimeTrace(IGraphicsHost* g, Channel& channel, int newCount) {
  const SampleRun run = ViewRun(sampleRate_, channel.window.delayMs, xLow_, xHigh_);
  const float* samples = channel.window.samples.data();
  channel.window.level = MeasureLevel(samples + run.start, run.count);
  const float* p = samples + run.start;
  if (triggerLevel_ > 0.0) {
    // Centre the run on the first loud sample after the oldest half run.
    const int half = run.count / 2;
    const int t = FindTrigger(samples, kMaxCapture, half, triggerLevel_);
    if (t >= 0) {
      p = samples + t - half;
      relayout_ = true;
    }
  }
  const int width = rect.right - rect.left;
  if (run.count < width) {
    DrawSparse(g, channel, p, run.count);
  } else {
    DrawDense(g, channel, p, run.count, newCount);
  }
}

void ScopeView::DrawSparse(IGraphicsHost* g, const Channel& channel, const float* run, int n) {
  const int width = rect.right - rect.left;
  const float pixelsPerSample = static_cast<float>(width) / static_cast<float>(n);
  const bool markers = n < width / 4;  // few enough samples to mark each one
  const TraceRows rows = Rows();
  float prevX = static_cast<float>(rect.left);
  float prevY = SampleRow(run[0], rows);
  for (int i = 1; i < n; ++i) {
    const float y = SampleRow(run[i], rows);
    const float x = rect.left + std::min((i + 1) * pixelsPerSample, static_cast<float>(width - 1));
    g->DrawLine(channel.colour, prevX, prevY, x, y, &traceBlend_, true);
    if (markers) {
      const int cx = static_cast<int>(x);
      const int cy = static_cast<int>(y);
      g->DrawHLine(channel.colour, cy, cx - 2, cx + 2);
      g->DrawVLine(channel.colour, cx, cy - 2, cy + 2);
    }
    prevX = x;
    prevY = y;
  }
}

// Incremental: while running only the columns of newly arrived samples are
// computed and the rest scroll left; a relayout recomputes them all.
void ScopeView::DrawDense(IGraphicsHost* g, Channel& channel, const float* run, int n,
                          int newCount) {
  const int width = rect.right - rect.left;
  const float pixelsPerSample = static_cast<float>(width) / static_cast<float>(n);
  int cols = width;
  if (!relayout_) {
    const int k = std::min(newCount, n);
    cols = std::min(static_cast<int>(k * pixelsPerSample), width);
    run += n - k;
    n = k;
  }
  float* top = channel.columnTop.data();
  float* bottom = channel.columnBottom.data();
  if (cols > 0) {
    const auto keep = static_cast<std::size_t>(width - cols);
    std::memmove(top, top + cols, keep * sizeof(float));
    std::memmove(bottom, bottom + cols, keep * sizeof(float));
    ReduceColumns(run, n, top + keep, bottom + keep, cols, Rows());
  }
  for (int i = 0; i < width; ++i) {
    const auto x = static_cast<float>(rect.left + i);
    if (i >= 1) {
      g->DrawLine(channel.colour, x - 1, top[i - 1], x, top[i], &traceBlend_, true);
      g->DrawLine(channel.colour, x - 1, bottom[i - 1], x, bottom[i], &traceBlend_, true);
    }
    if (top[i] != bottom[i]) g->DrawLine(channel.colour, x, top[i], x, bottom[i], &blend, false);
  }
}

void ScopeView::DrawSpectrum(IGraphicsHost* g, Channel& channel) {
  SpectrumAnalyser& analyser = channel.analyser;
  const int size = analyser.Size();
  const SampleRun run = SpectrumRun(sampleRate_, channel.window.delayMs, size);
  const float* samples = channel.window.samples.data() + run.start;
  channel.window.level = MeasureLevel(samples, run.count);
  const float* values = analyser.Analyse(samples);
  const int width = rect.right - rect.left;
  const float* columns =
      mapper_.Map(values, size / 2, range_.firstBin, range_.lastBin - range_.firstBin, width);
  const float scale = (rect.bottom - rect.top) / static_cast<float>(ZoomDivisor(yZoom_)) * 2.0f;
  const auto base = static_cast<float>(rect.bottom - 1);
  float prevY = base;
  for (int i = 0; i < width; ++i) {
    const auto x = static_cast<float>(rect.left + i);
    float y = base - std::sqrt(std::max(columns[i], 0.0f)) * scale;
    if (!(y >= rect.top)) y = static_cast<float>(rect.top);
    g->DrawLine(channel.colour, x, y, x, base, &blend, false);
    if (i >= 1) g->DrawLine(channel.colour, x - 1, prevY, x, y, &traceBlend_, true);
    prevY = y;
  }
}

void ScopeView::DrawPhase(IGraphicsHost* g, Channel& a, Channel& b) {
  const float* samplesA = a.window.samples.data();
  const float* samplesB = b.window.samples.data();
  const SampleRun runA = ViewRun(sampleRate_, a.window.delayMs, xLow_, xHigh_);
  const SampleRun runB = ViewRun(sampleRate_, b.window.delayMs, xLow_, xHigh_);
  a.window.level = MeasureLevel(samplesA + runA.start, runA.count);
  b.window.level = MeasureLevel(samplesB + runB.start, runB.count);
  int n = std::min(runA.count, runB.count);
  if (n > kPhaseHistoryMin) {
    // Blend speed 1 shows the newest 1024 pairs; slower blends show more history.
    n = static_cast<int>((1.0 - blendSpeed_) * (n - kPhaseHistoryMin)) + kPhaseHistoryMin;
  }
  const float* pa = samplesA + runA.start + runA.count - n;
  const float* pb = samplesB + runB.start + runB.count - n;
  const IRgba colour = {255, (a.colour.r + b.colour.r) / 2, (a.colour.g + b.colour.g) / 2,
                        (a.colour.b + b.colour.b) / 2};
  const double k = 1.0 / ZoomDivisor(yZoom_);
  const double scaleY = (rect.bottom - rect.top) * k;
  const double scaleX = (rect.right - rect.left) * k * 0.5;
  const int cx = static_cast<int>((rect.left + rect.right) * 0.5);
  for (int i = 0; i < n; ++i) {
    const PhasePoint p = PlacePhasePoint(pa[i], pb[i], scaleX, scaleY, cx, rect.left, rect.right,
                                         rect.top, rect.bottom);
    pointBlend_.weight = static_cast<float>(i + 1) / static_cast<float>(n);  // older is fainter
    g->PlotPoint(colour, static_cast<float>(p.x), static_cast<float>(p.y), &pointBlend_, false);
  }
}

int ScopeView::CursorPixel() const {
  const int width = rect.right - rect.left;
  const double span = xHigh_ - xLow_;
  const double offset = span > 0.0 ? (cursorPos_ - xLow_) / span * width : 0.0;
  const int x = rect.left + static_cast<int>(std::clamp(offset, -1.0, width + 1.0));
  if (x < rect.left + 1) return rect.left + 1;
  if (x > rect.right - 2) return rect.right - 2;
  return x;
}

bool ScopeView::NearCursor() const {
  return hoverCursorX_ >= 0 && cursorPos_ >= 0.0 && std::abs(hoverCursorX_ - CursorPixel()) < 4;
}

void ScopeView::DrawCursor(IGraphicsHost* g) {
  cursorPos_ = std::clamp(cursorPos_, xLow_, xHigh_);
  const int x = CursorPixel();
  g->DrawVLine(kCursorColour, x, rect.top, rect.bottom);
  if (dragCursor_ || NearCursor()) {
    // Highlighted while it can be picked up or is being dragged.
    if (x > rect.left + 2) g->DrawVLine(kWhite, x - 1, rect.top, rect.bottom);
    if (x < rect.right - 2) g->DrawVLine(kWhite, x + 1, rect.top, rect.bottom);
  }
}

void ScopeView::UpdateReadout() {
  if (readout_ == nullptr) return;
  const int width = rect.right - rect.left;
  const int size = fftSize_ > 0 ? fftSize_ : ChannelAt(0).analyser.Size();
  if (mode_ == kDomainFreq && hoverX_ > rect.left + 2 && hoverX_ < rect.right - 2 &&
      hoverY_ > rect.top + 15 && hoverY_ < rect.bottom - 5) {
    const double v = range_.mappedLow + static_cast<double>(hoverX_ - rect.left) / width *
                                            (range_.mappedHigh - range_.mappedLow);
    const double frequency =
        sampleRate_ * (1.0 - std::log(v) / std::log(static_cast<double>(size)));
    readout_->Show(hoverX_, hoverY_, frequency);
  } else {
    readout_->Show(-1, -1, 0.0);
  }
  readout_->SetDirty(false);
}

// Drawing and parameter state of the display. The mouse handling is in
// ScopeViewMouse.cpp.
#include "plugin/display/ScopeView.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "graphics/IGraphicsHost.h"
#include "iplug/IPlugParam.h"
#include "plugin/ScopeParams.h"
#include "plugin/ScopePlugin.h"
#include "plugin/display/FrequencyReadout.h"
#include "plugin/display/PanelLayout.h"
#include "plugin/engine/ScopeMath.h"

namespace {

constexpr IRgba kCursorColour = {255, 32, 128, 216};
constexpr IRgba kWhite = {255, 255, 255, 255};
constexpr int kPhaseHistoryMin = 1024;

}  // namespace

ScopeView::ScopeView(ScopePlugin* plugin, IBox rect)
    : IWidget(plugin, rect, -1, IBLEND_ALPHA, 1.0f),
      scope_(plugin),
      channels_(kChannels),
      picture_(rect) {
  const auto width = static_cast<std::size_t>(std::max(rect.right - rect.left, 1));
  for (int i = 0; i < kChannels; ++i) {
    Channel& channel = ChannelAt(i);
    channel.colour = panel::kInputColour[i];
    channel.columnTop.assign(width, 0.0f);
    channel.columnBottom.assign(width, 0.0f);
  }
  changed_.assign(width, 0);
  settings_.yScale = static_cast<float>((rect.bottom - rect.top) * 0.5 / ZoomDivisor(0.5));
  drawn_ = settings_;
  ResetColumns();
}

ScopeView::~ScopeView() = default;

// --- Settings (any thread) ---------------------------------------------------------

// Only records the change: this runs on the host's thread with the instance lock
// held, and what follows from it is the next draw's work.
void ScopeView::ApplyParam(int index, const IPlugParam& param) {
  ILockGuard hold(lock_);
  Settings& s = settings_;
  const double value = param.Value();
  if (index == kParamDomain) {
    ApplyDomain(static_cast<int>(value));
  } else if (index >= kParamInput1 && index < kParamInput1 + kChannels) {
    s.enabled[index - kParamInput1] = value >= 0.5;
  } else if (index >= kParamDelay1 && index < kParamDelay1 + kChannels) {
    s.delayMs[index - kParamDelay1] = value;
    s.relayout = true;
  } else if (index == kParamHold) {
    s.triggerLevel = value == kHoldOffDb ? -1.0 : DbToAmp(value);
    s.repaint = true;
    return;
  } else if (index == kParamFftSize) {
    const int size = static_cast<int>(IntPow(2.0, static_cast<int>(value) + 8));
    if (size == s.fftSize) return;
    s.fftSize = size;
  } else if (index == kParamBlendSpeed) {
    s.blendSpeed = value;
    return;
  } else if (index == kParamOpacity) {
    s.weight = static_cast<float>(value * 0.85);
  } else if (index == kParamXZoomLow || index == kParamXZoomHigh) {
    (index == kParamXZoomLow ? s.xLow : s.xHigh) = value;
    s.relayout = true;
  } else if (index == kParamYZoom) {
    s.yZoom = value;
    s.yScale = static_cast<float>((rect.bottom - rect.top) * 0.5 / ZoomDivisor(value));
    s.relayout = true;
  } else {
    return;
  }
  s.repaint = true;
  SetDirty(false);
}

void ScopeView::SetSampleRate(double sampleRate) {
  ILockGuard hold(lock_);
  settings_.sampleRate = sampleRate;
  ++settings_.resets;
  settings_.repaint = true;
  SetDirty(false);
}

int ScopeView::Mode() const {
  ILockGuard hold(lock_);
  return settings_.mode;
}

double ScopeView::CursorPos() const {
  ILockGuard hold(lock_);
  return cursorPos_;
}

double ScopeView::XLow() const {
  ILockGuard hold(lock_);
  return settings_.xLow;
}

double ScopeView::XHigh() const {
  ILockGuard hold(lock_);
  return settings_.xHigh;
}

double ScopeView::YZoom() const {
  ILockGuard hold(lock_);
  return settings_.yZoom;
}

float ScopeView::YScale() const {
  ILockGuard hold(lock_);
  return settings_.yScale;
}

double ScopeView::TriggerLevel() const {
  ILockGuard hold(lock_);
  return settings_.triggerLevel;
}

int ScopeView::FftSize() const {
  ILockGuard hold(lock_);
  return settings_.fftSize;
}

FreqRange ScopeView::Range() const {
  ILockGuard hold(lock_);
  const Settings& s = settings_;
  return ::UpdateFreqRange(s.xLow, s.xHigh,
                           s.fftSize > 0 ? s.fftSize : ChannelAt(0).analyser.Size(), s.sampleRate);
}

// --- Taking the settings in (GUI thread) -------------------------------------------

// The settings are copied under the view's lock, which is held for nothing else;
// the work that follows from them runs after it is released.
void ScopeView::TakeSettings() {
  Settings s;
  {
    ILockGuard hold(lock_);
    s = settings_;
    settings_.relayout = false;
    settings_.repaint = false;
    if (s.mode == kDomainTime && frozen_ && cursorPos_ >= 0.0) {
      cursorPos_ = std::clamp(cursorPos_, s.xLow, s.xHigh);
    }
    drawnCursor_ = cursorPos_;
    drawnHoverX_ = hoverX_;
    drawnHoverY_ = hoverY_;
    drawnDragCursor_ = dragCursor_;
    drawnNearCursor_ = NearCursor();
  }
  const bool modeChanged = s.mode != drawn_.mode;
  drawn_ = s;
  if (s.resets != appliedResets_) {
    appliedResets_ = s.resets;
    ClearForReset();
  }
  if (s.fftSize > 0 && s.fftSize != appliedFft_) {
    // The first growth to a larger size allocates: here, never on a host's thread.
    appliedFft_ = s.fftSize;
    for (Channel& channel : channels_) channel.analyser.Init(s.fftSize);
    mapper_.SetBins(s.fftSize / 2);
    appliedBlend_ = -1.0;  // a new analyser has its own blend
  }
  if (s.blendSpeed != appliedBlend_) {
    appliedBlend_ = s.blendSpeed;
    for (Channel& channel : channels_) channel.analyser.SetBlend(s.blendSpeed);
  }
  if (modeChanged) ResetColumns();
  for (int i = 0; i < kChannels; ++i) {
    ChannelAt(i).window.enabled = s.enabled[i];
    ChannelAt(i).window.delayMs = s.delayMs[i];
  }
  blend.weight = s.weight;
  relayout_ = relayout_ || s.relayout || modeChanged;
  repaint_ = repaint_ || s.repaint;
  range_ = ::UpdateFreqRange(
      s.xLow, s.xHigh, s.fftSize > 0 ? s.fftSize : ChannelAt(0).analyser.Size(), s.sampleRate);
}

// A new sample rate: windows, levels, spectra and columns start again, and the next
// pull brings in everything the queues hold.
void ScopeView::ClearForReset() {
  for (Channel& channel : channels_) {
    std::fill(channel.window.samples.begin(), channel.window.samples.end(), 0.0f);
    channel.window.level = 0.0;
    channel.window.pulledUpTo = -1;
    channel.analyser.Clear();
  }
  ResetColumns();
  clock_ = 0;
  columnsValid_ = false;
  repaint_ = true;
}

void ScopeView::ResetColumns() {
  const float row = drawn_.mode == kDomainFreq ? static_cast<float>(rect.bottom)
                                               : (rect.top + rect.bottom) * 0.5f;
  for (Channel& channel : channels_) {
    std::fill(channel.columnTop.begin(), channel.columnTop.end(), row);
    std::fill(channel.columnBottom.begin(), channel.columnBottom.end(), row);
  }
}

TraceRows ScopeView::Rows() const {
  TraceRows rows;
  rows.midY = (rect.top + rect.bottom) * 0.5f;
  rows.yScale = drawn_.yScale;
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
  // The view's lock is taken (and released) for the settings, before the pull
  // takes the instance lock; from here on the redraw holds no lock at all.
  TakeSettings();
  int newCount = 0;
  if (!frozen_) {
    ChannelWindow* windows[kChannels];
    for (int i = 0; i < kChannels; ++i) windows[i] = &ChannelAt(i).window;
    newCount = scope_->Pull(windows);
  }
  clock_ += newCount;
  if (drawn_.mode == kDomainTime) {
    DrawTimeDomain(graphics);
  } else if (drawn_.mode == kDomainFreq) {
    for (int i = kChannels - 1; i >= 0; --i) {  // input 1 ends on top
      if (ChannelAt(i).window.enabled) DrawSpectrum(graphics, ChannelAt(i));
    }
  } else {
    DrawPhasePairs(graphics);
  }
  if (drawn_.mode == kDomainTime && frozen_ && drawnCursor_ >= 0.0) DrawCursor(graphics);
  UpdateReadout();
  relayout_ = false;
  return true;
}

std::int64_t ScopeView::WindowOrigin(const Channel& channel) const {
  return clock_ - kMaxCapture + DelaySamples(drawn_.sampleRate, channel.window.delayMs);
}

// All inputs share one time axis: the X zoom picks a span of it, and an input's
// delay shows its samples that much later. Samples older than an input's window
// are silence, as the window itself was before audio arrived, so every input is
// drawn at the axis's scale, whatever its delay.
void ScopeView::DrawTimeDomain(IGraphicsHost* g) {
  if (!picture_.HasBackground() && !picture_.CaptureBackground(g)) {
    SetDirty(false);  // try again on a redraw that covers the whole display
    return;
  }
  const SampleRun span = ViewRun(drawn_.sampleRate, 0.0, drawn_.xLow, drawn_.xHigh);
  for (Channel& channel : channels_) {
    if (!channel.window.enabled) continue;
    const std::int64_t from = span.start - DelaySamples(drawn_.sampleRate, channel.window.delayMs);
    const std::int64_t first = std::max<std::int64_t>(from, 0);
    const int count = static_cast<int>(std::max<std::int64_t>(from + span.count - first, 0));
    channel.window.level = MeasureLevel(channel.window.samples.data() + first, count);
  }
  const int width = rect.right - rect.left;
  int runStarts[kChannels];  // window index of each input's first shown sample
  for (int i = 0; i < kChannels; ++i) {
    runStarts[i] =
        static_cast<int>(span.start - DelaySamples(drawn_.sampleRate, ChannelAt(i).window.delayMs));
  }
  const bool triggered = drawn_.triggerLevel > 0.0 && Triggered(runStarts);
  if (span.count < width) {
    // Fewer samples than columns: every sample is drawn, always the whole picture.
    picture_.Repaint(0, width, [&](const TracePicture::Canvas& canvas, int, int) {
      PaintSparse(canvas, runStarts);
    });
    columnsValid_ = false;
  } else {
    const ColumnGrid grid{span.count, width};
    const std::int64_t end = clock_ - kMaxCapture + span.start + span.count;
    const std::int64_t last = grid.LastColumnEndingBy(end);
    const std::int64_t shift = last - lastColumn_;
    if (triggered || relayout_ || repaint_ || !columnsValid_ || grid.samples != gridSamples_ ||
        shift < 0 || shift >= width) {
      RecomputeColumns(grid, last, triggered ? runStarts : nullptr);
      picture_.Repaint(0, width, [this](const TracePicture::Canvas& canvas, int from, int to) {
        PaintDense(canvas, from, to);
      });
    } else {
      AdvanceColumns(grid, last, static_cast<int>(shift));
      picture_.Scroll(static_cast<int>(shift));
      PaintChangedColumns();
    }
    // Columns centred on a trigger belong to no grid: recompute them all next time.
    columnsValid_ = !triggered;
    gridSamples_ = grid.samples;
    lastColumn_ = last;
  }
  repaint_ = false;
  picture_.Present(g);
}

// Centres each input's run on its first loud sample after the oldest half run;
// true when any input found one. Starting the search at the same place every
// redraw holds a periodic signal still.
bool ScopeView::Triggered(int* runStarts) {
  const SampleRun span = ViewRun(drawn_.sampleRate, 0.0, drawn_.xLow, drawn_.xHigh);
  const int half = span.count / 2;
  bool any = false;
  for (int i = 0; i < kChannels; ++i) {
    const Channel& channel = ChannelAt(i);
    if (!channel.window.enabled) continue;
    const int t =
        FindTrigger(channel.window.samples.data(), kMaxCapture, half, drawn_.triggerLevel);
    if (t < 0) continue;
    runStarts[i] = t - half;
    any = true;
  }
  if (any) relayout_ = true;
  return any;
}

// Every column of every input anew. With run starts (a trigger), those columns
// follow the run instead of the time axis.
void ScopeView::RecomputeColumns(const ColumnGrid& grid, std::int64_t lastColumn,
                                 const int* runStarts) {
  const int width = rect.right - rect.left;
  const TraceRows rows = Rows();
  for (int i = 0; i < kChannels; ++i) {
    Channel& channel = ChannelAt(i);
    if (!channel.window.enabled) continue;
    const float* window = channel.window.samples.data();
    if (runStarts != nullptr) {
      ReduceColumns(window, kMaxCapture, -runStarts[i], grid, 0, width, channel.columnTop.data(),
                    channel.columnBottom.data(), rows);
    } else {
      ReduceColumns(window, kMaxCapture, WindowOrigin(channel), grid, lastColumn - width + 1, width,
                    channel.columnTop.data(), channel.columnBottom.data(), rows);
    }
  }
}

// Scrolls every input's columns by shift and reduces the new ones. Columns that
// reach back past the window's start lose samples as the window moves on; they
// are reduced again. Marks every column whose rows changed on screen.
void ScopeView::AdvanceColumns(const ColumnGrid& grid, std::int64_t lastColumn, int shift) {
  const int width = rect.right - rect.left;
  const TraceRows rows = Rows();
  const std::int64_t first = lastColumn - width + 1;
  std::fill(changed_.begin(), changed_.end(), 0);
  std::fill(changed_.end() - shift, changed_.end(), 1);
  // The leftmost column has no segment coming in; scrolled, it still shows one.
  if (shift > 0) changed_[0] = 1;
  for (Channel& channel : channels_) {
    if (!channel.window.enabled) continue;
    float* top = channel.columnTop.data();
    float* bottom = channel.columnBottom.data();
    const auto keep = static_cast<std::size_t>(width - shift);
    std::memmove(top, top + shift, keep * sizeof(float));
    std::memmove(bottom, bottom + shift, keep * sizeof(float));
    const float* window = channel.window.samples.data();
    const std::int64_t origin = WindowOrigin(channel);
    ReduceColumns(window, kMaxCapture, origin, grid, lastColumn - shift + 1, shift, top + keep,
                  bottom + keep, rows);
    for (int c = 0; c < static_cast<int>(keep) && grid.Start(first + c) < origin; ++c) {
      float t = 0.0f;
      float b = 0.0f;
      ReduceColumns(window, kMaxCapture, origin, grid, first + c, 1, &t, &b, rows);
      if (t != top[c] || b != bottom[c]) changed_[static_cast<std::size_t>(c)] = 1;
      top[c] = t;
      bottom[c] = b;
    }
  }
}

// A column's rows are drawn by its own drawings and by the next column's segment
// from it; those reach one column further to each side.
void ScopeView::PaintChangedColumns() {
  const int width = rect.right - rect.left;
  auto paint = [this](const TracePicture::Canvas& canvas, int from, int to) {
    PaintDense(canvas, from, to);
  };
  for (int c = 0; c < width;) {
    if (!changed_[static_cast<std::size_t>(c)]) {
      ++c;
      continue;
    }
    const int from = c;
    while (c < width && changed_[static_cast<std::size_t>(c)]) ++c;
    picture_.Repaint(from - 1, c + 2, paint);
  }
}

// The drawings of columns [from, to) of every input, input 4 first so that
// input 1 ends on top: the segments from the previous column and the bar between
// minimum and maximum, drawn with the opacity weight.
void ScopeView::PaintDense(const TracePicture::Canvas& canvas, int from, int to) const {
  for (int n = kChannels - 1; n >= 0; --n) {
    const Channel& channel = ChannelAt(n);
    if (!channel.window.enabled) continue;
    const float* top = channel.columnTop.data();
    const float* bottom = channel.columnBottom.data();
    for (int i = from; i < to; ++i) {
      const auto x = static_cast<float>(rect.left + i);
      if (i >= 1) {
        canvas.Line(channel.colour, x - 1, top[i - 1], x, top[i], &traceBlend_, true);
        canvas.Line(channel.colour, x - 1, bottom[i - 1], x, bottom[i], &traceBlend_, true);
      }
      if (top[i] != bottom[i]) canvas.Line(channel.colour, x, top[i], x, bottom[i], &blend, false);
    }
  }
}

// Each sample joined to the next; with few enough samples, a small cross marks
// each one. The crosses stay inside the display.
void ScopeView::PaintSparse(const TracePicture::Canvas& canvas, const int* runStarts) const {
  const int width = rect.right - rect.left;
  const int n = ViewRun(drawn_.sampleRate, 0.0, drawn_.xLow, drawn_.xHigh).count;
  const float pixelsPerSample = static_cast<float>(width) / static_cast<float>(n);
  const bool markers = n < width / 4;
  const TraceRows rows = Rows();
  for (int c = kChannels - 1; c >= 0; --c) {
    const Channel& channel = ChannelAt(c);
    if (!channel.window.enabled) continue;
    const float* window = channel.window.samples.data();
    auto sample = [&](int i) {
      const int index = runStarts[c] + i;
      return index >= 0 && index < kMaxCapture ? window[index] : 0.0f;
    };
    float prevX = static_cast<float>(rect.left);
    float prevY = SampleRow(sample(0), rows);
    for (int i = 1; i < n; ++i) {
      const float y = SampleRow(sample(i), rows);
      const float x =
          rect.left + std::min((i + 1) * pixelsPerSample, static_cast<float>(width - 1));
      canvas.Line(channel.colour, prevX, prevY, x, y, &traceBlend_, true);
      if (markers) {
        const int cx = static_cast<int>(x);
        const int cy = static_cast<int>(y);
        canvas.HLine(channel.colour, cy, std::max(cx - 2, rect.left),
                     std::min(cx + 2, rect.right - 1));
        canvas.VLine(channel.colour, cx, std::max(cy - 2, rect.top),
                     std::min(cy + 2, rect.bottom - 1));
      }
      prevX = x;
      prevY = y;
    }
  }
}

void ScopeView::DrawSpectrum(IGraphicsHost* g, Channel& channel) {
  SpectrumAnalyser& analyser = channel.analyser;
  const int size = analyser.Size();
  const SampleRun run = SpectrumRun(drawn_.sampleRate, channel.window.delayMs, size);
  const float* samples = channel.window.samples.data() + run.start;
  channel.window.level = MeasureLevel(samples, run.count);
  const float* values = analyser.Analyse(samples);
  const int width = rect.right - rect.left;
  const float* columns =
      mapper_.Map(values, size / 2, range_.firstBin, range_.lastBin - range_.firstBin, width);
  const float scale =
      (rect.bottom - rect.top) / static_cast<float>(ZoomDivisor(drawn_.yZoom)) * 2.0f;
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

// Pairs 3/4 and 1/2, each only when both of its inputs are on. An input shown in
// no pair still reads its level.
void ScopeView::DrawPhasePairs(IGraphicsHost* g) {
  for (int i : {3, 1}) {
    Channel& a = ChannelAt(i);
    Channel& b = ChannelAt(i - 1);
    if (a.window.enabled && b.window.enabled) {
      DrawPhase(g, a, b);
      continue;
    }
    for (Channel* alone : {&a, &b}) {
      if (!alone->window.enabled) continue;
      const SampleRun run =
          ViewRun(drawn_.sampleRate, alone->window.delayMs, drawn_.xLow, drawn_.xHigh);
      alone->window.level = MeasureLevel(alone->window.samples.data() + run.start, run.count);
    }
  }
}

void ScopeView::DrawPhase(IGraphicsHost* g, Channel& a, Channel& b) {
  const float* samplesA = a.window.samples.data();
  const float* samplesB = b.window.samples.data();
  const SampleRun runA = ViewRun(drawn_.sampleRate, a.window.delayMs, drawn_.xLow, drawn_.xHigh);
  const SampleRun runB = ViewRun(drawn_.sampleRate, b.window.delayMs, drawn_.xLow, drawn_.xHigh);
  a.window.level = MeasureLevel(samplesA + runA.start, runA.count);
  b.window.level = MeasureLevel(samplesB + runB.start, runB.count);
  int n = std::min(runA.count, runB.count);
  if (n > kPhaseHistoryMin) {
    // Blend speed 1 shows the newest 1024 pairs; slower blends show more history.
    n = static_cast<int>((1.0 - drawn_.blendSpeed) * (n - kPhaseHistoryMin)) + kPhaseHistoryMin;
  }
  const float* pa = samplesA + runA.start + runA.count - n;
  const float* pb = samplesB + runB.start + runB.count - n;
  const IRgba colour = {255, (a.colour.r + b.colour.r) / 2, (a.colour.g + b.colour.g) / 2,
                        (a.colour.b + b.colour.b) / 2};
  const double k = 1.0 / ZoomDivisor(drawn_.yZoom);
  const double scaleY = (rect.bottom - rect.top) * k;
  const double scaleX = (rect.right - rect.left) * k * 0.5;
  const int cx = static_cast<int>((rect.left + rect.right) * 0.5);
  // The axis overlay frames the display on its top row, its left column and just
  // outside its right and bottom edges: points stay inside the frame, and the
  // origin is the bottom row inside it, where anti-phase pairs lie.
  const int originRow = rect.bottom - 1;
  for (int i = 0; i < n; ++i) {
    const PhasePoint p = PlacePhasePoint(pa[i], pb[i], scaleX, scaleY, cx, rect.left + 1,
                                         rect.right - 1, rect.top + 1, originRow);
    pointBlend_.weight = static_cast<float>(i + 1) / static_cast<float>(n);  // older is fainter
    g->PlotPoint(colour, static_cast<float>(p.x), static_cast<float>(p.y), &pointBlend_, false);
  }
}

int ScopeView::CursorPixel(double cursor, double low, double high) const {
  const int width = rect.right - rect.left;
  const double span = high - low;
  const double offset = span > 0.0 ? (cursor - low) / span * width : 0.0;
  const int x = rect.left + static_cast<int>(std::clamp(offset, -1.0, width + 1.0));
  if (x < rect.left + 1) return rect.left + 1;
  if (x > rect.right - 2) return rect.right - 2;
  return x;
}

bool ScopeView::NearCursor() const {
  return hoverCursorX_ >= 0 && cursorPos_ >= 0.0 &&
         std::abs(hoverCursorX_ - CursorPixel(cursorPos_, settings_.xLow, settings_.xHigh)) < 4;
}

void ScopeView::DrawCursor(IGraphicsHost* g) {
  const int x = CursorPixel(drawnCursor_, drawn_.xLow, drawn_.xHigh);
  g->DrawVLine(kCursorColour, x, rect.top, rect.bottom);
  if (drawnDragCursor_ || drawnNearCursor_) {
    // Highlighted while it can be picked up or is being dragged.
    if (x > rect.left + 2) g->DrawVLine(kWhite, x - 1, rect.top, rect.bottom);
    if (x < rect.right - 2) g->DrawVLine(kWhite, x + 1, rect.top, rect.bottom);
  }
}

void ScopeView::UpdateReadout() {
  if (readout_ == nullptr) return;
  const int width = rect.right - rect.left;
  const int x = drawnHoverX_;
  const int y = drawnHoverY_;
  if (drawn_.mode == kDomainFreq && x > rect.left + 2 && x < rect.right - 2 && y > rect.top + 15 &&
      y < rect.bottom - 5) {
    const double t = static_cast<double>(x - rect.left) / width;
    readout_->Show(x, y, range_.FrequencyAt(t));
  } else {
    readout_->Show(-1, -1, 0.0);
  }
  readout_->SetDirty(false);
}

#include "plugin/display/ScopeViewMath.h"

#include <algorithm>
#include <cmath>

#include "plugin/engine/ChannelWindow.h"

namespace {

constexpr int kMinRun = 32;

int WindowIndex(double x) {
  const double i = std::trunc(x * kMaxCapture);
  if (!(i > 0.0)) return 0;
  return i > kMaxCapture ? kMaxCapture : static_cast<int>(i);
}

float ClampRow(double y, float top, float bottom) {
  if (std::isnan(y)) return (top + bottom) * 0.5f;
  if (y < top) return top;
  if (y > bottom) return bottom;
  return static_cast<float>(y);
}

}  // namespace

int DelaySamples(double sampleRate, double delayMs) {
  const double samples = std::trunc(sampleRate * delayMs * 0.001);
  if (!(samples > 0.0)) return 0;
  return samples > kMaxCapture ? kMaxCapture : static_cast<int>(samples);
}

SampleRun ViewRun(double sampleRate, double delayMs, double xLow, double xHigh) {
  const int delay = DelaySamples(sampleRate, delayMs);
  SampleRun run;
  run.start = std::max(WindowIndex(xLow) - delay, 0);
  run.count = WindowIndex(xHigh) - delay - run.start;
  if (run.count < kMinRun) {
    run.start += run.count - kMinRun;
    run.count = kMinRun;
  }
  // A delay larger than the visible end would put the run before the window.
  run.start = std::clamp(run.start, 0, kMaxCapture - kMinRun);
  run.count = std::min(run.count, kMaxCapture - run.start);
  return run;
}

SampleRun SpectrumRun(double sampleRate, double delayMs, int size) {
  size = std::clamp(size, 0, kMaxCapture);
  SampleRun run;
  run.start = std::max(kMaxCapture - DelaySamples(sampleRate, delayMs) - size, 0);
  run.count = size;
  return run;
}

int FindTrigger(const float* samples, int windowLength, int half, double level) {
  if (samples == nullptr || half < 0) return -1;
  const float threshold = static_cast<float>(level);
  for (int i = half; i < windowLength - 1 - half; ++i) {
    if (std::fabs(samples[i]) > threshold) return i;
  }
  return -1;
}

float SampleRow(float sample, const TraceRows& rows) {
  const double y = rows.midY - static_cast<double>(sample) * rows.yScale;
  return ClampRow(y, rows.top + 1.0f, rows.bottom - 2.0f);
}

namespace {

// Floor and ceiling of a / b for b > 0, also for negative a.
std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
  const std::int64_t q = a / b;
  return (a % b != 0 && a < 0) ? q - 1 : q;
}

std::int64_t CeilDiv(std::int64_t a, std::int64_t b) { return -FloorDiv(-a, b); }

}  // namespace

std::int64_t ColumnGrid::Start(std::int64_t m) const { return FloorDiv(m * samples, columns); }

// Start(m + 1) <= end holds while (m + 1) * samples < (end + 1) * columns.
std::int64_t ColumnGrid::LastColumnEndingBy(std::int64_t end) const {
  return CeilDiv((end + 1) * columns, samples) - 2;
}

void ReduceColumns(const float* window, int length, std::int64_t origin, const ColumnGrid& grid,
                   std::int64_t first, int count, float* top, float* bottom,
                   const TraceRows& rows) {
  if (window == nullptr || length <= 0 || count <= 0 || grid.samples < 1 || grid.columns < 1)
    return;
  std::int64_t from = grid.Start(first) - origin;
  for (int c = 0; c < count; ++c) {
    const std::int64_t to = grid.Start(first + c + 1) - origin;
    // Every column covers its first position, even where columns outnumber samples.
    const std::int64_t end = std::max(to, from + 1);
    // A column that starts inside the window starts from its first sample; one
    // that reaches outside it includes the silence there.
    float hi = 0.0f;
    float lo = 0.0f;
    if (from >= 0 && from < length) hi = lo = window[from];
    const std::int64_t inFrom = std::max<std::int64_t>(from, 0);
    const std::int64_t inTo = std::min<std::int64_t>(end, length);
    for (std::int64_t i = inFrom; i < inTo; ++i) {
      hi = std::max(hi, window[i]);
      lo = std::min(lo, window[i]);
    }
    top[c] =
        ClampRow(rows.midY - static_cast<double>(rows.yScale) * hi, rows.top, rows.bottom - 1.0f);
    bottom[c] =
        ClampRow(rows.midY - static_cast<double>(rows.yScale) * lo, rows.top, rows.bottom - 1.0f);
    from = to;
  }
}

PhasePoint PlacePhasePoint(double a, double b, double scaleX, double scaleY, int cx, int left,
                           int right, int top, int bottom) {
  // The point (b, a) rotated by -45 degrees: with r and theta its polar form,
  // r sin(theta - pi/4) = (a - b) / sqrt 2 and r cos(theta - pi/4) = (a + b) / sqrt 2,
  // which saves an atan2, a sin and a cos per point.
  constexpr double kHalfSqrt2 = 0.70710678118654752440;
  double s = (a - b) * kHalfSqrt2;
  double c = (a + b) * kHalfSqrt2;
  if (c < 0.0) {
    c = -c;
    s = -s;
  }
  auto toInt = [](double v) {
    // Beyond the plot anyway; keeps the conversion defined for huge or NaN values.
    if (!(v > -1e6)) return -1000000;
    if (v > 1e6) return 1000000;
    return static_cast<int>(std::trunc(v));
  };
  PhasePoint p;
  p.x = std::clamp(toInt(s * scaleX) + cx, left, right);
  p.y = std::clamp(bottom - toInt(c * scaleY), top, bottom);
  return p;
}

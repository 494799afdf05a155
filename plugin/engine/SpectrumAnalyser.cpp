#include "plugin/engine/SpectrumAnalyser.h"

#include "plugin/engine/Fft.h"

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace {
// Smoothed magnitudes below this draw less than a billionth of a pixel even at
// the deepest zoom; flushing them keeps the average out of the subnormal range.
constexpr float kSilent = 1e-30f;
}  // namespace

SpectrumAnalyser::SpectrumAnalyser() {
  Init(2048);
  blend_ = 1.0f;
}

bool SpectrumAnalyser::Init(int n) {
  if (!FftSizeSupported(n)) return false;
  size_ = n;
  smoothed_.assign(n / 2, 0.0f);
  work_.resize(2 * static_cast<size_t>(n));
  magnitude_.resize(n / 2);
  window_.resize(n);
  const double step = 6.283185307179586476925286766559 / (n - 1);
  for (int i = 0; i < n; ++i) {
    const double t = i * step;
    window_[i] = static_cast<float>((0.42 - 0.5 * std::cos(t)) + 0.08 * std::cos(2.0 * t));
  }
  return true;
}

void SpectrumAnalyser::SetBlend(double blend) {
  if (!std::isfinite(blend)) return;
  if (blend < 0.0) blend = 0.0;
  if (blend > 1.0) blend = 1.0;
  blend_ = static_cast<float>(blend);
}

void SpectrumAnalyser::Clear() { smoothed_.assign(size_ / 2, 0.0f); }

const float* SpectrumAnalyser::Analyse(const float* samples) {
  const int n = size_;
  const int* order = FftOrderTable(n);
  if (samples == nullptr || order == nullptr) return smoothed_.data();
  Window(samples);
  float* work = work_.data();
  FftTransform(work, n);
  // Gather the magnitudes of bins 0 .. n/2 - 1 from their scrambled positions,
  // then smooth in a separate loop that the compiler can vectorise. The power is
  // formed in double: squared in float, loud but finite input would overflow.
  float* magnitude = magnitude_.data();
  for (int k = 0; k < n / 2; ++k) {
    const double re = work[2 * order[k]];
    const double im = work[2 * order[k] + 1];
    magnitude[k] = static_cast<float>(std::sqrt(im * im + re * re));
  }
  const float blend = blend_;
  const float scale = (blend * 2.0f) / static_cast<float>(n);
  const float keep = 1.0f - blend;
  float* smoothed = smoothed_.data();
  for (int k = 0; k < n / 2; ++k) {
    float value = magnitude[k] * scale + smoothed[k] * keep;
    // Huge finite samples can still overflow inside the transform; NaN and
    // inf saturate so the average stays finite.
    value = value <= FLT_MAX ? value : FLT_MAX;
    // A decaying average would end in the subnormal range, where a slow blend
    // holds it for ever (and many processors compute slowly): far below
    // anything drawn, it becomes silence.
    smoothed[k] = value >= kSilent ? value : 0.0f;
  }
  return smoothed;
}

void SpectrumAnalyser::Window(const float* samples) {
  const int n = size_;
  float* work = work_.data();
  const float* window = window_.data();
  // Non-finite samples are spotted by their all-ones exponent while the
  // main loop stays branch-free; the rare broken window is cleaned after.
  uint32_t broken = 0;
  for (int i = 0; i < n; ++i) {
    uint32_t bits;
    std::memcpy(&bits, samples + i, sizeof bits);
    broken |= (bits & 0x7f800000u) == 0x7f800000u;
    work[2 * i] = window[i] * samples[i];
    work[2 * i + 1] = 0.0f;
  }
  if (broken == 0) return;
  // A NaN or inf sample would spread over every bin: analyse it as silence.
  for (int i = 0; i < n; ++i) {
    if (!std::isfinite(samples[i])) work[2 * i] = 0.0f;
  }
}

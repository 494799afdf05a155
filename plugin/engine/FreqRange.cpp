#include "plugin/engine/FreqRange.h"

#include "plugin/engine/Fft.h"

#include <algorithm>
#include <cmath>

namespace {

// trunc(r * hz) + 1 as a double, so that an absurd sample rate cannot
// overflow an integer before it is clamped.
double RawBin(double r, double hz) { return std::trunc(r * hz) + 1.0; }

// The compressed axis: fftSize^(-hz / sampleRate), falling with frequency.
double Compressed(const FreqRange& range, double hz) {
  return std::exp(-hz / range.sampleRate * std::log(static_cast<double>(range.fftSize)));
}

}  // namespace

double ZoomToHz(double x) {
  if (!(x >= 0.0)) x = 0.0;  // also catches NaN
  if (x > 1.0) x = 1.0;
  return x * x * 21980.0 + 20.0;
}

double FreqRange::Position(double hz) const {
  if (fftSize <= 0 || lastBin - firstBin < 2) return 0.0;
  const double low = Compressed(*this, edgeLowHz);
  return (Compressed(*this, hz) - low) / (Compressed(*this, edgeHighHz) - low);
}

double FreqRange::FrequencyAt(double position) const {
  if (fftSize <= 0 || lastBin - firstBin < 2) return 0.0;
  const double low = Compressed(*this, edgeLowHz);
  const double v = low + position * (Compressed(*this, edgeHighHz) - low);
  if (!(v > 0.0)) return 0.0;
  return -std::log(v) / std::log(static_cast<double>(fftSize)) * sampleRate;
}

FreqRange UpdateFreqRange(double xLow, double xHigh, int fftSize, double sampleRate) {
  FreqRange range;
  if (!FftSizeSupported(fftSize)) return range;
  if (!(sampleRate > 0.0) || !std::isfinite(sampleRate)) sampleRate = 44100.0;
  range.fftSize = fftSize;
  range.sampleRate = sampleRate;
  const int half = fftSize / 2;
  const double r = fftSize / sampleRate;
  range.lowHz = ZoomToHz(xLow);
  range.highHz = ZoomToHz(xHigh);
  // The analyser has magnitudes for bins 0 .. half - 1 only, so the range
  // [first, last) must end at half at most.
  const double rawFirst = RawBin(r, range.lowHz);
  const double rawLast = RawBin(r, range.highHz);
  range.firstBin = static_cast<int>(std::min(rawFirst, half - 2.0));
  range.lastBin = static_cast<int>(std::min(rawLast, static_cast<double>(half)));
  if (range.lastBin < range.firstBin + 2) {
    // Too narrow to span a bin: widen upwards to two bins, which the clamp
    // above keeps within the half that exists. A single bin would give the
    // spectrum no width to draw.
    range.lastBin = range.firstBin + 2;
    range.lowHz = range.firstBin * sampleRate / fftSize;
    range.highHz = range.lastBin * sampleRate / fftSize;
  } else {
    // An end pulled back from beyond Nyquist shows the frequency of its bin.
    if (rawFirst > range.firstBin) range.lowHz = range.firstBin * sampleRate / fftSize;
    if (rawLast > range.lastBin) range.highHz = range.lastBin * sampleRate / fftSize;
  }
  range.edgeLowHz = range.firstBin * sampleRate / fftSize;
  range.edgeHighHz = (range.lastBin - 1) * sampleRate / fftSize;
  const double logN = std::log(static_cast<double>(fftSize));
  range.mappedLow = std::exp((1.0 - range.edgeLowHz / sampleRate) * logN);
  range.mappedHigh = std::exp((1.0 - range.edgeHighHz / sampleRate) * logN);
  return range;
}

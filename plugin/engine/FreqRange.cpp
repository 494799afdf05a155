#include "plugin/engine/FreqRange.h"

#include "plugin/engine/Fft.h"

#include <algorithm>
#include <cmath>

namespace {

double ZoomToHz(double x) {
  if (!(x >= 0.0)) x = 0.0;  // also catches NaN
  if (x > 1.0) x = 1.0;
  return x * x * 21980.0 + 20.0;
}

// trunc(r * hz) + 1 as a double, so that an absurd sample rate cannot
// overflow an integer before it is clamped.
double RawBin(double r, double hz) { return std::trunc(r * hz) + 1.0; }

}  // namespace

FreqRange UpdateFreqRange(double xLow, double xHigh, int fftSize, double sampleRate) {
  FreqRange range;
  if (!FftSizeSupported(fftSize)) return range;
  if (!(sampleRate > 0.0) || !std::isfinite(sampleRate)) sampleRate = 44100.0;
  const int half = fftSize / 2;
  const double r = fftSize / sampleRate;
  range.lowHz = ZoomToHz(xLow);
  range.highHz = ZoomToHz(xHigh);
  // The analyser has magnitudes for bins 0 .. half - 1 only, so the range
  // [first, last) must end at half at most.
  const double rawFirst = RawBin(r, range.lowHz);
  const double rawLast = RawBin(r, range.highHz);
  range.firstBin = static_cast<int>(std::min(rawFirst, half - 1.0));
  range.lastBin = static_cast<int>(std::min(rawLast, static_cast<double>(half)));
  if (range.lastBin <= range.firstBin) {
    // Too narrow for a bin: widen by one bin upwards, which the clamp above
    // keeps within the half that exists.
    range.lastBin = range.firstBin + 1;
    range.lowHz = range.firstBin * sampleRate / fftSize;
    range.highHz = range.lastBin * sampleRate / fftSize;
  } else {
    // An end pulled back from beyond Nyquist shows the frequency of its bin.
    if (rawFirst > range.firstBin) range.lowHz = range.firstBin * sampleRate / fftSize;
    if (rawLast > range.lastBin) range.highHz = range.lastBin * sampleRate / fftSize;
  }
  const double logN = std::log(static_cast<double>(fftSize));
  range.mappedLow = std::exp((1.0 - range.lowHz / sampleRate) * logN);
  range.mappedHigh = std::exp((1.0 - range.highHz / sampleRate) * logN);
  return range;
}

#include "plugin/engine/ScopeMath.h"

#include <cfloat>
#include <cmath>
#include <cstdio>

double DbToAmp(double db) { return std::exp(db * 0.1151292546497); }

double IntPow(double x, int n) {
  // Work on the magnitude as unsigned so that n = INT_MIN does not overflow.
  unsigned int e = n < 0 ? 0u - static_cast<unsigned int>(n) : static_cast<unsigned int>(n);
  double result = 1.0;
  double base = x;
  while (e != 0) {
    if (e & 1u) result *= base;
    base *= base;
    e >>= 1;
  }
  return n < 0 ? 1.0 / result : result;
}

void FreqToNoteText(double hz, char* text, int size) {
  if (text == nullptr || size < 1) return;
  text[0] = '\0';
  if (!(hz > 0.0) || !std::isfinite(hz)) return;
  static const char* const kNames[12] = {"A",  "A#", "B", "C",  "C#", "D",
                                         "D#", "E",  "F", "F#", "G",  "G#"};
  const double semitones = std::log(hz * 0.0022727272727272726) * 12.0 / std::log(2.0);
  const double nearest = std::floor(semitones + 0.5);
  int note = static_cast<int>(nearest);
  int octave = 4;
  if (note < 0) {
    const int k = (-1 - note) / 12 + 1;
    note += 12 * k;
    octave -= k;
  }
  if (note >= 12) {
    const int k = note / 12;
    note -= 12 * k;
    octave += k;
  }
  if (note >= 3) octave += 1;  // octave numbers change at C, three semitones above A
  const int cents = static_cast<int>((semitones - nearest) * 100.0);
  std::snprintf(text, static_cast<size_t>(size), "%s%d %c%dc", kNames[note], octave,
                cents >= 0 ? '+' : '-', cents < 0 ? -cents : cents);
}

double MeasureLevel(const float* samples, int n) {
  if (samples == nullptr || n < 1) return 0.0;
  double sum = 0.0;
  for (int i = 0; i < n; ++i) {
    const float x = samples[i];
    if (!std::isfinite(x)) continue;
    float square = x * x;
    if (square > FLT_MAX) square = FLT_MAX;
    sum += square;
  }
  return std::sqrt(sum / n);
}

// The built-in input of the render tool: four channels chosen so that every domain
// of the display has something to show, computed from the sample index alone, so
// any stretch of it can be produced on its own and every run draws the same.
//
// Inputs 1/2: a stereo pair of the same three tones, input 2 a little quieter and
// with a phase offset that drifts slowly (one turn every kDriftPeriod seconds): the
// time display shows two offset waveforms, the phase display a figure that turns.
// Inputs 3/4: an A major chord over a bass note with a little noise, the two sides
// differing in balance and noise, so the spectrum shows a row of peaks and the
// phase display a cloud leaning between the sides.
#pragma once

#include <cstdint>

namespace render {

class DemoSignal {
 public:
  static constexpr int kChannels = 4;
  static constexpr double kDriftPeriod = 8.0;  // seconds per turn of the 1/2 phase

  explicit DemoSignal(double sampleRate);

  // Writes frames samples starting at sample index start into out[0..3].
  void Fill(std::int64_t start, int frames, float* const out[kChannels]) const;

  // The phase of input 2 against input 1 at a sample index, in radians [0, 2 pi).
  double PhaseOffset(std::int64_t index) const;

 private:
  float Sample(int channel, std::int64_t index) const;

  double sampleRate_;
};

}  // namespace render

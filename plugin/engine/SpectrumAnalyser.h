#pragma once

#include <vector>

// Blackman-windowed FFT magnitudes of one input, smoothed across redraws by
// an exponential moving average. One per input, owned by the display and
// used under its lock on the GUI thread. FftInit must have run.
class SpectrumAnalyser {
 public:
  SpectrumAnalyser();

  // Sets the transform length (a power of two from 4 to 16384), fills the
  // window and zeroes the smoothed spectrum. Returns false and keeps the
  // current size for an unsupported n. Allocates only when n grows beyond
  // every size used before.
  bool Init(int n);

  // Smoothing factor: 1 shows the newest spectrum as is, smaller values
  // average over more redraws. Clamped to 0..1 (outside it the average would
  // grow without bound); a non-finite value is ignored.
  void SetBlend(double blend);

  // Zeroes the smoothed spectrum (the display's reset).
  void Clear();

  // Takes Size() samples, returns the Size() / 2 smoothed magnitudes of bins
  // 0 .. Size()/2 - 1, scaled so that a full-scale sine at a bin centre
  // reads the window's mean (about 0.42). Non-finite samples are analysed as
  // silence and a magnitude too large for a float saturates at the largest
  // float, so the running average never holds inf or NaN. A null pointer
  // leaves the spectrum as it was.
  const float* Analyse(const float* samples);

  int Size() const { return size_; }
  float Blend() const { return blend_; }
  const float* Smoothed() const { return smoothed_.data(); }

 private:
  // Fills the transform buffer with the windowed samples: as the real parts of
  // size_ complex values, or, for the half-length transform, packed as
  // size_ / 2 complex values (even samples real, odd samples imaginary).
  void Window(const float* samples, bool packed);
  // Magnitudes of bins 0 .. size_/2 - 1, times 2 (see the .cpp).
  void MagnitudesFromHalfTransform();
  void MagnitudesFromFullTransform();

  int size_ = 0;
  float blend_ = 1.0f;
  std::vector<float> smoothed_;   // size_ / 2 magnitudes
  std::vector<float> window_;     // size_ Blackman coefficients
  std::vector<float> work_;       // size_ complex values, interleaved
  std::vector<float> magnitude_;  // size_ / 2 magnitudes, scratch
  std::vector<float> rotation_;   // (cos, sin) of 2 pi k / size_, k = 0 .. size_ / 4
};

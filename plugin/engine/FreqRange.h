#pragma once

// The visible part of the spectrum: frequencies and FFT bins between the two
// X zoom positions. The zoom is quadratic in frequency, 20 Hz at 0 and
// 22000 Hz at 1.
//
// This is the one mapping between frequencies and the spectrum's columns: the
// spectrum puts bin firstBin at the left edge and bin lastBin - 1 at the right
// edge on the compressed axis (bin k at fftSize^(-k / fftSize)), and the axis
// labels and the pointer readout ask Position and FrequencyAt of the same range.
struct FreqRange {
  double lowHz = 0.0;  // the X zoom's frequencies
  double highHz = 0.0;
  int firstBin = 0;         // first bin drawn
  int lastBin = 0;          // one past the last bin drawn; lastBin - firstBin bins
  double mappedLow = 0.0;   // fftSize^(1 - edgeLowHz / sampleRate)
  double mappedHigh = 0.0;  // fftSize^(1 - edgeHighHz / sampleRate)
  double edgeLowHz = 0.0;   // frequency of bin firstBin, at the left edge
  double edgeHighHz = 0.0;  // frequency of bin lastBin - 1, at the right edge
  int fftSize = 0;
  double sampleRate = 0.0;

  // Where hz lies across the spectrum: 0 at the left edge, 1 at the right edge
  // (outside 0..1 beyond them). 0 for an empty range.
  double Position(double hz) const;
  // The frequency at a position across the spectrum (0 .. 1); 0 for an empty range.
  double FrequencyAt(double position) const;
};

// The frequency of an X zoom position: x^2 * 21980 + 20 Hz, x held to 0..1.
double ZoomToHz(double x);

// Recomputes the range for zoom positions xLow < xHigh (0..1), an FFT of
// fftSize points and a sample rate. The bins always stay within the
// fftSize / 2 magnitudes an analyser produces, and at least two bins are
// shown, so the spectrum always spans one bin from edge to edge: an end beyond
// Nyquist (a low sample rate) is pulled back to the last bin and its frequency
// follows it. For a size the FFT does not support, the range is empty
// (firstBin == lastBin == 0); a sample rate that is not a positive finite
// number counts as 44100 Hz.
FreqRange UpdateFreqRange(double xLow, double xHigh, int fftSize, double sampleRate);

#pragma once

// The visible part of the spectrum: frequencies and FFT bins between the two
// X zoom positions. The axis is quadratic in the zoom, 20 Hz at 0 and
// 22000 Hz at 1.
struct FreqRange {
  double lowHz = 0.0;
  double highHz = 0.0;
  int firstBin = 0;         // first bin drawn
  int lastBin = 0;          // one past the last bin drawn; lastBin - firstBin bins
  double mappedLow = 0.0;   // fftSize^(1 - lowHz / sampleRate), the warped axis at lowHz
  double mappedHigh = 0.0;  // the same at highHz
};

// Recomputes the range for zoom positions xLow < xHigh (0..1), an FFT of
// fftSize points and a sample rate. The bins always stay within the
// fftSize / 2 magnitudes an analyser produces and at least one bin is shown:
// an end beyond Nyquist (a low sample rate) is pulled back to the last bin
// and its frequency follows it. For a size the FFT does not support, the
// range is empty (firstBin == lastBin == 0); a sample rate that is not a
// positive finite number counts as 44100 Hz.
FreqRange UpdateFreqRange(double xLow, double xHigh, int fftSize, double sampleRate);

// The arithmetic behind the display's traces: which samples a view shows, the
// trigger search, the min/max reduction of samples onto pixel columns and the
// placement of phase points. Pure functions on plain values.
#pragma once

// A run of samples inside a channel's kMaxCapture-sample window.
struct SampleRun {
  int start = 0;
  int count = 0;
};

// The samples shown for a time or phase view: the X zoom picks a part of the
// window, the channel's delay moves it into the past, at least 32 samples are
// shown. Always lies inside the window.
SampleRun ViewRun(double sampleRate, double delayMs, double xLow, double xHigh);

// The newest `size` samples before the delay, for a spectrum of that size.
SampleRun SpectrumRun(double sampleRate, double delayMs, int size);

// The first index i in [half, windowLength - 1 - half) with |samples[i]| > level,
// or -1. Starting at `half` every time holds a periodic signal still.
int FindTrigger(const float* samples, int windowLength, int half, double level);

// Vertical geometry of a trace: the middle row, pixels per unit of sample value,
// and the rows a trace is kept within.
struct TraceRows {
  float midY = 0.0f;
  float yScale = 1.0f;
  float top = 0.0f;
  float bottom = 0.0f;
};

// Reduces n samples onto cols columns: for each, the rows of its maximum (top) and
// minimum (bottom). Every column covers at least its first sample. Non-finite
// samples are drawn at the edges they point to (NaN at the middle).
void ReduceColumns(const float* run, int n, float* top, float* bottom, int cols,
                   const TraceRows& rows);

// The row of one sample in a sparse trace, kept one pixel inside the plot.
float SampleRow(float sample, const TraceRows& rows);

// A phase point: input a against input b, rotated so that identical signals are
// vertical; the origin is the middle of the bottom edge; points below it are
// mirrored through the origin.
struct PhasePoint {
  int x = 0;
  int y = 0;
};
PhasePoint PlacePhasePoint(double a, double b, double scaleX, double scaleY, int cx, int left,
                           int right, int top, int bottom);

// The vertical zoom as a divisor: (1 - yZoom) * 1.999 + 0.001, from 0.001 to 2.
inline double ZoomDivisor(double yZoom) { return (1.0 - yZoom) * 1.999 + 0.001; }

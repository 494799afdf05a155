// The arithmetic behind the display's traces: which samples a view shows, the
// trigger search, the min/max reduction of samples onto pixel columns and the
// placement of phase points. Pure functions on plain values.
#pragma once

#include <cstdint>

// A run of samples inside a channel's kMaxCapture-sample window.
struct SampleRun {
  int start = 0;
  int count = 0;
};

// A delay in whole samples, bounded to the window so that absurd rates or
// delays cannot overflow.
int DelaySamples(double sampleRate, double delayMs);

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

// Pixel columns locked to sample positions: column m covers the positions
// [Start(m), Start(m + 1)) with Start(m) = floor(m * samples / columns). Any
// `columns` consecutive columns cover exactly `samples` positions, and a column
// keeps its samples wherever it is on screen, so a trace can scroll by whole
// columns and still equal a fresh reduction of the same samples.
struct ColumnGrid {
  std::int64_t samples = 1;  // positions per `columns` columns, at least `columns`
  int columns = 1;

  std::int64_t Start(std::int64_t m) const;
  // The last column that ends at or before position `end` (exclusive).
  std::int64_t LastColumnEndingBy(std::int64_t end) const;
};

// Reduces `count` columns of the grid, from column `first` on, onto rows: for
// each, the row of its maximum (top) and of its minimum (bottom). Grid position
// p is window index p - origin; positions outside the window count as silence
// (the window holds nothing older), so a column partly before the window
// includes 0. Non-finite samples are drawn at the edges they point to (NaN at
// the middle).
void ReduceColumns(const float* window, int length, std::int64_t origin, const ColumnGrid& grid,
                   std::int64_t first, int count, float* top, float* bottom, const TraceRows& rows);

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

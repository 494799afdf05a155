// The grid lines and end texts of the display's axes: where the lines fall along an
// axis (0..1) and what they are labelled, for each kind of axis the display shows.
// Pure computation; the axis overlay control draws the result.
#pragma once

#include <vector>

#include "plugin/engine/FreqRange.h"

struct GridMark {
  float position = 0.0f;  // 0..1 along the axis
  char label[32] = {};    // may be empty
};

enum AxisKind : int {
  kAxisTime = 0,       // horizontal: milliseconds before the newest sample
  kAxisAmplitude = 1,  // vertical, symmetric about the middle: dB of sample level
  kAxisFrequency = 2,  // horizontal: Hz on the spectrum's compressed axis
  kAxisLevel = 3,      // vertical, from the bottom: dB of spectrum level
  kAxisPhase = 4,      // half circles around the bottom middle: dB of radius
};

struct AxisScale {
  static constexpr int kMaxMarks = 64;

  std::vector<GridMark> marks;
  char startText[32] = {};
  char endText[32] = {};
  double margin = 0.06;  // marks closer than this to an end are dropped
  int kind = kAxisTime;

  // a and b: the visible window's start and end in seconds of the capture window,
  // c: the capture window's length in seconds (its end is "now").
  void ConfigureTimeAxis(double a, double b, double c);
  void ConfigureAmplitudeAxis(double top);
  // Frequencies where the spectrum of range draws them.
  void ConfigureFrequencyAxis(const FreqRange& range);
  void ConfigureLevelAxis(double top);
  void ConfigurePhaseGrid(double top);

 private:
  void Reset(int newKind);
  void AddMark(double position, const char* label);
  void ConfigureLevelScale(double top);
};

// "+1.5 dB", "-3.0 dB", "-oo dB" (below -144 dB), or the same without the unit.
void FormatDb(double db, bool withUnit, char* out, int size);

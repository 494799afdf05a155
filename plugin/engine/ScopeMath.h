#pragma once

// Small numeric helpers of the scope display and its readouts.

// 10^(db / 20), the amplitude of a level in decibels.
double DbToAmp(double db);

// x^n by repeated squaring; 1 / x^|n| for negative n.
double IntPow(double x, int n);

// The note nearest to hz with its octave and the offset in cents, e.g.
// "A4 +0c" for 440 Hz or "A#4 -49c" for 453 Hz (octaves change at C). An
// empty text for hz <= 0 or a non-finite hz. Writes at most `size` bytes
// including the terminator; nothing for a null text or size < 1.
void FreqToNoteText(double hz, char* text, int size);

// RMS of n samples: squares in 32-bit floats, summed in double. Non-finite
// samples count as silence and an overflowing square as the largest float,
// so a broken input never turns the level itself into inf or NaN. 0 for
// n < 1 or a null pointer.
double MeasureLevel(const float* samples, int n);

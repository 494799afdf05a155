// The short texts the plug-in writes into its panel.
#pragma once

// "9.9 ms" below 10 ms, "12 ms" from 10 ms on.
void FormatDelay(double ms, char* out, int size);
// A level in dB with one decimal, "-oo" for silence (level <= 0).
void FormatLevel(double level, char* out, int size);
// "< 1.0 Hz", "5.0 Hz", "55.0 Hz A1 +0c", "440 Hz A4 +0c".
void FormatFrequency(double hz, char* out, int size);
// The visible time span with its frequency, e.g. "544.2 ms 1.8 Hz"; empty when the
// span is not positive.
void FormatWindowReadout(double xLow, double xHigh, double sampleRate, char* out, int size);

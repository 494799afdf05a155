#include "plugin/engine/ScopeTexts.h"

#include <cmath>
#include <cstdio>

#include "plugin/engine/ChannelWindow.h"
#include "plugin/engine/ScopeMath.h"

void FormatDelay(double ms, char* out, int size) {
  std::snprintf(out, static_cast<std::size_t>(size), ms < 10.0 ? "%.1f ms" : "%.0f ms", ms);
}

void FormatLevel(double level, char* out, int size) {
  if (level > 0.0) {
    std::snprintf(out, static_cast<std::size_t>(size), "%.1f",
                  std::log(std::fabs(level)) * 8.685889638065037);  // 20 log10
  } else {
    std::snprintf(out, static_cast<std::size_t>(size), "-oo");
  }
}

void FormatFrequency(double hz, char* out, int size) {
  const auto n = static_cast<std::size_t>(size);
  if (!(hz >= 1.0)) {
    std::snprintf(out, n, "< 1.0 Hz");
  } else if (hz < 8.0) {
    std::snprintf(out, n, "%.1f Hz", hz);
  } else {
    char note[32];
    FreqToNoteText(hz, note, sizeof(note));
    std::snprintf(out, n, hz < 100.0 ? "%.1f Hz %s" : "%.0f Hz %s", hz, note);
  }
}

void FormatWindowReadout(double xLow, double xHigh, double sampleRate, char* out, int size) {
  const double width = (xHigh - xLow) / sampleRate * kMaxCapture;  // seconds
  if (!(width > 0.0)) {
    out[0] = '\0';
    return;
  }
  char frequency[48];
  FormatFrequency(1.0 / width, frequency, sizeof(frequency));
  std::snprintf(out, static_cast<std::size_t>(size), "%.1f ms %s", width * 1000.0, frequency);
}

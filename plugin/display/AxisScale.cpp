#include "plugin/display/AxisScale.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "iplug/TextCopy.h"

namespace {

constexpr int kMainFrequencies[] = {100, 500, 1000, 5000, 7500, 10000, 15000, 20000};
constexpr int kMinorFrequencies[] = {10,   20,   30,   40,   50,   60,    70,   80,   90,
                                     150,  200,  250,  300,  400,  600,   700,  800,  900,
                                     1200, 1500, 2000, 2500, 3000, 3500,  4000, 4500, 6000,
                                     6500, 7000, 7500, 8000, 9000, 12500, 17500};
// Frequency labels stay clear of the end texts whatever the margin.
constexpr double kFrequencyFirst = 0.06;
constexpr double kFrequencyLast = 0.92;
constexpr double kFrequencyGap = 0.06;

}  // namespace

void FormatDb(double db, bool withUnit, char* out, int size) {
  const auto n = static_cast<std::size_t>(size);
  if (db >= 0.0) {
    std::snprintf(out, n, withUnit ? "+%.1f dB" : "+%.1f", db);
  } else if (!(db >= -144.0)) {  // also NaN: no level to speak of
    std::snprintf(out, n, withUnit ? "-oo dB" : "-oo");
  } else {
    std::snprintf(out, n, withUnit ? "%.1f dB" : "%.1f", db);
  }
}

void AxisScale::Reset(int newKind) {
  marks.clear();
  startText[0] = '\0';
  endText[0] = '\0';
  kind = newKind;
}

void AxisScale::AddMark(double position, const char* label) {
  if (static_cast<int>(marks.size()) >= kMaxMarks) return;
  GridMark mark;
  mark.position = static_cast<float>(position);
  CopyText(mark.label, label, sizeof(mark.label));
  marks.push_back(mark);
}

void AxisScale::ConfigureTimeAxis(double a, double b, double c) {
  Reset(kAxisTime);
  const double span = b - a;
  std::snprintf(startText, sizeof(startText), "%.0f", (a - c) * 1000.0);
  std::snprintf(endText, sizeof(endText), "%.0f ms", (b - c) * 1000.0);
  if (!(span > 0.0) || !std::isfinite(span) || !std::isfinite(c)) return;
  // A round step that gives between four and about forty lines.
  double d = std::pow(10.0, std::trunc(std::log10(span)));
  while (span / d + 0.5 < 2.0) d *= 0.1;
  while (span / d + 0.5 < 4.0) d *= 0.5;
  // Whole milliseconds label lines a millisecond or more apart; closer lines get
  // the decimals that tell them apart (a deep zoom would otherwise read -1, -1, -0).
  const int decimals =
      std::clamp(static_cast<int>(std::ceil(-std::log10(d * 1000.0) - 1e-9)), 0, 3);
  if (decimals > 0) {
    std::snprintf(startText, sizeof(startText), "%.*f", decimals, (a - c) * 1000.0);
    std::snprintf(endText, sizeof(endText), "%.*f ms", decimals, (b - c) * 1000.0);
  }
  for (double l = (std::floor((c - b) / d) + 1.0) * d; l < c - a; l += d) {
    const double t = (c - l - a) / span;
    if (t > margin && t < 1.0 - margin) {
      char label[32] = "";
      if (t > 0.1 && t < 0.9) std::snprintf(label, sizeof(label), "%.*f", decimals, -1000.0 * l);
      AddMark(t, label);
    }
    if (static_cast<int>(marks.size()) >= kMaxMarks) break;
  }
}

// Lines every 3 dB below the top of a linear scale from 0 to `top`, until they
// crowd closer than the margin.
void AxisScale::ConfigureLevelScale(double top) {
  FormatDb(20.0 * std::log10(0.0), false, startText, sizeof(startText));
  const double topDb = 20.0 * std::log10(top);
  FormatDb(topDb, false, endText, sizeof(endText));
  if (!(top > 0.0) || !std::isfinite(top)) return;
  char label[32];
  double h = std::floor((topDb - 0.5) / 3.0) * 3.0;
  double t = std::pow(10.0, h / 20.0) / top;
  if (t > margin && t < 1.0 - margin) {
    FormatDb(h, false, label, sizeof(label));
    AddMark(t, label);
  }
  for (;;) {
    const double previous = t;
    h -= 3.0;
    t = std::pow(10.0, h / 20.0) / top;
    if (!(t > margin && previous - t > margin)) break;
    FormatDb(h, false, label, sizeof(label));
    AddMark(t, label);
    if (static_cast<int>(marks.size()) >= kMaxMarks) break;
  }
}

void AxisScale::ConfigureAmplitudeAxis(double top) {
  Reset(kAxisAmplitude);
  ConfigureLevelScale(top);
}

void AxisScale::ConfigureLevelAxis(double top) {
  Reset(kAxisLevel);
  ConfigureLevelScale(top);
}

void AxisScale::ConfigurePhaseGrid(double top) {
  Reset(kAxisPhase);
  ConfigureLevelScale(top);
}

void AxisScale::ConfigureFrequencyAxis(const FreqRange& range) {
  Reset(kAxisFrequency);
  if (range.lastBin - range.firstBin < 2) return;
  // The ends are the frequencies at the spectrum's edges.
  std::snprintf(startText, sizeof(startText), "%.0f", range.edgeLowHz);
  std::snprintf(endText, sizeof(endText), "%.0f", range.edgeHighHz);
  auto fits = [&](int f, double p) {
    return f > range.edgeLowHz && f < range.edgeHighHz && p > kFrequencyFirst && p < kFrequencyLast;
  };
  char label[32];
  for (int f : kMainFrequencies) {
    const double p = range.Position(f);
    if (!fits(f, p)) continue;
    std::snprintf(label, sizeof(label), "%d", f);
    AddMark(p, label);
  }
  for (int f : kMinorFrequencies) {
    const double p = range.Position(f);
    if (!fits(f, p)) continue;
    bool clear = true;
    for (const GridMark& mark : marks)
      clear = clear && std::fabs(mark.position - p) > kFrequencyGap;
    if (!clear) continue;
    std::snprintf(label, sizeof(label), "%d", f);
    AddMark(p, label);
  }
}

#include "tools/virlex-render/DemoSignal.h"

#include <cmath>

namespace render {

namespace {

constexpr double kTwoPi = 6.283185307179586;

// A tone's phase at a sample index, reduced to one turn before the sine, so long
// runs keep full precision (index * freq / rate grows without bound otherwise).
double TonePhase(double freq, std::int64_t index, double rate) {
  const double cycles = freq * static_cast<double>(index) / rate;
  return kTwoPi * (cycles - std::floor(cycles));
}

// Uniform noise in [-1, 1) from a hash of (channel, index): random access, no state.
float Noise(int channel, std::int64_t index) {
  std::uint64_t z = static_cast<std::uint64_t>(index) * 0x9E3779B97F4A7C15ull +
                    static_cast<std::uint64_t>(channel + 1) * 0xD1B54A32D192ED03ull;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  z ^= z >> 31;
  return static_cast<float>(static_cast<double>(z >> 40) / 8388608.0 - 1.0);
}

// Three tones of the stereo pair (Hz, amplitude): a fundamental with two overtones.
constexpr double kPairTones[3][2] = {{220.0, 0.45}, {660.0, 0.07}, {1100.0, 0.035}};

// A major over A: bass, root, third, fifth.
constexpr double kChord[4][2] = {{110.0, 0.22}, {440.0, 0.18}, {554.365, 0.14}, {659.255, 0.12}};

}  // namespace

DemoSignal::DemoSignal(double sampleRate) : sampleRate_(sampleRate > 0.0 ? sampleRate : 48000.0) {}

double DemoSignal::PhaseOffset(std::int64_t index) const {
  const double turns = static_cast<double>(index) / (sampleRate_ * kDriftPeriod);
  return kTwoPi * (turns - std::floor(turns));
}

float DemoSignal::Sample(int channel, std::int64_t index) const {
  double v = 0.0;
  if (channel < 2) {
    // Each overtone is shifted by its own multiple of the offset, so input 2 is
    // input 1 delayed as a whole (a waveform shifted in time, not reshaped).
    const double offset = channel == 1 ? PhaseOffset(index) : 0.0;
    const double gain = channel == 1 ? 0.8 : 1.0;
    for (const auto& tone : kPairTones) {
      const double harmonic = tone[0] / kPairTones[0][0];
      v += gain * tone[1] * std::sin(TonePhase(tone[0], index, sampleRate_) - harmonic * offset);
    }
  } else {
    const bool left = channel == 2;
    for (int k = 0; k < 4; ++k) {
      const double balance = left ? 1.0 - 0.15 * k : 0.55 + 0.15 * k;
      v += balance * kChord[k][1] * std::sin(TonePhase(kChord[k][0], index, sampleRate_) + 0.7 * k);
    }
    v += (left ? 0.02 : 0.035) * Noise(channel, index);
  }
  return static_cast<float>(v);
}

void DemoSignal::Fill(std::int64_t start, int frames, float* const out[kChannels]) const {
  for (int c = 0; c < kChannels; ++c)
    for (int i = 0; i < frames; ++i) out[c][i] = Sample(c, start + i);
}

}  // namespace render

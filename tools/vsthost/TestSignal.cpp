#include "tools/vsthost/TestSignal.h"

#include <cmath>
#include <cstdint>

namespace vsthost {

namespace {

constexpr double kTwoPi = 6.283185307179586;

float Sine(double freq, std::size_t i, int rate, double phase) {
  return static_cast<float>(std::sin(kTwoPi * freq * double(i) / rate + phase));
}

void FillChannel(std::vector<float>& out, int channel, int rate) {
  std::uint32_t seed = 0x12345678u;  // fixed, so every run feeds the same noise
  for (std::size_t i = 0; i < out.size(); ++i) {
    switch (channel) {
      case 0:
        out[i] = 0.5f * Sine(440.0, i, rate, 0.0);
        break;
      case 1:
        out[i] = 0.5f * Sine(440.0, i, rate, kTwoPi / 4.0);
        break;
      case 2:
        out[i] = 0.2f * (Sine(440.0, i, rate, 0.0) + Sine(554.365, i, rate, 0.0) +
                         Sine(659.255, i, rate, 0.0));
        break;
      case 3:
        seed = seed * 1664525u + 1013904223u;  // LCG, top 24 bits as the sample
        out[i] = 0.25f * (float(seed >> 8) / 8388608.0f - 1.0f);
        break;
      default:
        out[i] = 0.3f * Sine(110.0 * (channel - 2), i, rate, 0.0);
        break;
    }
  }
}

}  // namespace

AudioData MakeTestSignal(int channels, std::size_t frames, int sampleRate) {
  AudioData audio;
  audio.sampleRate = sampleRate;
  audio.channels.assign(channels > 0 ? static_cast<std::size_t>(channels) : 0,
                        std::vector<float>(frames));
  for (std::size_t c = 0; c < audio.channels.size(); ++c)
    FillChannel(audio.channels[c], static_cast<int>(c), sampleRate);
  return audio;
}

}  // namespace vsthost

// Where the render tool's audio comes from: an audio file in memory or the built-in
// demo signal, read in blocks for the plug-in's four inputs. Past the end of a file
// the inputs get silence, as a host plays on after the last region.
#pragma once

#include <cstdint>
#include <string>

#include "tools/virlex-render/DemoSignal.h"
#include "tools/vsthost/audio/AudioData.h"

namespace render {

constexpr int kInputs = 4;

class AudioSource {
 public:
  // The demo signal at a sample rate.
  static AudioSource Demo(double sampleRate);
  // A file's channels 1..4 (further channels are dropped).
  static AudioSource File(vsthost::AudioData audio);

  // frames samples from index start into out[0..3]; silence where there is no audio.
  void Read(std::int64_t start, int frames, float* const out[kInputs]) const;
  // Channels that carry audio (4 for the demo).
  int Channels() const;
  // Length in samples; -1 for the endless demo.
  std::int64_t Frames() const;

 private:
  explicit AudioSource(double sampleRate) : demo_(sampleRate) {}

  bool isDemo_ = true;
  DemoSignal demo_;
  vsthost::AudioData file_;
};

}  // namespace render

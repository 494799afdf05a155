// Planar audio in memory, as the host reads it from and writes it to files.
#pragma once

#include <cstddef>
#include <vector>

namespace vsthost {

struct AudioData {
  int sampleRate = 0;
  std::vector<std::vector<float>> channels;  // every channel has the same length

  std::size_t Frames() const { return channels.empty() ? 0 : channels[0].size(); }
};

// Sample encodings the writers offer.
enum class SampleFormat { Pcm16, Pcm24, Pcm32, Float32 };

}  // namespace vsthost

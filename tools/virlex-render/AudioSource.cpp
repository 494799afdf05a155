#include "tools/virlex-render/AudioSource.h"

#include <algorithm>
#include <cstring>

namespace render {

AudioSource AudioSource::Demo(double sampleRate) { return AudioSource(sampleRate); }

AudioSource AudioSource::File(vsthost::AudioData audio) {
  AudioSource source(audio.sampleRate);
  source.isDemo_ = false;
  if (audio.channels.size() > static_cast<std::size_t>(kInputs)) audio.channels.resize(kInputs);
  source.file_ = std::move(audio);
  return source;
}

int AudioSource::Channels() const {
  return isDemo_ ? kInputs : static_cast<int>(file_.channels.size());
}

std::int64_t AudioSource::Frames() const {
  return isDemo_ ? -1 : static_cast<std::int64_t>(file_.Frames());
}

void AudioSource::Read(std::int64_t start, int frames, float* const out[kInputs]) const {
  if (frames <= 0) return;
  if (isDemo_) {
    demo_.Fill(start, frames, out);
    return;
  }
  const std::int64_t length = Frames();
  const std::int64_t first = std::clamp<std::int64_t>(start, 0, length);
  const std::int64_t last = std::clamp<std::int64_t>(start + frames, 0, length);
  const std::size_t have = static_cast<std::size_t>(last - first);
  for (int c = 0; c < kInputs; ++c) {
    std::fill(out[c], out[c] + frames, 0.0f);
    if (c >= Channels() || have == 0) continue;
    std::memcpy(out[c] + (first - start),
                file_.channels[static_cast<std::size_t>(c)].data() + first, have * sizeof(float));
  }
}

}  // namespace render

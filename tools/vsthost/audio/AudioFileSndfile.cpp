// Audio files through libsndfile: any format it reads, WAV on output.
#include <sndfile.h>

#include "tools/vsthost/audio/AudioFile.h"

namespace vsthost {

namespace {

int SubtypeOf(SampleFormat format) {
  switch (format) {
    case SampleFormat::Pcm16:
      return SF_FORMAT_PCM_16;
    case SampleFormat::Pcm24:
      return SF_FORMAT_PCM_24;
    case SampleFormat::Pcm32:
      return SF_FORMAT_PCM_32;
    case SampleFormat::Float32:
      return SF_FORMAT_FLOAT;
  }
  return SF_FORMAT_FLOAT;
}

constexpr sf_count_t kChunkFrames = 8192;

}  // namespace

bool ReadAudioFile(const std::string& path, AudioData& audio, std::string& error) {
  SF_INFO info{};
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  if (!file) {
    error = "cannot read '" + path + "': " + sf_strerror(nullptr);
    return false;
  }
  const int channels = info.channels;
  audio.sampleRate = info.samplerate;
  audio.channels.assign(static_cast<std::size_t>(channels), {});
  // Read in pieces rather than trusting the frame count in the header.
  std::vector<float> block(static_cast<std::size_t>(kChunkFrames * channels));
  for (;;) {
    sf_count_t got = sf_readf_float(file, block.data(), kChunkFrames);
    for (sf_count_t i = 0; i < got; ++i)
      for (int c = 0; c < channels; ++c)
        audio.channels[static_cast<std::size_t>(c)].push_back(
            block[static_cast<std::size_t>(i * channels + c)]);
    if (got < kChunkFrames) break;
  }
  sf_close(file);
  return true;
}

bool WriteAudioFile(const std::string& path, const AudioData& audio, SampleFormat format,
                    std::string& error) {
  const std::size_t channels = audio.channels.size();
  const std::size_t frames = audio.Frames();
  if (channels < 1 || audio.sampleRate <= 0) {
    error = "nothing to write (no channels or no sample rate)";
    return false;
  }
  SF_INFO info{};
  info.samplerate = audio.sampleRate;
  info.channels = static_cast<int>(channels);
  info.format = SF_FORMAT_WAV | SubtypeOf(format);
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  if (!file) {
    error = "cannot create '" + path + "': " + sf_strerror(nullptr);
    return false;
  }
  // Clip instead of letting out-of-range floats wrap around in PCM output.
  sf_command(file, SFC_SET_CLIPPING, nullptr, SF_TRUE);
  std::vector<float> interleaved(channels * frames);
  for (std::size_t i = 0; i < frames; ++i)
    for (std::size_t c = 0; c < channels; ++c) interleaved[i * channels + c] = audio.channels[c][i];
  sf_count_t written = sf_writef_float(file, interleaved.data(), static_cast<sf_count_t>(frames));
  bool ok = written == static_cast<sf_count_t>(frames);
  if (!ok) error = "cannot write '" + path + "': " + sf_strerror(file);
  sf_close(file);
  return ok;
}

const char* AudioFileBackend() { return "libsndfile"; }

}  // namespace vsthost

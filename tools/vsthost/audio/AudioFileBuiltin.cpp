// Audio files through the built-in WAV codec, for builds without libsndfile.
#include "tools/vsthost/audio/AudioFile.h"
#include "tools/vsthost/audio/WavFile.h"

namespace vsthost {

bool ReadAudioFile(const std::string& path, AudioData& audio, std::string& error) {
  return ReadWavFile(path, audio, error);
}

bool WriteAudioFile(const std::string& path, const AudioData& audio, SampleFormat format,
                    std::string& error) {
  return WriteWavFile(path, audio, format, error);
}

const char* AudioFileBackend() { return "built-in WAV"; }

}  // namespace vsthost

// Reading and writing audio files. Two implementations exist (libsndfile, and the
// built-in RIFF WAV codec for builds without it); CMake links exactly one.
#pragma once

#include <string>

#include "tools/vsthost/audio/AudioData.h"

namespace vsthost {

// Reads a whole file. Returns false with a readable error when it cannot.
bool ReadAudioFile(const std::string& path, AudioData& audio, std::string& error);

// Writes a WAV file in the given encoding; values beyond [-1, 1] clip for PCM.
bool WriteAudioFile(const std::string& path, const AudioData& audio, SampleFormat format,
                    std::string& error);

// Which implementation this build uses ("libsndfile" or "built-in WAV").
const char* AudioFileBackend();

}  // namespace vsthost

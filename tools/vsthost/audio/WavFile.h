// A small RIFF WAVE codec of our own: PCM 16, 24 and 32 bit and 32-bit float,
// plain or WAVE_FORMAT_EXTENSIBLE. Works on byte buffers so it can be tested
// without files; the file helpers read and write whole files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/vsthost/audio/AudioData.h"

namespace vsthost {

// Decodes a WAV image. Unknown chunks are skipped; a data chunk that claims more bytes
// than the image holds (streaming writers leave it open) is cut to whole frames.
bool DecodeWav(const std::vector<std::uint8_t>& bytes, AudioData& audio, std::string& error);

// Encodes audio (at least one channel, all channels equally long).
bool EncodeWav(const AudioData& audio, SampleFormat format, std::vector<std::uint8_t>& bytes,
               std::string& error);

bool ReadWavFile(const std::string& path, AudioData& audio, std::string& error);
bool WriteWavFile(const std::string& path, const AudioData& audio, SampleFormat format,
                  std::string& error);

}  // namespace vsthost

// The built-in WAV codec agrees with libsndfile in both directions.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include "tools/vsthost/audio/AudioFile.h"
#include "tools/vsthost/audio/WavFile.h"

namespace vsthost {
namespace {

AudioData Steps(int bits) {
  AudioData a;
  a.sampleRate = 22050;
  a.channels.assign(2, std::vector<float>(257));
  const double step = std::ldexp(1.0, -(bits - 1));
  for (std::size_t i = 0; i < 257; ++i) {
    a.channels[0][i] = float((double(i) - 128.0) * 251.0 * step);
    a.channels[1][i] = float(-double(i) * step);
  }
  return a;
}

TEST(WavSndfile, OurFilesReadBackIdenticallyThroughLibsndfile) {
  ASSERT_STREQ(AudioFileBackend(), "libsndfile");
  const std::string path = ::testing::TempDir() + "vsthost_ours.wav";
  for (auto [format, bits] :
       {std::pair{SampleFormat::Pcm16, 16}, std::pair{SampleFormat::Pcm24, 24},
        std::pair{SampleFormat::Float32, 32}}) {
    const AudioData in = Steps(bits);
    std::string error;
    ASSERT_TRUE(WriteWavFile(path, in, format, error)) << error;
    AudioData out;
    ASSERT_TRUE(ReadAudioFile(path, out, error)) << error;
    EXPECT_EQ(out.sampleRate, in.sampleRate);
    EXPECT_EQ(out.channels, in.channels) << bits << " bits";
  }
  std::remove(path.c_str());
}

TEST(WavSndfile, LibsndfileFilesDecodeIdenticallyWithOurs) {
  const std::string path = ::testing::TempDir() + "vsthost_theirs.wav";
  for (auto [format, bits] :
       {std::pair{SampleFormat::Pcm24, 24}, std::pair{SampleFormat::Float32, 32}}) {
    const AudioData in = Steps(bits);
    std::string error;
    ASSERT_TRUE(WriteAudioFile(path, in, format, error)) << error;
    AudioData out;
    ASSERT_TRUE(ReadWavFile(path, out, error)) << error;
    EXPECT_EQ(out.channels, in.channels) << bits << " bits";
  }
  std::remove(path.c_str());
}

}  // namespace
}  // namespace vsthost

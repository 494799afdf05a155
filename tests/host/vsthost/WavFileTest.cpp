// The built-in RIFF WAV codec: round trips, exact PCM steps, clipping, chunk
// walking, and malformed files that must be refused rather than misread.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "tools/vsthost/audio/WavFile.h"

namespace vsthost {
namespace {

AudioData Ramp(int channels, std::size_t frames) {
  AudioData a;
  a.sampleRate = 44100;
  a.channels.assign(std::size_t(channels), std::vector<float>(frames));
  for (int c = 0; c < channels; ++c)
    for (std::size_t i = 0; i < frames; ++i)
      a.channels[std::size_t(c)][i] = std::sin(0.01f * float(i) * float(c + 1)) * 0.9f;
  return a;
}

AudioData RoundTrip(const AudioData& in, SampleFormat format) {
  std::vector<std::uint8_t> bytes;
  std::string error;
  EXPECT_TRUE(EncodeWav(in, format, bytes, error)) << error;
  AudioData out;
  EXPECT_TRUE(DecodeWav(bytes, out, error)) << error;
  return out;
}

TEST(WavFile, RoundTripKeepsShapeAndValuesInEveryFormat) {
  const AudioData in = Ramp(3, 1001);
  struct Case {
    SampleFormat format;
    float tolerance;
  };
  for (Case c : {Case{SampleFormat::Pcm16, 1.0f / 32768}, Case{SampleFormat::Pcm24, 1.0f / 8388608},
                 Case{SampleFormat::Pcm32, 1e-7f}, Case{SampleFormat::Float32, 0.0f}}) {
    AudioData out = RoundTrip(in, c.format);
    ASSERT_EQ(out.sampleRate, 44100);
    ASSERT_EQ(out.channels.size(), 3u);
    ASSERT_EQ(out.Frames(), 1001u);
    for (std::size_t ch = 0; ch < 3; ++ch)
      for (std::size_t i = 0; i < 1001; ++i)
        ASSERT_NEAR(out.channels[ch][i], in.channels[ch][i], c.tolerance)
            << "format " << int(c.format) << " channel " << ch << " frame " << i;
  }
}

TEST(WavFile, PcmStepsSurviveExactlyIncludingNegativeExtremes) {
  for (auto [format, bits] :
       {std::pair{SampleFormat::Pcm16, 16}, std::pair{SampleFormat::Pcm24, 24},
        std::pair{SampleFormat::Pcm32, 32}}) {
    const double step = std::ldexp(1.0, -(bits - 1));
    AudioData in;
    in.sampleRate = 8000;
    in.channels = {{-1.0f, float(-step), 0.0f, float(step), float(1.0 - 64 * step), -0.5f, 0.25f}};
    AudioData out = RoundTrip(in, format);
    ASSERT_EQ(out.Frames(), in.Frames());
    for (std::size_t i = 0; i < in.Frames(); ++i)
      EXPECT_EQ(out.channels[0][i], in.channels[0][i]) << bits << " bits, sample " << i;
  }
}

TEST(WavFile, PcmClipsOutOfRangeAndWritesNanAsSilence) {
  AudioData in;
  in.sampleRate = 8000;
  in.channels = {{1.5f, -3.0f, std::numeric_limits<float>::quiet_NaN(), 1.0f}};
  AudioData out = RoundTrip(in, SampleFormat::Pcm16);
  EXPECT_EQ(out.channels[0][0], 32767.0f / 32768.0f);
  EXPECT_EQ(out.channels[0][1], -1.0f);
  EXPECT_EQ(out.channels[0][2], 0.0f);
  EXPECT_EQ(out.channels[0][3], 32767.0f / 32768.0f);
}

TEST(WavFile, OddSizedDataIsPaddedAndStillDecodes) {
  AudioData in;
  in.sampleRate = 48000;
  in.channels = {{0.5f}};
  std::vector<std::uint8_t> bytes;
  std::string error;
  ASSERT_TRUE(EncodeWav(in, SampleFormat::Pcm24, bytes, error));
  EXPECT_EQ(bytes.size(), 44u + 3u + 1u);
  std::uint32_t riffSize =
      bytes[4] | bytes[5] << 8 | bytes[6] << 16 | std::uint32_t(bytes[7]) << 24;
  EXPECT_EQ(riffSize, bytes.size() - 8);
  AudioData out;
  ASSERT_TRUE(DecodeWav(bytes, out, error)) << error;
  EXPECT_EQ(out.channels[0][0], 0.5f);
}

// Inserts a chunk with an odd size (so it carries a pad byte) right after "WAVE".
std::vector<std::uint8_t> WithExtraChunk(std::vector<std::uint8_t> bytes) {
  const std::uint8_t extra[] = {'L', 'I', 'S', 'T', 5, 0, 0, 0, 'a', 'b', 'c', 'd', 'e', 0};
  bytes.insert(bytes.begin() + 12, std::begin(extra), std::end(extra));
  return bytes;
}

TEST(WavFile, SkipsUnknownChunksWithPadding) {
  const AudioData in = Ramp(2, 50);
  std::vector<std::uint8_t> bytes;
  std::string error;
  ASSERT_TRUE(EncodeWav(in, SampleFormat::Float32, bytes, error));
  AudioData out;
  ASSERT_TRUE(DecodeWav(WithExtraChunk(bytes), out, error)) << error;
  EXPECT_EQ(out.channels, in.channels);
}

TEST(WavFile, ReadsExtensibleFormat) {
  const AudioData in = Ramp(2, 20);
  std::vector<std::uint8_t> plain;
  std::string error;
  ASSERT_TRUE(EncodeWav(in, SampleFormat::Pcm16, plain, error));
  // Rebuild the fmt chunk as WAVE_FORMAT_EXTENSIBLE (40 bytes) with the PCM sub-format.
  std::vector<std::uint8_t> bytes(plain.begin(), plain.begin() + 20);
  bytes[16] = 40;
  std::vector<std::uint8_t> fmt(plain.begin() + 20, plain.begin() + 36);
  fmt[0] = 0xFE;
  fmt[1] = 0xFF;
  const std::uint8_t extension[] = {22, 0, 16,   0, 3,    0, 0, 0,    1, 0,    0,    0,
                                    0,  0, 0x10, 0, 0x80, 0, 0, 0xAA, 0, 0x38, 0x9B, 0x71};
  fmt.insert(fmt.end(), std::begin(extension), std::end(extension));
  bytes.insert(bytes.end(), fmt.begin(), fmt.end());
  bytes.insert(bytes.end(), plain.begin() + 36, plain.end());
  AudioData out;
  ASSERT_TRUE(DecodeWav(bytes, out, error)) << error;
  AudioData expected = RoundTrip(in, SampleFormat::Pcm16);
  EXPECT_EQ(out.channels, expected.channels);
}

TEST(WavFile, DataChunkLongerThanTheFileIsCutToWholeFrames) {
  const AudioData in = Ramp(2, 10);
  std::vector<std::uint8_t> bytes;
  std::string error;
  ASSERT_TRUE(EncodeWav(in, SampleFormat::Pcm16, bytes, error));
  bytes.resize(bytes.size() - 3);                        // 9 whole frames and one half frame remain
  bytes[40] = bytes[41] = bytes[42] = bytes[43] = 0xFF;  // a streaming writer's "unknown" size
  AudioData out;
  ASSERT_TRUE(DecodeWav(bytes, out, error)) << error;
  EXPECT_EQ(out.Frames(), 9u);
}

TEST(WavFile, RefusesMalformedFiles) {
  const AudioData in = Ramp(2, 10);
  std::vector<std::uint8_t> good;
  std::string error;
  ASSERT_TRUE(EncodeWav(in, SampleFormat::Pcm16, good, error));
  auto broken = [&](auto change) {
    std::vector<std::uint8_t> bytes = good;
    change(bytes);
    AudioData out;
    std::string why;
    bool ok = DecodeWav(bytes, out, why);
    EXPECT_FALSE(why.empty());
    return ok;
  };
  EXPECT_FALSE(broken([](auto& b) { b.clear(); }));
  EXPECT_FALSE(broken([](auto& b) { b[0] = 'X'; }));                         // not RIFF
  EXPECT_FALSE(broken([](auto& b) { b[12] = 'x'; }));                        // fmt chunk renamed
  EXPECT_FALSE(broken([](auto& b) { b.resize(40); }));                       // no data chunk
  EXPECT_FALSE(broken([](auto& b) { b[22] = 0; }));                          // zero channels
  EXPECT_FALSE(broken([](auto& b) { b[34] = 12; }));                         // 12-bit PCM
  EXPECT_FALSE(broken([](auto& b) { b[32] = 3; }));                          // block align off
  EXPECT_FALSE(broken([](auto& b) { b[20] = 3; }));                          // 16-bit "float"
  EXPECT_FALSE(broken([](auto& b) { b[24] = b[25] = b[26] = b[27] = 0; }));  // rate 0
  EXPECT_FALSE(broken([](auto& b) { b[16] = 8; }));                          // fmt too short
}

TEST(WavFile, EncoderRefusesUnequalOrMissingChannels) {
  std::vector<std::uint8_t> bytes;
  std::string error;
  AudioData none;
  none.sampleRate = 48000;
  EXPECT_FALSE(EncodeWav(none, SampleFormat::Float32, bytes, error));
  AudioData ragged = Ramp(2, 10);
  ragged.channels[1].pop_back();
  EXPECT_FALSE(EncodeWav(ragged, SampleFormat::Float32, bytes, error));
  EXPECT_NE(error.find("length"), std::string::npos);
}

TEST(WavFile, FileHelpersRoundTripAndReportMissingFiles) {
  const std::string path = ::testing::TempDir() + "vsthost_wav_test.wav";
  const AudioData in = Ramp(4, 300);
  std::string error;
  ASSERT_TRUE(WriteWavFile(path, in, SampleFormat::Float32, error)) << error;
  AudioData out;
  ASSERT_TRUE(ReadWavFile(path, out, error)) << error;
  EXPECT_EQ(out.channels, in.channels);
  std::remove(path.c_str());
  EXPECT_FALSE(ReadWavFile(path, out, error));
  EXPECT_NE(error.find("cannot open"), std::string::npos);
}

}  // namespace
}  // namespace vsthost

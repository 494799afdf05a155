#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "tools/virlex-render/AudioSource.h"
#include "tools/virlex-render/DemoSignal.h"

using render::AudioSource;
using render::DemoSignal;

namespace {

struct Buffers {
  explicit Buffers(int frames) : data(4, std::vector<float>(static_cast<std::size_t>(frames))) {
    for (int c = 0; c < 4; ++c) ptr[c] = data[static_cast<std::size_t>(c)].data();
  }
  std::vector<std::vector<float>> data;
  float* ptr[4];
};

// Phase of a frequency's component in a run, from a single-bin DFT.
double PhaseAt(const std::vector<float>& x, double freq, double rate) {
  double re = 0.0, im = 0.0;
  for (std::size_t i = 0; i < x.size(); ++i) {
    const double w = 2.0 * M_PI * freq * double(i) / rate;
    re += x[i] * std::cos(w);
    im -= x[i] * std::sin(w);
  }
  return std::atan2(im, re);
}

double Wrap(double a) { return std::remainder(a, 2.0 * M_PI); }

}  // namespace

TEST(DemoSignal, AnyStretchEqualsTheSameStretchOfALongerRun) {
  const DemoSignal demo(44100.0);
  Buffers whole(3000), part(1000);
  demo.Fill(0, 3000, whole.ptr);
  demo.Fill(1234, 1000, part.ptr);
  for (int c = 0; c < 4; ++c)
    for (int i = 0; i < 1000; ++i)
      ASSERT_EQ(part.data[c][i], whole.data[c][1234 + i]) << c << " " << i;
}

TEST(DemoSignal, StaysFiniteAndBelowFullScaleAtExtremeRatesAndLongRuns) {
  for (double rate : {8000.0, 48000.0, 384000.0}) {
    const DemoSignal demo(rate);
    Buffers b(4096);
    for (std::int64_t start : {std::int64_t(0), std::int64_t(rate * 3599)}) {
      demo.Fill(start, 4096, b.ptr);
      for (int c = 0; c < 4; ++c) {
        double energy = 0.0;
        for (float v : b.data[c]) {
          ASSERT_TRUE(std::isfinite(v));
          ASSERT_LT(std::fabs(v), 1.0f);
          energy += double(v) * v;
        }
        EXPECT_GT(energy / 4096, 1e-3) << "channel " << c << " is silent at " << rate;
      }
    }
  }
}

TEST(DemoSignal, PairPhaseDriftsOneTurnPerPeriodAndThePairsDiffer) {
  const double rate = 48000.0;
  const DemoSignal demo(rate);
  Buffers b(4800);  // 0.1 s: whole periods of 220 Hz
  for (double t : {0.0, 1.0, 2.0, 5.0}) {
    const auto start = static_cast<std::int64_t>(t * rate);
    demo.Fill(start, 4800, b.ptr);
    const double lag = Wrap(PhaseAt(b.data[0], 220.0, rate) - PhaseAt(b.data[1], 220.0, rate));
    const double expected = Wrap(demo.PhaseOffset(start + 2400));
    EXPECT_NEAR(Wrap(lag - expected), 0.0, 0.05) << "at " << t << " s";
  }
  EXPECT_NEAR(demo.PhaseOffset(static_cast<std::int64_t>(rate * DemoSignal::kDriftPeriod / 4)),
              M_PI / 2, 1e-9);
  demo.Fill(0, 4800, b.ptr);
  EXPECT_NE(b.data[2], b.data[3]);
}

TEST(AudioSource, FileKeepsFourChannelsAndPlaysSilencePastItsEnd) {
  vsthost::AudioData audio;
  audio.sampleRate = 8000;
  for (int c = 0; c < 6; ++c) audio.channels.push_back(std::vector<float>(10, float(c + 1)));
  const AudioSource source = AudioSource::File(audio);
  EXPECT_EQ(source.Channels(), 4);
  EXPECT_EQ(source.Frames(), 10);
  Buffers b(8);
  source.Read(6, 8, b.ptr);  // 4 samples of audio, then silence
  for (int c = 0; c < 4; ++c)
    for (int i = 0; i < 8; ++i) EXPECT_EQ(b.data[c][i], i < 4 ? float(c + 1) : 0.0f);
  source.Read(100, 8, b.ptr);
  for (int c = 0; c < 4; ++c)
    for (float v : b.data[c]) EXPECT_EQ(v, 0.0f);
}

TEST(AudioSource, MonoFileLeavesTheOtherInputsSilent) {
  vsthost::AudioData audio;
  audio.sampleRate = 8000;
  audio.channels.push_back({0.5f, -0.5f, 0.25f});
  const AudioSource source = AudioSource::File(audio);
  EXPECT_EQ(source.Channels(), 1);
  Buffers b(3);
  for (auto& ch : b.data) ch.assign(3, 9.0f);  // stale values must be overwritten
  source.Read(0, 3, b.ptr);
  EXPECT_EQ(b.data[0], (std::vector<float>{0.5f, -0.5f, 0.25f}));
  for (int c = 1; c < 4; ++c) EXPECT_EQ(b.data[c], (std::vector<float>(3, 0.0f)));
}

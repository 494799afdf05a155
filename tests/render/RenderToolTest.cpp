// The whole tool on the command lines a user may give it, bad input included: exit
// codes and messages, and pictures without garbage. A picture is "clean" when
// everything outside the display well and the text areas (knobs, switches, faders,
// the frame of the window) is exactly what the same settings draw for silence:
// a trace that escapes the well, or a control drawn wrongly, shows there.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "tests/render/RenderTestSupport.h"

using namespace rendertest;

namespace {

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

std::vector<IBox> PanelMask() {
  std::vector<IBox> skip = TextAreas();
  skip.push_back(DisplayArea());
  return skip;
}

class RenderToolEditor : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!PluginHasEditor()) GTEST_SKIP() << "this build of the plug-in has no editor";
  }

  // Renders and returns the picture; fails the test on a non-zero exit.
  std::unique_ptr<MemBitmap> Render(std::vector<std::string> args, const std::string& name,
                                    ToolRun* run = nullptr) {
    const std::string path = dir.File(name);
    args.insert(args.end(), {"-o", path});
    const ToolRun r = RunTool(args);
    if (run != nullptr) *run = r;
    EXPECT_EQ(r.code, 0) << r.err;
    auto picture = LoadPicture(path);
    EXPECT_NE(picture, nullptr) << name;
    if (picture) {
      EXPECT_EQ(picture->GetWidth(), 724);
      EXPECT_EQ(picture->GetHeight(), 526);
    }
    return picture;
  }

  // A silent file of the given rate, for the baselines.
  std::string Silence(int rate) {
    const std::string path = dir.File("silence-" + std::to_string(rate) + ".wav");
    if (!std::filesystem::exists(path))
      WriteWav(path, 4, rate, rate * 3, [](int, long) { return 0.0f; });
    return path;
  }

  // The panel of `args` matches that of the same settings on silence.
  void ExpectClean(const std::vector<std::string>& args, const std::string& input, int rate,
                   const std::string& name) {
    SCOPED_TRACE(name);
    std::vector<std::string> with = args;
    if (!input.empty()) with.insert(with.begin(), input);
    auto picture = Render(with, name + ".png");
    std::vector<std::string> quiet = args;
    quiet.insert(quiet.begin(), Silence(rate));
    auto baseline = Render(quiet, name + "-silence.png");
    if (!picture || !baseline) return;
    const PictureDiff d = ComparePictures(*picture, *baseline, PanelMask(), 0);
    EXPECT_GT(d.compared, 100000);
    EXPECT_EQ(d.differing, 0) << "largest difference " << d.largest;
  }

  TempDir dir;
};

}  // namespace

TEST(RenderTool, CommandLineErrorsExitWithTwoAndSayWhy) {
  const ToolRun none = RunTool({});
  EXPECT_EQ(none.code, 2);
  EXPECT_TRUE(Contains(none.err, "virlex-render: nothing to render")) << none.err;
  const ToolRun bad = RunTool({"--domain", "space", "-o", "/tmp/x.png"});
  EXPECT_EQ(bad.code, 2);
  EXPECT_TRUE(Contains(bad.err, "--domain 'space'")) << bad.err;
  const ToolRun help = RunTool({"--help"});
  EXPECT_EQ(help.code, 0);
  EXPECT_TRUE(Contains(help.out, "usage: virlex-render")) << help.out;
}

TEST(RenderTool, UnreadableFilesExitWithOneAndNameTheFile) {
  TempDir dir;
  const ToolRun missing = RunTool({dir.File("absent.wav"), "-o", dir.File("a.png")});
  EXPECT_EQ(missing.code, 1);
  EXPECT_TRUE(Contains(missing.err, "absent.wav")) << missing.err;

  const std::string junk = dir.File("junk.wav");
  std::FILE* f = std::fopen(junk.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  std::fputs("RIFF\x10\0\0\0WAVEnot really audio at all", f);
  std::fclose(f);
  const ToolRun garbage = RunTool({junk, "-o", dir.File("b.png")});
  EXPECT_EQ(garbage.code, 1);
  EXPECT_TRUE(Contains(garbage.err, "junk.wav")) << garbage.err;
  EXPECT_FALSE(std::filesystem::exists(dir.File("a.png")));
  EXPECT_FALSE(std::filesystem::exists(dir.File("b.png")));
}

TEST_F(RenderToolEditor, ParameterErrorsExitWithTwo) {
  const ToolRun run = RunTool({"--param", "fft size=3000", "-o", dir.File("a.png")});
  EXPECT_EQ(run.code, 2);
  EXPECT_TRUE(Contains(run.err, "has no value '3000'")) << run.err;
}

TEST_F(RenderToolEditor, HostileSignalsDrawNoGarbage) {
  const int rate = 48000;
  struct Case {
    const char* name;
    float (*sample)(int, long);
  };
  const Case cases[] = {
      {"square", [](int c, long i) { return ((i / (40 + 7 * c)) % 2) ? 1.0f : -1.0f; }},
      {"dc", [](int c, long) { return c % 2 ? -1.0f : 1.0f; }},
      {"nan-inf",
       [](int c, long i) {
         if (c < 2 && (i / 1000) % 3 == 0) return std::nanf("");
         if (c == 2 && i % 500 == 0) return (i % 1000) ? INFINITY : -INFINITY;
         return 0.5f * std::sin(0.05f * float(i));
       }},
      {"huge", [](int, long i) { return (i % 2 ? 1e30f : -1e30f); }},
  };
  for (const Case& c : cases) {
    const std::string file = dir.File(std::string(c.name) + ".wav");
    ASSERT_TRUE(WriteWav(file, 4, rate, rate * 2, c.sample));
    for (const char* domain : {"time", "freq", "phase"})
      ExpectClean({"--domain", domain, "--at", "1.5"}, file, rate,
                  std::string(c.name) + "-" + domain);
  }
}

TEST_F(RenderToolEditor, ExtremeRatesDelaysAndZoomsDrawNoGarbage) {
  ExpectClean({"--rate", "8000", "--at", "1"}, "", 8000, "rate-8000");
  ExpectClean({"--rate", "384000", "--domain", "freq", "--at", "0.5"}, "", 384000, "rate-384000");
  const std::vector<std::string> delays = {"--param",        "delay 1=500 ms", "--param",
                                           "delay 2=500 ms", "--param",        "delay 3=500 ms",
                                           "--param",        "delay 4=500 ms"};
  for (const char* domain : {"time", "freq", "phase"}) {
    std::vector<std::string> args = delays;
    args.insert(args.end(), {"--domain", domain, "--at", "1"});
    ExpectClean(args, "", 48000, std::string("delay-") + domain);
  }
  const std::vector<std::vector<std::string>> zooms = {
      {"--param", "X zoom low=0", "--param", "X zoom high=0"},
      {"--param", "X zoom low=1", "--param", "X zoom high=1"},
      {"--param", "X zoom high=0", "--param", "X zoom low=1"},
      {"--param", "X zoom low=0", "--param", "Y zoom=1"},
      {"--param", "Y zoom=0"},
  };
  int n = 0;
  for (const auto& zoom : zooms)
    for (const char* domain : {"time", "freq", "phase"}) {
      std::vector<std::string> args = {"--domain", domain};
      args.insert(args.end(), zoom.begin(), zoom.end());
      args.insert(args.end(), {"--at", "0.5"});
      ExpectClean(args, "", 48000, "zoom-" + std::to_string(n++));
    }
}

TEST_F(RenderToolEditor, EveryDomainAtEveryFftSize) {
  for (const char* domain : {"time", "freq", "phase"})
    for (const char* fft : {"256", "512", "1024", "2048", "4096", "8192", "16384"})
      ExpectClean({"--domain", domain, "--param", std::string("fft size=") + fft, "--at", "0.5"},
                  "", 48000, std::string(domain) + "-" + fft);
}

TEST_F(RenderToolEditor, PastTheEndOfAFileThePictureIsThatOfSilence) {
  const std::string tone = dir.File("tone.wav");
  ASSERT_TRUE(WriteWav(tone, 2, 48000, 12000,
                       [](int c, long i) { return 0.8f * std::sin(0.03f * float(i) + float(c)); }));
  ToolRun run;
  auto late = Render({tone, "--at", "2"}, "late.png", &run);
  EXPECT_TRUE(Contains(run.err, "past the end of")) << run.err;
  const std::string quiet = dir.File("quiet.wav");
  ASSERT_TRUE(WriteWav(quiet, 2, 48000, 12000, [](int, long) { return 0.0f; }));
  auto silent = Render({quiet, "--at", "2"}, "silent.png");
  ASSERT_TRUE(late && silent);
  // The last 1.75 s were silence in both, and the display shows the last 0.5 s.
  EXPECT_EQ(ComparePictures(*late, *silent, {}, 0).differing, 0);
}

TEST_F(RenderToolEditor, MoreThanFourChannelsUseTheFirstFourWithAWarning) {
  auto sample = [](int c, long i) {
    return 0.2f * float(c + 1) * std::sin(0.01f * float(i * (c + 1)));
  };
  const std::string six = dir.File("six.wav"), four = dir.File("four.wav");
  ASSERT_TRUE(WriteWav(six, 6, 48000, 48000, sample));
  ASSERT_TRUE(WriteWav(four, 4, 48000, 48000, sample));
  ToolRun run;
  auto a = Render({six, "--at", "0.75"}, "six.png", &run);
  EXPECT_TRUE(Contains(run.err, "has 6 channels; the first 4 are used")) << run.err;
  auto b = Render({four, "--at", "0.75"}, "four.png");
  ASSERT_TRUE(a && b);
  EXPECT_EQ(ComparePictures(*a, *b, {}, 0).differing, 0);
}

TEST_F(RenderToolEditor, PicturesDoNotDependOnTheBlockSize) {
  auto small = Render({"--block", "64", "--at", "1"}, "b64.png");
  auto large = Render({"--block", "4096", "--at", "1"}, "b4096.png");
  auto odd = Render({"--block", "1000", "--domain", "freq", "--at", "1"}, "b1000.png");
  auto even = Render({"--block", "512", "--domain", "freq", "--at", "1"}, "b512.png");
  ASSERT_TRUE(small && large && odd && even);
  EXPECT_EQ(ComparePictures(*small, *large, {}, 0).differing, 0);
  EXPECT_EQ(ComparePictures(*odd, *even, {}, 0).differing, 0);
}

TEST_F(RenderToolEditor, SequenceWritesTheAskedFramesAsASingleRenderWould) {
  const std::string out = dir.File("seq");
  const ToolRun run = RunTool({"--from", "0.5", "--to", "1", "--every", "4", "--out-dir", out});
  ASSERT_EQ(run.code, 0) << run.err;
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(out))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"frame-00012.png", "frame-00016.png",
                                             "frame-00020.png", "frame-00024.png"}));
  auto last = LoadPicture(out + "/frame-00024.png");
  auto single = Render({"--at", "1"}, "single.png");
  ASSERT_TRUE(last && single);
  EXPECT_EQ(ComparePictures(*last, *single, {}, 0).differing, 0);
}

TEST_F(RenderToolEditor, AClickFreezesTheDisplayWhileTheAudioRunsOn) {
  const std::string out = dir.File("frozen");
  ToolRun run = RunTool(
      {"--click", "1:300,200", "--from", "1", "--to", "2", "--every", "12", "--out-dir", out});
  ASSERT_EQ(run.code, 0) << run.err;
  auto a = LoadPicture(out + "/frame-00024.png");
  auto b = LoadPicture(out + "/frame-00036.png");
  const std::string live = dir.File("live");
  run = RunTool({"--from", "1", "--to", "2", "--every", "12", "--out-dir", live});
  ASSERT_EQ(run.code, 0) << run.err;
  auto c = LoadPicture(live + "/frame-00024.png");
  auto d = LoadPicture(live + "/frame-00036.png");
  ASSERT_TRUE(a && b && c && d);
  const std::vector<IBox> outsideDisplay = {
      {0, 0, 724, 56}, {0, 362, 724, 526}, {0, 0, 80, 526}, {618, 0, 724, 526}};
  EXPECT_EQ(ComparePictures(*a, *b, outsideDisplay, 0).differing, 0);
  EXPECT_GT(ComparePictures(*c, *d, outsideDisplay, 0).differing, 1000);
  // The freeze leaves a cursor and a different picture than the running display.
  EXPECT_GT(ComparePictures(*a, *c, outsideDisplay, 0).differing, 0);
}

// The video output: how video frames map onto the editor's beats, the command line, and
// whole videos checked with ffprobe (streams, duration, frame size), skipped where ffmpeg
// is not installed.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <numeric>
#include <sstream>

#include "tests/render/RenderTestSupport.h"
#include "tools/virlex-render/FrameClock.h"
#include "tools/virlex-render/RenderOptions.h"

using namespace render;
using namespace rendertest;

namespace {

int Sum(const std::vector<int>& v) { return std::accumulate(v.begin(), v.end(), 0); }

std::string ErrorOf(const std::vector<std::string>& args) {
  RenderOptions o;
  std::string error;
  EXPECT_FALSE(ParseRenderOptions(args, o, error)) << "accepted";
  return error;
}

std::string Capture(const std::string& command) {
  std::string text;
  std::FILE* p = popen(command.c_str(), "r");
  if (p == nullptr) return text;
  char buffer[4096];
  std::size_t n = 0;
  while ((n = std::fread(buffer, 1, sizeof buffer, p)) > 0) text.append(buffer, n);
  pclose(p);
  return text;
}

bool HaveProgram(const std::string& name) {
  return std::system(("command -v " + name + " >/dev/null 2>&1").c_str()) == 0;
}

using Fields = std::map<std::string, std::string>;

// ffprobe's view of a file: one field map per stream, and the container's.
struct Probe {
  std::vector<Fields> streams;
  Fields format;
  const Fields* Stream(const std::string& type) const {
    for (const Fields& s : streams)
      if (s.count("codec_type") && s.at("codec_type") == type) return &s;
    return nullptr;
  }
};

Probe ProbeFile(const std::string& path) {
  const std::string text = Capture(
      "ffprobe -v error -of compact -show_entries "
      "stream=codec_type,codec_name,width,height,pix_fmt,nb_frames,avg_frame_rate,channels,"
      "sample_rate,duration:format=duration,format_name '" +
      path + "'");
  Probe probe;
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    std::istringstream parts(line);
    std::string part, kind;
    std::getline(parts, kind, '|');
    Fields fields;
    while (std::getline(parts, part, '|')) {
      const std::size_t eq = part.find('=');
      if (eq != std::string::npos) fields[part.substr(0, eq)] = part.substr(eq + 1);
    }
    if (kind == "stream") probe.streams.push_back(fields);
    if (kind == "format") probe.format = fields;
  }
  return probe;
}

double Number(const Fields* f, const std::string& key) {
  if (f == nullptr || f->count(key) == 0) return -1.0;
  return std::atof(f->at(key).c_str());
}

// The mean level of a file's sound in dB, as ffmpeg measures it; NaN when there is none.
double MeanVolume(const std::string& path) {
  const std::string text =
      Capture("ffmpeg -v info -nostdin -i '" + path + "' -map 0:a -af volumedetect -f null - 2>&1");
  const std::size_t at = text.find("mean_volume: ");
  if (at == std::string::npos) return std::nan("");
  return std::atof(text.c_str() + at + 13);
}

class VideoRender : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!PluginHasEditor()) GTEST_SKIP() << "this build of the plug-in has no editor";
    if (!HaveProgram("ffmpeg") || !HaveProgram("ffprobe"))
      GTEST_SKIP() << "ffmpeg and ffprobe are not installed (Debian package 'ffmpeg')";
  }
  TempDir dir;
};

}  // namespace

TEST(VideoFrames, EveryVideoFrameShowsTheNewestBeatBeforeIt) {
  // At the editor's own rate each beat is one frame.
  VideoFrames same = PlanVideoFrames(0.0, 48, 24);
  EXPECT_EQ(same.firstBeat, 0);
  ASSERT_EQ(same.copies.size(), 48u);
  EXPECT_EQ(Sum(same.copies), 48);
  for (int c : same.copies) EXPECT_EQ(c, 1);

  // 30 per second: two seconds are 60 frames over the same 48 beats, none shown three times.
  VideoFrames faster = PlanVideoFrames(0.0, 60, 30);
  ASSERT_EQ(faster.copies.size(), 48u);
  EXPECT_EQ(Sum(faster.copies), 60);
  for (int c : faster.copies) EXPECT_TRUE(c == 1 || c == 2) << c;

  // 10 per second: most beats are never shown, and the last frame (0.9 s) shows beat 21.
  VideoFrames slower = PlanVideoFrames(0.0, 10, 10);
  EXPECT_EQ(Sum(slower.copies), 10);
  EXPECT_EQ(slower.LastBeat(), 21);

  // Starting 1.5 s in, the first frame shows beat 36; a start between beats, the one before.
  EXPECT_EQ(PlanVideoFrames(1.5, 24, 24).firstBeat, 36);
  EXPECT_EQ(PlanVideoFrames(1.52, 24, 24).firstBeat, 36);
  EXPECT_TRUE(PlanVideoFrames(0.0, 0, 24).copies.empty());
}

TEST(VideoOptions, ParsedAndCheckedAgainstTheOtherOutputs) {
  RenderOptions o;
  std::string error;
  ASSERT_TRUE(
      ParseRenderOptions({"song.wav", "--video", "a.mp4", "--fps", "30", "--from", "1"}, o, error))
      << error;
  EXPECT_EQ(o.video, "a.mp4");
  EXPECT_EQ(o.fps, 30);
  EXPECT_DOUBLE_EQ(o.from, 1.0);
  EXPECT_LT(o.to, 0.0);  // to the end of the file
  ASSERT_TRUE(ParseRenderOptions({"--video", "a.mp4", "--to", "2"}, o, error)) << error;
  EXPECT_EQ(o.fps, 24);

  EXPECT_NE(ErrorOf({"--video", "a.mp4", "--at", "1"}).find("--video writes one file"),
            std::string::npos);
  EXPECT_NE(ErrorOf({"--video", "a.mp4", "-o", "a.png"}).find("--video"), std::string::npos);
  EXPECT_NE(ErrorOf({"--video", "a.mp4", "--out-dir", "d"}).find("--video"), std::string::npos);
  EXPECT_NE(ErrorOf({"--video", "a.mp4", "--every", "2"}).find("--video"), std::string::npos);
  EXPECT_NE(ErrorOf({"--video", "a.mp4", "--from", "2", "--to", "2"}).find("before"),
            std::string::npos);
  EXPECT_NE(ErrorOf({"--video", "a.mp4", "--fps", "0"}).find("--fps"), std::string::npos);
  EXPECT_NE(ErrorOf({"--video", "a.mp4", "--fps", "121"}).find("--fps"), std::string::npos);
  EXPECT_NE(ErrorOf({"--video", "a.mp4", "--fps", "2.5"}).find("--fps"), std::string::npos);
  EXPECT_NE(ErrorOf({"--fps", "30", "--at", "1", "-o", "a.png"}).find("--video"),
            std::string::npos);
}

TEST(VideoTool, TheEndlessDemoNeedsAnEnd) {
  const ToolRun run = RunTool({"--video", "/tmp/never-written.mp4"});
  EXPECT_EQ(run.code, 2);
  EXPECT_NE(run.err.find("--to"), std::string::npos) << run.err;
}

TEST(VideoTool, AStartPastTheEndOfTheFileIsRefused) {
  TempDir dir;
  const std::string wav = dir.File("short.wav");
  ASSERT_TRUE(WriteWav(wav, 1, 8000, 8000, [](int, long) { return 0.0f; }));
  const ToolRun run = RunTool({wav, "--from", "1", "--video", dir.File("a.mp4")});
  EXPECT_EQ(run.code, 2);
  EXPECT_NE(run.err.find("end of"), std::string::npos) << run.err;
}

TEST(VideoTool, WithoutFfmpegItSaysWhatIsMissing) {
  if (!PluginHasEditor()) GTEST_SKIP() << "this build of the plug-in has no editor";
  TempDir dir;
  const char* path = std::getenv("PATH");
  const std::string saved = path != nullptr ? path : "";
  setenv("PATH", dir.Path().c_str(), 1);  // a folder with no programs in it
  const ToolRun run = RunTool({"--to", "0.5", "--video", dir.File("a.mp4")});
  setenv("PATH", saved.c_str(), 1);
  EXPECT_EQ(run.code, 1);
  EXPECT_NE(run.err.find("needs ffmpeg"), std::string::npos) << run.err;
  EXPECT_FALSE(std::filesystem::exists(dir.File("a.mp4")));
}

TEST_F(VideoRender, TwoSecondsOfTheDemoHaveBothStreamsTheEditorsSizeAndTheirLength) {
  const std::string video = dir.File("demo.mp4");
  const ToolRun run = RunTool({"--domain", "freq", "--to", "2", "--video", video});
  ASSERT_EQ(run.code, 0) << run.err;
  EXPECT_NE(run.out.find("48 frames at 24 fps"), std::string::npos) << run.out;

  const Probe probe = ProbeFile(video);
  ASSERT_EQ(probe.streams.size(), 2u);
  const Fields* v = probe.Stream("video");
  const Fields* a = probe.Stream("audio");
  ASSERT_NE(v, nullptr);
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(v->at("codec_name"), "h264");
  EXPECT_EQ(Number(v, "width"), 724);
  EXPECT_EQ(Number(v, "height"), 526);
  EXPECT_EQ(v->at("pix_fmt"), "yuv420p");
  EXPECT_EQ(v->at("avg_frame_rate"), "24/1");
  EXPECT_EQ(Number(v, "nb_frames"), 48);
  EXPECT_NEAR(Number(v, "duration"), 2.0, 1e-3);
  // The demo's stereo pair, at its rate; AAC frames round the length up a little.
  EXPECT_EQ(a->at("codec_name"), "aac");
  EXPECT_EQ(Number(a, "channels"), 2);
  EXPECT_EQ(Number(a, "sample_rate"), 48000);
  EXPECT_NEAR(Number(a, "duration"), 2.0, 0.05);
  EXPECT_NEAR(Number(&probe.format, "duration"), 2.0, 0.05);
  EXPECT_GT(MeanVolume(video), -30.0);  // the demo's sound, not silence
}

TEST_F(VideoRender, AChosenRateAndAStretchOfAFileKeepTheFilesSound) {
  const std::string wav = dir.File("tone.wav");
  ASSERT_TRUE(WriteWav(wav, 1, 44100, 44100 * 3, [](int, long i) {
    return 0.5f * static_cast<float>(std::sin(i * 2.0 * 3.141592653589793 * 440.0 / 44100.0));
  }));
  const std::string video = dir.File("tone.mov");
  const ToolRun run =
      RunTool({wav, "--from", "0.5", "--to", "1.5", "--fps", "30", "--video", video});
  ASSERT_EQ(run.code, 0) << run.err;

  const Probe probe = ProbeFile(video);
  const Fields* v = probe.Stream("video");
  const Fields* a = probe.Stream("audio");
  ASSERT_NE(v, nullptr);
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(v->at("avg_frame_rate"), "30/1");
  EXPECT_EQ(Number(v, "nb_frames"), 30);
  EXPECT_NEAR(Number(v, "duration"), 1.0, 1e-3);
  EXPECT_EQ(Number(a, "channels"), 1);
  EXPECT_EQ(Number(a, "sample_rate"), 44100);
  EXPECT_NEAR(Number(a, "duration"), 1.0, 0.05);
  // A sine of amplitude 0.5 has an RMS level of -9.0 dB.
  EXPECT_NEAR(MeanVolume(video), -9.0, 1.0);
}

TEST_F(VideoRender, AnUnwritableOutputFailsWithFfmpegsReason) {
  const ToolRun run = RunTool({"--to", "0.5", "--video", dir.File("no-such-folder/a.mp4")});
  EXPECT_EQ(run.code, 1);
  EXPECT_NE(run.err.find("was not written"), std::string::npos) << run.err;
}

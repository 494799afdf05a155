// Reference renders: fixed inputs drawn by the editor and compared with the pictures
// stored in data/. Set VIRLEX_RENDER_REGENERATE=1 to write the pictures anew (then
// look at them before keeping them).
//
// The pictures are compared exactly, text included: one pixel out of place - a
// cursor line, a label, a trace column - is a difference. Measured on this
// project's machines: the renders are identical run after run, and identical
// with the vector paths of the FFT and the raster library switched off
// (VIRLEX_FFT_REFERENCE=1, VIRLEX_NO_SIMD=1; 0 pixels differ in every domain and
// fft size tried). The raster paths are tested to give identical pixels; the
// FFT's vector paths agree with its plain path only to the last bits on some
// processors, so these renders use the plain path, whatever the processor.
// Glyphs come from FreeType and the fonts tools/install-deps.sh installs.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>

#include "tests/render/RenderTestSupport.h"

using namespace rendertest;

namespace {

// Before any plug-in exists in this process: the FFT picks its path once.
const bool kPlainFft = setenv("VIRLEX_FFT_REFERENCE", "1", 1) == 0;

struct Reference {
  const char* name;
  std::vector<std::string> args;
  bool squareFile;  // render the generated square-wave file instead of the demo
};

void PrintTo(const Reference& ref, std::ostream* os) { *os << ref.name; }

bool Regenerate() {
  const char* v = std::getenv("VIRLEX_RENDER_REGENERATE");
  return v != nullptr && *v != '\0' && std::string(v) != "0";
}

const std::vector<Reference>& References() {
  static const std::vector<Reference> refs = {
      {"demo-time",
       {"--domain", "time", "--param", "X zoom low=0.98", "--param", "hold=-10 dB", "--at", "2"},
       false},
      // The time display as it runs: no trigger, two seconds of scrolling redraws.
      {"demo-time-scrolling", {"--domain", "time", "--at", "2"}, false},
      {"demo-freq", {"--domain", "freq", "--at", "2"}, false},
      {"demo-phase", {"--domain", "phase", "--at", "1"}, false},
      // A click freezes the time display with a cursor; the wheel then zooms in towards it.
      {"demo-time-cursor",
       {"--click", "1.5:250,200", "--wheel", "1.6:250,200:20", "--at", "2"},
       false},
      // A drag on the display pans to older audio and magnifies.
      {"demo-phase-drag",
       {"--domain", "phase", "--drag", "0.5:300,300:340,240", "--at", "1"},
       false},
      {"square-freq-16384", {"--domain", "freq", "--param", "fft size=16384", "--at", "1"}, true},
  };
  return refs;
}

// A stereo 1 kHz square wave at 48 kHz, and its inverse: odd harmonics in the
// spectrum, identical on both inputs.
std::string SquareFile(const TempDir& dir) {
  const std::string path = dir.File("square.wav");
  WriteWav(path, 2, 48000, 96000, [](int c, long i) {
    const float v = (i / 24) % 2 ? 0.5f : -0.5f;
    return c == 0 ? v : -v;
  });
  return path;
}

class ReferenceRender : public ::testing::TestWithParam<Reference> {};

}  // namespace

TEST_P(ReferenceRender, MatchesTheStoredPicture) {
  if (!PluginHasEditor()) GTEST_SKIP() << "this build of the plug-in has no editor";
  const Reference& ref = GetParam();
  TempDir dir;
  std::vector<std::string> args = ref.args;
  if (ref.squareFile) args.insert(args.begin(), SquareFile(dir));
  const std::string rendered = dir.File(std::string(ref.name) + ".png");
  args.insert(args.end(), {"-o", rendered});
  const ToolRun run = RunTool(args);
  ASSERT_EQ(run.code, 0) << run.err;

  const std::string stored = std::string(VIRLEX_RENDER_DATA) + "/" + ref.name + ".png";
  if (Regenerate()) {
    std::filesystem::copy_file(rendered, stored, std::filesystem::copy_options::overwrite_existing);
    std::printf("wrote %s\n", stored.c_str());
  }
  auto expected = LoadPicture(stored);
  ASSERT_NE(expected, nullptr) << stored << " is missing; VIRLEX_RENDER_REGENERATE=1 makes it";
  auto actual = LoadPicture(rendered);
  ASSERT_NE(actual, nullptr);
  ASSERT_TRUE(kPlainFft);
  const PictureDiff d = ComparePictures(*actual, *expected, {}, 0);
  ASSERT_GE(d.differing, 0) << "sizes differ";
  EXPECT_EQ(d.differing, 0) << d.differing << " of " << d.compared << " pixels differ (largest by "
                            << d.largest << ")";
}

INSTANTIATE_TEST_SUITE_P(Editor, ReferenceRender, ::testing::ValuesIn(References()),
                         [](const ::testing::TestParamInfo<Reference>& info) {
                           std::string name = info.param.name;
                           for (char& c : name)
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           return name;
                         });

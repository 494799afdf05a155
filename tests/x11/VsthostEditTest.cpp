// vsthost's edit command on X11: the host's own top-level window, effEditOpen with it,
// real input through XTest at editor coordinates, screenshots, reopen cycles. Run on
// Virlex's module and on one of LSP's editors (skipped where LSP is not installed).
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "graphics/RasterLoadPng.h"
#include "raster/RasterBitmap.h"
#include "tests/x11/XvfbServer.h"

namespace {

// Runs vsthost with args on the test display; its output, stdout and stderr together.
std::string Vsthost(const std::string& args) {
  const std::string command = std::string(VIRLEX_VSTHOST_PATH) + " " + args + " 2>&1";
  std::string out;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    std::array<char, 4096> buffer{};
    while (std::fgets(buffer.data(), int(buffer.size()), pipe) != nullptr) out += buffer.data();
    pclose(pipe);
  }
  return out;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// Each pattern matches a whole line, after the line the previous one matched.
::testing::AssertionResult InOrder(const std::string& output,
                                   const std::vector<std::string>& patterns) {
  const std::vector<std::string> lines = Lines(output);
  std::size_t at = 0;
  for (const std::string& p : patterns) {
    const std::regex re(p);
    while (at < lines.size() && !std::regex_match(lines[at], re)) ++at;
    if (at == lines.size()) {
      return ::testing::AssertionFailure() << "no line matching '" << p << "' in order in:\n"
                                           << output;
    }
    ++at;
  }
  return ::testing::AssertionSuccess();
}

class VsthostEdit : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string whyNot;
    if (!TestDisplayAvailable(whyNot)) GTEST_SKIP() << whyNot;
  }
};

TEST_F(VsthostEdit, RealInputReachesVirlexsEditorAndTheHostSeesEachGesture) {
  const std::string out = Vsthost(std::string("edit ") + VIRLEX_MODULE_PATH +
                                  " --click 0.3:250,474 --drag 0.5:63,465:63,385"
                                  " --wheel 1.0:349,200:2 --wheel 1.3:571,465:2"
                                  " --right-click 1.6:571,465 --text 2.4:0.4 --key 2.5:return"
                                  " --print-params 3.2");
  EXPECT_TRUE(InOrder(out, {"edit: editor size 724x526", "edit: effEditOpen -> 1",
                            "edit: child window IPlug at 0,0 size 724x526"}));
  EXPECT_TRUE(InOrder(
      out, {"input at 0.30 s: click", "host call: beginEdit index=2 .*",
            "host call: automate index=2 .*opt=0.000000.*", "host call: endEdit index=2 .*"}));
  EXPECT_TRUE(InOrder(out, {"input at 0.50 s: drag", "host call: beginEdit index=0 .*",
                            "host call: automate index=0 .*", "host call: endEdit index=0 .*"}));
  EXPECT_TRUE(InOrder(
      out, {"input at 1.00 s: wheel", "host call: beginEdit index=13 .*",
            "host call: beginEdit index=14 .*", "host call: automate index=13 .*",
            "host call: automate index=14 .*", "host call: endEdit index=13 .*",
            "host call: endEdit index=14 .*", "input at 1.30 s: wheel",
            "host call: beginEdit index=12 .*", "host call: automate index=12 .*opt=0.760000.*",
            "host call: endEdit index=12 .*"}));
  // The right click opens the number field on the opacity knob; typed text replaces
  // the value and Return commits it on the next beat.
  EXPECT_TRUE(InOrder(
      out, {"input at 2.50 s: key", "host call: beginEdit index=12 .*",
            "host call: automate index=12 .*opt=0.400000.*", "host call: endEdit index=12 .*",
            "params at 3.20 s:", "param 12: opacity = 0.400000 \\[0.40\\]"}));
  EXPECT_TRUE(InOrder(out, {"edit: effEditClose -> 1",
                            "edit: windows in the host window after closing: 0", "edit: done"}));
}

TEST_F(VsthostEdit, OpeningTwiceAndTwoHundredReopensLeaveOneWindowThenNone) {
  const std::string out = Vsthost(std::string("edit ") + VIRLEX_MODULE_PATH +
                                  " --open-twice --seconds 0.3 --reopen 200");
  EXPECT_TRUE(InOrder(
      out,
      {"edit: effEditOpen again -> 1", "edit: windows in the host window after opening again: 1",
       "edit: child window IPlug at 0,0 size 724x526",
       "edit: windows in the host window after closing: 0",
       "edit: windows after the first close: 1", "edit: reopened and closed 200 times",
       "edit: windows after the reopen cycles: 1", "edit: done"}));
}

// A third party's editor: LSP's oscilloscope tells its size only once open.
TEST_F(VsthostEdit, OpensAnLspEditorAndCapturesWhatItDraws) {
  const std::string lsp = "/usr/lib/vst/lsp-plugins/oscilloscope-x4.so";
  struct stat st {};
  if (stat(lsp.c_str(), &st) != 0) GTEST_SKIP() << "lsp-plugins-vst is not installed";
  const std::string png = std::string(VIRLEX_X11_PICTURES) + "/vsthost-edit-lsp.png";
  std::remove(png.c_str());
  const std::string out = Vsthost("edit " + lsp + " --seconds 2.5 --screenshot 2.0:" + png);
  EXPECT_TRUE(InOrder(out, {"edit: effEditOpen -> 1", "edit: editor size [0-9]+x[0-9]+ once open",
                            "edit: child window .* at 0,0 size [0-9]+x[0-9]+", "screenshot: .*",
                            "edit: effEditClose -> 1", "edit: done"}));
  std::ifstream file(png, std::ios::binary);
  const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(file)),
                                         std::istreambuf_iterator<char>());
  std::unique_ptr<RasterBitmap> picture(
      RasterLoadPngFromMemory(bytes.data(), bytes.size(), nullptr));
  ASSERT_NE(picture, nullptr) << out;
  std::set<RasterPixel> colours;
  for (int i = 0; i < picture->GetWidth() * picture->GetHeight(); ++i)
    colours.insert(picture->GetBits()[i]);
  EXPECT_GT(colours.size(), 100u) << "the capture shows no drawn editor";
}

}  // namespace

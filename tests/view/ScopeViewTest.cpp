// The display inside the complete editor, driven as a user and a host drive it:
// audio through the process entry, parameters through the host, the mouse through
// the off-screen window, redraws by the timer.
#include "plugin/display/ScopeView.h"

#include <atomic>
#include <chrono>
#include <cmath>
#include <limits>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "graphics/ITextWidget.h"
#include "plugin/ScopeParams.h"
#include "plugin/display/FreezeButton.h"
#include "plugin/display/ScopeEditor.h"
#include "tests/display/DisplayTestSupport.h"

namespace {

constexpr IBox kView = {80, 56, 618, 362};
constexpr double kRate = 44100.0;

class ViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(&e.G(), nullptr);
    view = e.Editor().Widgets().view;
    ASSERT_NE(view, nullptr);
  }

  // Plays `frames` frames of f(channel, frame) through the plug-in in blocks of 512.
  template <typename F>
  void Play(int frames, F f) {
    std::vector<float> in[4];
    std::vector<float> out[2];
    for (auto& c : in) c.resize(512);
    for (auto& c : out) c.resize(512);
    for (int done = 0; done < frames; done += 512) {
      const int n = std::min(512, frames - done);
      for (int c = 0; c < 4; ++c) {
        for (int i = 0; i < n; ++i) in[c][i] = f(c, clock + i);
      }
      float* ins[] = {in[0].data(), in[1].data(), in[2].data(), in[3].data()};
      float* outs[] = {out[0].data(), out[1].data()};
      e.effect->processReplacing(e.effect, ins, outs, n);
      clock += n;
    }
  }

  void Set(int idx, double normalized) { e.Automate(idx, normalized); }
  IRgba Pixel(int x, int y) { return e.G().ReadPixel(x, y); }
  std::vector<IRgba> ViewPixels() {
    std::vector<IRgba> pixels;
    for (int y = kView.top; y < kView.bottom; ++y) {
      for (int x = kView.left; x < kView.right; ++x) pixels.push_back(Pixel(x, y));
    }
    return pixels;
  }
  std::string LeftLabel() { return e.Editor().Widgets().leftLabel->Text(); }
  std::string RightLabel() { return e.Editor().Widgets().rightLabel->Text(); }

  EditorInstance e;
  ScopeView* view = nullptr;
  long clock = 0;
};

bool Same(const std::vector<IRgba>& a, const std::vector<IRgba>& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (!(a[i] == b[i])) return false;
  }
  return true;
}

TEST_F(ViewTest, ClickFreezesAndDropsTheCursorWhereClicked) {
  Play(48000, [](int, long i) { return float(std::sin(i * 0.05)); });
  e.G().Tick();
  e.G().Press(349, 200, kLeft);  // the middle of the default window 0.5 .. 1.0
  e.G().Release(349, 200, kLeft);
  EXPECT_TRUE(view->Frozen());
  EXPECT_TRUE(e.Plug().Frozen());
  EXPECT_EQ(e.Editor().Widgets().freeze->Value(), 1.0);
  EXPECT_NEAR(view->CursorPos(), 0.75, 1e-9);
  EXPECT_EQ(LeftLabel(), "272.1 ms 3.7 Hz");
  EXPECT_EQ(RightLabel(), "272.1 ms 3.7 Hz");
  e.G().Tick();
  const IRgba cursor = Pixel(349, 200);
  EXPECT_EQ(cursor.b, 216);  // the blue cursor line
}

TEST_F(ViewTest, CursorAtTheLeftEdgeLeavesTheLeftLabelEmpty) {
  e.G().Press(kView.left, 200, kLeft);
  EXPECT_EQ(view->CursorPos(), 0.5);
  EXPECT_EQ(LeftLabel(), "");
  EXPECT_EQ(RightLabel(), "544.2 ms 1.8 Hz");
}

TEST_F(ViewTest, LaterClicksOnlyPickTheCursorUpWhenNearIt) {
  e.G().Press(349, 200, kLeft);
  e.G().Release(349, 200, kLeft);
  e.G().Press(500, 200, kLeft);  // elsewhere on a frozen display: nothing changes
  e.G().Release(500, 200, kLeft);
  EXPECT_NEAR(view->CursorPos(), 0.75, 1e-9);
  e.G().Move(350, 200, kHover);
  e.G().Press(350, 200, kLeft);
  e.G().Move(450, 200, kLeft);  // dragging the cursor, not the picture
  EXPECT_NEAR(view->CursorPos(), 0.5 + 0.5 * (450 - 80) / 538.0, 1e-9);
  EXPECT_EQ(view->XLow(), 0.5);
}

TEST_F(ViewTest, PanStopsAtTheEndsOfTheWindow) {
  Set(kParamXZoomLow, 0.0);
  Set(kParamXZoomHigh, 0.5);
  e.G().Press(300, 200, kLeft);
  e.G().Move(400, 200, kLeft);  // right: older samples, but there are none
  EXPECT_EQ(view->XLow(), 0.0);
  EXPECT_EQ(view->XHigh(), 0.5);
  e.G().Move(300, 200, kLeft);  // back left: newer samples
  EXPECT_NEAR(view->XLow(), 100.0 * 0.5 / 538.0, 1e-9);
  e.G().Move(-5000, 200, kLeft);  // far left: stops at the newest sample
  EXPECT_NEAR(view->XHigh(), 1.0, 1e-9);
  EXPECT_NEAR(view->XLow(), 0.5, 1e-9);
  EXPECT_GT(e.Count(vst::audioMasterAutomate), 0);  // the host hears the gesture
}

TEST_F(ViewTest, DraggingUpMagnifies) {
  const double before = view->YZoom();
  e.G().Press(300, 200, kLeft);
  e.G().Move(300, 100, kLeft);
  EXPECT_NEAR(view->YZoom(), before + 0.1, 1e-9);
}

TEST_F(ViewTest, WheelClosesANarrowWindowToAboutATenthOfAPercent) {
  Set(kParamXZoomLow, 0.5);
  Set(kParamXZoomHigh, 0.502);
  e.G().Wheel(300, 200, kHover, 120);
  EXPECT_NEAR(view->XHigh() - view->XLow(), 0.001, 1e-9);
  e.G().Wheel(300, 200, kHover, 120 * 5);
  EXPECT_LT(view->XLow(), view->XHigh());
}

TEST_F(ViewTest, DoubleClickRestoresTheDomainsZoomEvenFromANarrowWindow) {
  Set(kParamXZoomLow, 0.1);
  Set(kParamXZoomHigh, 0.2);
  e.G().DoubleClick(300, 200, kLeft);
  EXPECT_EQ(view->XLow(), 0.5);
  EXPECT_EQ(view->XHigh(), 1.0);
  EXPECT_EQ(view->YZoom(), 0.5);
}

// What the host heard about parameter idx, in order: B begin edit, A automation,
// E end edit.
std::string EditsOf(const ScopeInstance& e, int idx) {
  std::string heard;
  for (const HostCall& c : e.host.calls) {
    if (c.index != idx) continue;
    if (c.opcode == vst::audioMasterBeginEdit) heard += 'B';
    if (c.opcode == vst::audioMasterAutomate) heard += 'A';
    if (c.opcode == vst::audioMasterEndEdit) heard += 'E';
  }
  return heard;
}

TEST_F(ViewTest, EachWheelStepIsOneEditOfBothEnds) {
  e.ClearCalls();
  e.G().Wheel(300, 200, kHover, 120);
  EXPECT_EQ(EditsOf(e, kParamXZoomLow), "BAE");
  EXPECT_EQ(EditsOf(e, kParamXZoomHigh), "BAE");
  e.G().Wheel(300, 200, kHover, -120);
  EXPECT_EQ(EditsOf(e, kParamXZoomLow), "BAEBAE");
  EXPECT_EQ(EditsOf(e, kParamXZoomHigh), "BAEBAE");
  EXPECT_EQ(EditsOf(e, kParamYZoom), "");
}

TEST_F(ViewTest, ADragIsOneEditFromPressToRelease) {
  Set(kParamXZoomLow, 0.4);
  Set(kParamXZoomHigh, 0.8);
  e.ClearCalls();
  e.G().Press(300, 200, kLeft);
  e.G().Move(290, 190, kLeft);
  e.G().Move(280, 180, kLeft);
  e.G().Move(270, 170, kLeft);
  // Still held: the gesture is open.
  for (int idx : {kParamXZoomLow, kParamXZoomHigh, kParamYZoom})
    EXPECT_EQ(EditsOf(e, idx), "BAAA") << "parameter " << idx;
  e.G().Release(270, 170, kLeft);
  for (int idx : {kParamXZoomLow, kParamXZoomHigh, kParamYZoom})
    EXPECT_EQ(EditsOf(e, idx), "BAAAE") << "parameter " << idx;
  // The next drag is a gesture of its own.
  e.G().Press(300, 200, kLeft);
  e.G().Move(310, 200, kLeft);
  e.G().Release(310, 200, kLeft);
  EXPECT_EQ(EditsOf(e, kParamXZoomLow), "BAAAEBAE");
}

TEST_F(ViewTest, AClickOrACursorDragIsNoEdit) {
  e.ClearCalls();
  e.G().Press(349, 200, kLeft);  // freezes and drops the cursor
  e.G().Release(349, 200, kLeft);
  e.G().Move(349, 200, kHover);
  e.G().Press(349, 200, kLeft);  // picks the cursor up
  e.G().Move(400, 200, kLeft);
  e.G().Release(400, 200, kLeft);
  EXPECT_GT(view->CursorPos(), 0.75);
  EXPECT_EQ(e.Count(vst::audioMasterBeginEdit), 0);
  EXPECT_EQ(e.Count(vst::audioMasterEndEdit), 0);
  EXPECT_EQ(e.Count(vst::audioMasterAutomate), 0);
}

TEST_F(ViewTest, TheWheelDuringADragStaysInsideTheDragsEdit) {
  e.ClearCalls();
  e.G().Press(300, 200, kLeft);
  e.G().Move(310, 190, kLeft);
  e.G().Wheel(310, 190, kLeft, 120);
  e.G().Release(310, 190, kLeft);
  // The frozen cursor holds the low end where the drag left it.
  EXPECT_EQ(EditsOf(e, kParamXZoomLow), "BAE");
  EXPECT_EQ(EditsOf(e, kParamXZoomHigh), "BAAE");
}

TEST_F(ViewTest, LeavingTheDisplayEndsADragsEdit) {
  e.ClearCalls();
  e.G().Press(300, 200, kLeft);
  e.G().Move(310, 190, kLeft);
  e.G().Leave();
  EXPECT_EQ(EditsOf(e, kParamXZoomLow), "BAE");
  EXPECT_EQ(EditsOf(e, kParamYZoom), "BAE");
}

TEST_F(ViewTest, ADoubleClickIsOneEditOfEachZoom) {
  Set(kParamXZoomLow, 0.1);
  Set(kParamXZoomHigh, 0.2);
  Set(kParamYZoom, 0.9);
  e.ClearCalls();
  e.G().DoubleClick(300, 200, kLeft);
  for (int idx : {kParamXZoomLow, kParamXZoomHigh, kParamYZoom})
    EXPECT_EQ(EditsOf(e, idx), "BAE") << "parameter " << idx;
}

TEST_F(ViewTest, SwitchingDomainsRemembersEachDomainsZoom) {
  Set(kParamXZoomLow, 0.8);
  Set(kParamXZoomHigh, 0.9);
  Set(kParamDomain, 0.5);  // freq
  EXPECT_EQ(view->Mode(), kDomainFreq);
  EXPECT_EQ(view->XLow(), 0.0);
  EXPECT_EQ(view->XHigh(), 0.75);
  Set(kParamXZoomHigh, 0.5);
  Set(kParamDomain, 0.0);                // back to time: 0.8 lies above freq's 0.5, still restored
  EXPECT_NEAR(view->XLow(), 0.8, 1e-6);  // the host's values are floats
  EXPECT_NEAR(view->XHigh(), 0.9, 1e-6);
  EXPECT_NEAR(e.Real(kParamXZoomLow), 0.8, 1e-6);
}

TEST_F(ViewTest, ConstantSignalDrawsOnlyTheLineWithoutBars) {
  Play(48000, [](int c, long) { return c == 0 ? 0.3f : 0.0f; });
  Set(kParamInput1 + 1, 0.0);
  e.G().Tick();
  const int row = static_cast<int>((kView.top + kView.bottom) * 0.5f - 0.3f * view->YScale());
  int bright = 0;
  for (int y = kView.top + 1; y < kView.bottom - 1; ++y) {
    if (std::abs(y - row) <= 1) continue;
    const IRgba p = Pixel(300, y);
    bright += (p.r > 150 && p.g > 150 && p.b > 150);
  }
  EXPECT_EQ(bright, 0);
  const IRgba line = Pixel(300, row);
  EXPECT_GT(line.r + line.g + line.b, 300);
}

TEST_F(ViewTest, DeepestZoomMarksEverySample) {
  Set(kParamInput1 + 1, 0.0);
  Play(48000, [](int, long i) { return (i / 7) % 2 ? 0.5f : -0.5f; });
  Set(kParamXZoomLow, 1.0);  // held 0.001 below "X zoom high": 48 samples
  e.G().Tick();
  const SampleRun run = ViewRun(kRate, 0.0, view->XLow(), view->XHigh());
  ASSERT_EQ(run.count, 48);
  // Each sample after the first gets a small cross: its vertical arm reaches two
  // pixels above and below the sample's row, where a flat trace has no pixels.
  const TraceRows rows{(kView.top + kView.bottom) * 0.5f, view->YScale(), float(kView.top),
                       float(kView.bottom)};
  const float pixelsPerSample = 538.0f / run.count;
  const float* samples = view->ChannelAt(0).window.samples.data() + run.start;
  int crosses = 0;
  for (int i = 1; i < run.count; ++i) {
    const int x = static_cast<int>(kView.left + std::min((i + 1) * pixelsPerSample, 537.0f));
    const int y = static_cast<int>(SampleRow(samples[i], rows));
    crosses += Pixel(x, y - 2).r > 200 && Pixel(x, y + 2).r > 200;
  }
  EXPECT_GE(crosses, run.count - 8);  // the samples next to a jump sit on its line anyway
}

TEST_F(ViewTest, TriggerHoldsAPeriodicSignalStill) {
  // One loud pulse per 100 samples: the trigger finds the same pulse shape every time.
  auto pulses = [](int, long i) { return i % 100 < 3 ? 0.9f : 0.1f; };
  Set(kParamHold, (-6.0 + 30.0) / 33.0);
  EXPECT_NEAR(view->TriggerLevel(), std::pow(10.0, -6.0 / 20.0), 1e-3);
  Play(48000, pulses);
  e.G().Tick();
  const auto first = ViewPixels();
  Play(537, pulses);  // not a whole number of periods
  e.G().Tick();
  EXPECT_TRUE(Same(first, ViewPixels()));

  Set(kParamHold, 1.0);  // off: the picture scrolls
  e.G().Tick();
  const auto running = ViewPixels();
  Play(537, pulses);
  e.G().Tick();
  EXPECT_FALSE(Same(running, ViewPixels()));
}

TEST_F(ViewTest, PhasePairsDrawInTheirMixedColours) {
  Set(kParamDomain, 1.0);
  Set(kParamBlendSpeed, 1.0);
  // Identical signals on a pair: a vertical line up from the bottom middle.
  Play(48000, [](int c, long i) { return c < 2 ? float(0.5 * std::sin(i * 0.01)) : 0.0f; });
  e.G().Tick();
  const int cx = (kView.left + kView.right) / 2;
  int reddish = 0;
  for (int y = kView.top; y < kView.bottom; ++y) {
    const IRgba p = Pixel(cx, y);
    reddish += p.r > p.g + 40 && p.r > p.b + 40;  // (238, 143, 143) added up
  }
  EXPECT_GT(reddish, 10);

  Set(kParamInput1, 0.0);
  Set(kParamInput1 + 1, 0.0);
  Set(kParamInput1 + 2, 1.0);
  Set(kParamInput1 + 3, 1.0);
  Play(48000, [](int c, long i) { return c >= 2 ? float(0.5 * std::sin(i * 0.01)) : 0.0f; });
  e.G().Tick();
  int teal = 0;
  for (int y = kView.top; y < kView.bottom; ++y) {
    const IRgba p = Pixel(cx, y);
    teal += p.g > p.r + 40 && p.b > p.r + 40;  // (32, 156, 154)
  }
  EXPECT_GT(teal, 10);
}

TEST_F(ViewTest, PhaseNeedsBothInputsOfAPair) {
  Set(kParamDomain, 1.0);
  Set(kParamInput1 + 1, 0.0);
  Play(48000, [](int, long i) { return float(0.5 * std::sin(i * 0.01)); });
  e.G().Tick();
  for (int y = kView.top + 2; y < kView.bottom - 2; ++y) {
    for (int x = kView.left + 2; x < kView.right - 2; ++x) {
      const IRgba p = Pixel(x, y);
      ASSERT_FALSE(p.r > p.g + 30) << x << "," << y;  // nothing of pair 1/2's colour
    }
  }
}

TEST_F(ViewTest, FrozenDisplayPullsNothing) {
  Play(48000, [](int, long) { return 0.25f; });
  e.G().Tick();
  e.G().Press(300, 200, kLeft);
  Play(4800, [](int, long) { return -0.75f; });
  e.G().Tick();
  EXPECT_EQ(view->ChannelAt(0).window.samples.back(), 0.25f);
  e.Editor().Widgets().freeze->MouseDown(0, 0, kLeft);  // unfreeze
  EXPECT_FALSE(view->Frozen());
  EXPECT_LT(view->CursorPos(), 0.0);
  e.G().Tick();
  EXPECT_EQ(view->ChannelAt(0).window.samples.back(), -0.75f);
}

TEST_F(ViewTest, NonFiniteInputNeverBreaksAnyDomain) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  Set(kParamInput1 + 2, 1.0);
  Set(kParamInput1 + 3, 1.0);
  for (double domain : {0.0, 0.5, 1.0}) {
    Set(kParamDomain, domain);
    Play(48000, [&](int c, long i) { return i % 3 == 0 ? (c % 2 ? inf : nan) : 0.1f; });
    e.G().Tick();
    for (int c = 0; c < 4; ++c) EXPECT_FALSE(std::isnan(view->ChannelAt(c).window.level));
  }
  Set(kParamDomain, 0.5);
  unsigned noise = 1;
  Play(48000, [&](int, long) {
    noise = noise * 1664525u + 1013904223u;
    return float(int(noise >> 16) - 32768) / 65536.0f;
  });
  for (int k = 0; k < 3; ++k) e.G().Tick();
  // After the bad audio has passed, the spectrum is a spectrum again.
  int lit = 0;
  for (int x = kView.left; x < kView.right; ++x) lit += Pixel(x, kView.bottom - 3).r > 60;
  EXPECT_GT(lit, 100);
}

TEST_F(ViewTest, HostAutomationDuringRedrawsAndAudioNeverDeadlocks) {
  std::atomic<bool> stop{false};
  std::thread automation([&] {
    for (int i = 0; !stop; ++i) {
      e.Automate(kParamDomain, (i % 3) * 0.5);
      e.Automate(kParamXZoomLow, (i % 7) / 10.0);
      e.Automate(kParamFftSize, (i % 7) / 6.0);
    }
  });
  std::thread audio([&] {
    std::vector<float> buf(256, 0.1f);
    float* io[] = {buf.data(), buf.data(), buf.data(), buf.data()};
    while (!stop) e.effect->processReplacing(e.effect, io, io, 256);
  });
  const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(400);
  int ticks = 0;
  while (std::chrono::steady_clock::now() < until) {
    e.G().Tick();
    e.G().Move(200 + ticks % 300, 150, kHover);
    e.G().Wheel(300, 200, kHover, ticks % 2 ? 120 : -120);
    ++ticks;
  }
  stop = true;
  automation.join();
  audio.join();
  EXPECT_GT(ticks, 0);
}

}  // namespace

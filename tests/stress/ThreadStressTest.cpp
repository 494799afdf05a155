// The module driven from every side at once, as a busy host drives it: audio on
// its own thread, host automation on another, the editor's timer with mouse
// gestures on a third, the editor opened and closed, state saved and loaded, and
// sample rate and block size changed, each on a thread of its own. Under
// ThreadSanitizer (tools/build.sh tsan) any data race fails the run; in every tree
// it checks that nothing deadlocks and that the audio passes through unchanged.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <random>
#include <thread>
#include <vector>

#include "graphics/platform/offscreen/IGraphicsOffscreen.h"
#include "iplug/IPlugVST.h"
#include "tests/support/QuietHost.h"

extern "C" vst::AEffect* VSTPluginMain(vst::HostCallback host);

namespace {

using Clock = std::chrono::steady_clock;

vst::intptr Call(vst::AEffect* e, vst::int32 opcode, vst::int32 index = 0, vst::intptr value = 0,
                 void* ptr = nullptr, float opt = 0.0f) {
  return e->dispatcher(e, opcode, index, value, ptr, opt);
}

double StressSeconds() {
  const char* text = std::getenv("VIRLEX_STRESS_SECONDS");
  const double seconds = text != nullptr ? std::atof(text) : 0.0;
  return seconds > 0.0 ? seconds : 3.0;
}

struct Counts {
  std::atomic<long> blocks{0}, mismatches{0}, automations{0}, ticks{0}, gestures{0}, opens{0},
      chunks{0}, rates{0};
};

class Stress {
 public:
  explicit Stress(vst::AEffect* effect) : effect_(effect) {
    graphics_ = dynamic_cast<IGraphicsOffscreen*>(IPlugVST::FromEffect(effect)->Graphics());
  }

  void Audio() {
    const int frames = 256;
    std::vector<float> in[4], out[2];
    std::vector<double> din[4], dout[2];
    for (auto& c : in) c.resize(frames);
    for (auto& c : out) c.resize(frames);
    for (auto& c : din) c.resize(frames);
    for (auto& c : dout) c.resize(frames);
    float* ins[4] = {in[0].data(), in[1].data(), in[2].data(), in[3].data()};
    float* outs[2] = {out[0].data(), out[1].data()};
    double* dins[4] = {din[0].data(), din[1].data(), din[2].data(), din[3].data()};
    double* douts[2] = {dout[0].data(), dout[1].data()};
    long n = 0;
    Loop([&] {
      for (int c = 0; c < 4; ++c)
        for (int i = 0; i < frames; ++i) {
          const double s = 0.5 * std::sin(0.01 * (n * frames + i) * (c + 1));
          in[c][static_cast<std::size_t>(i)] = static_cast<float>(s);
          din[c][static_cast<std::size_t>(i)] = s;
        }
      const bool precise = n % 7 == 0;
      if (precise) {
        effect_->processDoubleReplacing(effect_, dins, douts, frames);
      } else {
        effect_->processReplacing(effect_, ins, outs, frames);
      }
      // Inputs 1 and 2 reach outputs 1 and 2 unchanged, unless the host just
      // disconnected them (the speaker arrangement thread does not run here).
      for (int c = 0; c < 2; ++c)
        for (int i = 0; i < frames; ++i) {
          const auto k = static_cast<std::size_t>(i);
          const bool same = precise ? dout[c][k] == din[c][k] : out[c][k] == in[c][k];
          if (!same) {
            ++counts.mismatches;
            break;
          }
        }
      ++counts.blocks;
      ++n;
    });
  }

  void Automation() {
    std::mt19937 rng(1);
    Loop([&] {
      const auto index = static_cast<vst::int32>(rng() % 16);
      const float value = static_cast<float>(rng() % 1001) / 1000.0f;
      effect_->setParameter(effect_, index, value);
      effect_->getParameter(effect_, static_cast<vst::int32>(rng() % 16));
      ++counts.automations;
      std::this_thread::sleep_for(std::chrono::microseconds(200));
    });
  }

  // The editor's timer and the user's mouse, on the GUI thread.
  void Gui() {
    std::mt19937 rng(2);
    const IMouseFlags left{true, false, false, false, false};
    const IMouseFlags right{false, true, false, false, false};
    const IMouseFlags none{};
    Loop([&] {
      graphics_->Tick();
      ++counts.ticks;
      const int x = 90 + static_cast<int>(rng() % 500);
      const int y = 70 + static_cast<int>(rng() % 280);
      switch (rng() % 8) {
        case 0:  // pan and zoom the display
          graphics_->Press(x, y, left);
          graphics_->Move(x + 15, y - 10, left);
          graphics_->Move(x + 30, y - 20, left);
          graphics_->Release(x + 30, y - 20, left);
          break;
        case 1:
          graphics_->Wheel(x, y, none, rng() % 2 != 0 ? 240 : -240);
          break;
        case 2:
          graphics_->DoubleClick(x, y, left);
          graphics_->Release(x, y, left);
          break;
        case 3:  // the freeze button
          graphics_->Press(660, 390, left);
          graphics_->Release(660, 390, left);
          break;
        case 4:  // a knob: fft size, blend speed, opacity, delays
          graphics_->Press(static_cast<int>(470 + 48 * (rng() % 3)), 462, left);
          graphics_->Move(470, 440, left);
          graphics_->Release(470, 440, left);
          break;
        case 5:  // value entry on a knob, typed and committed on the next tick
          graphics_->Press(518, 462, right);
          graphics_->Release(518, 462, right);
          graphics_->TypeValueEntry("0.3");
          break;
        default:
          graphics_->Move(x, y, none);
          break;
      }
      ++counts.gestures;
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    });
  }

  void Editor() {
    Loop([&] {
      Call(effect_, vst::effEditOpen);
      Call(effect_, vst::effEditIdle);
      std::this_thread::sleep_for(std::chrono::milliseconds(3));
      Call(effect_, vst::effEditClose);
      ++counts.opens;
    });
  }

  void State() {
    std::mt19937 rng(3);
    Loop([&] {
      const vst::int32 kind = static_cast<vst::int32>(rng() % 2);
      void* lent = nullptr;
      const vst::intptr size = Call(effect_, vst::effGetChunk, kind, 0, &lent);
      if (size > 0) {
        const auto* bytes = static_cast<const std::uint8_t*>(lent);
        std::vector<std::uint8_t> copy(bytes, bytes + size);
        Call(effect_, vst::effSetChunk, kind, size, copy.data());
      }
      if (rng() % 4 == 0) Call(effect_, vst::effSetProgram, 0, 0);
      ++counts.chunks;
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    });
  }

  void Rates() {
    const float rates[] = {8000.0f, 44100.0f, 48000.0f, 96000.0f, 192000.0f, 768000.0f};
    const vst::intptr blocks[] = {64, 256, 1024, 4096};
    std::mt19937 rng(4);
    Loop([&] {
      Call(effect_, vst::effMainsChanged, 0, 0);
      Call(effect_, vst::effSetSampleRate, 0, 0, nullptr, rates[rng() % 6]);
      Call(effect_, vst::effSetBlockSize, 0, blocks[rng() % 4]);
      Call(effect_, vst::effMainsChanged, 0, 1);
      ++counts.rates;
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    });
  }

  void RunAll(double seconds) {
    end_ = Clock::now() +
           std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
    std::vector<std::thread> threads;
    threads.emplace_back([this] { Audio(); });
    threads.emplace_back([this] { Automation(); });
    threads.emplace_back([this] { Gui(); });
    threads.emplace_back([this] { Editor(); });
    threads.emplace_back([this] { State(); });
    threads.emplace_back([this] { Rates(); });
    for (auto& t : threads) t.join();
  }

  IGraphicsOffscreen* Graphics() const { return graphics_; }

  Counts counts;

 private:
  void Loop(const std::function<void()>& body) {
    while (Clock::now() < end_) body();
  }

  vst::AEffect* effect_;
  IGraphicsOffscreen* graphics_ = nullptr;
  Clock::time_point end_{};
};

TEST(ThreadStress, EveryHostThreadAtOnce) {
  vst::AEffect* effect = VSTPluginMain(&QuietHostCallback);
  ASSERT_NE(effect, nullptr);
  Call(effect, vst::effOpen);
  Call(effect, vst::effSetSampleRate, 0, 0, nullptr, 48000.0f);
  Call(effect, vst::effSetBlockSize, 0, 256);
  Call(effect, vst::effMainsChanged, 0, 1);
  {
    Stress stress(effect);
    ASSERT_NE(stress.Graphics(), nullptr);
    stress.RunAll(StressSeconds());
    const Counts& c = stress.counts;
    // Every thread had its turns; the bounds are low, as a debug build under a
    // sanitizer on a loaded machine redraws only a few times a second.
    EXPECT_GT(c.blocks.load(), 20);
    EXPECT_GT(c.ticks.load(), 2);
    EXPECT_GT(c.automations.load(), 2);
    EXPECT_GT(c.opens.load(), 0);
    EXPECT_GT(c.chunks.load(), 0);
    EXPECT_GT(c.rates.load(), 0);
    EXPECT_EQ(c.mismatches.load(), 0) << "audio did not pass through unchanged";
  }
  Call(effect, vst::effMainsChanged, 0, 0);
  Call(effect, vst::effClose);
}

}  // namespace

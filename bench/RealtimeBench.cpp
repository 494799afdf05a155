// The audio thread beside the editor: Virlex's processReplacing with 256-frame blocks
// at an fft size of 16384, timed call by call, first alone and then while a redraw
// thread ticks the editor (spectra of four inputs) and an automation thread changes
// parameters (fft size, zooms, blend, opacity, delays, domain). Printed: the worst and
// the 99.9th-percentile call of each run, and the ratio beside/alone. A host's audio
// thread must never wait for a redraw: the ratio of the worst calls should stay under 2.
//
// The audio thread asks for real-time scheduling (SCHED_FIFO) as hosts do; where the
// system refuses, the counter rt is 0 and preemption by the other threads adds noise.
#include <benchmark/benchmark.h>
#include <pthread.h>
#include <sched.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <thread>
#include <vector>

#include "graphics/platform/offscreen/IGraphicsOffscreen.h"
#include "iplug/IPlugVST.h"
#include "tests/support/QuietHost.h"

extern "C" vst::AEffect* VSTPluginMain(vst::HostCallback host);

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kBlock = 256;
constexpr int kCalls = 12000;  // per condition
constexpr int kRounds = 6;
// The rest of an audio period: a real audio thread spends most of it elsewhere (and
// leaves the instance lock free for the others).
constexpr auto kPause = std::chrono::microseconds(250);

vst::intptr Call(vst::AEffect* e, vst::int32 opcode, vst::int32 index = 0, vst::intptr value = 0,
                 void* ptr = nullptr, float opt = 0.0f) {
  return e->dispatcher(e, opcode, index, value, ptr, opt);
}

struct Spread {
  double worst = 0.0;
  double p999 = 0.0;
};

Spread Measure(std::vector<double> us) {
  std::sort(us.begin(), us.end());
  Spread s;
  s.worst = us.back();
  s.p999 = us[static_cast<std::size_t>(std::ceil(0.999 * us.size())) - 1];
  return s;
}

class Audio {
 public:
  explicit Audio(vst::AEffect* effect) : effect_(effect) {
    for (int c = 0; c < 4; ++c) {
      in_[c].resize(kBlock);
      ins_[c] = in_[c].data();
    }
    for (int c = 0; c < 2; ++c) {
      out_[c].resize(kBlock);
      outs_[c] = out_[c].data();
    }
  }

  std::vector<double> Run(int calls) {
    std::vector<double> us;
    us.reserve(static_cast<std::size_t>(calls));
    for (int n = 0; n < calls; ++n) {
      for (int c = 0; c < 4; ++c)
        for (int i = 0; i < kBlock; ++i)
          in_[c][static_cast<std::size_t>(i)] =
              0.5f * std::sin(0.001f * static_cast<float>((frame_ + i) * (c + 3)));
      frame_ += kBlock;
      const auto t0 = Clock::now();
      effect_->processReplacing(effect_, ins_, outs_, kBlock);
      const auto t1 = Clock::now();
      us.push_back(std::chrono::duration<double, std::micro>(t1 - t0).count());
      std::this_thread::sleep_for(kPause);
    }
    return us;
  }

 private:
  vst::AEffect* effect_;
  std::vector<float> in_[4], out_[2];
  float* ins_[4] = {};
  float* outs_[2] = {};
  long frame_ = 0;
};

bool AskRealtime() {
  sched_param param{};
  param.sched_priority = 70;
  return pthread_setschedparam(pthread_self(), SCHED_FIFO, &param) == 0;
}

// The audio calls with a redraw thread and/or an automation thread beside them.
std::vector<double> Beside(Audio& audio, IGraphicsOffscreen* graphics, vst::AEffect* effect,
                           bool redraws, bool automates, int calls) {
  std::atomic<bool> stop{false};
  std::thread redraw([&] {
    while (redraws && !stop) {
      graphics->Tick();
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
  });
  std::thread automation([&] {
    const vst::int32 params[] = {10, 13, 14, 15, 11, 12, 5, 10, 9, 0};
    for (int n = 0; automates && !stop; ++n) {
      const vst::int32 index = params[n % 10];
      float value = static_cast<float>((n * 37) % 101) / 100.0f;
      if (index == 0) value = n % 20 < 10 ? 0.5f : 0.0f;  // now and then the time domain
      if (index == 14) value = 0.6f + 0.4f * value;
      effect->setParameter(effect, index, value);
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  });
  std::vector<double> us = audio.Run(calls);
  stop = true;
  redraw.join();
  automation.join();
  return us;
}

void Realtime(benchmark::State& state) {
  for (auto _ : state) {
    vst::AEffect* effect = VSTPluginMain(&QuietHostCallback);
    if (effect == nullptr) {
      state.SkipWithError("no instance");
      return;
    }
    Call(effect, vst::effOpen);
    Call(effect, vst::effSetSampleRate, 0, 0, nullptr, 48000.0f);
    Call(effect, vst::effSetBlockSize, 0, kBlock);
    for (int input = 1; input <= 4; ++input) effect->setParameter(effect, input, 1.0f);
    effect->setParameter(effect, 10, 1.0f);  // fft size 16384
    effect->setParameter(effect, 0, 0.5f);   // the spectra
    Call(effect, vst::effMainsChanged, 0, 1);
    Call(effect, vst::effEditOpen);
    auto* graphics = dynamic_cast<IGraphicsOffscreen*>(IPlugVST::FromEffect(effect)->Graphics());
    const bool realtime = AskRealtime();
    Audio audio(effect);
    audio.Run(400);  // warm: queues full, spectra grown
    graphics->Tick();
    // The four conditions take turns, so that a change in the machine's load
    // reaches all of them alike.
    std::vector<double> alone, redrawOnly, automationOnly, both;
    for (int round = 0; round < kRounds; ++round) {
      const int calls = kCalls / kRounds;
      auto append = [](std::vector<double>& to, const std::vector<double>& from) {
        to.insert(to.end(), from.begin(), from.end());
      };
      append(alone, audio.Run(calls));
      append(redrawOnly, Beside(audio, graphics, effect, true, false, calls));
      append(automationOnly, Beside(audio, graphics, effect, false, true, calls));
      append(both, Beside(audio, graphics, effect, true, true, calls));
    }
    const Spread quiet = Measure(alone);
    const Spread beside = Measure(both);
    state.counters["rt"] = realtime ? 1 : 0;
    state.counters["alone_worst_us"] = quiet.worst;
    state.counters["alone_p999_us"] = quiet.p999;
    state.counters["beside_worst_us"] = beside.worst;
    state.counters["beside_p999_us"] = beside.p999;
    state.counters["worst_ratio"] = beside.worst / quiet.worst;
    state.counters["p999_ratio"] = beside.p999 / quiet.p999;
    // Each neighbour on its own, to tell which one costs.
    state.counters["redraw_worst_ratio"] = Measure(redrawOnly).worst / quiet.worst;
    state.counters["automation_worst_ratio"] = Measure(automationOnly).worst / quiet.worst;
    Call(effect, vst::effEditClose);
    Call(effect, vst::effMainsChanged, 0, 0);
    Call(effect, vst::effClose);
  }
}

BENCHMARK(Realtime)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();

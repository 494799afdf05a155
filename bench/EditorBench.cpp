// Redraws of the whole Virlex editor, built as a host builds it (through
// VSTPluginMain) and fed the render tool's demo signal on all four inputs: a full
// redraw per domain at fft sizes 4096 and 16384, the steady-state redraw of the
// time domain after one block of 512 samples (what one timer beat costs while
// audio plays) and the same beat when every column must be computed anew. Each line is printed as a
// share of the 41 ms frame budget and as a ratio to a plain copy of the editor's surface measured
// in the same run.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "graphics/platform/offscreen/IGraphicsOffscreen.h"
#include "tools/virlex-render/AudioSource.h"
#include "tools/virlex-render/RenderSession.h"

namespace {

constexpr double kFrameBudgetNs = 41e6;
constexpr int kBlock = 512;
const char* const kDomains[] = {"time", "freq", "phase"};

// An editor with a full second of the demo behind it, in one domain and fft size.
struct Editor {
  Editor(int domain, const char* fftSize) : source(render::AudioSource::Demo(48000.0)) {
    std::string error;
    ok = session.Start(48000.0, kBlock, error) &&
         session.ApplySettings({{"input 1", "1"},
                                {"input 2", "1"},
                                {"input 3", "1"},
                                {"input 4", "1"},
                                {"fft size", fftSize},
                                {"domain", kDomains[domain]}},
                               error) &&
         session.OpenEditor(error);
    if (!ok) {
      message = error;
      return;
    }
    for (int k = 1; k <= 24; ++k) {
      session.Advance(48000LL * k / 24, source);
      session.Tick();
    }
  }

  void Feed() { session.Advance(session.Position() + kBlock, source); }

  render::RenderSession session;
  render::AudioSource source;
  bool ok = false;
  std::string message;
};

void Copy(benchmark::State& state) {
  const std::size_t bytes = std::size_t(724) * 526 * 4;
  std::vector<unsigned char> a(bytes, 1), b(bytes);
  for (auto _ : state) {
    std::memcpy(b.data(), a.data(), bytes);
    benchmark::DoNotOptimize(b.data());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(Copy);

// Arguments: domain (0 time, 1 freq, 2 phase), fft size.
void FullRedraw(benchmark::State& state) {
  Editor editor(static_cast<int>(state.range(0)), std::to_string(state.range(1)).c_str());
  if (!editor.ok) {
    state.SkipWithError(editor.message.c_str());
    return;
  }
  IGraphicsOffscreen* g = editor.session.Editor();
  const IBox all{0, 0, g->Width(), g->Height()};
  for (auto _ : state) {
    state.PauseTiming();
    editor.Feed();
    state.ResumeTiming();
    g->DrawDirty(all);
    benchmark::DoNotOptimize(g->GetSurfaceBits());
  }
}
BENCHMARK(FullRedraw)
    ->ArgNames({"domain", "fft"})
    ->Args({0, 4096})
    ->Args({1, 4096})
    ->Args({2, 4096})
    ->Args({0, 16384})
    ->Args({1, 16384})
    ->Args({2, 16384});

// One timer beat of the time domain after a block of 512 samples: only the dirty
// controls are drawn and the view reduces only the new samples.
void TimeDomainBeat(benchmark::State& state) {
  Editor editor(0, "4096");
  if (!editor.ok) {
    state.SkipWithError(editor.message.c_str());
    return;
  }
  for (auto _ : state) {
    state.PauseTiming();
    editor.Feed();
    state.ResumeTiming();
    benchmark::DoNotOptimize(editor.session.Tick());
  }
}
BENCHMARK(TimeDomainBeat);

// The time domain's worst beat: every column of every input computed and drawn
// anew (as after a zoom change or on every beat a trigger holds the picture).
void TimeDomainRecompute(benchmark::State& state) {
  Editor editor(0, "4096");
  if (!editor.ok) {
    state.SkipWithError(editor.message.c_str());
    return;
  }
  vsthost::PluginInstance* plugin = editor.session.Plugin();
  const float yZoom = plugin->GetParameter(15);
  for (auto _ : state) {
    state.PauseTiming();
    editor.Feed();
    plugin->SetParameter(15, yZoom);  // the same zoom: everything recomputed
    state.ResumeTiming();
    benchmark::DoNotOptimize(editor.session.Tick());
  }
}
BENCHMARK(TimeDomainRecompute);

// Prints each line's share of the frame budget and its ratio to the copy.
class BudgetReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& r : runs) {
      if (r.error_occurred) continue;
      const double ns = r.GetAdjustedRealTime() * Scale(r.time_unit);
      if (r.benchmark_name() == "Copy") copyNs_ = ns;
      char line[256];
      std::snprintf(line, sizeof(line), "  %-40s %.4f of the 41 ms frame budget",
                    r.benchmark_name().c_str(), ns / kFrameBudgetNs);
      GetOutputStream() << line;
      if (copyNs_ > 0.0) GetOutputStream() << ", " << ns / copyNs_ << " x Copy";
      GetOutputStream() << "\n";
    }
  }

 private:
  static double Scale(benchmark::TimeUnit unit) {
    switch (unit) {
      case benchmark::kSecond:
        return 1e9;
      case benchmark::kMillisecond:
        return 1e6;
      case benchmark::kMicrosecond:
        return 1e3;
      default:
        return 1.0;
    }
  }
  double copyNs_ = 0.0;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  BudgetReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}

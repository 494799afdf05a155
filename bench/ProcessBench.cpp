// Cost per sample frame of a plug-in's processReplacing, driven through the vsthost
// library exactly as the host tool drives it: Virlex (4 in, 2 out), a plain copy of
// the same buffers as the floor, and LSP's four-channel oscilloscope as the peer.
// After the runs a summary prints each figure as a ratio against the others.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "tools/vsthost/PluginInstance.h"

namespace {

using vsthost::PluginInstance;
using vsthost::ProcessMode;

std::string VirlexPath() {
#ifdef VIRLEX_MODULE_PATH
  return VIRLEX_MODULE_PATH;
#else
  return "";
#endif
}

std::string LspScopePath() {
  const char* dir = std::getenv("VIRLEX_LSP_VST_DIR");
  return std::string(dir ? dir : "/usr/lib/vst/lsp-plugins") + "/oscilloscope-x4.so";
}

// Planar buffers for one block with a signal in every input.
struct Buffers {
  std::vector<std::vector<float>> in, out;
  std::vector<float*> inPtr, outPtr;

  Buffers(int inputs, int outputs, int frames)
      : in(std::size_t(inputs), std::vector<float>(std::size_t(frames))),
        out(std::size_t(outputs), std::vector<float>(std::size_t(frames))) {
    for (std::size_t c = 0; c < in.size(); ++c) {
      for (int i = 0; i < frames; ++i)
        in[c][std::size_t(i)] = 0.5f * std::sin(0.01f * float(i) * float(c + 1));
      inPtr.push_back(in[c].data());
    }
    for (auto& channel : out) outPtr.push_back(channel.data());
    if (inPtr.empty()) inPtr.push_back(nullptr);
    if (outPtr.empty()) outPtr.push_back(nullptr);
  }
};

void SetFrameCounter(benchmark::State& state, int frames) {
  // Seconds per frame, shown by the console as ns per frame.
  state.counters["time/frame"] = benchmark::Counter(
      double(frames), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// The floor: a plain copy of the same buffers. A pass-through that also keeps what
// it hears must at least move every input once (into its capture storage) and
// every output once: four input copies and two output copies per block.
void BM_CopyFloor(benchmark::State& state) {
  const int frames = int(state.range(0));
  Buffers b(4, 2, frames);
  std::vector<std::vector<float>> kept(4, std::vector<float>(std::size_t(frames)));
  const std::size_t bytes = sizeof(float) * std::size_t(frames);
  for (auto _ : state) {
    for (std::size_t c = 0; c < 4; ++c) std::memcpy(kept[c].data(), b.inPtr[c], bytes);
    for (std::size_t c = 0; c < 2; ++c) std::memcpy(b.outPtr[c], b.inPtr[c], bytes);
    benchmark::ClobberMemory();
  }
  SetFrameCounter(state, frames);
}

// Runs one plug-in's processReplacing on the same buffers, block after block.
void RunPlugin(benchmark::State& state, const std::string& path, const char* what) {
  const int frames = int(state.range(0));
  if (path.empty()) {
    state.SkipWithError((std::string(what) + " was not built in this configuration").c_str());
    return;
  }
  vsthost::HostContext host;
  std::string error;
  std::unique_ptr<PluginInstance> plugin = PluginInstance::Load(path, host, error);
  if (!plugin) {
    state.SkipWithError((std::string(what) + " not available: " + error).c_str());
    return;
  }
  plugin->Open();
  plugin->SetSampleRate(48000.0);
  plugin->SetBlockSize(frames);
  plugin->SetActive(true);
  Buffers b(plugin->Effect()->numInputs, plugin->Effect()->numOutputs, frames);
  for (auto _ : state) {
    if (!plugin->ProcessFloat(ProcessMode::Replacing, b.inPtr.data(), b.outPtr.data(), frames)) {
      state.SkipWithError("the plug-in refused processReplacing");
      break;
    }
    benchmark::ClobberMemory();
  }
  SetFrameCounter(state, frames);
  plugin->Close();
}

void BM_Virlex(benchmark::State& state) { RunPlugin(state, VirlexPath(), "Virlex"); }
void BM_LspScopeX4(benchmark::State& state) {
  RunPlugin(state, LspScopePath(), "LSP oscilloscope x4 (lsp-plugins-vst)");
}

BENCHMARK(BM_CopyFloor)->Arg(64)->Arg(512)->Arg(4096);
BENCHMARK(BM_Virlex)->Arg(64)->Arg(512)->Arg(4096);
BENCHMARK(BM_LspScopeX4)->Arg(64)->Arg(512)->Arg(4096);

// Keeps the console output and remembers ns per frame by benchmark and block size.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  // Plain text without colour codes, so logs of runs compare line by line.
  RatioReporter() : ConsoleReporter(OO_Tabular) {}

  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.error_occurred || run.run_type != Run::RT_Iteration) continue;
      auto counter = run.counters.find("time/frame");
      if (counter == run.counters.end()) continue;
      std::string name = run.benchmark_name();
      auto slash = name.find('/');
      nsPerFrame_[name.substr(0, slash)][name.substr(slash + 1)] = counter->second.value * 1e9;
    }
  }

  void PrintSummary() const {
    std::printf("\nns per frame and ratios (same run):\n");
    for (const char* block : {"64", "512", "4096"}) {
      double copy = Get("BM_CopyFloor", block), virlex = Get("BM_Virlex", block),
             lsp = Get("BM_LspScopeX4", block);
      std::printf("block %4s: copy %.3f ns, Virlex %s ns, LSP scope x4 %s ns", block, copy,
                  Text(virlex).c_str(), Text(lsp).c_str());
      if (virlex > 0 && copy > 0) std::printf(" | Virlex/copy %.2fx", virlex / copy);
      if (virlex > 0 && lsp > 0) std::printf(" | LSP/Virlex %.1fx", lsp / virlex);
      std::printf("\n");
    }
  }

 private:
  double Get(const std::string& bench, const std::string& block) const {
    auto b = nsPerFrame_.find(bench);
    if (b == nsPerFrame_.end()) return 0.0;
    auto v = b->second.find(block);
    return v == b->second.end() ? 0.0 : v->second;
  }
  static std::string Text(double ns) {
    if (ns <= 0) return "(skipped)";
    char text[32];
    std::snprintf(text, sizeof(text), "%.3f", ns);
    return text;
  }
  std::map<std::string, std::map<std::string, double>> nsPerFrame_;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintSummary();
  benchmark::Shutdown();
  return 0;
}

#include "tools/vsthost/StressCommand.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "tools/vsthost/CommandLine.h"
#include "tools/vsthost/Commands.h"
#include "tools/vsthost/EditorWindow.h"
#include "tools/vsthost/PluginInstance.h"

namespace vsthost {

namespace {

constexpr double kSampleRates[] = {8000,  11025, 22050,  32000,  44100,  48000,
                                   88200, 96000, 176400, 192000, 384000, 768000};
constexpr vst::int32 kBlockSizes[] = {1,    2,    7,    32,   64,   100,   256,   512,
                                      1000, 1024, 2048, 4096, 8192, 16384, 32768, 65536};

// Where the editor is opened: in a window of the window system (when this build has one
// and it is reachable), with no parent at all (for editors that can run without one), or
// not at all.
enum class EditorMode { kWindow, kHeadless, kNone };

struct StressOptions {
  std::string plugin;
  int cycles = 20;
  int instances = 3;
  std::uint32_t seed = 1;
  bool expectPassthrough = false;
  std::vector<int> passthroughMap;  // 0-based input per output; empty: same numbers
  EditorMode editor = EditorMode::kWindow;
  bool help = false;
};

struct Tally {
  long loads = 0;
  long processCalls[3] = {};
  long long frames = 0;
  std::set<double> rates;
  std::set<vst::int32> blocks;
  long paramSets = 0, paramReads = 0;
  long chunksSaved[2] = {}, chunksLoaded[2] = {}, chunksRefused[2] = {};
  long programSwitches = 0;
  long editorOpens = 0, editorRefusals = 0;
  std::string editorUnavailable;  // why no window could be made, when none could
  long outputsCompared = 0;
};

std::string StressUsage() {
  return "usage: vsthost stress <plugin> [options]\n"
         "  --cycles N              load/open/close cycles (default 20)\n"
         "  --instances N           instances alive in each cycle (default 3)\n"
         "  --seed N                seed of the random choices (default 1)\n"
         "  --expect-passthrough    fail unless each output equals the input of its number\n"
         "  --passthrough-map LIST  the same, output k compared to input LIST[k] (1-based)\n"
         "  --editor MODE           window: open the editor in a window of the window\n"
         "                          system (default; skipped where there is none);\n"
         "                          headless: with no parent window (for editors that\n"
         "                          run without one); none: never\n";
}

bool ParseStress(int argc, const char* const* argv, StressOptions& o, std::string& error) {
  std::vector<std::string> positional;
  for (int i = 2; i < argc; ++i) {
    std::string arg = argv[i];
    std::string value;
    const auto eq = arg.find('=');
    const std::string name = arg.substr(0, eq);
    auto needValue = [&]() {
      if (eq != std::string::npos) {
        value = arg.substr(eq + 1);
        return true;
      }
      if (i + 1 >= argc) {
        error = "option " + name + " needs a value";
        return false;
      }
      value = argv[++i];
      return true;
    };
    std::int64_t n = 0;
    if (arg.empty() || arg[0] != '-') {
      positional.push_back(arg);
    } else if (name == "--help" || name == "-h") {
      o.help = true;
      return true;
    } else if (name == "--expect-passthrough") {
      o.expectPassthrough = true;
    } else if (name == "--editor") {
      if (!needValue()) return false;
      if (value == "window") {
        o.editor = EditorMode::kWindow;
      } else if (value == "headless") {
        o.editor = EditorMode::kHeadless;
      } else if (value == "none") {
        o.editor = EditorMode::kNone;
      } else {
        error = "invalid value '" + value + "' for " + name;
        return false;
      }
    } else if (name == "--cycles" || name == "--instances" || name == "--seed") {
      if (!needValue()) return false;
      const std::int64_t high = name == "--seed" ? 0xffffffffLL : name == "--cycles" ? 1000000 : 64;
      if (!ParseInteger(value, name == "--seed" ? 0 : 1, high, n)) {
        error = "invalid value '" + value + "' for " + name;
        return false;
      }
      if (name == "--cycles") o.cycles = static_cast<int>(n);
      if (name == "--instances") o.instances = static_cast<int>(n);
      if (name == "--seed") o.seed = static_cast<std::uint32_t>(n);
    } else if (name == "--passthrough-map") {
      if (!needValue()) return false;
      if (!ParseChannelMap(value, o.passthroughMap)) {
        error = "invalid value '" + value + "' for " + name;
        return false;
      }
      o.expectPassthrough = true;
    } else {
      error = "unknown option " + name;
      return false;
    }
  }
  if (positional.size() != 1) {
    error = positional.empty() ? "stress needs the path of a plug-in"
                               : "unexpected argument '" + positional[1] + "'";
    return false;
  }
  o.plugin = positional[0];
  return true;
}

// Buffers for one block of every channel, in both precisions.
struct Buffers {
  std::vector<std::vector<float>> in, out;
  std::vector<std::vector<double>> dIn, dOut;
  std::vector<float*> inPtrs, outPtrs;
  std::vector<double*> dInPtrs, dOutPtrs;

  void Size(int inputs, int outputs, int frames) {
    auto size = [frames](auto& channels, int count, auto& ptrs) {
      channels.resize(static_cast<std::size_t>(count));
      ptrs.clear();
      for (auto& c : channels) {
        c.assign(static_cast<std::size_t>(frames), 0);
        ptrs.push_back(c.data());
      }
    };
    size(in, inputs, inPtrs);
    size(out, outputs, outPtrs);
    size(dIn, inputs, dInPtrs);
    size(dOut, outputs, dOutPtrs);
  }
};

class StressRun {
 public:
  StressRun(const StressOptions& options, std::FILE* out, std::FILE* err)
      : o_(options), out_(out), err_(err), rng_(options.seed) {}

  int Run() {
    std::fprintf(out_, "stress: %s: %d cycles of %d instances, seed %u\n", o_.plugin.c_str(),
                 o_.cycles, o_.instances, o_.seed);
    const int report = std::max(1, o_.cycles / 10);
    for (int cycle = 1; cycle <= o_.cycles; ++cycle) {
      const int code = Cycle();
      if (code != kExitOk) {
        std::fprintf(err_, "vsthost: error: stress cycle %d: %s\n", cycle, error_.c_str());
        return code;
      }
      if (cycle % report == 0 || cycle == o_.cycles)
        std::fprintf(out_, "stress: cycle %d of %d done\n", cycle, o_.cycles);
      std::fflush(out_);
    }
    PrintTally();
    return kExitOk;
  }

 private:
  int Cycle() {
    // Hosts and instances live together; the module is unloaded with the last one.
    std::vector<std::unique_ptr<HostContext>> hosts;
    std::vector<std::unique_ptr<PluginInstance>> plugins;
    for (int i = 0; i < o_.instances; ++i) {
      hosts.push_back(std::make_unique<HostContext>());
      auto plugin = PluginInstance::Load(o_.plugin, *hosts.back(), error_);
      if (!plugin) return kExitFailure;
      ++tally_.loads;
      plugin->Open();
      plugins.push_back(std::move(plugin));
    }
    for (int step = 0; step < 8; ++step) {
      for (auto& plugin : plugins) {
        const int code = Exercise(*plugin);
        if (code != kExitOk) return code;
      }
    }
    std::shuffle(plugins.begin(), plugins.end(), rng_);
    for (auto& plugin : plugins) plugin->Close();
    plugins.clear();
    return kExitOk;
  }

  // One randomly chosen host action, then audio through the plug-in.
  int Exercise(PluginInstance& plugin) {
    switch (Pick(6)) {
      case 0:
        ChangeStream(plugin);
        break;
      case 1:
        Parameters(plugin);
        break;
      case 2:
        Chunks(plugin);
        break;
      case 3:
        if (plugin.NumPrograms() > 0) {
          plugin.Dispatch(vst::effSetProgram, 0, Pick(plugin.NumPrograms()));
          ++tally_.programSwitches;
        }
        break;
      case 4:
        return Editor(plugin);
      default:
        break;
    }
    return Process(plugin);
  }

  void ChangeStream(PluginInstance& plugin) {
    const double rate = kSampleRates[Pick(std::size(kSampleRates))];
    const vst::int32 block = kBlockSizes[Pick(std::size(kBlockSizes))];
    plugin.SetActive(false);
    plugin.SetSampleRate(rate);
    plugin.SetBlockSize(block);
    plugin.SetActive(true);
    tally_.rates.insert(rate);
    tally_.blocks.insert(block);
  }

  void Parameters(PluginInstance& plugin) {
    if (plugin.NumParams() <= 0) return;
    for (int i = 0, n = 1 + Pick(8); i < n; ++i) {
      const auto index = static_cast<vst::int32>(Pick(plugin.NumParams()));
      plugin.SetParameter(index, std::uniform_real_distribution<float>(0.0f, 1.0f)(rng_));
      plugin.GetParameter(static_cast<vst::int32>(Pick(plugin.NumParams())));
      ++tally_.paramSets;
      ++tally_.paramReads;
    }
  }

  void Chunks(PluginInstance& plugin) {
    const bool program = Pick(2) == 0;
    const std::vector<std::uint8_t> bytes = plugin.GetChunk(program);
    if (bytes.empty()) return;
    ++tally_.chunksSaved[program];
    if (plugin.SetChunk(bytes, program)) {
      ++tally_.chunksLoaded[program];
    } else {
      ++tally_.chunksRefused[program];
    }
  }

  int Editor(PluginInstance& plugin) {
    if (o_.editor == EditorMode::kNone || (plugin.Effect()->flags & vst::effFlagsHasEditor) == 0)
      return kExitOk;
    vst::ERect* rect = nullptr;
    plugin.Dispatch(vst::effEditGetRect, 0, 0, &rect);
    std::unique_ptr<EditorWindow> window;
    if (o_.editor == EditorMode::kWindow) {
      const int width = rect != nullptr ? rect->right - rect->left : 0;
      const int height = rect != nullptr ? rect->bottom - rect->top : 0;
      std::string why;
      window = EditorWindow::Create(width > 0 ? width : 640, height > 0 ? height : 480,
                                    "vsthost stress", why);
      if (!window) {
        if (tally_.editorUnavailable.empty()) tally_.editorUnavailable = why;
        return Process(plugin);
      }
    }
    void* parent = window ? window->NativeHandle() : nullptr;
    if (plugin.Dispatch(vst::effEditOpen, 0, 0, parent) == 0) {
      ++tally_.editorRefusals;
      return Process(plugin);
    }
    ++tally_.editorOpens;
    // Audio keeps running while the editor is open, idles and draws.
    for (int i = 0; i < 3; ++i) {
      plugin.Dispatch(vst::effEditIdle);
      if (window) window->Pump(0.01);
      const int code = Process(plugin);
      if (code != kExitOk) return code;
    }
    plugin.Dispatch(vst::effEditClose);
    if (window) window->Pump(0);
    return kExitOk;
  }

  // A block or two in a mode the plug-in offers; finite input, checked output.
  int Process(PluginInstance& plugin) {
    if (plugin.BlockSize() <= 0) {
      plugin.SetSampleRate(48000.0);
      plugin.SetBlockSize(512);
      tally_.rates.insert(48000.0);
      tally_.blocks.insert(512);
    }
    plugin.SetActive(true);
    const ProcessMode modes[] = {ProcessMode::Replacing, ProcessMode::Accumulating,
                                 ProcessMode::Double};
    const ProcessMode mode = modes[Pick(3)];
    if (!plugin.Supports(mode)) return kExitOk;
    const int inputs = plugin.Effect()->numInputs;
    const int outputs = plugin.Effect()->numOutputs;
    const int frames = Pick(4) == 0 ? 1 + Pick(plugin.BlockSize()) : plugin.BlockSize();
    buffers_.Size(inputs, outputs, frames);
    for (int blocks = 1 + Pick(2); blocks > 0; --blocks) {
      FillInput(frames);
      for (auto& c : buffers_.out) std::fill(c.begin(), c.end(), 0.0f);
      for (auto& c : buffers_.dOut) std::fill(c.begin(), c.end(), 0.0);
      const bool ran =
          mode == ProcessMode::Double
              ? plugin.ProcessDouble(buffers_.dInPtrs.data(), buffers_.dOutPtrs.data(), frames)
              : plugin.ProcessFloat(mode, buffers_.inPtrs.data(), buffers_.outPtrs.data(), frames);
      if (!ran) return kExitOk;
      ++tally_.processCalls[static_cast<int>(mode)];
      tally_.frames += frames;
      const int code = CheckOutput(mode == ProcessMode::Double, inputs, outputs, frames);
      if (code != kExitOk) return code;
    }
    return kExitOk;
  }

  void FillInput(int frames) {
    std::uniform_real_distribution<double> amp(0.0, 1.0), freq(0.0001, 0.45);
    for (std::size_t c = 0; c < buffers_.in.size(); ++c) {
      const double a = amp(rng_);
      const double f = freq(rng_);
      const double start = phase_;
      for (int i = 0; i < frames; ++i) {
        const double s = a * std::sin(2.0 * 3.141592653589793 * f * (start + i));
        buffers_.dIn[c][static_cast<std::size_t>(i)] = s;
        buffers_.in[c][static_cast<std::size_t>(i)] = static_cast<float>(s);
      }
    }
    phase_ += frames;
  }

  int CheckOutput(bool precise, int inputs, int outputs, int frames) {
    for (int k = 0; k < outputs; ++k) {
      for (int i = 0; i < frames; ++i) {
        const auto s = static_cast<std::size_t>(i);
        const double v = precise ? buffers_.dOut[k][s] : buffers_.out[k][s];
        if (!std::isfinite(v)) {
          error_ = "output " + std::to_string(k + 1) + " sample " + std::to_string(i) +
                   " is not finite for finite input";
          return kExitCheckFailed;
        }
      }
      if (!o_.expectPassthrough) continue;
      const int from = k < static_cast<int>(o_.passthroughMap.size())
                           ? o_.passthroughMap[static_cast<std::size_t>(k)]
                           : (o_.passthroughMap.empty() ? k : -1);
      if (from < 0 || from >= inputs) continue;
      for (int i = 0; i < frames; ++i) {
        const auto s = static_cast<std::size_t>(i);
        const bool same = precise ? buffers_.dOut[k][s] == buffers_.dIn[from][s]
                                  : buffers_.out[k][s] == buffers_.in[from][s];
        if (!same) {
          error_ = "output " + std::to_string(k + 1) + " sample " + std::to_string(i) +
                   " is not input " + std::to_string(from + 1) + "'s";
          return kExitCheckFailed;
        }
      }
      ++tally_.outputsCompared;
    }
    return kExitOk;
  }

  int Pick(std::size_t n) {
    return static_cast<int>(std::uniform_int_distribution<std::size_t>(0, n - 1)(rng_));
  }

  void PrintTally() const {
    const Tally& t = tally_;
    std::fprintf(out_, "stress: instances loaded %ld\n", t.loads);
    std::fprintf(out_,
                 "stress: process calls %ld (replacing %ld, accumulating %ld, double %ld), "
                 "frames %lld\n",
                 t.processCalls[0] + t.processCalls[1] + t.processCalls[2], t.processCalls[0],
                 t.processCalls[1], t.processCalls[2], t.frames);
    std::fprintf(out_, "stress: sample rates");
    for (double r : t.rates) std::fprintf(out_, " %.0f", r);
    std::fprintf(out_, "\nstress: block sizes");
    for (vst::int32 b : t.blocks) std::fprintf(out_, " %d", static_cast<int>(b));
    std::fprintf(out_, "\nstress: parameters set %ld, read %ld; programs switched %ld\n",
                 t.paramSets, t.paramReads, t.programSwitches);
    for (int program = 1; program >= 0; --program) {
      std::fprintf(out_, "stress: %s chunks saved %ld, loaded %ld, refused %ld\n",
                   program ? "program" : "bank", t.chunksSaved[program], t.chunksLoaded[program],
                   t.chunksRefused[program]);
    }
    if (o_.editor == EditorMode::kNone) {
      std::fprintf(out_, "stress: editor not opened (--editor none)\n");
    } else if (!t.editorUnavailable.empty() && t.editorOpens == 0) {
      std::fprintf(out_, "stress: editor not opened: %s\n", t.editorUnavailable.c_str());
    } else {
      std::fprintf(out_, "stress: editor opened %ld times %s, refused %ld\n", t.editorOpens,
                   o_.editor == EditorMode::kHeadless ? "without a parent" : "in a window",
                   t.editorRefusals);
    }
    std::fprintf(out_, "stress: outputs finite for finite input%s\n",
                 o_.expectPassthrough ? ", and equal to their inputs" : "");
    if (o_.expectPassthrough)
      std::fprintf(out_, "stress: passthrough compared on %ld output blocks\n", t.outputsCompared);
    std::fprintf(out_, "stress: OK\n");
  }

  const StressOptions& o_;
  std::FILE* out_;
  std::FILE* err_;
  std::mt19937 rng_;
  Tally tally_;
  Buffers buffers_;
  double phase_ = 0.0;
  std::string error_;
};

}  // namespace

int RunStress(int argc, const char* const* argv, std::FILE* out, std::FILE* err) {
  StressOptions options;
  std::string error;
  if (!ParseStress(argc, argv, options, error)) {
    std::fprintf(err, "vsthost: error: %s\n%s", error.c_str(), StressUsage().c_str());
    return kExitUsage;
  }
  if (options.help) {
    std::fputs(StressUsage().c_str(), out);
    return kExitOk;
  }
  return StressRun(options, out, err).Run();
}

}  // namespace vsthost

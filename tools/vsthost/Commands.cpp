#include "tools/vsthost/Commands.h"

#include <memory>
#include <string>

#include "tools/vsthost/BlockRunner.h"
#include "tools/vsthost/CommandLine.h"
#include "tools/vsthost/EditSession.h"
#include "tools/vsthost/FileBytes.h"
#include "tools/vsthost/PluginInfo.h"
#include "tools/vsthost/PluginInstance.h"
#include "tools/vsthost/StressCommand.h"
#include "tools/vsthost/TestSignal.h"
#include "tools/vsthost/audio/AudioFile.h"

namespace vsthost {

namespace {

constexpr std::size_t kMaxChunkFile = std::size_t(64) << 20;

struct Session {
  const Options& options;
  std::FILE* out;
  std::FILE* err;

  int Fail(const std::string& message, int code = kExitFailure) const {
    std::fprintf(err, "vsthost: error: %s\n", message.c_str());
    return code;
  }
};

const char* ChunkKind(const Options& o) { return o.bankChunk ? "bank" : "program"; }

int LoadChunk(const Session& s, PluginInstance& plugin) {
  std::vector<std::uint8_t> bytes;
  std::string error;
  if (!ReadWholeFile(s.options.loadChunk, bytes, kMaxChunkFile, error)) return s.Fail(error);
  if (bytes.empty()) return s.Fail("chunk file '" + s.options.loadChunk + "' is empty");
  if (!plugin.SetChunk(bytes, !s.options.bankChunk))
    return s.Fail("the plug-in refused the " + std::string(ChunkKind(s.options)) + " chunk from '" +
                  s.options.loadChunk + "'");
  std::fprintf(s.out, "chunk: loaded %zu bytes (%s) from %s\n", bytes.size(), ChunkKind(s.options),
               s.options.loadChunk.c_str());
  return kExitOk;
}

int SaveChunk(const Session& s, const PluginInstance& plugin) {
  std::vector<std::uint8_t> bytes = plugin.GetChunk(!s.options.bankChunk);
  if (bytes.empty())
    return s.Fail("the plug-in gave no " + std::string(ChunkKind(s.options)) + " chunk");
  std::string error;
  if (!WriteWholeFile(s.options.saveChunk, bytes, error)) return s.Fail(error);
  std::fprintf(s.out, "chunk: saved %zu bytes (%s) to %s\n", bytes.size(), ChunkKind(s.options),
               s.options.saveChunk.c_str());
  return kExitOk;
}

int ApplyParams(const Session& s, PluginInstance& plugin) {
  for (const ParamSetting& p : s.options.params) {
    vst::int32 index = p.index >= 0 ? p.index : plugin.FindParameter(p.name);
    if (index < 0) return s.Fail("the plug-in has no parameter named '" + p.name + "'");
    if (index >= plugin.NumParams())
      return s.Fail("parameter index " + std::to_string(index) + " is out of range (" +
                    std::to_string(plugin.NumParams()) + " parameters)");
    plugin.SetParameter(index, static_cast<float>(p.value));
    std::fprintf(s.out, "param set %d: %s = %f [%s]\n", static_cast<int>(index),
                 plugin.ParamName(index).c_str(), double(plugin.GetParameter(index)),
                 plugin.ParamDisplay(index).c_str());
  }
  return kExitOk;
}

int Process(const Session& s, PluginInstance& plugin, const AudioData& input, double rate) {
  RunSettings settings;
  settings.mode = s.options.mode;
  settings.blockSize = s.options.blockSize;
  settings.sampleRate = rate;
  AudioData output;
  std::string error;
  if (!RunThrough(plugin, input, settings, output, error)) return s.Fail(error);
  if (!s.options.output.empty()) {
    if (output.channels.empty()) return s.Fail("the plug-in has no outputs to write");
    if (!WriteAudioFile(s.options.output, output, s.options.format, error)) return s.Fail(error);
  }
  std::fprintf(s.out, "vsthost: processed %zu frames (%zu in, %zu out, %s, block %d) OK\n",
               input.Frames(), input.channels.size(), output.channels.size(),
               ProcessModeName(settings.mode), static_cast<int>(settings.blockSize));
  if (!s.options.expectPassthrough) return kExitOk;
  int checked = 0;
  std::string verdict;
  bool same = CheckPassthrough(FitChannels(input, plugin.Effect()->numInputs), output,
                               s.options.passthroughMap, checked, verdict);
  std::fprintf(s.out, "vsthost: passthrough %s: %s\n", same ? "OK" : "FAILED", verdict.c_str());
  return same ? kExitOk : kExitCheckFailed;
}

void PrintHostTrace(const Session& s, const HostContext& host) {
  for (const HostCall& call : host.Calls())
    std::fprintf(s.out, "host call: %s\n", FormatHostCall(call).c_str());
  if (host.DroppedCalls() > 0)
    std::fprintf(s.out, "host calls not logged: %zu\n", host.DroppedCalls());
  std::fprintf(s.out, "host automate: %zu\nhost beginEdit: %zu\nhost endEdit: %zu\n",
               host.CountOf(vst::audioMasterAutomate), host.CountOf(vst::audioMasterBeginEdit),
               host.CountOf(vst::audioMasterEndEdit));
}

// Input for process: the file, or the test signal sized to the plug-in.
bool PrepareInput(const Session& s, AudioData& input, std::string& error) {
  if (!s.options.input.empty()) return ReadAudioFile(s.options.input, input, error);
  return true;  // filled once the plug-in's input count is known
}

int RunLoaded(const Session& s, PluginInstance& plugin, AudioData& input) {
  const Options& o = s.options;
  double rate = o.sampleRate > 0 ? o.sampleRate : input.sampleRate > 0 ? input.sampleRate : 48000.0;
  plugin.Open();
  plugin.SetSampleRate(rate);
  plugin.SetBlockSize(o.blockSize);
  int code = kExitOk;
  if (!o.loadChunk.empty()) code = LoadChunk(s, plugin);
  if (code == kExitOk) code = ApplyParams(s, plugin);
  if (code == kExitOk && o.command == "info")
    std::fputs(FormatInfo(GatherInfo(plugin)).c_str(), s.out);
  if (code == kExitOk && o.command == "process") {
    if (o.input.empty()) {
      int channels = o.channels > 0 ? o.channels : plugin.Effect()->numInputs;
      input = MakeTestSignal(channels, static_cast<std::size_t>(o.frames), static_cast<int>(rate));
    }
    input.sampleRate = static_cast<int>(rate);
    code = Process(s, plugin, input, rate);
  }
  if (code == kExitOk && o.command == "edit") {
    if (o.input.empty()) {
      int channels = o.channels > 0 ? o.channels : plugin.Effect()->numInputs;
      input = MakeTestSignal(channels, static_cast<std::size_t>(o.frames), static_cast<int>(rate));
    }
    // The session closes the plug-in itself: the state is saved just before.
    const BeforeClose saveState = [&] {
      return o.saveChunk.empty() ? int(kExitOk) : SaveChunk(s, plugin);
    };
    code = RunEditSession(plugin, o.edit, input, rate, s.out, s.err, saveState);
  }
  // A failed passthrough check still saves state and prints the trace asked for.
  if ((code == kExitOk || code == kExitCheckFailed) && !o.saveChunk.empty() &&
      o.command != "edit") {
    int saved = SaveChunk(s, plugin);
    if (code == kExitOk) code = saved;
  }
  if (o.traceHost) PrintHostTrace(s, plugin.Host());
  plugin.Close();
  return code;
}

}  // namespace

int RunVstHost(int argc, const char* const* argv, std::FILE* out, std::FILE* err) {
  // The stress command reads options of its own.
  if (argc > 1 && std::string(argv[1]) == "stress") return RunStress(argc, argv, out, err);
  Options options;
  std::string error;
  if (!ParseCommandLine(argc, argv, options, error)) {
    std::fprintf(err, "vsthost: error: %s\n%s", error.c_str(), UsageText().c_str());
    return kExitUsage;
  }
  if (options.command == "help") {
    std::fputs(UsageText().c_str(), out);
    return kExitOk;
  }
  Session session{options, out, err};
  AudioData input;
  if (!PrepareInput(session, input, error)) return session.Fail(error);
  if (!options.input.empty() && input.Frames() == 0)
    return session.Fail("input '" + options.input + "' holds no audio");

  HostContext host;
  host.SetProduct(options.product);
  host.SetVendorVersion(options.vendorVersion);
  host.SetTimeInfoEnabled(options.timeInfo);
  std::unique_ptr<PluginInstance> plugin = PluginInstance::Load(options.plugin, host, error);
  if (!plugin) return session.Fail(error);
  int code = RunLoaded(session, *plugin, input);
  std::fflush(out);
  return code;
}

}  // namespace vsthost

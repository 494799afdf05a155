#include "tools/vsthost/BlockRunner.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace vsthost {

namespace {

// Per-channel block buffers and the pointer arrays handed to the plug-in. The arrays
// never have zero length, so a plug-in with no inputs still gets a valid pointer.
template <typename Sample>
struct BlockBuffers {
  std::vector<std::vector<Sample>> data;
  std::vector<Sample*> pointers;

  BlockBuffers(int channels, vst::int32 blockSize)
      : data(static_cast<std::size_t>(channels), std::vector<Sample>(std::size_t(blockSize))),
        pointers(std::max<std::size_t>(1, std::size_t(channels)), nullptr) {
    for (std::size_t c = 0; c < data.size(); ++c) pointers[c] = data[c].data();
  }
};

template <typename Sample>
bool RunBlocks(PluginInstance& plugin, const AudioData& in, ProcessMode mode, AudioData& out) {
  vst::AEffect* effect = plugin.Effect();
  const vst::int32 blockSize = plugin.BlockSize();
  BlockBuffers<Sample> inputs(effect->numInputs, blockSize);
  BlockBuffers<Sample> outputs(effect->numOutputs, blockSize);
  const std::size_t total = in.Frames();
  for (std::size_t start = 0; start < total; start += std::size_t(blockSize)) {
    auto frames = static_cast<vst::int32>(std::min<std::size_t>(blockSize, total - start));
    for (std::size_t c = 0; c < inputs.data.size(); ++c)
      std::copy_n(in.channels[c].begin() + std::ptrdiff_t(start), frames, inputs.data[c].begin());
    for (auto& channel : outputs.data) std::fill(channel.begin(), channel.end(), Sample(0));
    bool ok;
    if constexpr (sizeof(Sample) == sizeof(double))
      ok = plugin.ProcessDouble(inputs.pointers.data(), outputs.pointers.data(), frames);
    else
      ok = plugin.ProcessFloat(mode, inputs.pointers.data(), outputs.pointers.data(), frames);
    if (!ok) return false;
    for (std::size_t c = 0; c < outputs.data.size(); ++c)
      for (vst::int32 i = 0; i < frames; ++i)
        out.channels[c][start + std::size_t(i)] =
            static_cast<float>(outputs.data[c][std::size_t(i)]);
    plugin.Host().AdvanceTime(frames);
  }
  return true;
}

}  // namespace

AudioData FitChannels(const AudioData& input, int channels) {
  AudioData fitted;
  fitted.sampleRate = input.sampleRate;
  fitted.channels.assign(static_cast<std::size_t>(std::max(channels, 0)),
                         std::vector<float>(input.Frames(), 0.0f));
  for (std::size_t c = 0; c < fitted.channels.size() && c < input.channels.size(); ++c)
    fitted.channels[c] = input.channels[c];
  return fitted;
}

bool RunThrough(PluginInstance& plugin, const AudioData& input, const RunSettings& settings,
                AudioData& output, std::string& error) {
  if (!plugin.Supports(settings.mode)) {
    error = std::string("the plug-in does not offer the ") + ProcessModeName(settings.mode) +
            " process call";
    return false;
  }
  if (settings.blockSize < 1) {
    error = "block size must be at least 1";
    return false;
  }
  const AudioData fed = FitChannels(input, plugin.Effect()->numInputs);
  output = AudioData{};
  output.sampleRate = input.sampleRate;
  output.channels.assign(static_cast<std::size_t>(plugin.Effect()->numOutputs),
                         std::vector<float>(input.Frames(), 0.0f));

  plugin.SetSampleRate(settings.sampleRate);
  plugin.SetBlockSize(settings.blockSize);
  plugin.Host().ResetTime();
  plugin.SetActive(true);
  plugin.Host().SetProcessing(true);
  bool ok = settings.mode == ProcessMode::Double
                ? RunBlocks<double>(plugin, fed, settings.mode, output)
                : RunBlocks<float>(plugin, fed, settings.mode, output);
  plugin.Host().SetProcessing(false);
  plugin.SetActive(false);
  if (!ok) error = "the plug-in refused a process call";
  return ok;
}

namespace {

bool SameChannel(const std::vector<float>& in, const std::vector<float>& out, std::size_t inIndex,
                 std::size_t outIndex, std::string& verdict) {
  char text[200];
  if (in.size() != out.size()) {
    std::snprintf(text, sizeof(text), "channel %zu lengths differ", outIndex + 1);
    verdict = text;
    return false;
  }
  for (std::size_t i = 0; i < in.size(); ++i) {
    // Exact comparison: a NaN never matches (a plug-in that makes one fails).
    if (!(in[i] == out[i])) {
      std::snprintf(text, sizeof(text),
                    "channel %zu differs at frame %zu: input %zu has %.9g, output %.9g",
                    outIndex + 1, i, inIndex + 1, double(in[i]), double(out[i]));
      verdict = text;
      return false;
    }
  }
  return true;
}

}  // namespace

bool CheckPassthrough(const AudioData& fedInput, const AudioData& output,
                      const std::vector<int>& map, int& checked, std::string& verdict) {
  checked = 0;
  const std::size_t pairs =
      map.empty() ? std::min(fedInput.channels.size(), output.channels.size()) : map.size();
  for (std::size_t o = 0; o < pairs; ++o) {
    const std::size_t in = map.empty() ? o : static_cast<std::size_t>(map[o]);
    if (o >= output.channels.size() || in >= fedInput.channels.size()) {
      verdict = "the map pairs output " + std::to_string(o + 1) + " with input " +
                std::to_string(in + 1) + ", but the plug-in has " +
                std::to_string(fedInput.channels.size()) + " inputs and " +
                std::to_string(output.channels.size()) + " outputs";
      return false;
    }
    if (!SameChannel(fedInput.channels[in], output.channels[o], in, o, verdict)) return false;
    ++checked;
  }
  if (checked == 0) {
    verdict = "no channel has both an input and an output";
    return false;
  }
  verdict = std::to_string(checked) + " channel" + (checked == 1 ? "" : "s") + " identical";
  return true;
}

}  // namespace vsthost

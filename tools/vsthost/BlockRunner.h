// Runs a whole signal through a plug-in the way a host's audio engine does: sample
// rate and block size announced, the plug-in switched on, blocks of at most the
// block size, the plug-in switched off.
#pragma once

#include <string>
#include <vector>

#include "tools/vsthost/PluginInstance.h"
#include "tools/vsthost/audio/AudioData.h"

namespace vsthost {

struct RunSettings {
  ProcessMode mode = ProcessMode::Replacing;
  vst::int32 blockSize = 512;
  double sampleRate = 48000.0;
};

// Feeds input channel k to plug-in input k (silence for inputs the signal lacks;
// signal channels beyond the plug-in's inputs are dropped). Output has one channel
// per plug-in output and as many frames as the input. Output buffers are cleared
// before every block, so the accumulating call yields the same result as replacing.
// Returns false with an error when the plug-in does not offer the mode.
bool RunThrough(PluginInstance& plugin, const AudioData& input, const RunSettings& settings,
                AudioData& output, std::string& error);

// Checks that output channels carry inputs sample for sample: with an empty map,
// every output that has an input of the same number carries it; otherwise output k
// carries input map[k] (0-based; plug-ins such as multi-scope ones interleave side
// chains between their pass-through inputs). Returns false with a description of
// the first difference, or when nothing could be compared; checked counts channels.
bool CheckPassthrough(const AudioData& fedInput, const AudioData& output,
                      const std::vector<int>& map, int& checked, std::string& verdict);

// The input as the plug-in saw it: channel count made to match its inputs.
AudioData FitChannels(const AudioData& input, int channels);

}  // namespace vsthost

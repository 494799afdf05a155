#include "tools/vsthost/AudioFeed.h"

#include <algorithm>
#include <vector>

#include "tools/vsthost/BlockRunner.h"

namespace vsthost {

AudioFeed::AudioFeed(PluginInstance& plugin, AudioData audio, double sampleRate)
    : plugin_(plugin), audio_(std::move(audio)), rate_(sampleRate) {}

AudioFeed::~AudioFeed() { Stop(); }

bool AudioFeed::Start(std::string& error) {
  if (!plugin_.Supports(ProcessMode::Replacing)) {
    error = "the plug-in offers no processReplacing to feed audio with";
    return false;
  }
  audio_ = FitChannels(audio_, plugin_.Effect()->numInputs);
  block_ = plugin_.BlockSize();
  plugin_.SetActive(true);
  plugin_.Host().SetProcessing(true);
  stop_ = false;
  if (!thread_.Start([this] { Run(); })) {
    plugin_.Host().SetProcessing(false);
    plugin_.SetActive(false);
    error = "cannot start the audio thread";
    return false;
  }
  return true;
}

void AudioFeed::Stop() {
  if (!thread_.Running()) return;
  stop_ = true;
  thread_.Join();
  plugin_.Host().SetProcessing(false);
  plugin_.SetActive(false);
}

void AudioFeed::Run() {
  const int block = plugin_.BlockSize();
  const int ins = plugin_.Effect()->numInputs, outs = plugin_.Effect()->numOutputs;
  // Every buffer is made before the first block: the loop itself allocates nothing.
  std::vector<std::vector<float>> in(size_t(std::max(ins, 0)), std::vector<float>(size_t(block)));
  std::vector<std::vector<float>> out(size_t(std::max(outs, 0)), std::vector<float>(size_t(block)));
  std::vector<float*> inPtrs, outPtrs;
  for (auto& c : in) inPtrs.push_back(c.data());
  for (auto& c : out) outPtrs.push_back(c.data());
  const std::size_t length = audio_.Frames();
  std::size_t position = 0;
  const double start = NowSeconds();
  long long done = 0;
  while (!stop_.load()) {
    for (std::size_t c = 0; c < in.size(); ++c) {
      for (int i = 0; i < block; ++i) {
        in[c][size_t(i)] = length > 0 ? audio_.channels[c][(position + size_t(i)) % length] : 0.0f;
      }
    }
    plugin_.ProcessFloat(ProcessMode::Replacing, inPtrs.data(), outPtrs.data(), block);
    plugin_.Host().AdvanceTime(block);
    if (length > 0) position = (position + size_t(block)) % length;
    blocks_.store(++done);
    // Keep to the pace of the sample rate, as a sound card would.
    SleepSeconds(start + double(done) * block / rate_ - NowSeconds());
  }
}

}  // namespace vsthost

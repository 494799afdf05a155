// Audio played through a plug-in in real time on a thread of its own, as a host's
// audio engine does while the editor is open: blocks of the announced size at the
// pace of the sample rate, the signal looped, the outputs discarded.
#pragma once

#include <atomic>
#include <string>

#include "tools/vsthost/HostThread.h"
#include "tools/vsthost/PluginInstance.h"
#include "tools/vsthost/audio/AudioData.h"

namespace vsthost {

class AudioFeed {
 public:
  // audio's channel k feeds plug-in input k (silence for inputs it lacks).
  AudioFeed(PluginInstance& plugin, AudioData audio, double sampleRate);
  ~AudioFeed();  // stops
  AudioFeed(const AudioFeed&) = delete;
  AudioFeed& operator=(const AudioFeed&) = delete;

  // Switches the plug-in on and starts the thread; false with an error when the
  // plug-in cannot process 32-bit floats or no thread could be started.
  bool Start(std::string& error);
  // Stops the thread and switches the plug-in off.
  void Stop();
  long long Blocks() const { return blocks_.load(); }
  // The audio played so far, in seconds of the signal.
  double PlayedSeconds() const { return double(blocks_.load()) * block_ / rate_; }

 private:
  void Run();

  PluginInstance& plugin_;
  AudioData audio_;
  double rate_;
  int block_ = 0;
  HostThread thread_;
  std::atomic<bool> stop_{false};
  std::atomic<long long> blocks_{0};
};

}  // namespace vsthost

// The capture side of the scope: between the audio thread, which appends every
// connected input's block to that input's queue, and the display, which pulls the
// queued samples into its windows. Both sides run under the instance lock; the
// feed has no lock of its own.
#pragma once

#include <array>
#include <vector>

#include "plugin/engine/ChannelWindow.h"
#include "plugin/engine/SampleQueue.h"

class ScopeDisplayLink;

class ScopeFeed {
 public:
  static constexpr int kInputs = 4;

  ScopeFeed();

  // Audio thread: keeps the newest kMaxCapture samples of input i, as floats.
  void Capture(int input, const double* samples, int nFrames);
  // Counts the frames of a processed block towards the next pull.
  void AddPending(int nFrames);
  void ResetPending() { pending_ = 0; }
  int Pending() const { return pending_; }

  // Display side: refreshes every enabled channel's window with the queued samples
  // and writes the level texts (when a display is attached). Returns the samples
  // that arrived since the previous pull, at most kMaxCapture.
  int Pull(ChannelWindow* const channels[kInputs], ScopeDisplayLink* display);

  const SampleQueue& Queue(int input) const { return queues_[static_cast<std::size_t>(input)]; }

 private:
  std::vector<float> scratch_;
  std::array<SampleQueue, kInputs> queues_;
  int pending_ = 0;
};

// The capture side of the scope: between the audio thread, which appends every
// connected input's block to that input's queue, and the display, which pulls the
// queued samples into its windows. The queues are touched only under the instance
// lock (the feed has no lock of its own); the display's windows take the collected
// samples in after that lock is released.
#pragma once

#include <array>
#include <cstdint>
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
  void Capture(int input, const float* samples, int nFrames);
  // Counts the frames of a processed block towards the next pull.
  void AddPending(int nFrames);
  void ResetPending() { pending_ = 0; }
  int Pending() const { return pending_; }

  // Display side, under the instance lock: copies to every enabled channel's
  // incoming buffer the samples its window has not taken in yet (the newest ones,
  // all the queue holds after a reset), and writes the level texts (when a display
  // is attached). Returns the samples that arrived since the previous pull, at
  // most kMaxCapture. Copying only the new samples keeps the lock short.
  int Collect(ChannelWindow* const channels[kInputs], ScopeDisplayLink* display);
  // Display side, no lock needed (the records are the display's): each window
  // moves its samples towards the start and appends the collected ones.
  static void Absorb(ChannelWindow* const channels[kInputs]);
  // Collect, then Absorb: a pull for a caller that holds what it needs itself.
  int Pull(ChannelWindow* const channels[kInputs], ScopeDisplayLink* display);

  const SampleQueue& Queue(int input) const { return queues_[static_cast<std::size_t>(input)]; }

 private:
  std::vector<float> scratch_;
  std::array<SampleQueue, kInputs> queues_;
  std::array<std::int64_t, kInputs> captured_{};  // samples appended to each queue
  int pending_ = 0;
};

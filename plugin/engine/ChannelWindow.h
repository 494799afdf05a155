// The display's record of one input: whether it is shown, its delay, its level and
// its window of the newest kMaxCapture samples, oldest first. The display owns the
// four records. A pull brings in only the samples the window lacks: under the
// instance lock they are copied to the record's incoming buffer, and the window
// takes them in after the lock is released (ScopeFeed::Collect, ::Absorb).
#pragma once

#include <cstdint>
#include <vector>

constexpr int kMaxCapture = 48000;

struct ChannelWindow {
  bool enabled = false;
  double delayMs = 0.0;
  double level = 0.0;  // RMS of the samples last analysed
  std::vector<float> samples = std::vector<float>(kMaxCapture, 0.0f);
  // How many samples of the input the window has taken in so far (the feed's
  // count); -1 makes the next pull bring in everything the queue holds.
  std::int64_t pulledUpTo = -1;
  // The newest samples collected by the last pull, waiting to be taken in.
  std::vector<float> incoming = std::vector<float>(kMaxCapture, 0.0f);
  int incomingCount = 0;
};

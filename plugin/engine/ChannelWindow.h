// The display's record of one input: whether it is shown, its delay, its level and
// its window of the newest kMaxCapture samples, oldest first. The display owns the
// four records; Pull fills their windows under the instance lock.
#pragma once

#include <vector>

constexpr int kMaxCapture = 48000;

struct ChannelWindow {
  bool enabled = false;
  double delayMs = 0.0;
  double level = 0.0;  // RMS of the samples last analysed
  std::vector<float> samples = std::vector<float>(kMaxCapture, 0.0f);
};

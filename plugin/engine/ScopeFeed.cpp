#include "plugin/engine/ScopeFeed.h"

#include <algorithm>
#include <cstring>

#include "plugin/ScopeDisplayLink.h"
#include "plugin/engine/ScopeTexts.h"

namespace {
constexpr int kBytesPerSample = static_cast<int>(sizeof(float));
constexpr int kMaxCaptureBytes = kMaxCapture * kBytesPerSample;
}  // namespace

ScopeFeed::ScopeFeed()
    : scratch_(kMaxCapture, 0.0f),
      queues_{SampleQueue(kMaxCaptureBytes), SampleQueue(kMaxCaptureBytes),
              SampleQueue(kMaxCaptureBytes), SampleQueue(kMaxCaptureBytes)} {}

void ScopeFeed::Capture(int input, const double* samples, int nFrames) {
  if (samples == nullptr || nFrames <= 0) return;
  // Only the newest kMaxCapture samples can be kept; skip the rest of a long block.
  if (nFrames > kMaxCapture) {
    samples += nFrames - kMaxCapture;
    nFrames = kMaxCapture;
  }
  float* converted = scratch_.data();
  for (int i = 0; i < nFrames; ++i) converted[i] = static_cast<float>(samples[i]);
  Capture(input, converted, nFrames);
}

void ScopeFeed::Capture(int input, const float* samples, int nFrames) {
  if (input < 0 || input >= kInputs || samples == nullptr || nFrames <= 0) return;
  if (nFrames > kMaxCapture) {
    samples += nFrames - kMaxCapture;
    nFrames = kMaxCapture;
  }
  SampleQueue& queue = queues_[static_cast<std::size_t>(input)];
  const int held = queue.Held() / kBytesPerSample;
  if (held + nFrames > kMaxCapture) {
    queue.Discard((held + nFrames) * kBytesPerSample - kMaxCaptureBytes);
  }
  const int before = queue.Held();
  queue.Append(samples, nFrames * kBytesPerSample);
  captured_[static_cast<std::size_t>(input)] += (queue.Held() - before) / kBytesPerSample;
}

void ScopeFeed::AddPending(int nFrames) {
  if (nFrames > 0) pending_ = std::min(pending_ + std::min(nFrames, kMaxCapture), kMaxCapture);
}

int ScopeFeed::Collect(ChannelWindow* const channels[kInputs], ScopeDisplayLink* display) {
  for (int i = 0; i < kInputs; ++i) {
    ChannelWindow* channel = channels[i];
    if (channel == nullptr) continue;
    if (!channel->enabled) {
      if (display != nullptr) display->SetLevelText(i, "");
      continue;
    }
    if (display != nullptr) {
      char level[32];
      FormatLevel(channel->level, level, sizeof(level));
      display->SetLevelText(i, level);
    }
    const SampleQueue& queue = queues_[static_cast<std::size_t>(i)];
    const int held = std::min(queue.Held() / kBytesPerSample, kMaxCapture);
    const std::int64_t captured = captured_[static_cast<std::size_t>(i)];
    const std::int64_t missing = channel->pulledUpTo < 0 ? held : captured - channel->pulledUpTo;
    const int fresh = static_cast<int>(std::min<std::int64_t>(missing, held));
    queue.Peek((held - fresh) * kBytesPerSample, channel->incoming.data(), fresh * kBytesPerSample);
    channel->incomingCount = fresh;
    channel->pulledUpTo = captured;
  }
  const int result = pending_;
  pending_ = 0;
  return result;
}

void ScopeFeed::Absorb(ChannelWindow* const channels[kInputs]) {
  for (int i = 0; i < kInputs; ++i) {
    ChannelWindow* channel = channels[i];
    if (channel == nullptr || channel->incomingCount <= 0) continue;
    const int n = channel->incomingCount;
    float* window = channel->samples.data();
    if (n < kMaxCapture) {
      std::memmove(window, window + n, static_cast<std::size_t>(kMaxCapture - n) * sizeof(float));
    }
    std::memcpy(window + (kMaxCapture - n), channel->incoming.data(),
                static_cast<std::size_t>(n) * sizeof(float));
    channel->incomingCount = 0;
  }
}

int ScopeFeed::Pull(ChannelWindow* const channels[kInputs], ScopeDisplayLink* display) {
  const int result = Collect(channels, display);
  Absorb(channels);
  return result;
}

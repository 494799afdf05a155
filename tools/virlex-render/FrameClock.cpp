#include "tools/virlex-render/FrameClock.h"

#include <algorithm>
#include <cmath>

namespace render {

std::int64_t SampleAt(double seconds, double sampleRate) {
  if (!(seconds > 0.0) || !(sampleRate > 0.0)) return 0;
  return std::llround(seconds * sampleRate);
}

std::int64_t FrameSample(std::int64_t frame, double sampleRate) {
  if (frame <= 0 || !(sampleRate > 0.0)) return 0;
  return std::llround(static_cast<double>(frame) * sampleRate / kFramesPerSecond);
}

std::int64_t FrameAt(double seconds) {
  if (!(seconds > 0.0)) return 0;
  return std::llround(seconds * kFramesPerSecond);
}

VideoFrames PlanVideoFrames(double from, std::int64_t frames, int fps) {
  VideoFrames plan;
  if (frames <= 0 || fps <= 0) return plan;
  from = std::max(from, 0.0);
  // The beat of a time, with a little slack so that a frame that falls exactly on a beat
  // (every frame at 24 fps) is not put one beat early by rounding.
  auto beatAt = [](double seconds) {
    return static_cast<std::int64_t>(std::floor(seconds * kFramesPerSecond + 1e-6));
  };
  plan.firstBeat = beatAt(from);
  for (std::int64_t j = 0; j < frames; ++j) {
    const std::int64_t beat = beatAt(from + static_cast<double>(j) / fps);
    const auto index = static_cast<std::size_t>(beat - plan.firstBeat);
    if (index >= plan.copies.size()) plan.copies.resize(index + 1, 0);
    ++plan.copies[index];
  }
  return plan;
}

std::vector<Step> PlanRun(double sampleRate, std::int64_t lastFrame,
                          const std::vector<std::int64_t>& written,
                          const std::vector<double>& actionTimes) {
  std::vector<Step> steps;
  if (lastFrame < 0) return steps;
  const std::int64_t end = FrameSample(lastFrame, sampleRate);
  for (std::size_t i = 0; i < actionTimes.size(); ++i) {
    const std::int64_t at = SampleAt(actionTimes[i], sampleRate);
    if (at <= end) steps.push_back({at, StepKind::kAction, static_cast<int>(i), false});
  }
  std::vector<std::int64_t> marks = written;
  std::sort(marks.begin(), marks.end());
  for (std::int64_t k = 0; k <= lastFrame; ++k) {
    const bool write = std::binary_search(marks.begin(), marks.end(), k);
    steps.push_back({FrameSample(k, sampleRate), StepKind::kTick, static_cast<int>(k), write});
  }
  // Stable: actions keep their command-line order; at one sample, actions first.
  std::stable_sort(steps.begin(), steps.end(), [](const Step& a, const Step& b) {
    if (a.sample != b.sample) return a.sample < b.sample;
    return a.kind == StepKind::kAction && b.kind == StepKind::kTick;
  });
  return steps;
}

}  // namespace render

// The render tool's sense of time. The editor's redraw timer beats 24 times a second;
// frame k is what the beat at k / 24 s draws, after the audio up to that moment has
// been processed. A run is planned as a list of steps in audio order: mouse actions
// and timer beats, each at a sample position, the audio between them processed
// first. Actions that fall on a beat come before it, so frame k shows them.
#pragma once

#include <cstdint>
#include <vector>

namespace render {

constexpr int kFramesPerSecond = 24;

// Sample position of a time in seconds (rounded, never negative).
std::int64_t SampleAt(double seconds, double sampleRate);
// Sample position of frame k's beat.
std::int64_t FrameSample(std::int64_t frame, double sampleRate);
// The frame whose beat is nearest to a time in seconds (never negative).
std::int64_t FrameAt(double seconds);

enum class StepKind { kAction, kTick };

struct Step {
  std::int64_t sample = 0;
  StepKind kind = StepKind::kTick;
  int index = 0;       // the action's index, or the frame number of a beat
  bool write = false;  // a beat whose picture is written
};

// A video of `frames` frames at `fps` per second, starting `from` seconds in. The editor
// keeps its own 24 beats a second; video frame j, at from + j / fps, shows the picture of
// the newest beat at or before that time, so a beat may fill several video frames or none.
struct VideoFrames {
  std::int64_t firstBeat = 0;
  std::vector<int> copies;  // video frames showing each beat, from firstBeat on
  std::int64_t LastBeat() const { return firstBeat + static_cast<std::int64_t>(copies.size()) - 1; }
};
VideoFrames PlanVideoFrames(double from, std::int64_t frames, int fps);

// Beats for frames 0 .. lastFrame (those in `written` marked), and the actions at
// their times, in the order they happen. Actions after the last beat are left out:
// nothing would show them.
std::vector<Step> PlanRun(double sampleRate, std::int64_t lastFrame,
                          const std::vector<std::int64_t>& written,
                          const std::vector<double>& actionTimes);

}  // namespace render

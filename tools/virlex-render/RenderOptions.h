// The render tool's command line.
#pragma once

#include <string>
#include <vector>

#include "tools/virlex-render/MouseScript.h"
#include "tools/virlex-render/ParamSetting.h"

namespace render {

enum class ProgressMode { kAuto, kOn, kOff };

constexpr int kDefaultVideoFps = 24;
constexpr int kMaxVideoFps = 120;

struct RenderOptions {
  std::string input;        // audio file; empty: the built-in demo signal
  double sampleRate = 0.0;  // 0: the file's rate, or 48000 for the demo
  int blockSize = 512;
  std::vector<ParamSetting> params;  // in command-line order (--domain is one of them)
  std::vector<MouseAction> actions;
  // One picture...
  double at = -1.0;  // seconds; < 0 when not asked
  std::string outFile;
  // ... or a numbered sequence.
  double from = 0.0;
  double to = -1.0;  // seconds; < 0 when not asked
  int every = 1;     // write every n-th frame of the 24 per second
  std::string outDir;
  // ... or a video of --from .. --to (to the end of the file when --to is not given).
  std::string video;
  int fps = kDefaultVideoFps;
  ProgressMode progress = ProgressMode::kAuto;
  bool help = false;
};

// Longest stretch of audio one run renders, in seconds.
constexpr double kMaxRenderSeconds = 3600.0;
constexpr int kMaxBlockSize = 16384;
constexpr double kMinSampleRate = 1000.0, kMaxSampleRate = 768000.0;

// False with an error for anything unknown, malformed or contradictory.
bool ParseRenderOptions(const std::vector<std::string>& args, RenderOptions& options,
                        std::string& error);

const char* RenderUsage();

}  // namespace render

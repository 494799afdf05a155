#include "tools/virlex-render/RenderOptions.h"

#include <cmath>
#include <cstdlib>

namespace render {

namespace {

bool ParseNumber(const std::string& text, double& out) {
  if (text.empty()) return false;
  char* end = nullptr;
  out = std::strtod(text.c_str(), &end);
  return *end == '\0' && std::isfinite(out);
}

bool ParseSeconds(const std::string& option, const std::string& text, double& out,
                  std::string& error) {
  if (!ParseNumber(text, out) || out < 0.0 || out > kMaxRenderSeconds) {
    error = option + " '" + text + "': expected seconds from 0 to 3600";
    return false;
  }
  return true;
}

bool ParseCount(const std::string& option, const std::string& text, int low, int high, int& out,
                std::string& error) {
  double v = 0.0;
  if (!ParseNumber(text, v) || v != std::floor(v) || v < low || v > high) {
    error = option + " '" + text + "': expected a whole number from " + std::to_string(low) +
            " to " + std::to_string(high);
    return false;
  }
  out = static_cast<int>(v);
  return true;
}

bool MouseOption(const std::string& arg, MouseKind& kind) {
  for (MouseKind k : {MouseKind::kClick, MouseKind::kRightClick, MouseKind::kDoubleClick,
                      MouseKind::kHover, MouseKind::kDrag, MouseKind::kWheel}) {
    if (arg == std::string("--") + MouseKindName(k)) {
      kind = k;
      return true;
    }
  }
  return false;
}

bool ParseOne(const std::string& arg, const std::string& value, RenderOptions& o,
              std::string& error) {
  MouseKind kind;
  if (MouseOption(arg, kind)) {
    MouseAction action;
    if (!ParseMouseAction(kind, value, action, error)) return false;
    o.actions.push_back(action);
    return true;
  }
  if (arg == "--param") {
    ParamSetting setting;
    if (!ParseParamSetting(value, setting, error)) return false;
    o.params.push_back(setting);
    return true;
  }
  if (arg == "--domain") {
    if (value != "time" && value != "freq" && value != "phase") {
      error = "--domain '" + value + "': expected time, freq or phase";
      return false;
    }
    o.params.push_back({"domain", value});
    return true;
  }
  if (arg == "--rate") {
    if (!ParseNumber(value, o.sampleRate) || o.sampleRate < kMinSampleRate ||
        o.sampleRate > kMaxSampleRate) {
      error = "--rate '" + value + "': expected a sample rate from 1000 to 768000 Hz";
      return false;
    }
    return true;
  }
  if (arg == "--block") return ParseCount(arg, value, 1, kMaxBlockSize, o.blockSize, error);
  if (arg == "--every") return ParseCount(arg, value, 1, 1000000, o.every, error);
  if (arg == "--at") return ParseSeconds(arg, value, o.at, error);
  if (arg == "--from") return ParseSeconds(arg, value, o.from, error);
  if (arg == "--to") return ParseSeconds(arg, value, o.to, error);
  if (arg == "-o" || arg == "--output") {
    o.outFile = value;
    return true;
  }
  if (arg == "--out-dir") {
    o.outDir = value;
    return true;
  }
  if (arg == "--video") {
    o.video = value;
    return true;
  }
  if (arg == "--fps") return ParseCount(arg, value, 1, kMaxVideoFps, o.fps, error);
  error = "unknown option '" + arg + "' (see --help)";
  return false;
}

// A video covers --from .. --to; the end of a file is found once it is read.
bool CheckVideo(const RenderOptions& o, bool single, bool sequenceOnly, std::string& error) {
  if (single || sequenceOnly) {
    error = "--video writes one file: it takes --from and --to, not --at, -o, --out-dir or --every";
    return false;
  }
  if (o.to >= 0.0 && o.from >= o.to) {
    error = "--from must be before --to";
    return false;
  }
  return true;
}

bool Check(RenderOptions& o, std::string& error) {
  const bool single = !o.outFile.empty() || o.at >= 0.0;
  if (!o.video.empty()) return CheckVideo(o, single, !o.outDir.empty() || o.every != 1, error);
  if (o.fps != kDefaultVideoFps) {
    error = "--fps sets the frame rate of a --video";
    return false;
  }
  const bool sequence = !o.outDir.empty() || o.to >= 0.0;
  if (single && sequence) {
    error = "choose one picture (--at, -o) or a sequence (--from, --to, --out-dir), not both";
    return false;
  }
  if (single) {
    if (o.outFile.empty()) {
      error = "--at needs -o FILE.png";
      return false;
    }
    if (o.at < 0.0) o.at = 2.0;  // long enough for the window to fill and spectra to settle
    return true;
  }
  if (!sequence) {
    error =
        "nothing to render: give --at SECONDS -o FILE.png, --to SECONDS --out-dir DIR, or "
        "--video FILE.mp4";
    return false;
  }
  if (o.outDir.empty() || o.to < 0.0) {
    error = "a sequence needs both --to SECONDS and --out-dir DIR";
    return false;
  }
  if (o.from > o.to) {
    error = "--from is after --to";
    return false;
  }
  return true;
}

}  // namespace

bool ParseRenderOptions(const std::vector<std::string>& args, RenderOptions& o,
                        std::string& error) {
  o = RenderOptions{};
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "-h" || arg == "--help") {
      o.help = true;
      return true;
    }
    if (arg == "--progress" || arg == "--no-progress") {
      o.progress = arg == "--progress" ? ProgressMode::kOn : ProgressMode::kOff;
      continue;
    }
    if (arg.size() > 1 && arg[0] == '-') {
      if (i + 1 >= args.size()) {
        error = arg + " needs a value";
        return false;
      }
      if (!ParseOne(arg, args[++i], o, error)) return false;
      continue;
    }
    if (!o.input.empty()) {
      error = "more than one audio file ('" + o.input + "', '" + arg + "')";
      return false;
    }
    o.input = arg;
  }
  return Check(o, error);
}

const char* RenderUsage() {
  return R"(usage: virlex-render [AUDIO_FILE] [options]

Runs Virlex as a host does (through its VST entry), plays audio through it, opens
its editor off screen with the redraw timer at 24 frames per second in step with
the audio, and writes what the editor shows as PNG files or as a video.

Audio: any file libsndfile reads, channels 1-4 to inputs 1-4 (further channels are
ignored, with a warning); the inputs the file fills are switched on. Without a file,
a built-in demo signal feeds all four inputs.

Output (one of):
  --at SECONDS -o FILE.png      the frame nearest that time (default 2 s)
  --from A --to B --out-dir DIR  frames A..B as DIR/frame-NNNNN.png (NNNNN = frame number)
  --every N                     only every N-th frame of a sequence (default 1)
  --video FILE.mp4              a video of --from A (default 0) to --to B (default: the
                                end of the file) with the audio muxed in, made by the
                                ffmpeg program; the container follows the file's
                                extension (.mp4, .mov, .mkv, ...)
  --fps N                       frames per second of the video (default 24). The editor
                                redraws 24 times a second, as in a host; at other rates
                                each video frame shows its newest picture

Host settings:
  --rate HZ          sample rate (default: the file's, or 48000 for the demo)
  --block N          block size of the process calls (default 512)
  --param NAME=VALUE  a parameter by name or index; VALUE normalised 0..1, or as
                     the plug-in displays it ("freq", "16384", "250 ms", "-12 dB")
  --domain time|freq|phase   shortcut for --param domain=...

Mouse (T in seconds, X,Y in editor pixels; add +fine to hold shift):
  --click T:X,Y  --right-click T:X,Y  --double-click T:X,Y  --hover T:X,Y
  --drag T:X1,Y1:X2,Y2  --wheel T:X,Y:NOTCHES

  --progress | --no-progress   progress bar on stderr (default: on a terminal, long runs)
)";
}

}  // namespace render

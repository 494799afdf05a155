#include "tools/virlex-render/RenderJob.h"

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "tools/virlex-render/AudioSource.h"
#include "tools/virlex-render/FrameClock.h"
#include "tools/virlex-render/Progress.h"
#include "tools/virlex-render/RenderOptions.h"
#include "tools/virlex-render/RenderSession.h"
#include "tools/virlex-render/VideoRender.h"
#include "tools/vsthost/audio/AudioFile.h"

namespace render {

namespace {

constexpr double kDemoRate = 48000.0;
// Runs covering more audio than this get a progress bar on a terminal.
constexpr double kLongRunSeconds = 5.0;

struct Plan {
  std::vector<std::int64_t> written;  // frame numbers, ascending
  std::int64_t lastFrame = 0;
};

Plan MakePlan(const RenderOptions& o) {
  Plan plan;
  if (o.at >= 0.0) {
    plan.written.push_back(FrameAt(o.at));
  } else {
    for (std::int64_t k = FrameAt(o.from); k <= FrameAt(o.to); k += o.every)
      plan.written.push_back(k);
  }
  plan.lastFrame = plan.written.empty() ? 0 : plan.written.back();
  return plan;
}

// Loads the file, or makes the demo. Warns about channels that find no input.
bool LoadSource(const RenderOptions& o, std::FILE* err, AudioSource& source, double& rate) {
  if (o.input.empty()) {
    rate = o.sampleRate > 0.0 ? o.sampleRate : kDemoRate;
    source = AudioSource::Demo(rate);
    return true;
  }
  vsthost::AudioData audio;
  std::string error;
  if (!vsthost::ReadAudioFile(o.input, audio, error)) {
    std::fprintf(err, "virlex-render: %s\n", error.c_str());
    return false;
  }
  if (audio.channels.empty()) {
    std::fprintf(err, "virlex-render: '%s' has no audio channels\n", o.input.c_str());
    return false;
  }
  if (audio.channels.size() > static_cast<std::size_t>(kInputs))
    std::fprintf(err, "virlex-render: warning: '%s' has %zu channels; the first 4 are used\n",
                 o.input.c_str(), audio.channels.size());
  rate = o.sampleRate > 0.0 ? o.sampleRate : audio.sampleRate;
  if (rate < kMinSampleRate || rate > kMaxSampleRate) {
    std::fprintf(err,
                 "virlex-render: '%s' has a sample rate of %d Hz; give --rate (1000..768000)\n",
                 o.input.c_str(), audio.sampleRate);
    return false;
  }
  if (o.sampleRate > 0.0 && o.sampleRate != audio.sampleRate)
    std::fprintf(err, "virlex-render: warning: '%s' is at %d Hz and plays unresampled at %.0f Hz\n",
                 o.input.c_str(), audio.sampleRate, o.sampleRate);
  source = AudioSource::File(std::move(audio));
  return true;
}

// Inputs that carry audio are switched on, the others off; the settings from the
// command line come after and may change that.
std::vector<ParamSetting> Settings(const RenderOptions& o, int channels) {
  std::vector<ParamSetting> settings;
  for (int n = 1; n <= kInputs; ++n)
    settings.push_back({"input " + std::to_string(n), n <= channels ? "1" : "0"});
  settings.insert(settings.end(), o.params.begin(), o.params.end());
  return settings;
}

void WarnPastEnd(const RenderOptions& o, const AudioSource& source, double rate, const Plan& plan,
                 std::FILE* err) {
  const std::int64_t frames = source.Frames();
  if (frames < 0 || FrameSample(plan.lastFrame, rate) <= frames) return;
  std::fprintf(err,
               "virlex-render: warning: rendering to %.3f s, past the end of '%s' (%.3f s): "
               "silence follows\n",
               static_cast<double>(plan.lastFrame) / kFramesPerSecond, o.input.c_str(),
               static_cast<double>(frames) / rate);
}

bool PrepareOutput(const RenderOptions& o, std::FILE* err) {
  if (o.outDir.empty()) return true;
  std::error_code ec;
  std::filesystem::create_directories(o.outDir, ec);
  if (ec || !std::filesystem::is_directory(o.outDir)) {
    std::fprintf(err, "virlex-render: cannot create '%s': %s\n", o.outDir.c_str(),
                 ec ? ec.message().c_str() : "not a folder");
    return false;
  }
  return true;
}

std::string OutputPath(const RenderOptions& o, std::int64_t frame) {
  if (!o.outFile.empty()) return o.outFile;
  return (std::filesystem::path(o.outDir) / FrameFileName(frame)).string();
}

bool ShowProgress(const RenderOptions& o, const Plan& plan, std::FILE* err) {
  if (o.progress != ProgressMode::kAuto) return o.progress == ProgressMode::kOn;
  return isatty(fileno(err)) == 1 &&
         static_cast<double>(plan.lastFrame) / kFramesPerSecond > kLongRunSeconds;
}

int Play(const RenderOptions& o, RenderSession& session, const AudioSource& source, double rate,
         const Plan& plan, std::FILE* out, std::FILE* err) {
  std::vector<double> times;
  for (const MouseAction& a : o.actions) times.push_back(a.time);
  const std::vector<Step> steps = PlanRun(rate, plan.lastFrame, plan.written, times);
  if (steps.size() < plan.lastFrame + 1 + o.actions.size())
    std::fprintf(err, "virlex-render: warning: mouse actions after the last frame are ignored\n");

  Progress progress(err, plan.lastFrame + 1, ShowProgress(o, plan, err));
  std::int64_t done = 0;
  for (const Step& step : steps) {
    session.Advance(step.sample, source);
    if (step.kind == StepKind::kAction) {
      session.Perform(o.actions[static_cast<std::size_t>(step.index)]);
      continue;
    }
    session.Tick();
    progress.Update(++done);
    if (!step.write) continue;
    std::string error;
    if (!session.WritePng(OutputPath(o, step.index), error)) {
      progress.Finish();
      std::fprintf(err, "virlex-render: %s\n", error.c_str());
      return kExitFailed;
    }
  }
  progress.Finish();
  if (!o.outFile.empty())
    std::fprintf(out, "wrote %s (frame %lld, %.3f s)\n", o.outFile.c_str(),
                 static_cast<long long>(plan.lastFrame),
                 static_cast<double>(plan.lastFrame) / kFramesPerSecond);
  else
    std::fprintf(out, "wrote %zu frames to %s\n", plan.written.size(), o.outDir.c_str());
  return kExitOk;
}

}  // namespace

std::string FrameFileName(long long frame) {
  char name[32];
  std::snprintf(name, sizeof(name), "frame-%05lld.png", frame);
  return name;
}

int RunRender(const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
  RenderOptions o;
  std::string error;
  if (!ParseRenderOptions(args, o, error)) {
    std::fprintf(err, "virlex-render: %s\n", error.c_str());
    return kExitUsage;
  }
  if (o.help) {
    std::fputs(RenderUsage(), out);
    return kExitOk;
  }
  AudioSource source = AudioSource::Demo(kDemoRate);
  double rate = kDemoRate;
  if (!LoadSource(o, err, source, rate)) return kExitFailed;
  VideoSpan span;
  if (!o.video.empty() && !ResolveVideoSpan(o, source, rate, span, error)) {
    std::fprintf(err, "virlex-render: %s\n", error.c_str());
    return kExitUsage;
  }

  RenderSession session;
  if (!session.Start(rate, o.blockSize, error)) {
    std::fprintf(err, "virlex-render: cannot start the plug-in: %s\n", error.c_str());
    return kExitFailed;
  }
  if (!session.ApplySettings(Settings(o, source.Channels()), error)) {
    std::fprintf(err, "virlex-render: %s\n", error.c_str());
    return kExitUsage;
  }
  if (!session.OpenEditor(error)) {
    std::fprintf(err, "virlex-render: %s\n", error.c_str());
    return kExitFailed;
  }
  if (!o.video.empty()) return RenderVideo(o, session, source, rate, span, out, err);
  const Plan plan = MakePlan(o);
  WarnPastEnd(o, source, rate, plan, err);
  if (!PrepareOutput(o, err)) return kExitFailed;
  return Play(o, session, source, rate, plan, out, err);
}

}  // namespace render

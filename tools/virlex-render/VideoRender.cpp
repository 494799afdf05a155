#include "tools/virlex-render/VideoRender.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>

#include "graphics/platform/offscreen/IGraphicsOffscreen.h"
#include "raster/RasterBitmap.h"
#include "tools/virlex-render/FrameClock.h"
#include "tools/virlex-render/ProcessPipe.h"
#include "tools/virlex-render/Progress.h"
#include "tools/virlex-render/RenderJob.h"
#include "tools/virlex-render/RenderSession.h"
#include "tools/vsthost/audio/AudioFile.h"

namespace render {

namespace {

// Runs covering more audio than this get a progress bar on a terminal.
constexpr double kLongRunSeconds = 5.0;
constexpr int kAudioBlock = 4096;

std::string Extension(const std::string& path) {
  std::string ext = std::filesystem::path(path).extension().string();
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return ext;
}

// The surface's rows, top first, packed without gaps: B, G, R, A bytes per pixel, which is
// how the 0xAARRGGBB pixels lie in memory on the little-endian machines this runs on.
bool CopyFrame(RasterBitmap* surface, std::vector<unsigned char>& frame) {
  if (surface == nullptr || surface->GetBits() == nullptr) return false;
  const int width = surface->GetWidth(), height = surface->GetHeight();
  const std::size_t rowBytes = static_cast<std::size_t>(width) * sizeof(RasterPixel);
  frame.resize(rowBytes * static_cast<std::size_t>(height));
  for (int y = 0; y < height; ++y) {
    const int row = surface->IsFlipped() ? height - 1 - y : y;
    std::memcpy(frame.data() + rowBytes * static_cast<std::size_t>(y),
                surface->GetBits() + static_cast<std::ptrdiff_t>(row) * surface->GetRowSpan(),
                rowBytes);
  }
  return true;
}

// Removes the temporary audio file however the run ends.
struct TemporaryFile {
  std::string path;
  ~TemporaryFile() {
    if (!path.empty()) std::remove(path.c_str());
  }
};

bool ShowProgress(const RenderOptions& o, const VideoSpan& span, std::FILE* err) {
  if (o.progress != ProgressMode::kAuto) return o.progress == ProgressMode::kOn;
  return isatty(fileno(err)) == 1 && span.to > kLongRunSeconds;
}

// Plays the run and pipes every video frame; false as soon as the pipe takes no more.
bool PlayFrames(const RenderOptions& o, RenderSession& session, const AudioSource& source,
                double sampleRate, const VideoSpan& span, ProcessPipe& ffmpeg, std::FILE* err) {
  const VideoFrames plan = PlanVideoFrames(span.from, span.frames, span.fps);
  std::vector<std::int64_t> shown;
  for (std::size_t i = 0; i < plan.copies.size(); ++i)
    if (plan.copies[i] > 0) shown.push_back(plan.firstBeat + static_cast<std::int64_t>(i));
  std::vector<double> times;
  for (const MouseAction& a : o.actions) times.push_back(a.time);
  const std::vector<Step> steps = PlanRun(sampleRate, plan.LastBeat(), shown, times);

  RasterBitmap* surface = session.Editor()->DrawSurface();
  Progress progress(err, plan.LastBeat() + 1, ShowProgress(o, span, err));
  std::vector<unsigned char> frame;
  std::int64_t beats = 0;
  bool piped = true;
  for (const Step& step : steps) {
    session.Advance(step.sample, source);
    if (step.kind == StepKind::kAction) {
      session.Perform(o.actions[static_cast<std::size_t>(step.index)]);
      continue;
    }
    session.Tick();
    progress.Update(++beats);
    if (!step.write) continue;
    piped = CopyFrame(surface, frame);
    const int copies = plan.copies[static_cast<std::size_t>(step.index - plan.firstBeat)];
    for (int k = 0; piped && k < copies; ++k) piped = ffmpeg.Write(frame.data(), frame.size());
    if (!piped) break;
  }
  progress.Finish();
  return piped;
}

}  // namespace

bool ResolveVideoSpan(const RenderOptions& o, const AudioSource& source, double sampleRate,
                      VideoSpan& span, std::string& error) {
  span.from = o.from;
  span.fps = o.fps;
  if (o.to >= 0.0) {
    span.to = o.to;
  } else if (source.Frames() < 0) {
    error = "the demo signal has no end: give --to SECONDS for the video";
    return false;
  } else {
    span.to = static_cast<double>(source.Frames()) / sampleRate;
    if (span.from >= span.to) {
      error = "--from " + std::to_string(span.from) + " is at or after the end of '" + o.input +
              "' (" + std::to_string(span.to) + " s)";
      return false;
    }
  }
  span.frames = std::max<std::int64_t>(1, std::llround((span.to - span.from) * span.fps));
  return true;
}

int VideoAudioChannels(const AudioSource& source) {
  return source.Frames() < 0 ? 2 : std::clamp(source.Channels(), 1, kInputs);
}

vsthost::AudioData VideoAudio(const AudioSource& source, double sampleRate, const VideoSpan& span) {
  vsthost::AudioData audio;
  audio.sampleRate = static_cast<int>(std::lround(sampleRate));
  const std::int64_t start = SampleAt(span.from, sampleRate);
  const auto length = static_cast<std::size_t>(
      std::llround(static_cast<double>(span.frames) * sampleRate / span.fps));
  audio.channels.assign(static_cast<std::size_t>(VideoAudioChannels(source)),
                        std::vector<float>(length));
  std::vector<std::vector<float>> block(kInputs, std::vector<float>(kAudioBlock));
  float* blockPtrs[kInputs];
  for (int c = 0; c < kInputs; ++c) blockPtrs[c] = block[static_cast<std::size_t>(c)].data();
  for (std::size_t done = 0; done < length; done += kAudioBlock) {
    const int n = static_cast<int>(std::min<std::size_t>(kAudioBlock, length - done));
    source.Read(start + static_cast<std::int64_t>(done), n, blockPtrs);
    for (std::size_t c = 0; c < audio.channels.size(); ++c)
      std::copy_n(block[c].data(), n, audio.channels[c].data() + done);
  }
  return audio;
}

std::vector<std::string> FfmpegArguments(const std::string& output, int width, int height, int fps,
                                         const std::string& audioFile) {
  std::vector<std::string> args = {"-hide_banner", "-loglevel", "error", "-nostdin", "-y",
                                   // The frames, as the editor draws them.
                                   "-f", "rawvideo", "-pix_fmt", "bgra", "-video_size",
                                   std::to_string(width) + "x" + std::to_string(height),
                                   "-framerate", std::to_string(fps), "-i", "pipe:0", "-i",
                                   audioFile, "-map", "0:v:0", "-map", "1:a:0"};
  const std::string ext = Extension(output);
  if (ext == ".mp4" || ext == ".m4v" || ext == ".mov") {
    // What video sites and players take everywhere; the index at the front lets a browser
    // start playing before the whole file has arrived.
    for (const char* a : {"-c:v", "libx264", "-preset", "medium", "-crf", "18", "-c:a", "aac",
                          "-b:a", "192k", "-movflags", "+faststart"})
      args.emplace_back(a);
  }
  // 4:2:0 chroma: the form every player decodes.
  for (const char* a : {"-pix_fmt", "yuv420p"}) args.emplace_back(a);
  args.push_back(output);
  return args;
}

int RenderVideo(const RenderOptions& o, RenderSession& session, const AudioSource& source,
                double sampleRate, const VideoSpan& span, std::FILE* out, std::FILE* err) {
  if (source.Frames() >= 0 && SampleAt(span.to, sampleRate) > source.Frames())
    std::fprintf(err,
                 "virlex-render: warning: the video runs past the end of '%s': silence follows\n",
                 o.input.c_str());
  RasterBitmap* surface = session.Editor() != nullptr ? session.Editor()->DrawSurface() : nullptr;
  if (surface == nullptr) {
    std::fprintf(err, "virlex-render: the editor has no picture to record\n");
    return kExitFailed;
  }
  std::string error;
  TemporaryFile audioFile{MakeTemporaryFile(".wav", error)};
  if (audioFile.path.empty() ||
      !vsthost::WriteAudioFile(audioFile.path, VideoAudio(source, sampleRate, span),
                               vsthost::SampleFormat::Float32, error)) {
    std::fprintf(err, "virlex-render: cannot write the video's audio: %s\n", error.c_str());
    return kExitFailed;
  }
  ProcessPipe ffmpeg;
  const std::vector<std::string> args =
      FfmpegArguments(o.video, surface->GetWidth(), surface->GetHeight(), span.fps, audioFile.path);
  if (!ffmpeg.Start("ffmpeg", args, error)) {
    std::fprintf(err, "virlex-render: --video needs ffmpeg (Debian package 'ffmpeg'): %s\n",
                 error.c_str());
    return kExitFailed;
  }
  const bool piped = PlayFrames(o, session, source, sampleRate, span, ffmpeg, err);
  if (!ffmpeg.Finish(error) || !piped) {
    std::fprintf(err, "virlex-render: the video '%s' was not written: %s\n", o.video.c_str(),
                 error.empty() ? "ffmpeg stopped taking frames" : error.c_str());
    return kExitFailed;
  }
  std::fprintf(out, "wrote %s (%lld frames at %d fps, %.3f s, with audio)\n", o.video.c_str(),
               static_cast<long long>(span.frames), span.fps,
               static_cast<double>(span.frames) / span.fps);
  return kExitOk;
}

}  // namespace render

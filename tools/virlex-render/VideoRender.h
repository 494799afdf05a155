// The video output of the render tool: the editor's pictures, piped as raw frames into the
// ffmpeg program, with the audio that was played muxed in.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "tools/virlex-render/AudioSource.h"
#include "tools/virlex-render/RenderOptions.h"

namespace render {

class RenderSession;

// What a video covers, resolved against the audio.
struct VideoSpan {
  double from = 0.0;  // seconds
  double to = 0.0;
  int fps = kDefaultVideoFps;
  std::int64_t frames = 0;  // video frames
};

// --from and --to, or --from to the end of the file. False with an error for the endless
// demo without --to, or a start at or after the end of the file.
bool ResolveVideoSpan(const RenderOptions& o, const AudioSource& source, double sampleRate,
                      VideoSpan& span, std::string& error);

// The channels the video's sound has: a file's own (up to four), the demo's stereo pair.
int VideoAudioChannels(const AudioSource& source);

// The audio the plug-in gets while the span plays, for muxing in.
vsthost::AudioData VideoAudio(const AudioSource& source, double sampleRate, const VideoSpan& span);

// ffmpeg's arguments for raw BGRA frames of width x height on its standard input and the
// audio file, written to output.
std::vector<std::string> FfmpegArguments(const std::string& output, int width, int height, int fps,
                                         const std::string& audioFile);

// Renders the span into o.video with the session's editor open. Returns an exit code.
int RenderVideo(const RenderOptions& o, RenderSession& session, const AudioSource& source,
                double sampleRate, const VideoSpan& span, std::FILE* out, std::FILE* err);

}  // namespace render

// The whole render run behind the command line: reads the audio, starts the
// plug-in, plays the audio and the scripted mouse actions with the redraw timer in
// step, and writes the pictures. Messages go to the two streams.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace render {

// Exit codes of the tool.
constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;  // unreadable audio, no editor, unwritable picture
constexpr int kExitUsage = 2;   // a bad command line

int RunRender(const std::vector<std::string>& args, std::FILE* out, std::FILE* err);

// File name of frame k in a sequence: "frame-00042.png".
std::string FrameFileName(long long frame);

}  // namespace render

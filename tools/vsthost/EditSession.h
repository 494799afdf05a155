// vsthost's edit command: the plug-in's editor open in a real window while audio
// runs, scripted input, screenshots, parameter prints and the edits the plug-in
// reports, then closing (and reopening) the editor. Platform-neutral: the window
// comes from the EditorWindow backend of the build.
#pragma once

#include <cstdio>
#include <functional>

#include "tools/vsthost/EditOptions.h"
#include "tools/vsthost/PluginInstance.h"
#include "tools/vsthost/audio/AudioData.h"

namespace vsthost {

// What the caller still needs of the plug-in once the session is over but before
// it is closed (saving its state, say); returns an ExitCode of Commands.h.
using BeforeClose = std::function<int()>;

// Runs the session on an opened and configured plug-in (sample rate and block
// size set, parameters applied). input is played looped; the plug-in is closed
// (effClose) at the end, after the audio has stopped and beforeClose has run
// (only when the session went well; its code then becomes the session's).
// Returns an ExitCode of Commands.h.
int RunEditSession(PluginInstance& plugin, const EditOptions& options, const AudioData& input,
                   double sampleRate, std::FILE* out, std::FILE* err,
                   const BeforeClose& beforeClose = {});

}  // namespace vsthost

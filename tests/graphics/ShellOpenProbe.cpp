// A loadable module holding the editor's shell opening, as a plug-in module
// holds it: the unload test opens a file through it and then unloads it.
#include "graphics/platform/offscreen/IGraphicsOffscreen.h"

extern "C" __attribute__((visibility("default"))) bool ProbeShellOpen(const char* url) {
  IGraphicsOffscreen graphics(nullptr, 10, 10, 0);
  return graphics.ShellOpen(url, nullptr, nullptr, nullptr);
}

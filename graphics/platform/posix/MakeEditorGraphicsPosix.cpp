// Until a window layer exists here, the editor is the off-screen host: it draws
// and answers calls, and refuses to open inside a host's window.
#include "graphics/MakeEditorGraphics.h"
#include "graphics/platform/offscreen/IGraphicsOffscreen.h"

IGraphicsLice* MakeEditorGraphics(IPlugBase* plugin, int width, int height, int fps) {
  return new IGraphicsOffscreen(plugin, width, height, fps);
}

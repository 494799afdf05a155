// The module's editor on Linux: the X11 window layer. Compiled into the module
// itself, so the off-screen factory the graphics library offers tests and tools is
// never linked in.
#include "graphics/MakeEditorGraphics.h"
#include "graphics/platform/x11/IGraphicsX11.h"

IGraphicsLice* MakeEditorGraphics(IPlugBase* plugin, int width, int height, int fps) {
  return new IGraphicsX11(plugin, width, height, fps);
}

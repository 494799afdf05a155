#include <windows.h>

#include "graphics/MakeEditorGraphics.h"
#include "graphics/platform/win32/IGraphicsLiceWin32.h"

namespace {

// The module this code is linked into (the plug-in DLL), found from an address in it.
HMODULE ThisModule() {
  HMODULE module = nullptr;
  GetModuleHandleExA(
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
      reinterpret_cast<LPCSTR>(&ThisModule), &module);
  return module;
}

}  // namespace

IGraphicsLice* MakeEditorGraphics(IPlugBase* plugin, int width, int height, int fps) {
  return new IGraphicsLiceWin32(plugin, width, height, fps, ThisModule());
}

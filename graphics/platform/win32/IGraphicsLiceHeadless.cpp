#include "graphics/platform/win32/IGraphicsLiceHeadless.h"

#include <windows.h>

#include "graphics/RasterLoadPng.h"

namespace {

// Everything up to and including the last backslash of a module's file name.
void ModuleFolder(HMODULE module, std::string& out) {
  out.clear();
  char name[256] = {};
  const DWORD n = GetModuleFileNameA(module, name, sizeof name);
  if (n == 0 || n >= sizeof name) return;
  const std::string path(name, n);
  const size_t slash = path.rfind('\\');
  if (slash != std::string::npos) out = path.substr(0, slash + 1);
}

}  // namespace

IGraphicsLiceHeadless::IGraphicsLiceHeadless(IPlugBase* plugin, int width, int height, int fps,
                                             void* module)
    : IGraphicsLice(plugin, width, height, fps), module(module) {}

// GDI text arrives with the window layer; until then nothing is drawn.
bool IGraphicsLiceHeadless::PaintText(const IFontSpec&, const char* text, IBox) {
  return text == nullptr;
}

void IGraphicsLiceHeadless::GetHostFolder(std::string& out) { ModuleFolder(nullptr, out); }

void IGraphicsLiceHeadless::GetPluginFolder(std::string& out) {
  ModuleFolder(static_cast<HMODULE>(module), out);
}

bool IGraphicsLiceHeadless::ShellOpen(const char* url, const char*, const char* question,
                                      const char*) {
  if (url == nullptr || url[0] == '\0' || question != nullptr) return false;
  const HINSTANCE result = ShellExecuteA(nullptr, "open", url, nullptr, nullptr, SW_SHOWNORMAL);
  return reinterpret_cast<INT_PTR>(result) > 32;
}

RasterBitmap* IGraphicsLiceHeadless::LoadImageResource(int id, const char*) {
  return RasterLoadPng(module, id, nullptr);
}

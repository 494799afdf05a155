// LoadLibrary-based module loading for Windows.
#include "tools/vsthost/ModuleLoader.h"

#include <windows.h>

namespace vsthost {

struct Module {
  HMODULE handle;
};

namespace {

std::string LastErrorText() {
  DWORD code = GetLastError();
  char text[512] = {};
  DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                           code, 0, text, sizeof(text) - 1, nullptr);
  while (n > 0 && (text[n - 1] == '\n' || text[n - 1] == '\r' || text[n - 1] == ' ')) text[--n] = 0;
  return "error " + std::to_string(code) + (n ? ": " + std::string(text) : std::string());
}

}  // namespace

Module* OpenModule(const std::string& path, std::string& error) {
  // No message boxes for a missing dependency: a command-line host must fail with text.
  UINT previous = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  HMODULE handle = LoadLibraryA(path.c_str());
  SetErrorMode(previous);
  if (!handle) {
    error = LastErrorText();
    return nullptr;
  }
  return new Module{handle};
}

void* FindSymbol(Module* module, const char* name) {
  if (!module) return nullptr;
  return reinterpret_cast<void*>(GetProcAddress(module->handle, name));
}

void CloseModule(Module* module) {
  if (!module) return;
  FreeLibrary(module->handle);
  delete module;
}

}  // namespace vsthost

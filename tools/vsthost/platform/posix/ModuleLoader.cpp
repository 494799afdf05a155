// dlopen-based module loading for Linux and other POSIX systems.
#include "tools/vsthost/ModuleLoader.h"

#include <dlfcn.h>

namespace vsthost {

struct Module {
  void* handle;
};

Module* OpenModule(const std::string& path, std::string& error) {
  // RTLD_NOW: an unresolved symbol fails here with a message, not later mid-process.
  // RTLD_LOCAL: two plug-ins that share symbol names must not see each other's.
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) {
    const char* why = dlerror();
    error = why ? why : "unknown dlopen failure";
    return nullptr;
  }
  return new Module{handle};
}

void* FindSymbol(Module* module, const char* name) {
  if (!module) return nullptr;
  return dlsym(module->handle, name);
}

void CloseModule(Module* module) {
  if (!module) return;
  dlclose(module->handle);
  delete module;
}

}  // namespace vsthost

// Loading a plug-in module (shared library) and looking up its entry points.
// One implementation per platform lives under platform/; CMake picks it.
#pragma once

#include <string>

namespace vsthost {

struct Module;  // opaque handle of a loaded library

// Loads the library at path. Returns null and fills error when it cannot be loaded.
Module* OpenModule(const std::string& path, std::string& error);

// Address of an exported symbol, or null when the module does not export it.
void* FindSymbol(Module* module, const char* name);

// Unloads the library; null is ignored.
void CloseModule(Module* module);

}  // namespace vsthost

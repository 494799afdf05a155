// Resource lookup on Windows: PNG resources of the module by numeric id.
#include <windows.h>

#include "graphics/RasterLoadPng.h"

RasterBitmap* RasterLoadPng(void* module, int id, RasterBitmap* destination) {
  HMODULE mod = static_cast<HMODULE>(module);
  HRSRC info = FindResourceA(mod, MAKEINTRESOURCEA(id), "PNG");
  if (info == nullptr) return nullptr;
  const DWORD size = SizeofResource(mod, info);
  HGLOBAL handle = LoadResource(mod, info);
  if (handle == nullptr || size < 8) return nullptr;
  const unsigned char* bytes = static_cast<const unsigned char*>(LockResource(handle));
  if (bytes == nullptr) return nullptr;
  // Resources stay mapped with the module; there is nothing to release.
  return RasterLoadPngFromMemory(bytes, size, destination);
}

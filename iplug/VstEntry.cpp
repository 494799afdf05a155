#include "iplug/VstEntry.h"

#include <new>

namespace {

// Lives until the module is unloaded; created on first use, so it exists before any
// instance whatever the order of static initialisation.
ILock& CreationLock() {
  static ILock lock;
  return lock;
}

}  // namespace

vst::AEffect* CreateVstEffect(vst::HostCallback host, PluginFactory factory) {
  if (factory == nullptr) return nullptr;
  ILockGuard hold(CreationLock());
  IPlugVST* plug = nullptr;
  try {
    plug = factory(host);
  } catch (const std::bad_alloc&) {
    // Out of memory while constructing: the host gets null, never an exception.
    return nullptr;
  }
  if (plug == nullptr) return nullptr;
  plug->EnsureOnePreset();
  vst::AEffect* effect = plug->Effect();
  if (effect->numPrograms < 1) effect->numPrograms = 1;
  return effect;
}

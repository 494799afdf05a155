#include "iplug/VstEntry.h"

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
    if (plug == nullptr) return nullptr;
    plug->EnsureOnePreset();
  } catch (...) {
    // Out of memory or any other failure while constructing: the host gets null,
    // never an exception (it would unwind through the host's own frames).
    delete plug;
    return nullptr;
  }
  vst::AEffect* effect = plug->Effect();
  if (effect->numPrograms < 1) effect->numPrograms = 1;
  return effect;
}

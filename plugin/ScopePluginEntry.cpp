// The module's exported entry. VSTPluginMain is also exported under its second
// name, main, which older hosts look for: on Linux through the linker (version
// script and an alias symbol), on Windows through the module definition file.
#include "iplug/VstEntry.h"
#include "plugin/ScopePlugin.h"

namespace {
IPlugVST* MakeScopePlugin(vst::HostCallback host) { return new ScopePlugin(host); }
}  // namespace

extern "C" VST_EXPORT vst::AEffect* VST_CALLBACK VSTPluginMain(vst::HostCallback host) {
  return CreateVstEffect(host, &MakeScopePlugin);
}

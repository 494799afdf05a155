// The module's exported entry. VSTPluginMain is also exported under its second
// name, main, which older hosts look for: on Linux through the linker (version
// script and an alias symbol), on Windows through the module definition file.
#include <memory>

#include "iplug/VstEntry.h"
#include "plugin/display/ScopeEditor.h"
#include "plugin/ScopePlugin.h"

namespace {

// The plug-in with its editor: the editor is built inside construction, under the
// entry's creation lock.
IPlugVST* MakeScopePlugin(vst::HostCallback host) {
  auto plugin = std::make_unique<ScopePlugin>(host);
  plugin->AttachDisplay(BuildScopeEditor(*plugin));
  return plugin.release();
}

}  // namespace

extern "C" VST_EXPORT vst::AEffect* VST_CALLBACK VSTPluginMain(vst::HostCallback host) {
  return CreateVstEffect(host, &MakeScopePlugin);
}

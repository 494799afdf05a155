// The LV2 module's exported entries: the plug-in, and its editor as an X11 UI in the same
// binary (the UI needs the running instance). The plug-in is the one the VST module
// holds, made through the same entry function (linked in here, not exported).
#include <lv2/core/lv2.h>
#include <lv2/ui/ui.h>

#include "iplug/IPlugLV2.h"
#include "lv2/VirlexLv2.h"

extern "C" vst::AEffect* VST_CALLBACK VSTPluginMain(vst::HostCallback host);

extern "C" LV2_SYMBOL_EXPORT const LV2_Descriptor* lv2_descriptor(uint32_t index) {
  return index == 0 ? IPlugLV2::Descriptor(kVirlexLv2Uri, &VSTPluginMain) : nullptr;
}

extern "C" LV2_SYMBOL_EXPORT const LV2UI_Descriptor* lv2ui_descriptor(uint32_t index) {
  return index == 0 ? IPlugLV2::UiDescriptor(kVirlexLv2Uri, &VSTPluginMain) : nullptr;
}

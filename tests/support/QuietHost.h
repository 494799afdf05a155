// A host callback with no state to share: it answers what a plug-in may ask a
// simple host (version, time, product) and records nothing, so any number of
// threads and instances may use it at once.
#pragma once

#include "iplug/VstAbi.h"

vst::intptr VST_CALLBACK QuietHostCallback(vst::AEffect* effect, vst::int32 opcode,
                                           vst::int32 index, vst::intptr value, void* ptr,
                                           float opt);

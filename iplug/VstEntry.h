// The body of a module's exported entry point.
#pragma once

#include "iplug/IPlugVST.h"

using PluginFactory = IPlugVST* (*)(vst::HostCallback host);

// Creates one instance under the process-wide creation lock (which also makes
// one-time set-up inside constructors safe), makes sure it has one preset, and
// returns its AEffect; null when construction fails.
vst::AEffect* CreateVstEffect(vst::HostCallback host, PluginFactory factory);

#include "tests/support/QuietHost.h"

#include <cstring>

vst::intptr VST_CALLBACK QuietHostCallback(vst::AEffect*, vst::int32 opcode, vst::int32,
                                           vst::intptr, void* ptr, float) {
  switch (opcode) {
    case vst::audioMasterVersion:
      return vst::kVstVersion;
    case vst::audioMasterGetTime: {
      // One record per thread: the plug-in reads it after the call returns.
      static thread_local vst::VstTimeInfo time{};
      time.sampleRate = 48000.0;
      time.tempo = 120.0;
      time.timeSigNumerator = 4;
      time.timeSigDenominator = 4;
      time.flags = vst::kVstTempoValid | vst::kVstTimeSigValid;
      return reinterpret_cast<vst::intptr>(&time);
    }
    case vst::audioMasterGetProductString:
      if (ptr != nullptr) std::strcpy(static_cast<char*>(ptr), "QuietHost");
      return 1;
    case vst::audioMasterGetVendorVersion:
      return 10000;
    case vst::audioMasterProcessEvents:
      return 1;
    default:
      return 0;
  }
}

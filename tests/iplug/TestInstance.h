// A TestPlug created through the entry helper and bound to a FakeHost, closed on
// destruction like a host closes it.
#pragma once

#include "iplug/VstEntry.h"
#include "tests/support/FakeHost.h"
#include "tests/support/TestPlug.h"

template <int kPresets = 0, bool kChunks = false, bool kMidi = false>
struct TestInstance {
  FakeHost host;
  vst::AEffect* effect = nullptr;

  TestInstance() {
    effect = CreateVstEffect(&FakeHost::Callback, [](vst::HostCallback h) -> IPlugVST* {
      return new TestPlug(h, kPresets, kChunks, kMidi);
    });
    host.Bind(effect);
  }
  ~TestInstance() {
    if (effect != nullptr) Dispatch(effect, vst::effClose);
  }
  TestPlug& Plug() { return *static_cast<TestPlug*>(IPlugVST::FromEffect(effect)); }
  vst::intptr Call(vst::int32 opcode, vst::int32 index = 0, vst::intptr value = 0,
                   void* ptr = nullptr, float opt = 0.0f) {
    return Dispatch(effect, opcode, index, value, ptr, opt);
  }
};

// A scriptable VST host for tests: answers the host callback like a real host and
// records what the plug-in asked of it.
#pragma once

#include <string>
#include <vector>

#include "iplug/VstAbi.h"

struct HostCall {
  vst::int32 opcode;
  vst::int32 index;
  vst::intptr value;
  float opt;
};

class FakeHost {
 public:
  std::string product;
  vst::intptr vendorVersion = 0;
  bool answerTime = true;
  vst::VstTimeInfo time{};
  vst::intptr eventsResult = 1;
  std::vector<HostCall> calls;

  // The callback to hand to an entry point. Calls made before the host is bound to
  // an effect (during construction) go to the host bound most recently.
  static vst::intptr VST_CALLBACK Callback(vst::AEffect* effect, vst::int32 opcode,
                                           vst::int32 index, vst::intptr value, void* ptr,
                                           float opt);
  // Makes `effect` report to this host.
  void Bind(vst::AEffect* effect);

  int Count(vst::int32 opcode) const;
  const HostCall* Last(vst::int32 opcode) const;

 private:
  vst::intptr Answer(vst::int32 opcode, vst::int32 index, vst::intptr value, void* ptr, float opt);
};

// Dispatcher shorthand.
inline vst::intptr Dispatch(vst::AEffect* e, vst::int32 opcode, vst::int32 index = 0,
                            vst::intptr value = 0, void* ptr = nullptr, float opt = 0.0f) {
  return e->dispatcher(e, opcode, index, value, ptr, opt);
}

#include "tests/support/FakeHost.h"

#include <cstring>

namespace {
FakeHost* gLastBound = nullptr;
}

void FakeHost::Bind(vst::AEffect* effect) {
  effect->user = this;
  gLastBound = this;
}

vst::intptr VST_CALLBACK FakeHost::Callback(vst::AEffect* effect, vst::int32 opcode,
                                            vst::int32 index, vst::intptr value, void* ptr,
                                            float opt) {
  FakeHost* host = effect != nullptr && effect->user != nullptr
                       ? static_cast<FakeHost*>(effect->user)
                       : gLastBound;
  if (host == nullptr) return opcode == vst::audioMasterVersion ? vst::kVstVersion : 0;
  return host->Answer(opcode, index, value, ptr, opt);
}

vst::intptr FakeHost::Answer(vst::int32 opcode, vst::int32 index, vst::intptr value, void* ptr,
                             float opt) {
  calls.push_back({opcode, index, value, opt});
  switch (opcode) {
    case vst::audioMasterVersion:
      return vst::kVstVersion;
    case vst::audioMasterGetTime:
      return answerTime ? reinterpret_cast<vst::intptr>(&time) : 0;
    case vst::audioMasterGetProductString:
      std::strncpy(static_cast<char*>(ptr), product.c_str(), 63);
      return product.empty() ? 0 : 1;
    case vst::audioMasterGetVendorVersion:
      return vendorVersion;
    case vst::audioMasterProcessEvents:
      return eventsResult;
    default:
      return 0;
  }
}

int FakeHost::Count(vst::int32 opcode) const {
  int n = 0;
  for (const HostCall& call : calls) n += call.opcode == opcode;
  return n;
}

const HostCall* FakeHost::Last(vst::int32 opcode) const {
  for (auto it = calls.rbegin(); it != calls.rend(); ++it) {
    if (it->opcode == opcode) return &*it;
  }
  return nullptr;
}

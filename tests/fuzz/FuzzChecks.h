// Invariants the fuzz targets check after every step.
#pragma once

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "iplug/VstAbi.h"

// Stops the run with a message: libFuzzer keeps the input that got here.
[[noreturn]] inline void FuzzFail(const char* what) {
  std::fprintf(stderr, "fuzz invariant broken: %s\n", what);
  std::abort();
}

inline void FuzzCheck(bool ok, const char* what) {
  if (!ok) FuzzFail(what);
}

// Every parameter the host reads is a normalised value.
inline void CheckParameters(vst::AEffect* effect) {
  for (vst::int32 i = 0; i < effect->numParams; ++i) {
    const float v = effect->getParameter(effect, i);
    FuzzCheck(std::isfinite(v) && v >= 0.0f && v <= 1.0f, "parameter outside 0..1");
  }
}

inline vst::intptr Call(vst::AEffect* e, vst::int32 opcode, vst::int32 index = 0,
                        vst::intptr value = 0, void* ptr = nullptr, float opt = 0.0f) {
  return e->dispatcher(e, opcode, index, value, ptr, opt);
}

#pragma once

#include "iplug/StateChunk.h"

// A stored program: a name and the parameter values it holds.
struct Preset {
  static constexpr int kNameSize = 256;  // 255 characters + NUL

  bool filled = false;
  char name[kNameSize] = {};
  StateChunk state;
};

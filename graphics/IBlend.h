#pragma once
// A blend request: which operator and how strongly. Controls carry one; drawing
// operations take a pointer, where null means "alpha blend at full strength".
#include "raster/RasterMode.h"

constexpr int IBLEND_ALPHA = 0;   // copy weighted by the source alpha
constexpr int IBLEND_OPAQUE = 1;  // copy ignoring the source alpha
constexpr int IBLEND_ADD = 2;     // add weighted by the source alpha
constexpr int IBLEND_DODGE = 3;   // dodge weighted by the source alpha

struct IBlend {
  int mode = IBLEND_ALPHA;
  float weight = 1.0f;
};

// Raster mode word for a blend request; unknown modes behave as IBLEND_ALPHA.
inline int IBlendRasterMode(const IBlend* blend) {
  if (blend == nullptr) return BLIT_COPY | BLIT_USE_ALPHA;
  switch (blend->mode) {
    case IBLEND_OPAQUE:
      return BLIT_COPY;
    case IBLEND_ADD:
      return BLIT_ADD | BLIT_USE_ALPHA;
    case IBLEND_DODGE:
      return BLIT_DODGE | BLIT_USE_ALPHA;
    default:
      return BLIT_COPY | BLIT_USE_ALPHA;
  }
}

inline float IBlendWeight(const IBlend* blend) { return blend == nullptr ? 1.0f : blend->weight; }

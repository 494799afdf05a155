#pragma once
// Text style record shared by every text-drawing path. 64 bytes, laid out so a
// panel can declare its styles as plain aggregates.
#include "graphics/IRgba.h"

constexpr int IFONT_NORMAL = 0;
constexpr int IFONT_BOLD = 1;
constexpr int IFONT_ITALIC = 2;

constexpr int IALIGN_LEFT = 0;
constexpr int IALIGN_CENTER = 1;
constexpr int IALIGN_RIGHT = 2;

struct IFontSpec {
  char face[32] = "Arial";  // NUL-terminated face name
  int size = 14;            // cell height in pixels
  IRgba colour;
  int style = IFONT_NORMAL;
  int align = IALIGN_LEFT;
  int orientation = 0;  // tenths of a degree are orientation x 10
};

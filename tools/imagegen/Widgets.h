#pragma once
// The editor's small pictures: knob bodies and indicator, the input switch,
// the zoom handle and the hold-level marker. Each returns a new surface of the
// exact size the controls expect (null only when memory runs out).

#include <memory>

#include "raster/MemBitmap.h"

// Shaded knob body centred on (cx, cy) (pixel-centre coordinates), radius r,
// with tickCount scale marks from -135 to +135 degrees (none when 0).
void DrawKnobBody(RasterBitmap* surface, float cx, float cy, float r, int tickCount);

std::unique_ptr<MemBitmap> MakeKnobLine();    // 31 x 31, indicator pointing up
std::unique_ptr<MemBitmap> MakeBigKnob();     // 43 x 43, body centred on pixel (22, 19)
std::unique_ptr<MemBitmap> MakeSmallKnob();   // 43 x 43 like the big knob, for the delay knobs
std::unique_ptr<MemBitmap> MakeSwitch();      // 27 x 54: off above, on below
std::unique_ptr<MemBitmap> MakeBarHandle();   // 16 x 16
std::unique_ptr<MemBitmap> MakeHoldHandle();  // 15 x 15, points left at the display

// Pixel of the 43 x 43 knob pictures that lies under a knob's rotation centre.
constexpr int kKnobBodyCentreX = 22;
constexpr int kKnobBodyCentreY = 19;

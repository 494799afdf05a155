#pragma once
// The editor's 724 x 526 background: panel, display well, slots, readout
// boxes, knob bodies under the rotating knobs, labels and the logo plate.

#include <memory>

#include "raster/MemBitmap.h"
#include "tools/imagegen/TextPainter.h"

// bigKnob and smallKnob are the 43 x 43 knob pictures placed under knobs
// that have no body bitmap of their own. Null when memory runs out.
std::unique_ptr<MemBitmap> MakeBackground(TextPainter& text, RasterBitmap* bigKnob,
                                          RasterBitmap* smallKnob);

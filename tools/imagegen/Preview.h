#pragma once
// A composite for looking at the pictures together: the background with the
// control images pasted where the editor draws them and sample texts and
// traces standing in for what the controls paint. Never shipped.

#include <memory>

#include "raster/MemBitmap.h"
#include "tools/imagegen/TextPainter.h"

struct PanelImages {
  RasterBitmap* background = nullptr;
  RasterBitmap* bigKnob = nullptr;
  RasterBitmap* knobLine = nullptr;
  RasterBitmap* switches = nullptr;
  RasterBitmap* barHandle = nullptr;
  RasterBitmap* holdHandle = nullptr;
};

std::unique_ptr<MemBitmap> MakePreview(TextPainter& text, const PanelImages& images);

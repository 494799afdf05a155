// The trigger level of the time display, drawn and dragged on the display itself:
// two red lines at +/- the level (at the heights a sample of that level reaches),
// handles on a strip at the right edge, and the level as text. Bound to "hold"
// (-30 .. +3 dB; +3 dB means the trigger is off).
//
// Threads: SetYZoom comes from the plug-in's parameter handler (any thread); the
// scale it writes is atomic. Everything else runs on the GUI thread.
#pragma once

#include <atomic>

#include "graphics/IFontSpec.h"
#include "graphics/IImage.h"
#include "graphics/IWidget.h"

class HoldHandle : public IWidget {
 public:
  HoldHandle(IPlugBase* plugin, IBox rect, int paramIdx, IImage handle, const IFontSpec& font);

  // Only the strip of the handles at the right edge takes the mouse.
  bool HitTest(int x, int y) override;
  // Right button: value entry. Otherwise the level follows the pointer's distance
  // from the middle line.
  void MouseDown(int x, int y, IMouseFlags mod) override;
  void MouseDrag(int x, int y, int dx, int dy, IMouseFlags mod) override;
  bool Draw(IGraphicsHost* graphics) override;

  // The display's vertical scale for this Y zoom, so the lines meet the traces.
  // The display is the strip less half a handle at each end.
  void SetYZoom(double yZoom);
  float Scale() const { return scale_.load(std::memory_order_relaxed); }

  // The hold level in dB for a normalised value, and back.
  static double ToDb(double normalized);
  // The value a click at row y sets.
  double ValueAt(int y) const;
  // "-12.0 dB", "+1.5 dB", or "off"; without the unit, "-12.0".
  void LevelText(char* out, int size, bool withUnit = true) const;
  // Where the "HOLD" caption and the level text go, beside the display's right
  // edge; the axis keeps its labels out of them.
  IBox CaptionBox() const;
  IBox LevelBox() const;
  // Distance of the threshold lines from the middle row for the current value,
  // kept inside the strip.
  double LineOffset() const;

 private:
  int MiddleRow() const;
  int PlotHeight() const;
  bool DrawLines(IGraphicsHost* graphics, double offset);
  bool DrawEndHandles(IGraphicsHost* graphics);

  IImage handle_;
  IFontSpec font_;
  std::atomic<float> scale_;
};

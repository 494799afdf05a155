// Grid lines, frame and axis texts drawn over the display for one axis: the time or
// frequency axis above the plot, the amplitude or level axis right of it, or the
// phase display's half circles. The plug-in configures it; it never takes the mouse.
//
// Threads: the Configure calls come from the plug-in's parameter handler (any
// thread, instance lock held) while Draw runs on the GUI thread; the overlay's own
// lock keeps a redraw from reading a half-built scale, and is held only while the
// redraw copies it. It is taken after the instance lock and never while waiting
// for it.
#pragma once

#include <vector>

#include "graphics/IFontSpec.h"
#include "graphics/IWidget.h"
#include "iplug/ILock.h"
#include "plugin/display/AxisScale.h"

class AxisOverlay : public IWidget {
 public:
  AxisOverlay(IPlugBase* plugin, IBox rect, const IFontSpec& font);

  // Marks closer than this (a fraction of the axis) to an end are dropped by the
  // configurations that follow.
  void SetMargin(double margin);

  void ConfigureTimeAxis(double a, double b, double c);
  void ConfigureAmplitudeAxis(double top);
  void ConfigureFrequencyAxis(const FreqRange& range);
  void ConfigureLevelAxis(double top);
  void ConfigurePhaseGrid(double top);

  // Areas where other controls put text of their own: labels that would touch
  // them are left out. A fixed record, so that a host thread setting it while it
  // changes a parameter allocates nothing.
  struct KeepOut {
    static constexpr int kMaxBoxes = 2;
    IBox boxes[kMaxBoxes] = {};
    int count = 0;
  };
  void SetKeepOut(const KeepOut& keepOut);

  bool Draw(IGraphicsHost* graphics) override;
  bool HitTest(int x, int y) override;
  // Labels hang a little past the rectangle (a vertical axis's end labels).
  IBox RedrawRect() override;

  // Copies, for inspection.
  AxisScale Scale();
  IBox Plot();

 private:
  // The plot area for a kind: horizontal axes keep their labels in the 15 rows
  // above it, vertical ones in the 32 columns right of it.
  void SetPlot(int kind);
  bool DrawFrame(IGraphicsHost* g);
  bool DrawHorizontal(IGraphicsHost* g);
  bool DrawAmplitude(IGraphicsHost* g);
  bool DrawLevel(IGraphicsHost* g);
  bool DrawPhase(IGraphicsHost* g);
  // Draws a label whole where it touches no label drawn before it in this Draw
  // and no keep-out area; true when it was drawn or left out.
  bool Text(IGraphicsHost* g, const char* text, int align, IBox box);

  // Guarded by lock_, written by the Configure calls.
  AxisScale scale_;
  KeepOut keepOut_;
  IFontSpec font_;
  IBox plot_;
  ILock lock_;
  // The GUI thread's copy, taken at the start of each redraw.
  AxisScale shown_;
  IBox shownPlot_;
  KeepOut shownKeepOut_;
  std::vector<IBox> placed_;  // labels drawn so far in this Draw
};

// The frequency under the pointer, drawn over the spectrum on a half-transparent
// backing. The view hands it a position on every redraw; it never takes the mouse.
#pragma once

#include "graphics/IFontSpec.h"
#include "graphics/IWidget.h"

class FrequencyReadout : public IWidget {
 public:
  // Nothing is shown outside this band (the spectrum's own range).
  static constexpr double kLowestHz = 20.0;
  static constexpr double kHighestHz = 22000.0;

  FrequencyReadout(IPlugBase* plugin, IBox rect, const IFontSpec& font);

  // A negative x or y shows nothing. GUI thread (the view's redraw).
  void Show(int x, int y, double frequency);

  bool Draw(IGraphicsHost* graphics) override;
  bool HitTest(int x, int y) override;

  // The box the text goes into for the current position, or an empty box.
  IBox TextBox() const;
  int X() const { return x_; }
  int Y() const { return y_; }
  double Frequency() const { return frequency_; }

 private:
  int x_ = -1;
  int y_ = -1;
  double frequency_ = 0.0;
  IFontSpec font_;
};

// The domain knob: dragged like any rotating knob, but drawn only at its three
// detents (time, freq, phase).
#pragma once

#include "graphics/IRotatingKnobWidget.h"

class DomainKnob : public IRotatingKnobWidget {
 public:
  DomainKnob(IPlugBase* plugin, int x, int y, int paramIdx, IImage image);

  bool Draw(IGraphicsHost* graphics) override;
  // The rotation drawn for the current value, in radians.
  double DetentAngle() const;
};

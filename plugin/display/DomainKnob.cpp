#include "plugin/display/DomainKnob.h"

#include "graphics/IGraphicsHost.h"
#include "plugin/display/PanelLayout.h"

DomainKnob::DomainKnob(IPlugBase* plugin, int x, int y, int paramIdx, IImage image)
    : IRotatingKnobWidget(plugin, x, y, paramIdx, image, -panel::kKnobSweep, panel::kKnobSweep, 0,
                          IDIRECTION_VERTICAL, panel::kKnobGearing) {}

// The nearest of the three positions of a three-valued parameter.
double DomainKnob::DetentAngle() const {
  const double s = value < 0.25 ? 0.0 : (value < 0.75 ? 0.5 : 1.0);
  return minAngle + (maxAngle - minAngle) * s;
}

bool DomainKnob::Draw(IGraphicsHost* graphics) {
  return graphics->PaintRotatedImage(image, (rect.left + rect.right) / 2,
                                     (rect.top + rect.bottom) / 2, DetentAngle(), 0, &blend);
}

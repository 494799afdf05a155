#include "plugin/display/DomainKnob.h"

#include <numbers>

#include "graphics/IGraphicsHost.h"

namespace {
constexpr double kSweep = 0.75 * std::numbers::pi;  // +/- 135 degrees
constexpr double kGearing = 4.0;
}  // namespace

DomainKnob::DomainKnob(IPlugBase* plugin, int x, int y, int paramIdx, IImage image)
    : IRotatingKnobWidget(plugin, x, y, paramIdx, image, -kSweep, kSweep, 0, IDIRECTION_VERTICAL,
                          kGearing) {}

// The nearest of the three positions of a three-valued parameter.
double DomainKnob::DetentAngle() const {
  const double s = value < 0.25 ? 0.0 : (value < 0.75 ? 0.5 : 1.0);
  return minAngle + (maxAngle - minAngle) * s;
}

bool DomainKnob::Draw(IGraphicsHost* graphics) {
  return graphics->PaintRotatedImage(image, (rect.left + rect.right) / 2,
                                     (rect.top + rect.bottom) / 2, DetentAngle(), 0, &blend);
}

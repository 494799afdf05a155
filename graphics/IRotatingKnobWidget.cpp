#include "graphics/IRotatingKnobWidget.h"

#include "graphics/IGraphicsHost.h"

IRotatingKnobWidget::IRotatingKnobWidget(IPlugBase* plugin, int x, int y, int paramIdx,
                                         IImage image, double minAngle, double maxAngle,
                                         int yOffset, int direction, double gearing)
    : IWidget(plugin, IBox{x, y, x + image.width, y + image.FrameHeight()}, paramIdx),
      image(image),
      minAngle(minAngle),
      maxAngle(maxAngle),
      yOffset(yOffset),
      direction(direction),
      // A zero gearing would turn every drag into an infinite step.
      gearing(gearing > 0.0 ? gearing : 1.0) {}

void IRotatingKnobWidget::MouseDrag(int, int, int dx, int dy, IMouseFlags) {
  if (direction == IDIRECTION_VERTICAL) {
    if (rect.bottom != rect.top) value += double(dy) / double(rect.top - rect.bottom) / gearing;
  } else {
    if (rect.right != rect.left) value += double(dx) / double(rect.right - rect.left) / gearing;
  }
  SetDirty(true);
}

bool IRotatingKnobWidget::Draw(IGraphicsHost* graphics) {
  return graphics->PaintRotatedImage(image, (rect.left + rect.right) / 2,
                                     (rect.top + rect.bottom) / 2, Angle(), yOffset, &blend);
}

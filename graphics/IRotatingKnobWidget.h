#pragma once
// A knob drawn as an image rotated about its centre, dragged vertically (up
// increases) or horizontally. Gearing divides the drag: 4 means four control
// heights of travel for the full range.
#include "graphics/IImage.h"
#include "graphics/IWidget.h"

constexpr int IDIRECTION_VERTICAL = 0;
constexpr int IDIRECTION_HORIZONTAL = 1;

class IRotatingKnobWidget : public IWidget {
 public:
  IRotatingKnobWidget(IPlugBase* plugin, int x, int y, int paramIdx, IImage image, double minAngle,
                      double maxAngle, int yOffset, int direction, double gearing);
  void MouseDrag(int x, int y, int dx, int dy, IMouseFlags mod) override;
  bool Draw(IGraphicsHost* graphics) override;
  // Rotation for the current value, in radians.
  double Angle() const { return minAngle + (maxAngle - minAngle) * value; }

 protected:
  IImage image;
  double minAngle;
  double maxAngle;
  int yOffset;
  int direction;
  double gearing;
};

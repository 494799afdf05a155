#pragma once
// A handle image sliding along a track of the given length; a click or drag
// puts the handle's centre under the mouse. Vertical faders have the maximum at
// the top.
#include "graphics/IImage.h"
#include "graphics/IRotatingKnobWidget.h"
#include "graphics/IWidget.h"

class IFaderWidget : public IWidget {
 public:
  // direction: IDIRECTION_VERTICAL (0) or anything else for horizontal.
  IFaderWidget(IPlugBase* plugin, int x, int y, int length, int paramIdx, IImage handle,
               int direction);
  void MouseDown(int x, int y, IMouseFlags mod) override;
  void MouseDrag(int x, int y, int dx, int dy, IMouseFlags mod) override;
  bool Draw(IGraphicsHost* graphics) override;

  // Where the handle sits for value v.
  IBox HandleBox(double v) const;
  int Length() const { return length; }
  int HandleLength() const { return handleLength; }
  bool IsHorizontal() const { return direction != IDIRECTION_VERTICAL; }

 protected:
  void SnapTo(int x, int y);

  IImage handle;
  int length;
  int handleLength;
  int direction;
};

#pragma once
// Controls that show one frame of a stacked image: a plain picture chosen by
// value, and a switch that steps through its frames on each click.
#include "graphics/IImage.h"
#include "graphics/IWidget.h"

class IBitmapWidget : public IWidget {
 public:
  // The control is one frame tall.
  IBitmapWidget(IPlugBase* plugin, int x, int y, int paramIdx, IImage image,
                int blendMode = IBLEND_ALPHA);
  bool Draw(IGraphicsHost* graphics) override;
  // Frame shown for the current value, 1 ... frame count.
  int FrameForValue() const;

 protected:
  IImage image;
};

class ISwitchWidget : public IBitmapWidget {
 public:
  using IBitmapWidget::IBitmapWidget;
  // Advances one frame, wrapping past the last to the first.
  void MouseDown(int x, int y, IMouseFlags mod) override;
};

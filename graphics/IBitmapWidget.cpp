#include "graphics/IBitmapWidget.h"

#include <cmath>

#include "graphics/IGraphicsHost.h"

IBitmapWidget::IBitmapWidget(IPlugBase* plugin, int x, int y, int paramIdx, IImage image,
                             int blendMode)
    : IWidget(plugin, IBox{x, y, x + image.width, y + image.FrameHeight()}, paramIdx, blendMode),
      image(image) {}

int IBitmapWidget::FrameForValue() const {
  const int n = image.Frames();
  if (n < 2) return 1;
  const double f = std::trunc((n - 1) * value + 0.5);
  // A value outside the int range (or NaN) falls back to the first frame.
  if (!(f >= 0.0 && f < 2147483647.0)) return 1;
  const int frame = 1 + int(f);
  return frame > n ? n : frame;
}

bool IBitmapWidget::Draw(IGraphicsHost* graphics) {
  return graphics->PaintImageFrame(image, rect, FrameForValue(), &blend);
}

void ISwitchWidget::MouseDown(int, int, IMouseFlags mod) {
  if (mod.right) {
    PromptParamEdit();
  } else {
    const int n = image.Frames();
    value += n < 2 ? 1.0 : 1.0 / (n - 1);
  }
  if (value > 1.001) value = 0.0;
  SetDirty(true);
}

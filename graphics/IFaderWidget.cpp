#include "graphics/IFaderWidget.h"

#include <cmath>

#include "graphics/IGraphicsHost.h"

namespace {

IBox FaderRect(int x, int y, int length, IImage handle, int direction) {
  if (direction != IDIRECTION_VERTICAL) return IBox{x, y, x + length, y + handle.height};
  return IBox{x, y, x + handle.width, y + length};
}

}  // namespace

IFaderWidget::IFaderWidget(IPlugBase* plugin, int x, int y, int length, int paramIdx, IImage handle,
                           int direction)
    : IWidget(plugin, FaderRect(x, y, length, handle, direction), paramIdx),
      handle(handle),
      length(length),
      handleLength(direction != IDIRECTION_VERTICAL ? handle.width : handle.height),
      direction(direction) {}

IBox IFaderWidget::HandleBox(double v) const {
  const int travel = length - handleLength;
  if (IsHorizontal()) {
    const int offset = int(std::trunc(travel * v));
    return IBox{rect.left + offset, rect.top, rect.left + handle.width + offset,
                rect.top + handle.height};
  }
  const int offset = int(std::trunc(travel * (1.0 - v)));
  return IBox{rect.left, rect.top + offset, rect.left + handle.width,
              rect.top + handle.height + offset};
}

void IFaderWidget::SnapTo(int x, int y) {
  const int travel = length - handleLength;
  // A handle as long as the track has nowhere to go.
  if (travel <= 0) return;
  if (IsHorizontal()) {
    value = double(x - rect.left - handleLength / 2) / travel;
  } else {
    value = 1.0 - double(y - rect.top - handleLength / 2) / travel;
  }
  SetDirty(true);
}

void IFaderWidget::MouseDown(int x, int y, IMouseFlags mod) {
  if (mod.right) {
    PromptParamEdit();
    return;
  }
  SnapTo(x, y);
}

void IFaderWidget::MouseDrag(int x, int y, int, int, IMouseFlags) { SnapTo(x, y); }

bool IFaderWidget::Draw(IGraphicsHost* graphics) {
  return graphics->PaintImageFrame(handle, HandleBox(value), 1, &blend);
}

#include "plugin/display/ZoomSlider.h"

#include <cmath>

#include "graphics/IGraphicsHost.h"

ZoomSlider::ZoomSlider(IPlugBase* plugin, int x, int y, int length, int paramIdx, IImage handle,
                       IRgba colour)
    : IFaderWidget(plugin, x, y, length, paramIdx, handle, IDIRECTION_VERTICAL),
      bright_(colour),
      dim_{colour.a, colour.r / 2, colour.g / 2, colour.b / 2} {}

bool ZoomSlider::Draw(IGraphicsHost* graphics) {
  const int a = handleLength / 2;
  const int cx = static_cast<int>(std::trunc((rect.left + rect.right) * 0.5f));
  const int lowEnd = rect.bottom - a;
  const int highEnd = rect.top + a;
  const int handleRow = lowEnd + static_cast<int>(std::trunc((highEnd - lowEnd) * value));
  bool ok = graphics->DrawVLine(bright_, cx - 1, handleRow, rect.bottom);
  ok &= graphics->DrawVLine(dim_, cx, highEnd - handleLength / 2, lowEnd + handleLength / 2);
  ok &= IFaderWidget::Draw(graphics);
  return ok;
}

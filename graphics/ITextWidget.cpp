#include "graphics/ITextWidget.h"

#include <cstring>

#include "graphics/IGraphicsHost.h"
#include "iplug/IPlugBase.h"

namespace {

void CopyCut(char* dst, const char* src, size_t size) {
  if (src == nullptr) src = "";
  const size_t n = strnlen(src, size - 1);
  std::memcpy(dst, src, n);
  dst[n] = '\0';
}

}  // namespace

ITextWidget::ITextWidget(IPlugBase* plugin, IBox rect, const IFontSpec& font, const char* initial)
    : IWidget(plugin, rect, -1), font(font) {
  CopyCut(text, initial, sizeof text);
}

bool ITextWidget::Draw(IGraphicsHost* graphics) {
  char shown[kMaxText];
  CopyText(shown, sizeof shown);
  return DrawText(graphics, shown);
}

bool ITextWidget::DrawText(IGraphicsHost* graphics, const char* shown) {
  if (shown[0] == '\0') return true;
  return graphics->PaintText(font, shown, rect);
}

void ITextWidget::CopyText(char* out, int size) {
  if (out == nullptr || size <= 0) return;
  ILockGuard hold(textLock);
  CopyCut(out, text, size_t(size));
}

void ITextWidget::StoreText(const char* shown) {
  ILockGuard hold(textLock);
  CopyCut(text, shown, sizeof text);
}

void ITextWidget::SetText(const char* newText) {
  char next[kMaxText] = {};
  CopyCut(next, newText, sizeof next);
  {
    ILockGuard hold(textLock);
    if (std::strcmp(next, text) == 0) return;
    std::memcpy(text, next, sizeof text);
  }
  SetDirty(false);
  SetDirtyTwice();
}

IValueTextWidget::IValueTextWidget(IPlugBase* plugin, IBox rect, int paramIdx,
                                   const IFontSpec& font, bool showLabel)
    : ITextWidget(plugin, rect, font, ""), showLabel(showLabel) {
  this->paramIdx = paramIdx;
}

bool IValueTextWidget::Draw(IGraphicsHost* graphics) {
  const IPlugParam* param = plugin != nullptr ? plugin->Param(paramIdx) : nullptr;
  if (param == nullptr) return false;
  char shown[kMaxText];
  {
    // Host threads change parameters under the instance lock.
    ILockGuard hold(plugin->Lock());
    param->FormatForHost(shown, IPlugParam::kTextSize);
    if (showLabel && param->Label()[0] != '\0') {
      std::strcat(shown, " ");
      std::strncat(shown, param->Label(), IPlugParam::kTextSize);
    }
  }
  StoreText(shown);
  return DrawText(graphics, shown);
}

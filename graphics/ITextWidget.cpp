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
  drawn_ = IBox{};
  if (shown[0] == '\0') return true;
  drawn_ = graphics->TextBounds(font, shown, rect);
  return graphics->PaintText(font, shown, rect);
}

void ITextWidget::NextText(char* out, int size) { CopyText(out, size); }

IBox ITextWidget::RedrawRect() {
  IGraphicsHost* host = Graphics();
  if (host == nullptr) return rect;
  char next[kMaxText];
  NextText(next, sizeof next);
  if (std::strcmp(next, measured_) != 0) {
    std::memcpy(measured_, next, sizeof measured_);
    measuredBox_ = host->TextBounds(font, next, rect);
  }
  return IBoxUnion(IBoxUnion(rect, drawn_), measuredBox_);
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

void IValueTextWidget::NextText(char* out, int size) {
  const IPlugParam* param = plugin != nullptr ? plugin->Param(paramIdx) : nullptr;
  if (param == nullptr || size < kMaxText) {
    if (size > 0) out[0] = '\0';
    return;
  }
  // Host threads change parameters under the instance lock.
  ILockGuard hold(plugin->Lock());
  param->FormatForHost(out, IPlugParam::kTextSize);
  if (showLabel && param->Label()[0] != '\0') {
    std::strcat(out, " ");
    std::strncat(out, param->Label(), IPlugParam::kTextSize);
  }
}

bool IValueTextWidget::IsDirty() {
  if (ITextWidget::IsDirty()) return true;
  char next[kMaxText];
  char shown[kMaxText];
  NextText(next, sizeof next);
  CopyText(shown, sizeof shown);
  return std::strcmp(next, shown) != 0;
}

bool IValueTextWidget::Draw(IGraphicsHost* graphics) {
  const IPlugParam* param = plugin != nullptr ? plugin->Param(paramIdx) : nullptr;
  if (param == nullptr) return false;
  char shown[kMaxText];
  NextText(shown, sizeof shown);
  StoreText(shown);
  return DrawText(graphics, shown);
}

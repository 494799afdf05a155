#include "plugin/display/FreezeButton.h"

#include "graphics/IGraphicsHost.h"
#include "graphics/ITextWidget.h"
#include "plugin/ScopePlugin.h"
#include "plugin/display/ScopeView.h"

FreezeButton::FreezeButton(ScopePlugin* plugin, IBox rect, const IFontSpec& font)
    : IWidget(plugin, rect, -1, IBLEND_ALPHA, 1.0f), scope_(plugin), font_(font) {}

void FreezeButton::Wire(ScopeView* view, ITextWidget* leftLabel, ITextWidget* rightLabel) {
  view_ = view;
  leftLabel_ = leftLabel;
  rightLabel_ = rightLabel;
}

// Both buttons toggle: there is no parameter behind it, so no value entry to open.
void FreezeButton::MouseDown(int, int, IMouseFlags) {
  const bool frozen = !(value > 0.5);
  value = frozen ? 1.0 : 0.0;
  if (scope_ != nullptr) scope_->SetFrozen(frozen);
  if (view_ != nullptr) {
    view_->SetFrozen(frozen);  // unfreezing also removes the cursor
    view_->SetDirty(false);
  }
  const bool timeDomain = scope_ == nullptr || scope_->Domain() == kDomainTime;
  if (!frozen && timeDomain) {
    if (leftLabel_ != nullptr) leftLabel_->SetText("");
    if (rightLabel_ != nullptr) rightLabel_->SetText("");
  }
  SetDirty(true);
}

const char* FreezeButton::Caption() const { return value < 0.5 ? "FREEZE" : "UNFREEZE"; }

IBox FreezeButton::CaptionBox(IGraphicsHost* graphics, const char* caption) {
  if (graphics == nullptr) return rect;
  const IBox ink = graphics->TextBounds(font_, caption, rect);
  if (ink.left >= rect.left) return rect;
  const int width = ink.right - ink.left;
  return IBox{rect.left, rect.top, rect.left + width + (rect.right - ink.right), rect.bottom};
}

bool FreezeButton::HitTest(int x, int y) {
  return rect.Contains(x, y) || CaptionBox(Graphics(), Caption()).Contains(x, y);
}

IBox FreezeButton::RedrawRect() {
  IGraphicsHost* g = Graphics();
  if (g == nullptr) return rect;
  IBox area = rect;
  for (const char* caption : {"FREEZE", "UNFREEZE"}) {
    const IBox box = CaptionBox(g, caption);
    area = IBoxUnion(area, IBoxUnion(box, g->TextBounds(font_, caption, box)));
  }
  return area;
}

bool FreezeButton::Draw(IGraphicsHost* graphics) {
  const char* caption = Caption();
  return graphics->PaintText(font_, caption, CaptionBox(graphics, caption));
}

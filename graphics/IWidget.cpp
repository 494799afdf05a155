#include "graphics/IWidget.h"

#include "graphics/IGraphicsHost.h"
#include "iplug/IPlugBase.h"

IWidget::IWidget(IPlugBase* plugin, IBox rect, int paramIdx, int blendMode, float weight)
    : plugin(plugin), rect(rect), hitRect(rect), paramIdx(paramIdx), blend{blendMode, weight} {}

void IWidget::MouseDown(int, int, IMouseFlags mod) {
  if (mod.right) PromptParamEdit();
}

void IWidget::MouseUp(int, int) {}

void IWidget::MouseDrag(int, int, int, int, IMouseFlags) {}

void IWidget::MouseDoubleClick(int, int, IMouseFlags) {
  if (defaultValue < 0.0) return;
  value = defaultValue;
  SetDirty(true);
}

void IWidget::MouseWheel(int, int, IMouseFlags mod, int notches) {
  value += notches * ((mod.shift || mod.ctrl) ? 0.001 : 0.01);
  SetDirty(true);
}

void IWidget::MouseHover(int, int, IMouseFlags) {}

void IWidget::MouseLeave() {}

void IWidget::SetValueFromPlugin(double normalized) {
  if (defaultValue < 0.0) {
    defaultValue = normalized;
  } else if (value == normalized) {
    return;
  }
  value = normalized;
  SetDirty(false);
  SetDirtyTwice();
}

void IWidget::SetHidden(bool hide) {
  hidden = hide;
  SetDirty(false);
  SetDirtyTwice();
}

void IWidget::SetDisabled(bool disable) {
  disabled = disable;
  blend.weight = disable ? 0.25f : 1.0f;
  SetDirty(false);
}

bool IWidget::HitTest(int x, int y) { return !hitRect.Empty() && hitRect.Contains(x, y); }

void IWidget::SetDirty(bool push) {
  // Written so that a NaN (a broken host value) lands on the minimum.
  const double v = value;
  if (!(v >= minValue)) {
    value = minValue;
  } else if (v > maxValue) {
    value = maxValue;
  }
  redrawState.fetch_or(kDirty);
  if (push && plugin != nullptr && paramIdx >= 0) plugin->SetParameterFromGUI(paramIdx, value);
}

void IWidget::SetDirtyTwice() { redrawState.fetch_or(kDirty | kRedrawAgain); }

void IWidget::ClearDirty() {
  unsigned state = redrawState.load();
  while (!redrawState.compare_exchange_weak(state, (state & kRedrawAgain) != 0 ? kDirty : 0u)) {
  }
}

bool IWidget::IsDirty() { return (redrawState.load() & kDirty) != 0; }

void IWidget::SetValueFromUser(double normalized) {
  if (value == normalized) return;
  value = normalized;
  SetDirty(true);
  SetDirtyTwice();
}

void IWidget::PromptParamEdit() {
  if (paramIdx < 0 || noValueEntry || graphics == nullptr || plugin == nullptr) return;
  graphics->PromptParamEdit(this, plugin->Param(paramIdx));
  redrawState.fetch_or(kRedrawAgain);
}

#include "graphics/IGraphicsHost.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "graphics/IBitmapWidget.h"
#include "graphics/IWidget.h"
#include "iplug/IPlugBase.h"

IGraphicsHost::IGraphicsHost(IPlugBase* plugin, int width, int height, int fps)
    : plugin(plugin), width(width), height(height), fps(fps > 0 ? fps : 24) {
  controls.reserve(1024);  // 4 KiB of pointers: one growth step
}

IGraphicsHost::~IGraphicsHost() { DeleteControls(); }

void IGraphicsHost::DeleteControls() {
  for (auto it = controls.rbegin(); it != controls.rend(); ++it) delete *it;
  controls.clear();
  mouseOverIdx = -1;
}

void IGraphicsHost::ClearCapture() {
  captureIdx = -1;
  lastX = -1;
  lastY = -1;
  captureRight = false;
}

void IGraphicsHost::Resize(int w, int h) {
  width = w;
  height = h;
  ClearCapture();
  DeleteControls();
  if (plugin != nullptr) plugin->UpdateEditorRect();
}

void IGraphicsHost::SetBackdrop(int id, const char* name) {
  IImage image = ImageFromResource(id, name, 1);
  IWidget* backdrop = new IBitmapWidget(plugin, 0, 0, -1, image, IBLEND_OPAQUE);
  backdrop->AttachTo(this);
  controls.insert(controls.begin(), backdrop);
  // Indices moved up by one; keep the capture and hover on the same controls.
  if (captureIdx >= 0) ++captureIdx;
  if (mouseOverIdx >= 0) ++mouseOverIdx;
}

IBox IGraphicsHost::TextBounds(const IFontSpec& font, const char* text, IBox box) {
  if (text == nullptr || text[0] == '\0') return IBox{};
  const int size = std::clamp(font.size, 1, 1024);
  const int width = int(std::min<std::size_t>(std::strlen(text), 1024)) * (size * 3 / 4 + 1);
  int left = box.left;
  if (font.align == IALIGN_CENTER) left = box.left + (box.W() - width) / 2;
  if (font.align == IALIGN_RIGHT) left = box.right - width;
  return IBox{left, box.top, left + width, box.top + size + 1};
}

bool IGraphicsHost::DrawVLine(IRgba colour, int x, int y1, int y2) {
  const IBlend opaque{IBLEND_OPAQUE, 1.0f};
  return DrawLine(colour, float(x), float(y1), float(x), float(y2), &opaque, false);
}

bool IGraphicsHost::DrawHLine(IRgba colour, int y, int x1, int x2) {
  const IBlend opaque{IBLEND_OPAQUE, 1.0f};
  return DrawLine(colour, float(x1), float(y), float(x2), float(y), &opaque, false);
}

int IGraphicsHost::AddWidget(IWidget* control) {
  if (control == nullptr) return -1;
  control->AttachTo(this);
  controls.push_back(control);
  return int(controls.size()) - 1;
}

IWidget* IGraphicsHost::Widget(int idx) const {
  if (idx < 0 || idx >= int(controls.size())) return nullptr;
  return controls[size_t(idx)];
}

bool IGraphicsHost::PaintImageFrame(IImage image, IBox dest, int frame, const IBlend* blend) {
  int srcY = 0;
  if (image.frameCount >= 2 && frame >= 2) {
    srcY = int(std::trunc(double(image.height) * (frame - 1) / image.frameCount + 0.5));
  }
  return PaintImage(image, dest, 0, srcY, blend);
}

bool IGraphicsHost::DrawRectOutline(IRgba colour, IBox box) {
  const bool top = DrawHLine(colour, box.top, box.left, box.right);
  const bool bottom = DrawHLine(colour, box.bottom, box.left, box.right);
  const bool left = DrawVLine(colour, box.left, box.top, box.bottom);
  const bool right = DrawVLine(colour, box.right, box.top, box.bottom);
  return top && bottom && left && right;
}

void IGraphicsHost::SetControlsFromPlugin(int paramIdx, double value, bool normalized) {
  if (!normalized) {
    const IPlugParam* param = plugin != nullptr ? plugin->Param(paramIdx) : nullptr;
    if (param == nullptr) return;
    value = param->ToNormalized(value);
  }
  for (IWidget* c : controls) {
    if (c->ParamIdx() == paramIdx) c->SetValueFromPlugin(value);
  }
}

void IGraphicsHost::SetControlsFromUser(int paramIdx, double normalized) {
  for (IWidget* c : controls) {
    if (c->ParamIdx() == paramIdx) c->SetValueFromUser(normalized);
  }
}

void IGraphicsHost::MarkAllDirty() {
  for (IWidget* c : controls) c->SetDirty(false);
}

bool IGraphicsHost::CollectDirty(IBox& r) {
  bool any = false;
  for (IWidget* c : controls) {
    if (!c->IsDirty()) continue;
    r = IBoxUnion(r, c->RedrawRect());
    any = true;
  }
  return any;
}

bool IGraphicsHost::DrawDirty(IBox r) {
  if (controls.empty()) return true;
  drawRect = r;
  // By index, not iterator: a control's Draw may not add controls, but be safe
  // against the list growing under it.
  for (size_t i = 0; i < controls.size(); ++i) {
    IWidget* c = controls[i];
    if (!c->IsHidden() && IBoxIntersects(r, c->RedrawRect())) c->Draw(this);
    c->ClearDirty();
  }
  return PresentRect(r);
}

int IGraphicsHost::WidgetAtPoint(int x, int y) {
  if (captureIdx >= 0) return captureIdx;
  for (int i = int(controls.size()) - 1; i >= 0; --i) {
    IWidget* c = controls[size_t(i)];
    if (!c->IsHidden() && !c->IsDisabled() && c->HitTest(x, y)) return i;
  }
  return -1;
}

void IGraphicsHost::MouseDown(int x, int y, IMouseFlags mod) {
  ClearCapture();
  const int i = WidgetAtPoint(x, y);
  if (i < 0) return;
  captureIdx = i;
  lastX = x;
  lastY = y;
  captureRight = mod.right;
  IWidget* c = controls[size_t(i)];
  // The gesture begins before the press, which may already set the value (a
  // switch does): the host must see that value inside the gesture.
  if (c->ParamIdx() >= 0 && plugin != nullptr) plugin->BeginParameterEdit(c->ParamIdx());
  c->MouseDown(x, y, mod);
}

void IGraphicsHost::MouseUp(int x, int y, IMouseFlags) {
  const int i = WidgetAtPoint(x, y);
  ClearCapture();
  if (i < 0) return;
  IWidget* c = controls[size_t(i)];
  c->MouseUp(x, y);
  if (c->ParamIdx() >= 0 && plugin != nullptr) plugin->EndParameterEdit(c->ParamIdx());
}

void IGraphicsHost::MouseDrag(int x, int y, IMouseFlags mod) {
  if (captureIdx < 0 || (x == lastX && y == lastY)) return;
  controls[size_t(captureIdx)]->MouseDrag(x, y, x - lastX, y - lastY, mod);
  lastX = x;
  lastY = y;
}

bool IGraphicsHost::MouseDoubleClick(int x, int y, IMouseFlags mod) {
  ClearCapture();
  const int i = WidgetAtPoint(x, y);
  if (i < 0) return false;
  IWidget* c = controls[size_t(i)];
  if (!c->DblClickAsDown()) {
    c->MouseDoubleClick(x, y, mod);
    return false;
  }
  captureIdx = i;
  lastX = x;
  lastY = y;
  c->MouseDown(x, y, mod);
  return true;
}

void IGraphicsHost::MouseWheel(int x, int y, IMouseFlags mod, int notches) {
  const int i = WidgetAtPoint(x, y);
  if (i < 0) return;
  IWidget* c = controls[size_t(i)];
  // Each wheel step on a bound control is a whole gesture for the host.
  const bool bracket = c->ParamIdx() >= 0 && plugin != nullptr && captureIdx < 0;
  const int param = c->ParamIdx();
  if (bracket) plugin->BeginParameterEdit(param);
  c->MouseWheel(x, y, mod, notches);
  if (bracket) plugin->EndParameterEdit(param);
}

bool IGraphicsHost::MouseHover(int x, int y, IMouseFlags mod) {
  if (!handleMouseOver) return false;
  const int i = WidgetAtPoint(x, y);
  if (i < 0) return handleMouseOver;
  lastX = x;
  lastY = y;
  controls[size_t(i)]->MouseHover(x, y, mod);
  if (mouseOverIdx >= 0 && mouseOverIdx != i && mouseOverIdx < int(controls.size())) {
    controls[size_t(mouseOverIdx)]->MouseLeave();
  }
  mouseOverIdx = i;
  return handleMouseOver;
}

void IGraphicsHost::MouseLeave() {
  for (IWidget* c : controls) c->MouseLeave();
  mouseOverIdx = -1;
}

#include "plugin/display/ZoomRangeBar.h"

#include <cmath>

#include "graphics/IGraphicsHost.h"
#include "iplug/IPlugBase.h"

namespace {

IRgba Halved(IRgba c) { return IRgba{c.a, c.r / 2, c.g / 2, c.b / 2}; }

IBox FaderBox(int x, int y, int length, IImage handle, int direction) {
  if (direction != IDIRECTION_VERTICAL) return IBox{x, y, x + length, y + handle.height};
  return IBox{x, y, x + handle.width, y + length};
}

}  // namespace

ZoomRangeBar::ZoomRangeBar(IPlugBase* plugin, int x, int y, int length, int lowParam, int highParam,
                           IImage handle, int direction, IRgba colour)
    : IWidget(plugin, FaderBox(x, y, length, handle, direction), -1),
      low_(new IFaderWidget(plugin, x, y, length, lowParam, handle, direction)),
      high_(new IFaderWidget(plugin, x, y, length, highParam, handle, direction)),
      bright_(colour),
      dim_(Halved(colour)) {}

// Until the graphics host has taken the faders they are the bar's to free.
ZoomRangeBar::~ZoomRangeBar() { FreeFaders(); }

void ZoomRangeBar::FreeFaders() {
  if (attached_) return;
  delete low_;
  delete high_;
  low_ = high_ = nullptr;
}

void ZoomRangeBar::AddTo(IGraphicsHost* graphics) {
  graphics->AddWidget(low_);
  graphics->AddWidget(high_);
  attached_ = true;
  graphics->AddWidget(this);
}

// Each handle may go as far as the other one less the minimum gap.
void ZoomRangeBar::LimitFaders() {
  low_->SetRange(0.0, high_->Value() - kMinGap);
  high_->SetRange(low_->Value() + kMinGap, 1.0);
}

// Where the handles overlap, the one that can still move is taken: the high one in
// the lower half of the track, the low one in the upper half.
int ZoomRangeBar::HitPart(int x, int y) const {
  const bool inLow = low_->HandleBox(low_->Value()).Contains(x, y);
  const bool inHigh = high_->HandleBox(high_->Value()).Contains(x, y);
  if (low_->Value() < 0.5) {
    if (inHigh) return kDragHigh;
    if (inLow) return kDragLow;
  } else {
    if (inLow) return kDragLow;
    if (inHigh) return kDragHigh;
  }
  return kDragBoth;
}

void ZoomRangeBar::BeginEdit(int mode) {
  IPlugBase* plugin = Plugin();
  if (editMode_ != kDragNone || plugin == nullptr) return;
  editMode_ = mode;
  if (mode & kDragLow) plugin->BeginParameterEdit(low_->ParamIdx());
  if (mode & kDragHigh) plugin->BeginParameterEdit(high_->ParamIdx());
}

void ZoomRangeBar::EndEdit() {
  IPlugBase* plugin = Plugin();
  if (editMode_ == kDragNone || plugin == nullptr) return;
  if (editMode_ & kDragLow) plugin->EndParameterEdit(low_->ParamIdx());
  if (editMode_ & kDragHigh) plugin->EndParameterEdit(high_->ParamIdx());
  editMode_ = kDragNone;
}

// A right click opens a handle's value entry, which brackets its own change.
void ZoomRangeBar::MouseDown(int x, int y, IMouseFlags mod) {
  LimitFaders();
  mode_ = HitPart(x, y);
  if (!mod.right) BeginEdit(mode_);
  if (mode_ == kDragLow) low_->MouseDown(x, y, mod);
  if (mode_ == kDragHigh) high_->MouseDown(x, y, mod);
}

void ZoomRangeBar::MouseUp(int, int) {
  low_->SetRange(0.0, 1.0);
  high_->SetRange(0.0, 1.0);
  mode_ = kDragNone;
  EndEdit();
}

// Dragging the range moves both ends one wheel step (0.01, or 0.001 fine) per
// 4 pixels; a move of fewer than 4 pixels moves nothing.
void ZoomRangeBar::MouseDrag(int x, int y, int dx, int dy, IMouseFlags mod) {
  LimitFaders();
  if (mode_ == kDragLow) {
    low_->MouseDrag(x, y, dx, dy, mod);
  } else if (mode_ == kDragHigh) {
    high_->MouseDrag(x, y, dx, dy, mod);
  } else if (mode_ == kDragBoth) {
    const int steps = static_cast<int>(std::trunc((IsHorizontal() ? dx : dy) * 0.25));
    low_->MouseWheel(x, y, mod, steps);
    high_->MouseWheel(x, y, mod, steps);
  }
  SetDirty(true);
}

void ZoomRangeBar::MouseWheel(int x, int y, IMouseFlags mod, int notches) {
  LimitFaders();
  const int mode = mode_ != kDragNone ? mode_ : HitPart(x, y);
  // During a drag the step belongs to the drag's edit; alone it is an edit of its own.
  const bool ownEdit = editMode_ == kDragNone;
  if (ownEdit) BeginEdit(mode);
  if (mode == kDragLow) {
    low_->MouseWheel(x, y, mod, notches);
  } else if (mode == kDragHigh) {
    high_->MouseWheel(x, y, mod, notches);
  } else {
    // Symmetric: the range narrows (or widens) from both ends.
    low_->MouseWheel(x, y, mod, notches);
    high_->MouseWheel(x, y, mod, -notches);
  }
  if (ownEdit) EndEdit();
  SetDirty(true);
}

void ZoomRangeBar::MouseDoubleClick(int x, int y, IMouseFlags mod) {
  BeginEdit(kDragBoth);
  low_->MouseDoubleClick(x, y, mod);
  high_->MouseDoubleClick(x, y, mod);
  EndEdit();
  SetDirty(true);
}

void ZoomRangeBar::SetHidden(bool hide) {
  low_->SetHidden(hide);
  high_->SetHidden(hide);
  IWidget::SetHidden(hide);
}

bool ZoomRangeBar::Draw(IGraphicsHost* graphics) {
  const int a = low_->HandleLength() / 2;
  const int b = high_->HandleLength() / 2;
  bool ok = true;
  if (IsHorizontal()) {
    const int cy = static_cast<int>(std::trunc((rect.top + rect.bottom) * 0.5f));
    const int span = rect.right - b - a - rect.left;
    const int from = rect.left + a + static_cast<int>(std::trunc(span * low_->Value()));
    const int to = rect.left + a + static_cast<int>(std::trunc(span * high_->Value()));
    ok &= graphics->DrawHLine(bright_, cy - 1, from, to);
    ok &= graphics->DrawHLine(dim_, cy, rect.left, rect.right);
  } else {
    // Vertical bars keep the maximum at the top, like their faders.
    const int cx = static_cast<int>(std::trunc((rect.left + rect.right) * 0.5f));
    const int span = rect.bottom - b - a - rect.top;
    const int from = rect.bottom - a - static_cast<int>(std::trunc(span * low_->Value()));
    const int to = rect.bottom - a - static_cast<int>(std::trunc(span * high_->Value()));
    ok &= graphics->DrawVLine(bright_, cx - 1, to, from);
    ok &= graphics->DrawVLine(dim_, cx, rect.top, rect.bottom);
  }
  ok &= low_->Draw(graphics);
  ok &= high_->Draw(graphics);
  return ok;
}

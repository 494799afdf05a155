// The display's answers to the mouse, its domain switching and the cursor labels.
//
// Zoom gestures never change the view's fields directly: they go out as values of
// parameters 13 to 15 through the graphics host, so the bound controls, the host's
// automation and the view (through ApplyParam) all follow. The view's lock is never
// held while they go out: the plug-in's lock must come first.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "graphics/IGraphicsHost.h"
#include "graphics/ITextWidget.h"
#include "plugin/ScopeParams.h"
#include "plugin/ScopePlugin.h"
#include "plugin/display/ScopeView.h"
#include "plugin/engine/ScopeTexts.h"

namespace {

bool Fine(IMouseFlags mod) { return mod.shift || mod.ctrl; }

double Clamp01(double v) { return std::clamp(v, 0.0, 1.0); }

}  // namespace

void ScopeView::SendZoom(double low, double high, double currentHigh) {
  IGraphicsHost* host = Graphics();
  if (host == nullptr) return;
  // The plug-in keeps low below high; send first the end that cannot collide with
  // the other's old value, so both arrive as asked.
  if (low > currentHigh - kMinXZoomGap) {
    host->SetControlsFromUser(kParamXZoomHigh, high);
    host->SetControlsFromUser(kParamXZoomLow, low);
  } else {
    host->SetControlsFromUser(kParamXZoomLow, low);
    host->SetControlsFromUser(kParamXZoomHigh, high);
  }
}

void ScopeView::SendYZoom(double zoom) {
  if (IGraphicsHost* host = Graphics()) host->SetControlsFromUser(kParamYZoom, zoom);
}

// The host records the zoom values of one gesture as one edit of each parameter;
// without begin and end it would take them for loose automation points.
void ScopeView::BeginZoomEdit(bool withYZoom) {
  if (zoomEdits_ > 0 || scope_ == nullptr) return;
  zoomEdits_ = withYZoom ? 3 : 2;
  for (int i = 0; i < zoomEdits_; ++i) scope_->BeginParameterEdit(kZoomParams[i]);
}

void ScopeView::EndZoomEdit() {
  for (int i = 0; i < zoomEdits_; ++i) scope_->EndParameterEdit(kZoomParams[i]);
  zoomEdits_ = 0;
}

// Called from ApplyParam with both locks held (instance lock first); the zooms
// sent here come back re-entrantly through ApplyParam on the same thread. The
// columns of the new domain are laid out by the next draw.
void ScopeView::ApplyDomain(int domain) {
  Settings& s = settings_;
  if (domain < kDomainTime || domain > kDomainPhase || domain == s.mode) return;
  saved_[s.mode] = DomainZoom{s.xLow, s.xHigh, s.yZoom};
  s.mode = domain;
  s.relayout = true;
  SendZoom(saved_[domain].low, saved_[domain].high, s.xHigh);
  SendYZoom(saved_[domain].y);
  if (s.mode != kDomainTime) cursorPos_ = -1.0;
}

double ScopeView::Fraction(int x) const {
  const double t = static_cast<double>(x - rect.left) / (rect.right - rect.left);
  return std::clamp(t, 0.0, 1.0);
}

void ScopeView::Freeze() {
  scope_->SetFrozen(true);
  frozen_ = true;
  if (freezeButton_ != nullptr) freezeButton_->SetValueFromPlugin(1.0);
  SetDirty(false);
}

void ScopeView::SetFrozen(bool frozen) {
  {
    ILockGuard hold(lock_);
    frozen_ = frozen;
    if (!frozen) cursorPos_ = -1.0;
  }
  SetDirty(false);
}

void ScopeView::MouseDown(int x, int, IMouseFlags) {
  {
    ILockGuard hold(lock_);
    hoverX_ = hoverY_ = -1;
    if (settings_.mode == kDomainTime) {
      if (frozen_ && cursorPos_ >= 0.0) {
        // Later clicks pick the cursor up when they land on it, else change nothing.
        if (NearCursor()) {
          dragCursor_ = true;
          hoverCursorX_ = -1;
        }
      } else {
        cursorPos_ = settings_.xLow + (settings_.xHigh - settings_.xLow) * Fraction(x);
      }
    }
  }
  if (!frozen_) Freeze();
  UpdateCursorLabels();
  SetDirty(false);
}

void ScopeView::MouseUp(int, int) {
  {
    ILockGuard hold(lock_);
    hoverCursorX_ = -1;
    dragCursor_ = false;
  }
  EndZoomEdit();  // a drag's edit ends with the release
  SetDirty(false);
}

void ScopeView::MouseDrag(int x, int, int dx, int dy, IMouseFlags mod) {
  double low = -1.0;  // stays negative when only the cursor moves
  double high = 0.0;
  double zoom = 0.0;
  double currentHigh = 0.0;
  {
    ILockGuard hold(lock_);
    const Settings& s = settings_;
    hoverX_ = hoverY_ = -1;
    if (dragCursor_) {
      cursorPos_ = s.xLow + (s.xHigh - s.xLow) * Fraction(x);
    } else {
      // The picture follows the pointer: dragging right shows older samples,
      // dragging up magnifies.
      double pan = -(s.xHigh - s.xLow) * dx / (rect.right - rect.left);
      double zoomStep = dy * -0.001;
      if (Fine(mod)) {
        pan *= 0.1;
        zoomStep *= 0.1;
      }
      if (pan < -s.xLow) pan = -s.xLow;
      if (pan >= 1.0 - s.xHigh) pan = 1.0 - s.xHigh;
      low = s.xLow + pan;
      high = s.xHigh + pan;
      zoom = Clamp01(s.yZoom + zoomStep);
      currentHigh = s.xHigh;
    }
  }
  // Sent with the view's lock released: the plug-in's lock comes first.
  if (low >= 0.0) {
    BeginZoomEdit(true);  // the first move of a drag opens its edit
    SendZoom(low, high, currentHigh);
    SendYZoom(zoom);
  }
  UpdateCursorLabels();
  SetDirty(false);
}

void ScopeView::MouseDoubleClick(int, int, IMouseFlags) {
  int mode = kDomainTime;
  double currentHigh = 1.0;
  {
    ILockGuard hold(lock_);
    mode = settings_.mode;
    currentHigh = settings_.xHigh;
  }
  const DomainZoom& zoom = kDefaultZoom[mode];
  BeginZoomEdit(true);
  SendZoom(zoom.low, zoom.high, currentHigh);
  SendYZoom(zoom.y);
  EndZoomEdit();
}

void ScopeView::MouseWheel(int, int, IMouseFlags mod, int notches) {
  double low = 0.0;
  double high = 0.0;
  double currentHigh = 0.0;
  {
    ILockGuard hold(lock_);
    const double xLow = settings_.xLow;
    const double xHigh = settings_.xHigh;
    double step = notches * 0.005;
    if (Fine(mod)) step *= 0.1;
    if (xLow + step >= xHigh - kMinXZoomGap) {
      // Closing the window: halve it instead, never past the minimum gap.
      step = (xHigh - xLow) * 0.5 - 0.0005;
      if (step <= 0.0) step = 0.0;
    }
    double lowStep = step;
    double highStep = -step;
    if (frozen_ && cursorPos_ >= 0.0 && notches > 0) {
      // Zooming in on a frozen picture draws the cursor towards the middle.
      const double centre = (xLow + xHigh) * 0.5;
      if (centre > cursorPos_) {
        lowStep = step - std::min(centre - cursorPos_, step);
      } else if (cursorPos_ > centre) {
        highStep = -step + std::min(cursorPos_ - centre, step);
      }
    }
    low = Clamp01(xLow + lowStep);
    high = Clamp01(xHigh + highStep);
    currentHigh = xHigh;
  }
  // Each step is an edit of its own, unless it comes within a drag's.
  const bool ownEdit = zoomEdits_ == 0;
  if (ownEdit) BeginZoomEdit(false);
  SendZoom(low, high, currentHigh);
  if (ownEdit) EndZoomEdit();
  UpdateCursorLabels();
  SetDirty(false);
}

void ScopeView::MouseHover(int x, int y, IMouseFlags) {
  ILockGuard hold(lock_);
  hoverCursorX_ = x;
  hoverX_ = x;
  hoverY_ = y;
  SetDirty(false);
}

void ScopeView::MouseLeave() {
  {
    ILockGuard hold(lock_);
    hoverCursorX_ = hoverX_ = hoverY_ = -1;
    dragCursor_ = false;
  }
  EndZoomEdit();
  SetDirty(false);
}

// The time from the window's left edge to the cursor and from the cursor to the
// right edge, with the frequency of one period of that length.
void ScopeView::UpdateCursorLabels() {
  double spans[2];
  {
    ILockGuard hold(lock_);
    const Settings& s = settings_;
    if (s.mode != kDomainTime || cursorPos_ < 0.0) return;
    spans[0] = (cursorPos_ - s.xLow) / s.sampleRate * kMaxCapture;
    spans[1] = (s.xHigh - cursorPos_) / s.sampleRate * kMaxCapture;
  }
  ITextWidget* labels[2] = {leftLabel_, rightLabel_};
  for (int i = 0; i < 2; ++i) {
    if (labels[i] == nullptr) continue;
    char text[96] = "";
    if (spans[i] > 0.0) {
      char frequency[48];
      FormatFrequency(1.0 / spans[i], frequency, sizeof(frequency));
      std::snprintf(text, sizeof(text), "%.1f ms %s", spans[i] * 1000.0, frequency);
    }
    labels[i]->SetText(text);
    labels[i]->SetDirty(false);
  }
}

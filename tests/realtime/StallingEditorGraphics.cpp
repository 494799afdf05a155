// The editor's graphics host for the real-time tests: the off-screen host, with a
// drawing call that can be held up on the GUI thread, as a slow redraw holds it up.
// Linked into the test program in place of the platform's factory.
#include "tests/realtime/StallingEditorGraphics.h"

#include "graphics/MakeEditorGraphics.h"

StallingGraphics* StallingGraphics::last = nullptr;

void StallingGraphics::MaybeStall(bool inside) {
  std::unique_lock<std::mutex> hold(mutex_);
  if (!stallNext_ || !inside) return;
  stallNext_ = false;
  stalled_ = true;
  changed_.notify_all();
  changed_.wait(hold, [this] { return !stalled_; });
}

bool StallingGraphics::Inside(float x, float y) {
  std::lock_guard<std::mutex> hold(mutex_);
  return x >= area_.left && x < area_.right && y >= area_.top && y < area_.bottom;
}

bool StallingGraphics::DrawLine(IRgba colour, float x1, float y1, float x2, float y2,
                                const IBlend* blend, bool antialias) {
  MaybeStall(Inside(x1, y1));
  return IGraphicsOffscreen::DrawLine(colour, x1, y1, x2, y2, blend, antialias);
}

bool StallingGraphics::PlotPoint(IRgba colour, float x, float y, const IBlend* blend,
                                 bool antialias) {
  MaybeStall(Inside(x, y));
  return IGraphicsOffscreen::PlotPoint(colour, x, y, blend, antialias);
}

bool StallingGraphics::PaintImage(IImage image, IBox dest, int srcX, int srcY,
                                  const IBlend* blend) {
  MaybeStall(Inside(float(dest.left), float(dest.top)) &&
             Inside(float(dest.right - 1), float(dest.bottom - 1)));
  return IGraphicsOffscreen::PaintImage(image, dest, srcX, srcY, blend);
}

void StallingGraphics::StallNextDrawingIn(IBox area) {
  std::lock_guard<std::mutex> hold(mutex_);
  area_ = area;
  stallNext_ = true;
}

bool StallingGraphics::WaitUntilStalled(std::chrono::milliseconds limit) {
  std::unique_lock<std::mutex> hold(mutex_);
  return changed_.wait_for(hold, limit, [this] { return stalled_; });
}

void StallingGraphics::Release() {
  std::lock_guard<std::mutex> hold(mutex_);
  stallNext_ = false;
  stalled_ = false;
  changed_.notify_all();
}

IGraphicsLice* MakeEditorGraphics(IPlugBase* plugin, int width, int height, int fps) {
  StallingGraphics::last = new StallingGraphics(plugin, width, height, fps);
  return StallingGraphics::last;
}

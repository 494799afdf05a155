#pragma once
// An off-screen graphics host whose next drawing inside an area (a line, a point or
// a picture) can be made to stop on the GUI thread until the test lets it go: a
// redraw frozen half-way.
#include <chrono>
#include <condition_variable>
#include <mutex>

#include "graphics/platform/offscreen/IGraphicsOffscreen.h"

class StallingGraphics : public IGraphicsOffscreen {
 public:
  using IGraphicsOffscreen::IGraphicsOffscreen;
  // The host made by the last editor built in this program.
  static StallingGraphics* last;

  bool DrawLine(IRgba colour, float x1, float y1, float x2, float y2, const IBlend* blend,
                bool antialias) override;
  bool PlotPoint(IRgba colour, float x, float y, const IBlend* blend, bool antialias) override;
  bool PaintImage(IImage image, IBox dest, int srcX, int srcY, const IBlend* blend) override;

  // The next drawing that starts inside area stops until Release.
  void StallNextDrawingIn(IBox area);
  // True once a draw has stopped there, false when none did within limit.
  bool WaitUntilStalled(std::chrono::milliseconds limit);
  void Release();

 private:
  void MaybeStall(bool inside);
  bool Inside(float x, float y);

  std::mutex mutex_;
  IBox area_{};
  std::condition_variable changed_;
  bool stallNext_ = false;
  bool stalled_ = false;
};

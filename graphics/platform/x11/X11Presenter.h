#pragma once
// Puts rectangles of the editor's draw surface on its window: through a shared
// memory segment (MIT-SHM) when the server is local and its pixel layout is the
// surface's own, else with PutImage requests cut to the server's request size and
// converted to its layout. Every rectangle goes through a staging copy, so an
// overlay (value entry) can be drawn over what is shown without touching the
// surface the controls draw into.
//
// Loop thread only, except the destructor, which runs once the loop thread has
// left the editor for good.
#include <xcb/shm.h>
#include <xcb/xcb.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "graphics/IBox.h"
#include "raster/RasterBitmap.h"

struct X11Screen;

class X11Presenter {
 public:
  // Draws over the staging copy, clipped to the rectangle being presented.
  using Overlay = std::function<void(RasterBitmap& staging, IBox clip)>;

  explicit X11Presenter(const X11Screen& screen);
  ~X11Presenter();
  X11Presenter(const X11Presenter&) = delete;
  X11Presenter& operator=(const X11Presenter&) = delete;

  // Shows r of surface at the same place in window. False when nothing could be sent.
  bool Present(xcb_window_t window, RasterBitmap& surface, IBox r, const Overlay& overlay);
  bool UsingSharedMemory() const { return shmSegment_ != 0; }

 private:
  class Staging;

  bool Prepare(xcb_window_t window, int width, int height);
  bool AttachSharedMemory(int width, int height);
  void ReleaseSharedMemory();
  void SendShared(xcb_window_t window, IBox r);
  void SendPut(xcb_window_t window, IBox r);

  const X11Screen& screen_;
  xcb_gcontext_t gc_ = 0;
  std::unique_ptr<Staging> staging_;
  bool shmTried_ = false;
  xcb_shm_seg_t shmSegment_ = 0;
  void* shmAddress_ = nullptr;
  std::vector<std::uint8_t> band_;
};

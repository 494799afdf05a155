#include "graphics/platform/x11/X11Presenter.h"

#include <sys/ipc.h>
#include <sys/shm.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "graphics/platform/x11/X11EditorLoop.h"
#include "iplug/Trace.h"

// The staging copy: a surface over memory that is either the shared segment or a
// heap block of the presenter's.
class X11Presenter::Staging : public RasterBitmap {
 public:
  Staging(RasterPixel* bits, int width, int height, bool ownsBits)
      : bits_(bits), width_(width), height_(height), owns_(ownsBits) {}
  ~Staging() override {
    if (owns_) delete[] bits_;
  }
  RasterPixel* GetBits() override { return bits_; }
  int GetWidth() override { return width_; }
  int GetHeight() override { return height_; }
  int GetRowSpan() override { return width_; }
  bool IsFlipped() override { return false; }
  bool Resize(int, int) override { return false; }  // replaced, never resized

 private:
  RasterPixel* bits_;
  int width_;
  int height_;
  bool owns_;
};

X11Presenter::X11Presenter(const X11Screen& screen) : screen_(screen) {}

X11Presenter::~X11Presenter() {
  staging_.reset();
  ReleaseSharedMemory();
  if (gc_ != 0) xcb_free_gc(screen_.conn, gc_);
  xcb_flush(screen_.conn);
}

bool X11Presenter::Present(xcb_window_t window, RasterBitmap& surface, IBox r,
                           const Overlay& overlay) {
  const int width = surface.GetWidth();
  const int height = surface.GetHeight();
  r = IBoxIntersection(r, IBox{0, 0, width, height});
  if (r.Empty() || r.W() <= 0 || r.H() <= 0 || surface.GetBits() == nullptr) return false;
  if (!Prepare(window, width, height)) return false;
  const int span = surface.GetRowSpan();
  for (int y = r.top; y < r.bottom; ++y) {
    const int row = surface.IsFlipped() ? height - 1 - y : y;
    std::memcpy(staging_->GetBits() + std::size_t(y) * std::size_t(width) + std::size_t(r.left),
                surface.GetBits() + std::size_t(row) * std::size_t(span) + std::size_t(r.left),
                std::size_t(r.W()) * sizeof(RasterPixel));
  }
  if (overlay) overlay(*staging_, r);
  if (UsingSharedMemory()) {
    SendShared(window, r);
  } else {
    SendPut(window, r);
  }
  return true;
}

bool X11Presenter::Prepare(xcb_window_t window, int width, int height) {
  xcb_connection_t* conn = screen_.conn;
  if (gc_ == 0) {
    gc_ = xcb_generate_id(conn);
    const std::uint32_t noExposures = 0;
    xcb_create_gc(conn, gc_, window, XCB_GC_GRAPHICS_EXPOSURES, &noExposures);
  }
  if (staging_ && staging_->GetWidth() == width && staging_->GetHeight() == height) return true;
  staging_.reset();
  ReleaseSharedMemory();
  // Shared memory only where the server reads our layout as it is.
  if (!shmTried_ && screen_.shm && screen_.format.IsNative()) AttachSharedMemory(width, height);
  shmTried_ = true;
  if (UsingSharedMemory()) {
    staging_ =
        std::make_unique<Staging>(static_cast<RasterPixel*>(shmAddress_), width, height, false);
  } else {
    auto* bits = new (std::nothrow) RasterPixel[std::size_t(width) * std::size_t(height)];
    if (bits == nullptr) return false;
    staging_ = std::make_unique<Staging>(bits, width, height, true);
  }
  return true;
}

bool X11Presenter::AttachSharedMemory(int width, int height) {
  const std::size_t bytes = std::size_t(width) * std::size_t(height) * sizeof(RasterPixel);
  const int id = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
  if (id < 0) return false;
  void* address = shmat(id, nullptr, 0);
  if (address == reinterpret_cast<void*>(-1)) {
    shmctl(id, IPC_RMID, nullptr);
    return false;
  }
  xcb_connection_t* conn = screen_.conn;
  const xcb_shm_seg_t segment = xcb_generate_id(conn);
  xcb_generic_error_t* error =
      xcb_request_check(conn, xcb_shm_attach_checked(conn, segment, std::uint32_t(id), 1));
  // Marked for removal once both sides hold it: it goes away with the last detach,
  // even if this process dies.
  shmctl(id, IPC_RMID, nullptr);
  if (error != nullptr) {
    // A server on another machine cannot see our memory.
    TRACE_CALL("X11Presenter::AttachSharedMemory", "MIT-SHM refused (error %d): PutImage",
               error->error_code);
    std::free(error);
    shmdt(address);
    return false;
  }
  shmSegment_ = segment;
  shmAddress_ = address;
  return true;
}

void X11Presenter::ReleaseSharedMemory() {
  if (shmSegment_ != 0) xcb_shm_detach(screen_.conn, shmSegment_);
  if (shmAddress_ != nullptr) shmdt(shmAddress_);
  shmSegment_ = 0;
  shmAddress_ = nullptr;
}

void X11Presenter::SendShared(xcb_window_t window, IBox r) {
  xcb_connection_t* conn = screen_.conn;
  xcb_shm_put_image(conn, window, gc_, std::uint16_t(staging_->GetWidth()),
                    std::uint16_t(staging_->GetHeight()), std::uint16_t(r.left),
                    std::uint16_t(r.top), std::uint16_t(r.W()), std::uint16_t(r.H()),
                    std::int16_t(r.left), std::int16_t(r.top), screen_.depth,
                    XCB_IMAGE_FORMAT_Z_PIXMAP, 0, shmSegment_, 0);
  // The server reads the segment when it gets to the request; the next frame
  // writes into it, so wait until it has.
  std::free(xcb_get_input_focus_reply(conn, xcb_get_input_focus(conn), nullptr));
}

void X11Presenter::SendPut(xcb_window_t window, IBox r) {
  const X11PixelFormat& format = screen_.format;
  const int rowBytes = format.RowBytes(r.W());
  constexpr std::size_t kRequestHeader = 24;
  const std::size_t room =
      screen_.maxRequestBytes > kRequestHeader ? screen_.maxRequestBytes - kRequestHeader : 0;
  const int bandRows = std::max(1, int(room / std::size_t(rowBytes)));
  band_.resize(std::size_t(rowBytes) * std::size_t(std::min(bandRows, r.H())));
  const int width = staging_->GetWidth();
  for (int top = r.top; top < r.bottom; top += bandRows) {
    const int rows = std::min(bandRows, r.bottom - top);
    for (int i = 0; i < rows; ++i) {
      const RasterPixel* src =
          staging_->GetBits() + std::size_t(top + i) * std::size_t(width) + std::size_t(r.left);
      std::uint8_t* dst = band_.data() + std::size_t(i) * std::size_t(rowBytes);
      if (format.IsNative()) {
        std::memcpy(dst, src, std::size_t(r.W()) * sizeof(RasterPixel));
      } else {
        format.ConvertRow(src, r.W(), dst);
      }
    }
    xcb_put_image(screen_.conn, XCB_IMAGE_FORMAT_Z_PIXMAP, window, gc_, std::uint16_t(r.W()),
                  std::uint16_t(rows), std::int16_t(r.left), std::int16_t(top), 0, screen_.depth,
                  std::uint32_t(std::size_t(rowBytes) * std::size_t(rows)), band_.data());
  }
  xcb_flush(screen_.conn);
}

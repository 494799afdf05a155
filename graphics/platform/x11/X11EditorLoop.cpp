#include "graphics/platform/x11/X11EditorLoop.h"

#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <sys/eventfd.h>
#include <unistd.h>
#include <xcb/shm.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>

#include "iplug/Trace.h"

namespace {

// The window an event is about, or 0 for events that belong to the connection.
xcb_window_t EventWindow(const xcb_generic_event_t& e) {
  switch (e.response_type & 0x7F) {
    case XCB_EXPOSE:
      return reinterpret_cast<const xcb_expose_event_t&>(e).window;
    case XCB_BUTTON_PRESS:
    case XCB_BUTTON_RELEASE:
      return reinterpret_cast<const xcb_button_press_event_t&>(e).event;
    case XCB_MOTION_NOTIFY:
      return reinterpret_cast<const xcb_motion_notify_event_t&>(e).event;
    case XCB_ENTER_NOTIFY:
    case XCB_LEAVE_NOTIFY:
      return reinterpret_cast<const xcb_leave_notify_event_t&>(e).event;
    case XCB_KEY_PRESS:
    case XCB_KEY_RELEASE:
      return reinterpret_cast<const xcb_key_press_event_t&>(e).event;
    case XCB_FOCUS_IN:
    case XCB_FOCUS_OUT:
      return reinterpret_cast<const xcb_focus_in_event_t&>(e).event;
    case XCB_DESTROY_NOTIFY:
      return reinterpret_cast<const xcb_destroy_notify_event_t&>(e).window;
    default:
      return 0;
  }
}

xcb_visualtype_t* FindVisual(const xcb_screen_t* screen, xcb_visualid_t id) {
  for (auto d = xcb_screen_allowed_depths_iterator(screen); d.rem; xcb_depth_next(&d)) {
    for (auto v = xcb_depth_visuals_iterator(d.data); v.rem; xcb_visualtype_next(&v)) {
      if (v.data->visual_id == id) return v.data;
    }
  }
  return nullptr;
}

// Pixel layout of images at the screen's default depth.
X11PixelFormat FormatOf(const xcb_setup_t* setup, const xcb_screen_t* screen,
                        const xcb_visualtype_t& visual) {
  X11PixelFormat f;
  f.lsbFirst = setup->image_byte_order == XCB_IMAGE_ORDER_LSB_FIRST;
  f.redMask = visual.red_mask;
  f.greenMask = visual.green_mask;
  f.blueMask = visual.blue_mask;
  f.bitsPerPixel = 0;
  for (auto p = xcb_setup_pixmap_formats_iterator(setup); p.rem; xcb_format_next(&p)) {
    if (p.data->depth == screen->root_depth) {
      f.bitsPerPixel = p.data->bits_per_pixel;
      f.scanlinePad = p.data->scanline_pad;
    }
  }
  return f;
}

bool ShmAnswers(xcb_connection_t* conn) {
  const xcb_query_extension_reply_t* ext = xcb_get_extension_data(conn, &xcb_shm_id);
  if (ext == nullptr || !ext->present) return false;
  xcb_shm_query_version_reply_t* reply =
      xcb_shm_query_version_reply(conn, xcb_shm_query_version(conn), nullptr);
  const bool ok = reply != nullptr;
  std::free(reply);
  return ok;
}

// Constant-initialised and never destroyed, so it can be read after the loop is.
std::atomic<bool> loopGone{false};

}  // namespace

bool X11EditorLoop::Gone() { return loopGone.load(); }

X11EditorLoop& X11EditorLoop::Instance() {
  // Destroyed when the module is unloaded (or the process ends), which stops the
  // thread before its code goes away.
  static X11EditorLoop loop;
  return loop;
}

X11EditorLoop::~X11EditorLoop() {
  loopGone = true;
  {
    std::lock_guard<std::mutex> hold(mutex_);
    stop_ = true;
  }
  Wake();
  if (thread_.joinable()) thread_.join();
  if (screen_.conn != nullptr) xcb_disconnect(screen_.conn);
  if (wakeFd_ >= 0) close(wakeFd_);
}

const X11Screen* X11EditorLoop::Screen() {
  std::lock_guard<std::mutex> hold(mutex_);
  if (stop_) return nullptr;
  if (screen_.conn == nullptr && !Connect()) return nullptr;
  return &screen_;
}

bool X11EditorLoop::Connect() {
  int screenNumber = 0;
  xcb_connection_t* conn = xcb_connect(nullptr, &screenNumber);
  if (xcb_connection_has_error(conn)) {
    TRACE_CALL("X11EditorLoop::Connect", "no X display (DISPLAY=%s)",
               std::getenv("DISPLAY") != nullptr ? std::getenv("DISPLAY") : "");
    xcb_disconnect(conn);
    return false;
  }
  const xcb_setup_t* setup = xcb_get_setup(conn);
  auto it = xcb_setup_roots_iterator(setup);
  for (int i = 0; i < screenNumber && it.rem; ++i) xcb_screen_next(&it);
  const xcb_screen_t* screen = it.data;
  const xcb_visualtype_t* visual =
      screen != nullptr ? FindVisual(screen, screen->root_visual) : nullptr;
  if (visual == nullptr) {
    xcb_disconnect(conn);
    return false;
  }
  X11Screen s;
  s.conn = conn;
  s.root = screen->root;
  s.visual = screen->root_visual;
  s.depth = screen->root_depth;
  s.colormap = screen->default_colormap;
  s.format = FormatOf(setup, screen, *visual);
  if (!s.format.Supported()) {
    TRACE_CALL("X11EditorLoop::Connect", "unsupported screen: %d bits per pixel",
               s.format.bitsPerPixel);
    xcb_disconnect(conn);
    return false;
  }
  s.shm = std::getenv("VIRLEX_X11_NO_SHM") == nullptr && ShmAnswers(conn);
  s.maxRequestBytes = std::size_t(xcb_get_maximum_request_length(conn)) * 4;
  wakeFd_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (wakeFd_ < 0) {
    xcb_disconnect(conn);
    return false;
  }
  screen_ = s;
  StartThread();
  return true;
}

void X11EditorLoop::StartThread() {
  // The host's signal handlers belong on the host's threads: ours blocks them all.
  sigset_t all;
  sigset_t previous;
  sigfillset(&all);
  pthread_sigmask(SIG_SETMASK, &all, &previous);
  thread_ = std::thread([this] { Run(); });
  pthread_sigmask(SIG_SETMASK, &previous, nullptr);
  pthread_setname_np(thread_.native_handle(), "virlex-x11");
}

void X11EditorLoop::Wake() {
  if (wakeFd_ < 0) return;
  const std::uint64_t one = 1;
  [[maybe_unused]] const ssize_t n = write(wakeFd_, &one, sizeof one);
}

void X11EditorLoop::Attach(X11LoopClient* client, xcb_window_t window, int fps) {
  {
    std::lock_guard<std::mutex> hold(mutex_);
    auto it = std::find_if(clients_.begin(), clients_.end(),
                           [client](const Client& c) { return c.client == client; });
    if (it == clients_.end()) it = clients_.insert(clients_.end(), Client{});
    it->client = client;
    it->window = window;
    it->period = std::chrono::milliseconds(1000 / std::max(fps, 1));
    it->nextFrame = Clock::now();
  }
  Wake();
}

void X11EditorLoop::Detach(X11LoopClient* client) {
  {
    std::lock_guard<std::mutex> hold(mutex_);
    clients_.erase(std::remove_if(clients_.begin(), clients_.end(),
                                  [client](const Client& c) { return c.client == client; }),
                   clients_.end());
  }
  Wake();
}

void X11EditorLoop::WaitUntilOutside(X11LoopClient* client) {
  std::unique_lock<std::mutex> hold(mutex_);
  if (std::this_thread::get_id() == thread_.get_id()) return;
  outside_.wait(hold, [&] { return busy_ != client; });
}

template <typename Call>
void X11EditorLoop::Enter(X11LoopClient* client, Call call) {
  {
    std::lock_guard<std::mutex> hold(mutex_);
    busy_ = client;
  }
  call(client);
  {
    std::lock_guard<std::mutex> hold(mutex_);
    busy_ = nullptr;
  }
  outside_.notify_all();
}

void X11EditorLoop::Run() {
  LoadKeymap();
  const int xcbFd = xcb_get_file_descriptor(screen_.conn);
  for (;;) {
    {
      std::lock_guard<std::mutex> hold(mutex_);
      if (stop_) return;
    }
    const bool broken = xcb_connection_has_error(screen_.conn) != 0;
    if (!broken) {
      ReadEvents();
      RunDueFrames();
      // Round trips made during the frames may have queued events without leaving
      // the descriptor readable: read them before sleeping.
      ReadEvents();
    }
    pollfd fds[2] = {{wakeFd_, POLLIN, 0}, {xcbFd, POLLIN, 0}};
    // A broken connection's descriptor stays readable; listen only for wakes then.
    poll(fds, broken ? 1 : 2, MillisecondsToNextFrame());
    if ((fds[0].revents & POLLIN) != 0) {
      std::uint64_t count = 0;
      [[maybe_unused]] const ssize_t n = read(wakeFd_, &count, sizeof count);
    }
  }
}

int X11EditorLoop::MillisecondsToNextFrame() {
  std::lock_guard<std::mutex> hold(mutex_);
  if (clients_.empty() || xcb_connection_has_error(screen_.conn)) return -1;
  Clock::time_point next = clients_.front().nextFrame;
  for (const Client& c : clients_) next = std::min(next, c.nextFrame);
  const auto wait = std::chrono::ceil<std::chrono::milliseconds>(next - Clock::now()).count();
  return int(std::clamp<long long>(wait, 0, 1000));
}

void X11EditorLoop::ReadEvents() {
  while (xcb_generic_event_t* event = xcb_poll_for_event(screen_.conn)) {
    Route(*event);
    std::free(event);
  }
}

void X11EditorLoop::Route(const xcb_generic_event_t& event) {
  const int type = event.response_type & 0x7F;
  if (type == 0) {
    const auto& error = reinterpret_cast<const xcb_generic_error_t&>(event);
    TRACE_CALL("X11EditorLoop::Route", "X error %d, request %d.%d, resource 0x%x", error.error_code,
               error.major_code, error.minor_code, error.resource_id);
    return;
  }
  if (type == XCB_MAPPING_NOTIFY) {
    LoadKeymap();
    return;
  }
  const xcb_window_t window = EventWindow(event);
  if (window == 0) return;
  X11LoopClient* target = nullptr;
  {
    std::lock_guard<std::mutex> hold(mutex_);
    for (const Client& c : clients_) {
      if (c.window == window) target = c.client;
    }
  }
  if (target != nullptr) Enter(target, [&](X11LoopClient* c) { c->OnEvent(event); });
}

void X11EditorLoop::RunDueFrames() {
  // One frame per due client; each looked up afresh, as a frame may close editors.
  std::vector<X11LoopClient*> done;
  for (;;) {
    X11LoopClient* due = nullptr;
    {
      std::lock_guard<std::mutex> hold(mutex_);
      const Clock::time_point now = Clock::now();
      for (Client& c : clients_) {
        if (c.nextFrame > now || std::find(done.begin(), done.end(), c.client) != done.end())
          continue;
        // Late beats are not made up for: the next one is a whole period away.
        c.nextFrame += c.period;
        if (c.nextFrame <= now) c.nextFrame = now + c.period;
        due = c.client;
        break;
      }
    }
    if (due == nullptr) return;
    done.push_back(due);
    Enter(due, [](X11LoopClient* c) { c->OnFrame(); });
  }
}

void X11EditorLoop::LoadKeymap() {
  xcb_connection_t* conn = screen_.conn;
  const xcb_setup_t* setup = xcb_get_setup(conn);
  const int count = setup->max_keycode - setup->min_keycode + 1;
  xcb_get_keyboard_mapping_reply_t* reply = xcb_get_keyboard_mapping_reply(
      conn, xcb_get_keyboard_mapping(conn, setup->min_keycode, std::uint8_t(count)), nullptr);
  if (reply == nullptr) return;
  const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(reply);
  const int n = xcb_get_keyboard_mapping_keysyms_length(reply);
  keymap_.Set(setup->min_keycode, reply->keysyms_per_keycode,
              std::vector<std::uint32_t>(syms, syms + n));
  std::free(reply);
}

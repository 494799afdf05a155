#pragma once
// The X connection and the thread that every editor window of this process shares.
//
// Why a thread of our own: hosts differ. Some call effEditIdle from their GUI
// thread, some never call it, and some call the editor opcodes from one thread
// while another processes their own window events. An editor that waited for the
// host's idle calls would freeze in the second kind of host, and one that drew on
// the host's threads would need each host to be right about which thread it uses.
// So the editor runs on this thread whatever the host does: it reads the X events
// of every open editor window and gives each editor its redraw beats (24 a second
// for the product), and the host's effEditIdle has nothing left to do.
//
// Why one connection and one thread for the whole process: a session with dozens
// of instances would otherwise hold dozens of connections (X servers allow a few
// hundred clients in all) and threads. The connection is opened by the first
// editor that opens and the thread started with it; both stay until the module is
// unloaded, when the thread is stopped and joined, so none of our code runs after
// the module is gone. With no editor open the thread sleeps in poll().
//
// Who calls X, and how nothing races: the connection is XCB's, whose requests are
// serialised on the connection by XCB itself. The loop thread makes every call of
// drawing, presenting and input; the host's thread makes only the few requests of
// opening and closing a window (create, map, destroy), which it cannot hand to the
// loop thread: waiting for the loop while the host holds the instance lock would
// deadlock the moment the loop thread waits for that lock inside a redraw. X errors
// come back as events on this connection (XCB has no process-wide error handler to
// fight the host's over) and are only traced.
//
// Locks: the loop's mutex guards its list of editors and is held for short
// bookkeeping only, never while an editor runs or X is waited for, so it nests
// inside any other lock. An editor's event handling and redraw run with no lock of
// the loop held; they take the plug-in's instance lock, then the view's, as any
// GUI code does. Closing an editor does not wait for the loop thread (the host
// holds the instance lock then); only ShutDown-time waits (WaitUntilOutside) do,
// and they run without the instance lock.
#include <xcb/xcb.h>

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <thread>
#include <vector>

#include "graphics/platform/x11/X11Keys.h"
#include "graphics/platform/x11/X11PixelFormat.h"

// What every editor needs to know of the display; fixed once connected.
struct X11Screen {
  xcb_connection_t* conn = nullptr;
  xcb_window_t root = 0;
  xcb_visualid_t visual = 0;  // the screen's default visual, used for every editor window
  std::uint8_t depth = 0;
  xcb_colormap_t colormap = 0;
  X11PixelFormat format;
  bool shm = false;                 // the MIT-SHM extension answered (a local server)
  std::size_t maxRequestBytes = 0;  // the largest request the server takes
};

// An open editor window as the loop sees it. Both calls come on the loop thread.
class X11LoopClient {
 public:
  virtual void OnEvent(const xcb_generic_event_t& event) = 0;
  virtual void OnFrame() = 0;

 protected:
  ~X11LoopClient() = default;
};

class X11EditorLoop {
 public:
  static X11EditorLoop& Instance();
  // True once the loop has been destroyed (the module is being unloaded): editors
  // still alive then make no more X calls.
  static bool Gone();

  // The display, connected (and the thread started) on first use; null when no X
  // server can be reached. Any thread.
  const X11Screen* Screen();
  // Starts delivering window's events and a frame every 1000 / fps ms to client.
  // Attaching a client again replaces its window. Any thread.
  void Attach(X11LoopClient* client, xcb_window_t window, int fps);
  // Stops delivering to client. Does not wait: the loop thread may still be inside
  // client and finish what it is doing. Any thread.
  void Detach(X11LoopClient* client);
  // Returns once the loop thread is not inside client (at once on the loop thread
  // itself). Call without the plug-in's instance lock.
  void WaitUntilOutside(X11LoopClient* client);
  // Wakes the thread to read events another thread's request may have queued.
  void Wake();
  // The keyboard table; loop thread only.
  const X11Keymap& Keymap() const { return keymap_; }

  ~X11EditorLoop();
  X11EditorLoop(const X11EditorLoop&) = delete;
  X11EditorLoop& operator=(const X11EditorLoop&) = delete;

 private:
  using Clock = std::chrono::steady_clock;
  struct Client {
    X11LoopClient* client = nullptr;
    xcb_window_t window = 0;
    Clock::duration period{};
    Clock::time_point nextFrame{};
  };

  X11EditorLoop() = default;
  bool Connect();
  void StartThread();
  void Run();
  int MillisecondsToNextFrame();
  void ReadEvents();
  void Route(const xcb_generic_event_t& event);
  void RunDueFrames();
  // Runs call for the client of window (or for one due client) with busy_ set.
  template <typename Call>
  void Enter(X11LoopClient* client, Call call);
  void LoadKeymap();

  std::mutex mutex_;
  std::condition_variable outside_;
  std::vector<Client> clients_;
  X11LoopClient* busy_ = nullptr;
  bool stop_ = false;
  X11Screen screen_;
  int wakeFd_ = -1;
  std::thread thread_;
  X11Keymap keymap_;
};

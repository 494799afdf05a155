// The host's side of an editor test: a connection of its own to the test server, a
// top-level window to hand to effEditOpen, screenshots of windows, and real input
// through the XTest extension at screen coordinates.
#pragma once

#include <xcb/xcb.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Waits until done() holds, checking every few milliseconds; false after timeout.
bool WaitFor(const std::function<bool()>& done,
             std::chrono::milliseconds timeout = std::chrono::milliseconds(20000));

class TestX11Host {
 public:
  TestX11Host();
  ~TestX11Host();
  TestX11Host(const TestX11Host&) = delete;
  TestX11Host& operator=(const TestX11Host&) = delete;

  bool Connected() const { return conn_ != nullptr; }
  xcb_connection_t* Connection() const { return conn_; }

  // A mapped top-level window at (x, y) on the screen, as a host's editor frame.
  xcb_window_t CreateWindow(int x, int y, int width, int height);
  void DestroyWindow(xcb_window_t window);
  std::vector<xcb_window_t> Children(xcb_window_t window);
  // Geometry relative to the parent; false when the window does not exist.
  bool Geometry(xcb_window_t window, int& x, int& y, int& width, int& height);
  bool IsViewable(xcb_window_t window);

  // The window's pixels as 0x00RRGGBB, row by row; empty when it cannot be read.
  std::vector<std::uint32_t> Capture(xcb_window_t window, int width, int height);

  // Real input, as a user's: pointer moves and buttons at screen coordinates, keys.
  void MovePointer(int x, int y);
  void Button(int button, bool press);
  void Click(int x, int y, int button = 1);
  void Drag(int x1, int y1, int x2, int y2, int steps);
  void Wheel(int x, int y, int notches);
  // Types characters that are on the keyboard's unshifted level (digits, '-', '.').
  void Type(const std::string& text);
  void Key(std::uint32_t keysym);
  // Returns once the server has processed everything sent so far.
  void Sync();
  xcb_window_t InputFocus();

 private:
  int KeycodeFor(std::uint32_t keysym);
  void Fake(std::uint8_t type, std::uint8_t detail, int x = 0, int y = 0);

  xcb_connection_t* conn_ = nullptr;
  xcb_window_t root_ = 0;
  std::uint8_t depth_ = 0;
  xcb_visualid_t visual_ = 0;
};

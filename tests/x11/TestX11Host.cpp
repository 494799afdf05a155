#include "tests/x11/TestX11Host.h"

#include <X11/keysym.h>
#include <xcb/xtest.h>

#include <cstdlib>
#include <cstring>
#include <thread>

bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
  const auto end = std::chrono::steady_clock::now() + timeout;
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

TestX11Host::TestX11Host() {
  int screenNumber = 0;
  xcb_connection_t* conn = xcb_connect(nullptr, &screenNumber);
  if (xcb_connection_has_error(conn)) {
    xcb_disconnect(conn);
    return;
  }
  conn_ = conn;
  auto it = xcb_setup_roots_iterator(xcb_get_setup(conn_));
  for (int i = 0; i < screenNumber && it.rem; ++i) xcb_screen_next(&it);
  root_ = it.data->root;
  depth_ = it.data->root_depth;
  visual_ = it.data->root_visual;
}

TestX11Host::~TestX11Host() {
  if (conn_ != nullptr) xcb_disconnect(conn_);
}

xcb_window_t TestX11Host::CreateWindow(int x, int y, int width, int height) {
  const xcb_window_t w = xcb_generate_id(conn_);
  const std::uint32_t values[] = {0x202020u, 1u};  // dark background, override-redirect
  xcb_create_window(conn_, depth_, w, root_, std::int16_t(x), std::int16_t(y), std::uint16_t(width),
                    std::uint16_t(height), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT, visual_,
                    XCB_CW_BACK_PIXEL | XCB_CW_OVERRIDE_REDIRECT, values);
  xcb_map_window(conn_, w);
  Sync();
  return w;
}

void TestX11Host::DestroyWindow(xcb_window_t window) {
  xcb_destroy_window(conn_, window);
  Sync();
}

std::vector<xcb_window_t> TestX11Host::Children(xcb_window_t window) {
  std::vector<xcb_window_t> out;
  auto* tree = xcb_query_tree_reply(conn_, xcb_query_tree(conn_, window), nullptr);
  if (tree == nullptr) return out;
  const xcb_window_t* kids = xcb_query_tree_children(tree);
  out.assign(kids, kids + xcb_query_tree_children_length(tree));
  std::free(tree);
  return out;
}

bool TestX11Host::Geometry(xcb_window_t window, int& x, int& y, int& width, int& height) {
  auto* g = xcb_get_geometry_reply(conn_, xcb_get_geometry(conn_, window), nullptr);
  if (g == nullptr) return false;
  x = g->x;
  y = g->y;
  width = g->width;
  height = g->height;
  std::free(g);
  return true;
}

bool TestX11Host::IsViewable(xcb_window_t window) {
  auto* a =
      xcb_get_window_attributes_reply(conn_, xcb_get_window_attributes(conn_, window), nullptr);
  if (a == nullptr) return false;
  const bool viewable = a->map_state == XCB_MAP_STATE_VIEWABLE;
  std::free(a);
  return viewable;
}

std::vector<std::uint32_t> TestX11Host::Capture(xcb_window_t window, int width, int height) {
  std::vector<std::uint32_t> out;
  auto* image = xcb_get_image_reply(conn_,
                                    xcb_get_image(conn_, XCB_IMAGE_FORMAT_Z_PIXMAP, window, 0, 0,
                                                  std::uint16_t(width), std::uint16_t(height), ~0u),
                                    nullptr);
  if (image == nullptr) return out;
  // Depth 24 at 32 bits per pixel, least significant byte first (Xvfb on this machine).
  const int bytes = xcb_get_image_data_length(image);
  if (bytes == width * height * 4) {
    out.resize(std::size_t(width) * std::size_t(height));
    std::memcpy(out.data(), xcb_get_image_data(image), std::size_t(bytes));
    for (std::uint32_t& p : out) p &= 0xFFFFFFu;
  }
  std::free(image);
  return out;
}

void TestX11Host::Fake(std::uint8_t type, std::uint8_t detail, int x, int y) {
  xcb_test_fake_input(conn_, type, detail, XCB_CURRENT_TIME, type == XCB_MOTION_NOTIFY ? root_ : 0,
                      std::int16_t(x), std::int16_t(y), 0);
}

void TestX11Host::MovePointer(int x, int y) {
  Fake(XCB_MOTION_NOTIFY, 0, x, y);
  Sync();
}

void TestX11Host::Button(int button, bool press) {
  Fake(press ? XCB_BUTTON_PRESS : XCB_BUTTON_RELEASE, std::uint8_t(button));
  Sync();
}

void TestX11Host::Click(int x, int y, int button) {
  MovePointer(x, y);
  Button(button, true);
  Button(button, false);
}

void TestX11Host::Drag(int x1, int y1, int x2, int y2, int steps) {
  MovePointer(x1, y1);
  Button(1, true);
  for (int i = 1; i <= steps; ++i) {
    MovePointer(x1 + (x2 - x1) * i / steps, y1 + (y2 - y1) * i / steps);
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  Button(1, false);
}

void TestX11Host::Wheel(int x, int y, int notches) {
  MovePointer(x, y);
  const int button = notches > 0 ? 4 : 5;
  for (int i = 0; i < std::abs(notches); ++i) {
    Button(button, true);
    Button(button, false);
  }
}

int TestX11Host::KeycodeFor(std::uint32_t keysym) {
  const xcb_setup_t* setup = xcb_get_setup(conn_);
  const int count = setup->max_keycode - setup->min_keycode + 1;
  auto* map = xcb_get_keyboard_mapping_reply(
      conn_, xcb_get_keyboard_mapping(conn_, setup->min_keycode, std::uint8_t(count)), nullptr);
  if (map == nullptr) return 0;
  const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(map);
  int code = 0;
  for (int k = 0; k < count && code == 0; ++k) {
    // The unshifted level only: Type promises no Shift.
    if (syms[k * map->keysyms_per_keycode] == keysym) code = setup->min_keycode + k;
  }
  std::free(map);
  return code;
}

void TestX11Host::Key(std::uint32_t keysym) {
  const int code = KeycodeFor(keysym);
  if (code == 0) return;
  Fake(XCB_KEY_PRESS, std::uint8_t(code));
  Fake(XCB_KEY_RELEASE, std::uint8_t(code));
  Sync();
}

void TestX11Host::Type(const std::string& text) {
  for (char c : text) {
    std::uint32_t keysym = 0;
    if (c >= '0' && c <= '9') keysym = XK_0 + std::uint32_t(c - '0');
    if (c == '-') keysym = XK_minus;
    if (c == '.') keysym = XK_period;
    if (keysym != 0) Key(keysym);
  }
}

void TestX11Host::Sync() {
  std::free(xcb_get_input_focus_reply(conn_, xcb_get_input_focus(conn_), nullptr));
}

xcb_window_t TestX11Host::InputFocus() {
  auto* f = xcb_get_input_focus_reply(conn_, xcb_get_input_focus(conn_), nullptr);
  if (f == nullptr) return 0;
  const xcb_window_t w = f->focus;
  std::free(f);
  return w;
}

// The edit command's window on X11: a top-level window on a connection of the host's
// own, input through the XTest extension (the server's own input path, so grabs,
// enter/leave, focus and the editor's double-click timing are the real ones), pixels
// read back with GetImage. The plug-in's editor makes its own connection and child
// window; nothing here reaches into it.
#include <X11/keysym.h>
#include <xcb/xcb.h>
#include <xcb/xtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "tools/vsthost/EditorWindow.h"

namespace vsthost {

namespace {

// Where the window goes on a screen without a window manager to place it.
constexpr int kScreenX = 40, kScreenY = 40;

using inputscript::Button;
using inputscript::EventKind;
using inputscript::InputEvent;
using inputscript::Key;

std::uint32_t KeysymOf(Key key) {
  switch (key) {
    case Key::kReturn:
      return XK_Return;
    case Key::kEscape:
      return XK_Escape;
    case Key::kTab:
      return XK_Tab;
    case Key::kBackspace:
      return XK_BackSpace;
    case Key::kDelete:
      return XK_Delete;
    case Key::kLeft:
      return XK_Left;
    case Key::kRight:
      return XK_Right;
    case Key::kUp:
      return XK_Up;
    case Key::kDown:
      return XK_Down;
    case Key::kHome:
      return XK_Home;
    case Key::kEnd:
      return XK_End;
  }
  return 0;
}

xcb_atom_t Atom(xcb_connection_t* conn, const char* name) {
  auto* reply = xcb_intern_atom_reply(
      conn, xcb_intern_atom(conn, 0, std::uint16_t(std::strlen(name)), name), nullptr);
  const xcb_atom_t atom = reply != nullptr ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
  std::free(reply);
  return atom;
}

class EditorWindowX11 : public EditorWindow {
 public:
  EditorWindowX11(xcb_connection_t* conn, const xcb_screen_t& screen, int width, int height)
      : conn_(conn), root_(screen.root), width_(width), height_(height) {}
  ~EditorWindowX11() override {
    if (window_ != 0) xcb_destroy_window(conn_, window_);
    xcb_disconnect(conn_);
  }

  bool Open(const xcb_screen_t& screen, const std::string& title, std::string& error) {
    const xcb_query_extension_reply_t* xtest = xcb_get_extension_data(conn_, &xcb_test_id);
    if (xtest == nullptr || !xtest->present) {
      error = "the X server has no XTest extension to deliver input with";
      return false;
    }
    window_ = xcb_generate_id(conn_);
    const std::uint32_t values[] = {screen.black_pixel,
                                    XCB_EVENT_MASK_STRUCTURE_NOTIFY | XCB_EVENT_MASK_EXPOSURE};
    xcb_create_window(conn_, XCB_COPY_FROM_PARENT, window_, root_, kScreenX, kScreenY,
                      std::uint16_t(width_), std::uint16_t(height_), 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen.root_visual,
                      XCB_CW_BACK_PIXEL | XCB_CW_EVENT_MASK, values);
    xcb_change_property(conn_, XCB_PROP_MODE_REPLACE, window_, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8,
                        std::uint32_t(title.size()), title.data());
    SetSizeHints();
    // The close button is reported rather than the window killed.
    deleteAtom_ = Atom(conn_, "WM_DELETE_WINDOW");
    const xcb_atom_t protocols = Atom(conn_, "WM_PROTOCOLS");
    xcb_change_property(conn_, XCB_PROP_MODE_REPLACE, window_, protocols, XCB_ATOM_ATOM, 32, 1,
                        &deleteAtom_);
    xcb_map_window(conn_, window_);
    const std::uint32_t above = XCB_STACK_MODE_ABOVE;
    xcb_configure_window(conn_, window_, XCB_CONFIG_WINDOW_STACK_MODE, &above);
    Sync();
    // Shown before the editor opens in it, and with the keyboard.
    for (int i = 0; i < 200 && !Viewable(window_); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    xcb_set_input_focus(conn_, XCB_INPUT_FOCUS_POINTER_ROOT, window_, XCB_CURRENT_TIME);
    Sync();
    return true;
  }

  void* NativeHandle() override { return reinterpret_cast<void*>(std::uintptr_t(window_)); }

  void Pump(double seconds) override {
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    do {
      while (xcb_generic_event_t* e = xcb_poll_for_event(conn_)) {
        Handle(*e);
        std::free(e);
      }
      if (closed_ || seconds <= 0) return;
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    } while (std::chrono::steady_clock::now() < end);
  }

  bool Deliver(const InputEvent& e, std::string& error) override {
    int x = 0;
    int y = 0;
    if (!ToScreen(e.x, e.y, x, y)) {
      error = "the window is gone";
      return false;
    }
    const int button = e.button == Button::kRight ? 3 : 1;
    const bool shift = e.shift && e.kind != EventKind::kKey && e.kind != EventKind::kChar;
    if (shift) FakeKey(KeycodeOf(XK_Shift_L), true);
    switch (e.kind) {
      case EventKind::kMove:
        Fake(XCB_MOTION_NOTIFY, 0, x, y);
        break;
      case EventKind::kPress:
      case EventKind::kSecondPress:
        Fake(XCB_MOTION_NOTIFY, 0, x, y);
        Fake(XCB_BUTTON_PRESS, std::uint8_t(button));
        break;
      case EventKind::kRelease:
        Fake(XCB_MOTION_NOTIFY, 0, x, y);
        Fake(XCB_BUTTON_RELEASE, std::uint8_t(button));
        break;
      case EventKind::kWheel: {
        // A wheel step is a press and release of button 4 (away) or 5 (towards).
        Fake(XCB_MOTION_NOTIFY, 0, x, y);
        const std::uint8_t wheel = e.wheelDelta > 0 ? 4 : 5;
        for (int i = 0; i < std::abs(e.wheelDelta) / 120; ++i) {
          Fake(XCB_BUTTON_PRESS, wheel);
          Fake(XCB_BUTTON_RELEASE, wheel);
        }
        break;
      }
      case EventKind::kKey:
        if (!TypeKeysym(KeysymOf(e.key), error)) return false;
        break;
      case EventKind::kChar:
        // Printable Latin-1 characters are their own keysyms.
        if (!TypeKeysym(std::uint8_t(e.ch), error)) return false;
        break;
    }
    if (shift) FakeKey(KeycodeOf(XK_Shift_L), false);
    Sync();
    return true;
  }

  bool Capture(Picture& picture) override {
    auto* image =
        xcb_get_image_reply(conn_,
                            xcb_get_image(conn_, XCB_IMAGE_FORMAT_Z_PIXMAP, window_, 0, 0,
                                          std::uint16_t(width_), std::uint16_t(height_), ~0u),
                            nullptr);
    if (image == nullptr) return false;
    // Depth 24 in 32-bit pixels, least significant byte first: blue, green, red, pad.
    const bool usual = xcb_get_image_data_length(image) == width_ * height_ * 4 &&
                       xcb_get_setup(conn_)->image_byte_order == XCB_IMAGE_ORDER_LSB_FIRST;
    if (usual) {
      picture.width = width_;
      picture.height = height_;
      picture.pixels.resize(std::size_t(width_) * std::size_t(height_));
      std::memcpy(picture.pixels.data(), xcb_get_image_data(image),
                  picture.pixels.size() * sizeof(std::uint32_t));
      for (std::uint32_t& p : picture.pixels) p |= 0xFF000000u;
    }
    std::free(image);
    return usual;
  }

  std::vector<ChildWindow> ChildWindows(bool nested) override {
    std::vector<ChildWindow> out;
    Collect(window_, 0, 0, nested, out);
    return out;
  }

  GuiCounts GuiResources() override {
    GuiCounts counts;
    counts.windows = long(ChildWindows(true).size()) + 1;
    return counts;
  }

  bool Closed() override { return closed_; }

  bool Resize(int width, int height) override {
    if (width <= 0 || height <= 0 || window_ == 0) return false;
    width_ = width;
    height_ = height;
    SetSizeHints();
    const std::uint32_t size[] = {std::uint32_t(width), std::uint32_t(height)};
    xcb_configure_window(conn_, window_, XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT, size);
    Sync();
    return true;
  }

 private:
  void Handle(const xcb_generic_event_t& e) {
    switch (e.response_type & 0x7F) {
      case XCB_CLIENT_MESSAGE: {
        const auto& m = reinterpret_cast<const xcb_client_message_event_t&>(e);
        if (m.window == window_ && m.data.data32[0] == deleteAtom_) closed_ = true;
        break;
      }
      case XCB_DESTROY_NOTIFY:
        if (reinterpret_cast<const xcb_destroy_notify_event_t&>(e).window == window_) {
          closed_ = true;
          window_ = 0;
        }
        break;
      default:
        break;
    }
  }

  // A fixed size: the editor's.
  void SetSizeHints() {
    std::uint32_t hints[18] = {};
    hints[0] = (1u << 4) | (1u << 5);  // PMinSize | PMaxSize
    hints[5] = hints[7] = std::uint32_t(width_);
    hints[6] = hints[8] = std::uint32_t(height_);
    xcb_change_property(conn_, XCB_PROP_MODE_REPLACE, window_, XCB_ATOM_WM_NORMAL_HINTS,
                        XCB_ATOM_WM_SIZE_HINTS, 32, 18, hints);
  }

  bool Viewable(xcb_window_t w) {
    auto* a = xcb_get_window_attributes_reply(conn_, xcb_get_window_attributes(conn_, w), nullptr);
    const bool viewable = a != nullptr && a->map_state == XCB_MAP_STATE_VIEWABLE;
    std::free(a);
    return viewable;
  }

  bool ToScreen(int x, int y, int& sx, int& sy) {
    // Asked each time: a window manager may have framed or moved the window.
    auto* t = xcb_translate_coordinates_reply(
        conn_, xcb_translate_coordinates(conn_, window_, root_, std::int16_t(x), std::int16_t(y)),
        nullptr);
    if (t == nullptr) return false;
    sx = t->dst_x;
    sy = t->dst_y;
    std::free(t);
    return true;
  }

  void Fake(std::uint8_t type, std::uint8_t detail, int x = 0, int y = 0) {
    xcb_test_fake_input(conn_, type, detail, XCB_CURRENT_TIME,
                        type == XCB_MOTION_NOTIFY ? root_ : XCB_NONE, std::int16_t(x),
                        std::int16_t(y), 0);
  }

  void FakeKey(int keycode, bool press) {
    if (keycode != 0) Fake(press ? XCB_KEY_PRESS : XCB_KEY_RELEASE, std::uint8_t(keycode));
  }

  // The keycode and whether Shift is needed for keysym (first two columns of the map).
  int KeycodeOf(std::uint32_t keysym, bool* shifted = nullptr) {
    const xcb_setup_t* setup = xcb_get_setup(conn_);
    const int count = setup->max_keycode - setup->min_keycode + 1;
    auto* map = xcb_get_keyboard_mapping_reply(
        conn_, xcb_get_keyboard_mapping(conn_, setup->min_keycode, std::uint8_t(count)), nullptr);
    if (map == nullptr) return 0;
    const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(map);
    const int per = map->keysyms_per_keycode;
    int code = 0;
    for (int column = 0; column < 2 && column < per && code == 0; ++column) {
      for (int k = 0; k < count && code == 0; ++k) {
        if (syms[k * per + column] != keysym) continue;
        code = setup->min_keycode + k;
        if (shifted != nullptr) *shifted = column == 1;
      }
    }
    std::free(map);
    return code;
  }

  bool TypeKeysym(std::uint32_t keysym, std::string& error) {
    bool shifted = false;
    const int code = KeycodeOf(keysym, &shifted);
    if (code == 0) {
      error = "no key on the keyboard map types keysym " + std::to_string(keysym);
      return false;
    }
    const int shift = shifted ? KeycodeOf(XK_Shift_L) : 0;
    FakeKey(shift, true);
    FakeKey(code, true);
    FakeKey(code, false);
    FakeKey(shift, false);
    return true;
  }

  void Collect(xcb_window_t parent, int dx, int dy, bool nested, std::vector<ChildWindow>& out) {
    auto* tree = xcb_query_tree_reply(conn_, xcb_query_tree(conn_, parent), nullptr);
    if (tree == nullptr) return;
    const xcb_window_t* kids = xcb_query_tree_children(tree);
    const int n = xcb_query_tree_children_length(tree);
    for (int i = 0; i < n; ++i) {
      auto* g = xcb_get_geometry_reply(conn_, xcb_get_geometry(conn_, kids[i]), nullptr);
      if (g == nullptr) continue;
      ChildWindow c;
      c.name = NameOf(kids[i]);
      c.x = dx + g->x;
      c.y = dy + g->y;
      c.width = g->width;
      c.height = g->height;
      std::free(g);
      out.push_back(c);
      if (nested) Collect(kids[i], c.x, c.y, true, out);
    }
    std::free(tree);
  }

  std::string NameOf(xcb_window_t w) {
    auto* p = xcb_get_property_reply(
        conn_, xcb_get_property(conn_, 0, w, XCB_ATOM_WM_NAME, XCB_ATOM_ANY, 0, 256), nullptr);
    std::string name;
    if (p != nullptr) {
      name.assign(static_cast<const char*>(xcb_get_property_value(p)),
                  std::size_t(xcb_get_property_value_length(p)));
    }
    std::free(p);
    return name;
  }

  void Sync() { std::free(xcb_get_input_focus_reply(conn_, xcb_get_input_focus(conn_), nullptr)); }

  xcb_connection_t* conn_;
  xcb_window_t root_;
  xcb_window_t window_ = 0;
  xcb_atom_t deleteAtom_ = XCB_ATOM_NONE;
  int width_;
  int height_;
  bool closed_ = false;
};

}  // namespace

std::unique_ptr<EditorWindow> EditorWindow::Create(int width, int height, const std::string& title,
                                                   std::string& error) {
  int screenNumber = 0;
  xcb_connection_t* conn = xcb_connect(nullptr, &screenNumber);
  if (xcb_connection_has_error(conn)) {
    xcb_disconnect(conn);
    const char* display = std::getenv("DISPLAY");
    error = std::string("cannot open the X display '") + (display != nullptr ? display : "") +
            "' (is DISPLAY set? under no display, run with xvfb-run -a)";
    return nullptr;
  }
  auto it = xcb_setup_roots_iterator(xcb_get_setup(conn));
  for (int i = 0; i < screenNumber && it.rem; ++i) xcb_screen_next(&it);
  auto window = std::make_unique<EditorWindowX11>(conn, *it.data, width, height);
  if (!window->Open(*it.data, title, error)) return nullptr;
  return window;
}

}  // namespace vsthost

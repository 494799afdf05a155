#include "graphics/platform/x11/IGraphicsX11.h"

#include <cstdint>
#include <cstdlib>

#include "graphics/IWidget.h"
#include "graphics/RasterLoadPng.h"
#include "graphics/platform/posix/PosixFolders.h"
#include "graphics/platform/posix/PosixShellOpen.h"
#include "graphics/platform/x11/X11Presenter.h"
#include "iplug/Trace.h"

namespace {

constexpr std::uint32_t kWindowEvents =
    XCB_EVENT_MASK_EXPOSURE | XCB_EVENT_MASK_BUTTON_PRESS | XCB_EVENT_MASK_BUTTON_RELEASE |
    XCB_EVENT_MASK_POINTER_MOTION | XCB_EVENT_MASK_LEAVE_WINDOW | XCB_EVENT_MASK_STRUCTURE_NOTIFY |
    XCB_EVENT_MASK_FOCUS_CHANGE;

X11PointerEvent PointerEvent(X11PointerEvent::Kind kind, int button, int x, int y,
                             std::uint16_t state, std::uint32_t time) {
  X11PointerEvent e;
  e.kind = kind;
  e.button = button;
  e.x = x;
  e.y = y;
  e.state = state;
  e.time = time;
  return e;
}

// Returns once the server has handled every request sent so far.
void RoundTrip(xcb_connection_t* conn) {
  std::free(xcb_get_input_focus_reply(conn, xcb_get_input_focus(conn), nullptr));
}

}  // namespace

IGraphicsX11::IGraphicsX11(IPlugBase* plugin, int width, int height, int fps)
    : IGraphicsLice(plugin, width, height, fps) {}

IGraphicsX11::~IGraphicsX11() { ShutDownEditor(); }

void IGraphicsX11::ShutDownEditor() {
  CloseEditorWindow();
  if (screen_.load() == nullptr || X11EditorLoop::Gone()) return;
  X11EditorLoop::Instance().WaitUntilOutside(this);
  // The loop thread is done with this editor: its X resources can go.
  presenter_.reset();
}

// --- Opening and closing (host threads) -----------------------------------------------

void* IGraphicsX11::OpenEditorWindow(void* parent) {
  const std::uintptr_t id = reinterpret_cast<std::uintptr_t>(parent);
  // An X window id is a 29-bit number; anything else is not one.
  if (id == 0 || id > 0x1FFFFFFFu || X11EditorLoop::Gone()) return nullptr;
  X11EditorLoop& loop = X11EditorLoop::Instance();
  const X11Screen* screen = loop.Screen();
  if (screen == nullptr) return nullptr;
  screen_ = screen;
  xcb_connection_t* conn = screen->conn;

  int x = 0;
  int y = 0;
  int w = width;
  int h = height;
  if (const xcb_window_t old = window_.load(); old != 0) {
    // Opening twice keeps one window, where and as large as the first one was.
    if (auto* g = xcb_get_geometry_reply(conn, xcb_get_geometry(conn, old), nullptr)) {
      x = g->x;
      y = g->y;
      w = g->width;
      h = g->height;
      std::free(g);
    }
    CloseEditorWindow();
  }

  const xcb_window_t window = xcb_generate_id(conn);
  // No background: the window shows nothing of its own until the first picture.
  const std::uint32_t values[] = {XCB_BACK_PIXMAP_NONE, 0, kWindowEvents, screen->colormap};
  xcb_generic_error_t* error = xcb_request_check(
      conn,
      xcb_create_window_checked(
          conn, screen->depth, window, xcb_window_t(id), std::int16_t(x), std::int16_t(y),
          std::uint16_t(w), std::uint16_t(h), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->visual,
          XCB_CW_BACK_PIXMAP | XCB_CW_BORDER_PIXEL | XCB_CW_EVENT_MASK | XCB_CW_COLORMAP, values));
  if (error != nullptr) {
    TRACE_CALL("IGraphicsX11::OpenEditorWindow", "parent 0x%x refused (X error %d)", unsigned(id),
               error->error_code);
    std::free(error);
    return nullptr;
  }
  // Named as the editor window is on Windows, so tools can tell it from the host's.
  static const char kClass[] = "IPlug\0IPlugWndClass";
  xcb_change_property(conn, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8,
                      sizeof kClass, kClass);
  xcb_change_property(conn, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8, 5,
                      "IPlug");
  xcb_map_window(conn, window);
  // Shown by the time the host hears of it: its next request already sees the window.
  RoundTrip(conn);
  window_ = window;
  ++generation_;
  loop.Attach(this, window, fps);
  return reinterpret_cast<void*>(std::uintptr_t(window));
}

void IGraphicsX11::CloseEditorWindow() {
  const xcb_window_t window = window_.exchange(0);
  const X11Screen* screen = screen_.load();
  if (window == 0 || screen == nullptr || X11EditorLoop::Gone()) return;
  X11EditorLoop::Instance().Detach(this);
  // Destroying it also gives the keyboard back (focus reverts to the parent). Gone by
  // the time the host hears of it, which may destroy its own window next.
  xcb_destroy_window(screen->conn, window);
  RoundTrip(screen->conn);
}

void* IGraphicsX11::GetEditorWindow() {
  return reinterpret_cast<void*>(std::uintptr_t(window_.load()));
}

void IGraphicsX11::Resize(int w, int h) {
  IGraphicsLice::Resize(w, h);
  const xcb_window_t window = window_.load();
  const X11Screen* screen = screen_.load();
  if (window == 0 || screen == nullptr || w <= 0 || h <= 0) return;
  const std::uint32_t size[] = {std::uint32_t(w), std::uint32_t(h)};
  xcb_configure_window(screen->conn, window, XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT,
                       size);
  xcb_flush(screen->conn);
}

// --- The beat and the events (loop thread) ---------------------------------------------

void IGraphicsX11::StartWindow() {
  startedGeneration_ = generation_.load();
  entry_.Close();
  entryChanged_ = false;
  pointer_.Reset();
  captured_ = false;
  exposed_ = IBox{};
  MarkAllDirty();
}

void IGraphicsX11::OnFrame() {
  if (window_.load() == 0) return;
  if (generation_.load() != startedGeneration_) StartWindow();
  if (entry_.IsOpen()) {
    // While the entry has the keyboard nothing under it is redrawn.
    if (entry_.GetState() == X11ValueEntry::kFocused) {
      if (entryChanged_) Show(entry_.Box());
      return;
    }
    if (entry_.GetState() != X11ValueEntry::kIdle) {
      const IBox where = entry_.Box();
      if (entry_.Step()) {
        EntryClosed(where);
      } else {
        Show(IBoxUnion(where, entry_.Box()));
      }
      return;
    }
  }
  IBox dirty;
  if (CollectDirty(dirty)) {
    DrawDirty(dirty);
    if (entry_.IsOpen()) entry_.SetState(X11ValueEntry::kRefresh);
  }
  if (!exposed_.Empty()) Show(exposed_);
  exposed_ = IBox{};
  if (entryChanged_) Show(entry_.Box());
}

bool IGraphicsX11::PresentRect(IBox r) {
  Show(r);
  return true;
}

void IGraphicsX11::Show(IBox r) {
  const xcb_window_t window = window_.load();
  const X11Screen* screen = screen_.load();
  if (window == 0 || screen == nullptr || !drawSurface) return;
  if (!presenter_) presenter_ = std::make_unique<X11Presenter>(*screen);
  const bool withEntry = entry_.IsOpen() && IBoxIntersects(r, entry_.Box());
  presenter_->Present(window, *drawSurface, r, [&](RasterBitmap& staging, IBox clip) {
    if (withEntry) entry_.Draw(staging, clip);
  });
  if (withEntry) entryChanged_ = false;
}

void IGraphicsX11::OnEvent(const xcb_generic_event_t& event) {
  if (window_.load() == 0) return;
  if (generation_.load() != startedGeneration_) StartWindow();
  switch (event.response_type & 0x7F) {
    case XCB_EXPOSE: {
      const auto& e = reinterpret_cast<const xcb_expose_event_t&>(event);
      exposed_ = IBoxUnion(exposed_, IBox{e.x, e.y, e.x + e.width, e.y + e.height});
      // The last of a series: show the picture at once rather than on the next beat.
      if (e.count == 0) {
        Show(exposed_);
        exposed_ = IBox{};
      }
      break;
    }
    case XCB_BUTTON_PRESS:
    case XCB_BUTTON_RELEASE: {
      const auto& e = reinterpret_cast<const xcb_button_press_event_t&>(event);
      const bool press = (event.response_type & 0x7F) == XCB_BUTTON_PRESS;
      HandlePointer(pointer_.Translate(
                        PointerEvent(press ? X11PointerEvent::kPress : X11PointerEvent::kRelease,
                                     e.detail, e.event_x, e.event_y, e.state, e.time)),
                    e.detail);
      break;
    }
    case XCB_MOTION_NOTIFY: {
      const auto& e = reinterpret_cast<const xcb_motion_notify_event_t&>(event);
      HandlePointer(pointer_.Translate(PointerEvent(X11PointerEvent::kMotion, 0, e.event_x,
                                                    e.event_y, e.state, e.time)),
                    0);
      break;
    }
    case XCB_LEAVE_NOTIFY: {
      const auto& e = reinterpret_cast<const xcb_leave_notify_event_t&>(event);
      X11PointerEvent p =
          PointerEvent(X11PointerEvent::kLeave, 0, e.event_x, e.event_y, e.state, e.time);
      p.grabMode = e.mode != XCB_NOTIFY_MODE_NORMAL;
      HandlePointer(pointer_.Translate(p), 0);
      break;
    }
    case XCB_KEY_PRESS:
      HandleKey(reinterpret_cast<const xcb_key_press_event_t&>(event));
      break;
    case XCB_FOCUS_IN:
    case XCB_FOCUS_OUT:
      HandleFocus(reinterpret_cast<const xcb_focus_in_event_t&>(event),
                  (event.response_type & 0x7F) == XCB_FOCUS_IN);
      break;
    default:
      break;
  }
}

void IGraphicsX11::HandlePointer(const X11PointerAction& a, int button) {
  if (a.kind == X11PointerAction::kNone) return;
  if (entry_.IsOpen() && EntryTakesPointer(a, button)) return;
  switch (a.kind) {
    case X11PointerAction::kPress:
      captured_ = true;
      MouseDown(a.x, a.y, a.mod);
      break;
    case X11PointerAction::kDoubleClick:
      // A control that takes the double click as a press holds the pointer like one.
      captured_ = MouseDoubleClick(a.x, a.y, a.mod);
      break;
    case X11PointerAction::kRelease:
      if (!captured_) break;
      MouseUp(a.x, a.y, a.mod);
      captured_ = pointer_.Pressing();
      break;
    case X11PointerAction::kDrag:
      if (captured_) MouseDrag(a.x, a.y, a.mod);
      break;
    case X11PointerAction::kHover:
      if (MouseHover(a.x, a.y, a.mod)) pointer_.RequestLeave();
      break;
    case X11PointerAction::kWheel:
      MouseWheel(a.x, a.y, a.mod, a.notches);
      break;
    case X11PointerAction::kLeave:
      MouseLeave();
      break;
    case X11PointerAction::kNone:
      break;
  }
}

// The entry's share of the pointer while it is open: true when the event is used
// up. A right press anywhere cancels it; a left press on it gives it the keyboard
// (and picks a list item); while it has the keyboard the editor gets nothing but
// the releases of presses it already had.
bool IGraphicsX11::EntryTakesPointer(const X11PointerAction& a, int button) {
  const bool press = a.kind == X11PointerAction::kPress || a.kind == X11PointerAction::kDoubleClick;
  if (press && button == 3) {
    entry_.SetState(X11ValueEntry::kCancel);
    return true;
  }
  if (press && button == 1 && entry_.Press(a.x, a.y)) {
    if (entry_.GetState() != X11ValueEntry::kCommit) SetKeyboardWanted(true);
    entryChanged_ = true;
    return true;
  }
  if (a.kind == X11PointerAction::kHover && entry_.Hover(a.x, a.y)) entryChanged_ = true;
  if (entry_.GetState() != X11ValueEntry::kFocused) return false;
  return a.kind != X11PointerAction::kRelease;
}

void IGraphicsX11::HandleKey(const xcb_key_press_event_t& e) {
  if (!entry_.IsOpen()) return;
  const std::uint32_t keysym = X11EditorLoop::Instance().Keymap().Keysym(e.detail, e.state);
  if (entry_.Key(EntryKeyFromKeysym(keysym))) entryChanged_ = true;
}

void IGraphicsX11::HandleFocus(const xcb_focus_in_event_t& e, bool in) {
  // Grab transitions and focus passing through the pointer's window are not the
  // keyboard coming to or leaving this window.
  if (e.mode == XCB_NOTIFY_MODE_GRAB || e.mode == XCB_NOTIFY_MODE_UNGRAB) return;
  if (e.detail == XCB_NOTIFY_DETAIL_POINTER || e.detail == XCB_NOTIFY_DETAIL_POINTER_ROOT ||
      e.detail == XCB_NOTIFY_DETAIL_NONE)
    return;
  if (entry_.IsOpen()) entry_.SetFocus(in);
}

void IGraphicsX11::PromptParamEdit(IWidget* control, IPlugParam* param) {
  if (control == nullptr || param == nullptr || entry_.IsOpen() || window_.load() == 0) return;
  entry_.Open(control, param, width, height);
  entryChanged_ = true;
  SetKeyboardWanted(true);
}

// Keys reach the window only while value entry is open; otherwise they go on to
// the host's window, where the host's own shortcuts live.
void IGraphicsX11::SetKeyboardWanted(bool wanted) {
  const xcb_window_t window = window_.load();
  const X11Screen* screen = screen_.load();
  if (window == 0 || screen == nullptr) return;
  xcb_connection_t* conn = screen->conn;
  const std::uint32_t events = wanted ? kWindowEvents | XCB_EVENT_MASK_KEY_PRESS : kWindowEvents;
  xcb_change_window_attributes(conn, window, XCB_CW_EVENT_MASK, &events);
  if (wanted) {
    if (auto* focus = xcb_get_input_focus_reply(conn, xcb_get_input_focus(conn), nullptr)) {
      if (focus->focus != window) focusBefore_ = focus->focus;
      std::free(focus);
    }
    xcb_set_input_focus(conn, XCB_INPUT_FOCUS_PARENT, window, XCB_CURRENT_TIME);
  } else if (focusBefore_ != XCB_NONE) {
    // Back to whoever had the keyboard (the host's window, or pointer-root focus).
    xcb_set_input_focus(conn, XCB_INPUT_FOCUS_PARENT, focusBefore_, XCB_CURRENT_TIME);
    focusBefore_ = XCB_NONE;
  }
  xcb_flush(conn);
}

void IGraphicsX11::EntryClosed(IBox where) {
  SetKeyboardWanted(false);
  entryChanged_ = false;
  Show(where);  // the picture without the entry
}

// --- The rest of the platform operations ------------------------------------------------

bool IGraphicsX11::PaintText(const IFontSpec& font, const char* text, IBox box) {
  return text_.Draw(drawSurface.get(), font, text, box, drawRect);
}

IBox IGraphicsX11::TextBounds(const IFontSpec& font, const char* text, IBox box) {
  return text_.Bounds(font, text, box);
}

void IGraphicsX11::GetHostFolder(std::string& out) { PosixHostFolder(out); }

void IGraphicsX11::GetPluginFolder(std::string& out) { PosixPluginFolder(out); }

void IGraphicsX11::PromptFile(std::string& out, int, const char*, const char*) {
  out.clear();
  TRACE_CALL("IGraphicsX11::PromptFile", "not available");
}

bool IGraphicsX11::PromptColor(IRgba&, const char*) {
  TRACE_CALL("IGraphicsX11::PromptColor", "not available");
  return false;
}

bool IGraphicsX11::ShellOpen(const char* url, const char*, const char* question, const char*) {
  // Asking first needs a dialog, which there is none of without a toolkit.
  if (question != nullptr) return false;
  return PosixShellOpen(url);
}

RasterBitmap* IGraphicsX11::LoadImageResource(int id, const char*) {
  return RasterLoadPng(nullptr, id, nullptr);
}

// The window vsthost's edit command opens a plug-in's editor in: one backend per
// window system (Win32 under platform/win32/, X11 under platform/x11/), chosen by
// CMake; the edit command itself (EditSession) is the same everywhere.
//
// What a backend must do, and what the edit command relies on:
//
//  * Create (width, height, title): a top-level window whose client area is
//    width x height pixels, shown, on screen, at a fixed place, and raised and
//    given the keyboard focus (the scripted keys go to it and its children).
//    Null with a readable error when there is no window system (no DISPLAY, a
//    build without a backend, ...).
//  * NativeHandle (): what the host hands to effEditOpen as the parent: the HWND
//    on Windows, the X11 Window id (an XID cast to void*) on X11. The editor puts
//    its own window at (0, 0) inside it.
//  * Pump (seconds): dispatches the window system's events (and so the plug-in's
//    timers and paint requests, on Windows; the plug-in's own event handling on
//    X11 runs where the plug-in wants) for about `seconds`, returning early only
//    when the window was closed. 0 handles what is pending and returns.
//  * Deliver (event): delivers one scripted input event as real window input at
//    editor coordinates (the top-left pixel of the client area is (0, 0)): the
//    pointer really moves, buttons go down and up through the window system, so
//    capture, hover/leave tracking and double-click detection are the system's.
//    kSecondPress is a plain press (the system sees two quick clicks); keys and
//    characters go to whichever window has the keyboard focus. The caller pumps
//    between events. False with an error when the system refused the input.
//  * Settle (ticks, seconds): pumps until the input delivered so far has been
//    handled and the editor's own timers have then fired `ticks` times, so that
//    what the input changed has been drawn and reported; at most `seconds`. An
//    editor that shows no timer at all is not waited for again. False when the
//    time ran out first. Backends that cannot tell pump a short fixed while.
//  * Capture (picture): the client area's pixels as they are on screen, child
//    windows included, as 0xAARRGGBB with alpha 255, row by row from the top.
//  * ChildWindows (nested): the windows directly inside the client area (the
//    editor window a plug-in made), or with nested all windows within it, with
//    their class or name, place (in the client area) and size, and what they
//    show as text (an entry field's text; a list's items joined with '|').
//    Used to report what effEditOpen made and what is left after closing; may
//    be empty where the system cannot tell.
//  * Resize (width, height): gives the client area a new size, for plug-ins that
//    report their editor's size only once it is open. False where the backend
//    cannot (the window keeps its size).
//  * GuiResources (): the process's window-system object counts (GDI and USER
//    objects on Windows; -1 where the system keeps no such counts, as wine
//    does not) and the number of windows the GUI thread owns, nested ones
//    included (-1 where unknown).
//
// All calls come from the thread that created the window (the host's GUI thread).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "tools/script/InputScript.h"

namespace vsthost {

struct Picture {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;  // 0xAARRGGBB, width * height, top row first
};

struct ChildWindow {
  std::string name;  // window class (Windows) or window name (X11)
  int x = 0, y = 0, width = 0, height = 0;
  std::string text;  // an entry's text, a list's items joined with '|'
};

struct GuiCounts {
  long gdi = -1;
  long user = -1;
  long windows = -1;
};

class EditorWindow {
 public:
  virtual ~EditorWindow() = default;

  // Defined by the backend this build links.
  static std::unique_ptr<EditorWindow> Create(int width, int height, const std::string& title,
                                              std::string& error);

  virtual void* NativeHandle() = 0;
  virtual void Pump(double seconds) = 0;
  virtual bool Deliver(const inputscript::InputEvent& event, std::string& error) = 0;
  virtual bool Settle(int ticks, double /*seconds*/) {
    Pump(0.05 * (ticks + 1));
    return true;
  }
  virtual bool Capture(Picture& picture) = 0;
  virtual std::vector<ChildWindow> ChildWindows(bool /*nested*/) { return {}; }
  virtual GuiCounts GuiResources() { return {}; }
  virtual bool Resize(int /*width*/, int /*height*/) { return false; }
  // True once the user (or the window system) closed the window.
  virtual bool Closed() { return false; }
};

}  // namespace vsthost

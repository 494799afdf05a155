#pragma once
// Turns the X server's pointer events into the editor's mouse vocabulary, the way
// users know it from the other platform: a second left press soon after the first
// and close to it is a double click, each wheel step is one notch, a press holds
// the pointer (the server's implicit grab) until its release, and leaving the
// window is reported only once a hover asked for it. Pure bookkeeping: no X
// calls, so it is tested without a server.
#include <cstdint>

#include "graphics/IMouseFlags.h"

// One pointer event as the server sent it, in window coordinates.
struct X11PointerEvent {
  enum Kind { kPress, kRelease, kMotion, kLeave };
  Kind kind = kMotion;
  int button = 0;  // 1 left, 2 middle, 3 right, 4/5 wheel up/down, 6/7 sideways
  int x = 0;
  int y = 0;
  std::uint16_t state = 0;  // modifier and button mask before the event
  std::uint32_t time = 0;   // server milliseconds
  bool grabMode = false;    // a leave caused by a grab or ungrab, not by moving out
};

// What the editor is asked to do.
struct X11PointerAction {
  enum Kind { kNone, kPress, kDoubleClick, kRelease, kDrag, kHover, kWheel, kLeave };
  Kind kind = kNone;
  int x = 0;
  int y = 0;
  IMouseFlags mod;
  int notches = 0;  // wheel: +1 away from the user, -1 towards
};

class X11PointerInput {
 public:
  // Two left presses at most this far apart in time and in either direction make a
  // double click (the usual X desktop setting).
  static constexpr std::uint32_t kDoubleClickMs = 400;
  static constexpr int kDoubleClickSlop = 4;

  X11PointerAction Translate(const X11PointerEvent& event);
  // Forget presses and the leave request, as when the window is new.
  void Reset();

  // A press reached the editor and its release has not come yet.
  bool Pressing() const { return pressed_ != 0; }
  // The editor asked to hear when the pointer leaves (its hover returned true).
  void RequestLeave() { leaveRequested_ = true; }

 private:
  X11PointerAction PressAction(const X11PointerEvent& e);

  unsigned pressed_ = 0;  // bit per button (1 left, 4 right) pressed in the window
  bool leaveRequested_ = false;
  bool haveLastLeft_ = false;
  std::uint32_t lastLeftTime_ = 0;
  int lastLeftX_ = 0;
  int lastLeftY_ = 0;
};

// The flags of a server state mask: shift, control, alt (Mod1) and the left and
// right buttons.
IMouseFlags X11MouseFlags(std::uint16_t state);

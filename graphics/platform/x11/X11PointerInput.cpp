#include "graphics/platform/x11/X11PointerInput.h"

#include <cstdlib>

namespace {

// Core protocol masks (the same numbers as the server's).
constexpr std::uint16_t kShiftMask = 1u << 0;
constexpr std::uint16_t kControlMask = 1u << 2;
constexpr std::uint16_t kMod1Mask = 1u << 3;
constexpr std::uint16_t kButton1Mask = 1u << 8;
constexpr std::uint16_t kButton3Mask = 1u << 10;

constexpr unsigned kLeftBit = 1;
constexpr unsigned kRightBit = 4;

std::uint16_t ButtonMask(int button) {
  if (button == 1) return kButton1Mask;
  if (button == 3) return kButton3Mask;
  return 0;
}

X11PointerAction Action(X11PointerAction::Kind kind, const X11PointerEvent& e,
                        std::uint16_t state) {
  X11PointerAction a;
  a.kind = kind;
  a.x = e.x;
  a.y = e.y;
  a.mod = X11MouseFlags(state);
  return a;
}

}  // namespace

IMouseFlags X11MouseFlags(std::uint16_t state) {
  IMouseFlags f;
  f.left = (state & kButton1Mask) != 0;
  f.right = (state & kButton3Mask) != 0;
  f.shift = (state & kShiftMask) != 0;
  f.ctrl = (state & kControlMask) != 0;
  f.alt = (state & kMod1Mask) != 0;
  return f;
}

void X11PointerInput::Reset() {
  pressed_ = 0;
  leaveRequested_ = false;
  haveLastLeft_ = false;
}

X11PointerAction X11PointerInput::Translate(const X11PointerEvent& e) {
  switch (e.kind) {
    case X11PointerEvent::kPress:
      return PressAction(e);
    case X11PointerEvent::kRelease: {
      const unsigned bit = e.button == 1 ? kLeftBit : e.button == 3 ? kRightBit : 0;
      // Only releases of presses made in this window (not of a press that began
      // before the window opened under the pointer).
      if (bit == 0 || (pressed_ & bit) == 0) return {};
      pressed_ &= ~bit;
      // The flags tell what is held after the event, as they do for a press.
      return Action(X11PointerAction::kRelease, e, std::uint16_t(e.state & ~ButtonMask(e.button)));
    }
    case X11PointerEvent::kMotion:
      if ((e.state & (kButton1Mask | kButton3Mask)) != 0) {
        if (pressed_ == 0) return {};
        return Action(X11PointerAction::kDrag, e, e.state);
      }
      return Action(X11PointerAction::kHover, e, e.state);
    case X11PointerEvent::kLeave:
      // While a button is held the pointer belongs to the window wherever it is;
      // grab transitions are no movement of the user's.
      if (!leaveRequested_ || pressed_ != 0 || e.grabMode) return {};
      leaveRequested_ = false;
      return Action(X11PointerAction::kLeave, e, e.state);
  }
  return {};
}

X11PointerAction X11PointerInput::PressAction(const X11PointerEvent& e) {
  if (e.button == 4 || e.button == 5) {
    X11PointerAction a = Action(X11PointerAction::kWheel, e, e.state);
    a.notches = e.button == 4 ? 1 : -1;
    return a;
  }
  if (e.button != 1 && e.button != 3) return {};  // middle and sideways buttons: unused
  const std::uint16_t after = std::uint16_t(e.state | ButtonMask(e.button));
  if (e.button == 3) {
    haveLastLeft_ = false;  // another button between two clicks breaks a double click
    pressed_ |= kRightBit;
    return Action(X11PointerAction::kPress, e, after);
  }
  pressed_ |= kLeftBit;
  const bool doubleClick = haveLastLeft_ && e.time - lastLeftTime_ <= kDoubleClickMs &&
                           std::abs(e.x - lastLeftX_) <= kDoubleClickSlop &&
                           std::abs(e.y - lastLeftY_) <= kDoubleClickSlop;
  // A third click starts afresh rather than making a second double click.
  haveLastLeft_ = !doubleClick;
  lastLeftTime_ = e.time;
  lastLeftX_ = e.x;
  lastLeftY_ = e.y;
  return Action(doubleClick ? X11PointerAction::kDoubleClick : X11PointerAction::kPress, e, after);
}

#include "graphics/platform/x11/X11Keys.h"

#include <X11/keysym.h>

#include <utility>

namespace {

constexpr std::uint32_t kNoSymbol = 0;

constexpr std::uint16_t kShiftMask = 1u << 0;
constexpr std::uint16_t kMod2Mask = 1u << 4;  // Num Lock on every common keyboard setup

bool IsKeypad(std::uint32_t keysym) { return keysym >= XK_KP_Space && keysym <= XK_KP_Equal; }

EntryKeyPress Char(char c) { return EntryKeyPress{EntryKeyPress::kChar, c}; }

}  // namespace

EntryKeyPress EntryKeyFromKeysym(std::uint32_t keysym) {
  if (keysym >= XK_0 && keysym <= XK_9) return Char(char('0' + (keysym - XK_0)));
  if (keysym >= XK_KP_0 && keysym <= XK_KP_9) return Char(char('0' + (keysym - XK_KP_0)));
  switch (keysym) {
    case XK_minus:
    case XK_KP_Subtract:
      return Char('-');
    case XK_plus:
    case XK_KP_Add:
      return Char('+');
    case XK_period:
    case XK_KP_Decimal:
      return Char('.');
    case XK_BackSpace:
      return EntryKeyPress{EntryKeyPress::kBackspace, 0};
    case XK_Return:
    case XK_KP_Enter:
      return EntryKeyPress{EntryKeyPress::kCommit, 0};
    case XK_Escape:
      return EntryKeyPress{EntryKeyPress::kCancel, 0};
    case XK_Up:
    case XK_KP_Up:
      return EntryKeyPress{EntryKeyPress::kUp, 0};
    case XK_Down:
    case XK_KP_Down:
      return EntryKeyPress{EntryKeyPress::kDown, 0};
    default:
      return EntryKeyPress{};
  }
}

void X11Keymap::Set(int minKeycode, int perKeycode, std::vector<std::uint32_t> keysyms) {
  minKeycode_ = minKeycode;
  perKeycode_ = perKeycode > 0 ? perKeycode : 0;
  keysyms_ = perKeycode_ > 0 ? std::move(keysyms) : std::vector<std::uint32_t>{};
}

std::uint32_t X11Keymap::At(int keycode, int column) const {
  if (perKeycode_ == 0 || column >= perKeycode_ || keycode < minKeycode_) return kNoSymbol;
  const std::size_t i =
      std::size_t(keycode - minKeycode_) * std::size_t(perKeycode_) + std::size_t(column);
  return i < keysyms_.size() ? keysyms_[i] : kNoSymbol;
}

std::uint32_t X11Keymap::Keysym(int keycode, std::uint16_t state) const {
  const std::uint32_t plain = At(keycode, 0);
  std::uint32_t shifted = At(keycode, 1);
  if (shifted == kNoSymbol) shifted = plain;
  // Caps Lock shifts letters only, which value entry does not take.
  const bool shift = (state & kShiftMask) != 0;
  if ((state & kMod2Mask) != 0 && IsKeypad(shifted)) return shift ? plain : shifted;
  return shift ? shifted : plain;
}

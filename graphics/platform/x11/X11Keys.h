#pragma once
// The keyboard as value entry needs it: the server's keycode-to-keysym table, and
// the few keys the entry understands.
#include <cstdint>
#include <vector>

// What a key does in value entry.
struct EntryKeyPress {
  enum Kind { kNone, kChar, kBackspace, kCommit, kCancel, kUp, kDown };
  Kind kind = kNone;
  char ch = 0;  // kChar: a digit, '-', '+' or '.'
};

// Digits, sign and point (main keyboard or keypad), Backspace, Return and Enter
// (commit), Escape (cancel), Up and Down (move in a list); anything else kNone.
EntryKeyPress EntryKeyFromKeysym(std::uint32_t keysym);

class X11Keymap {
 public:
  // The table as the server's GetKeyboardMapping returns it: perKeycode keysyms for
  // each keycode from minKeycode on.
  void Set(int minKeycode, int perKeycode, std::vector<std::uint32_t> keysyms);
  // The keysym of a key press with the given modifier state: the shifted column
  // with Shift, the keypad's digits with Num Lock (Mod2), else the first column.
  std::uint32_t Keysym(int keycode, std::uint16_t state) const;
  bool Empty() const { return keysyms_.empty(); }

 private:
  std::uint32_t At(int keycode, int column) const;

  int minKeycode_ = 0;
  int perKeycode_ = 0;
  std::vector<std::uint32_t> keysyms_;
};

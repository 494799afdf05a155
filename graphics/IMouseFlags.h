#pragma once
// Buttons and modifiers held during a mouse event, as the window layer saw them.

struct IMouseFlags {
  bool left = false;
  bool right = false;
  bool shift = false;
  bool ctrl = false;
  bool alt = false;
};

// Mouse actions scripted on the command line, so a picture seen in a host can be
// reproduced: each happens at a time in seconds, at editor pixel coordinates.
//   click T:X,Y   right-click T:X,Y   double-click T:X,Y   hover T:X,Y
//   drag T:X1,Y1:X2,Y2   wheel T:X,Y:NOTCHES (positive = away from the user)
#pragma once

#include <string>

class IGraphicsOffscreen;

namespace render {

enum class MouseKind { kClick, kRightClick, kDoubleClick, kHover, kDrag, kWheel };

struct MouseAction {
  MouseKind kind = MouseKind::kClick;
  double time = 0.0;
  int x1 = 0, y1 = 0;
  int x2 = 0, y2 = 0;  // drag only: where the button is released
  int notches = 0;     // wheel only
  bool fine = false;   // shift held (fine steps)
};

// Parses the text after the option; false with an error naming what is wrong.
bool ParseMouseAction(MouseKind kind, const std::string& text, MouseAction& action,
                      std::string& error);

// The option name of a kind ("click", "drag", ...).
const char* MouseKindName(MouseKind kind);

// Plays the action as the window layer would deliver it: the pointer arrives
// (hover), then presses, moves and releases; a drag moves in steps of at most
// kDragStep pixels, as a real pointer reports its way.
void PerformMouseAction(IGraphicsOffscreen& editor, const MouseAction& action);

constexpr int kDragStep = 4;

}  // namespace render

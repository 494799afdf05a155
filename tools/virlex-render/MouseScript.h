// Mouse actions scripted on the command line, so a picture seen in a host can be
// reproduced: each happens at a time in seconds, at editor pixel coordinates.
//   click T:X,Y   right-click T:X,Y   double-click T:X,Y   hover T:X,Y
//   drag T:X1,Y1:X2,Y2   wheel T:X,Y:NOTCHES (positive = away from the user)
// The script's syntax is shared with vsthost's edit command (tools/script).
#pragma once

#include <string>

#include "tools/script/InputScript.h"

class IGraphicsOffscreen;

namespace render {

using MouseKind = inputscript::ActionKind;
using MouseAction = inputscript::Action;
using inputscript::kDragStep;

// Parses the text after the option; false with an error naming what is wrong.
inline bool ParseMouseAction(MouseKind kind, const std::string& text, MouseAction& action,
                             std::string& error) {
  return inputscript::ParseAction(kind, text, action, error);
}

// The option name of a kind ("click", "drag", ...).
inline const char* MouseKindName(MouseKind kind) { return inputscript::ActionKindName(kind); }

// Plays the action as the window layer would deliver it: the pointer arrives
// (hover), then presses, moves and releases; a drag moves in steps of at most
// kDragStep pixels, as a real pointer reports its way. Keys are not played: the
// off-screen editor has no keyboard.
void PerformMouseAction(IGraphicsOffscreen& editor, const MouseAction& action);

}  // namespace render

// Input scripted on a tool's command line, so what a user does in an editor can be
// replayed: each action happens at a time in seconds, at editor pixel coordinates.
//   click T:X,Y   right-click T:X,Y   double-click T:X,Y   hover T:X,Y
//   drag T:X1,Y1:X2,Y2   wheel T:X,Y:NOTCHES (positive = away from the user)
//   key T:NAME (return, escape, tab, backspace, delete, left, right, up, down,
//               home, end)   text T:CHARACTERS (typed one by one)
// A trailing "+fine" on a pointer action holds shift (fine steps).
//
// Shared by the render tool (off-screen editor) and vsthost's edit command (a real
// window); each delivers the expanded events its own way.
#pragma once

#include <string>
#include <vector>

namespace inputscript {

enum class ActionKind { kClick, kRightClick, kDoubleClick, kHover, kDrag, kWheel, kKey, kText };

struct Action {
  ActionKind kind = ActionKind::kClick;
  double time = 0.0;
  int x1 = 0, y1 = 0;
  int x2 = 0, y2 = 0;  // drag only: where the button is released
  int notches = 0;     // wheel only
  bool fine = false;   // shift held (fine steps)
  std::string text;    // key: its name; text: the characters
};

// Parses the text after the option; false with an error naming what is wrong.
bool ParseAction(ActionKind kind, const std::string& text, Action& action, std::string& error);

// The option name of a kind ("click", "drag", "key", ...).
const char* ActionKindName(ActionKind kind);

// --- The events an action is made of --------------------------------------------------
enum class Button { kNone, kLeft, kRight };
enum class Key {
  kReturn,
  kEscape,
  kTab,
  kBackspace,
  kDelete,
  kLeft,
  kRight,
  kUp,
  kDown,
  kHome,
  kEnd
};
enum class EventKind {
  kMove,         // the pointer moves to (x, y), holding `button` if not kNone
  kPress,        // `button` goes down at (x, y)
  kRelease,      // `button` comes up at (x, y)
  kSecondPress,  // the second press of a double click: a window system sees a
                 // press shortly after the first; an off-screen editor a double click
  kWheel,        // wheelDelta in 120ths of a notch at (x, y)
  kKey,          // `key` pressed and released
  kChar          // the character `ch` typed
};

struct InputEvent {
  EventKind kind = EventKind::kMove;
  int x = 0, y = 0;
  Button button = Button::kNone;
  bool shift = false;
  int wheelDelta = 0;
  Key key = Key::kReturn;
  char ch = 0;
};

// Pointer moves of a drag are at most this many pixels apart, as a real pointer
// reports its way.
constexpr int kDragStep = 4;

// The action as a pointer and keyboard deliver it: the pointer arrives (a move),
// then presses, moves and releases; keys and text need no pointer.
std::vector<InputEvent> ExpandAction(const Action& action);

bool ParseKeyName(const std::string& name, Key& key);
const char* KeyName(Key key);

}  // namespace inputscript

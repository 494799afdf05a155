#include "tools/script/InputScript.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace inputscript {

namespace {

std::vector<std::string> Split(const std::string& text, char sep) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (true) {
    const std::size_t at = text.find(sep, start);
    parts.push_back(text.substr(start, at == std::string::npos ? std::string::npos : at - start));
    if (at == std::string::npos) return parts;
    start = at + 1;
  }
}

bool ParseInt(const std::string& text, int& out) {
  if (text.empty()) return false;
  char* end = nullptr;
  const long v = std::strtol(text.c_str(), &end, 10);
  if (*end != '\0' || v < -1000000 || v > 1000000) return false;
  out = static_cast<int>(v);
  return true;
}

bool ParsePoint(const std::string& text, int& x, int& y) {
  const auto xy = Split(text, ',');
  return xy.size() == 2 && ParseInt(xy[0], x) && ParseInt(xy[1], y);
}

bool ParseTime(const std::string& text, double& out) {
  if (text.empty()) return false;
  char* end = nullptr;
  out = std::strtod(text.c_str(), &end);
  return *end == '\0' && std::isfinite(out) && out >= 0.0;
}

const char* Usage(ActionKind kind) {
  switch (kind) {
    case ActionKind::kDrag:
      return "T:X1,Y1:X2,Y2 (seconds, then editor pixels)";
    case ActionKind::kWheel:
      return "T:X,Y:NOTCHES (seconds, then editor pixels)";
    case ActionKind::kKey:
      return "T:NAME (seconds, then return, escape, tab, backspace, delete, left, right, up, "
             "down, home or end)";
    case ActionKind::kText:
      return "T:CHARACTERS (seconds, then printable characters)";
    default:
      return "T:X,Y (seconds, then editor pixels)";
  }
}

constexpr struct {
  Key key;
  const char* name;
} kKeyNames[] = {
    {Key::kReturn, "return"},       {Key::kEscape, "escape"}, {Key::kTab, "tab"},
    {Key::kBackspace, "backspace"}, {Key::kDelete, "delete"}, {Key::kLeft, "left"},
    {Key::kRight, "right"},         {Key::kUp, "up"},         {Key::kDown, "down"},
    {Key::kHome, "home"},           {Key::kEnd, "end"},
};

// Keys and text: "T:REST", REST taken whole (text may hold ':' and ',').
bool ParseKeyboard(const std::string& text, Action& action) {
  const std::size_t colon = text.find(':');
  if (colon == std::string::npos || !ParseTime(text.substr(0, colon), action.time)) return false;
  action.text = text.substr(colon + 1);
  if (action.kind == ActionKind::kKey) {
    Key key;
    return ParseKeyName(action.text, key);
  }
  if (action.text.empty()) return false;
  return std::all_of(action.text.begin(), action.text.end(),
                     [](char c) { return c >= 0x20 && c < 0x7f; });
}

InputEvent Pointer(EventKind kind, int x, int y, Button button, bool shift) {
  InputEvent e;
  e.kind = kind;
  e.x = x;
  e.y = y;
  e.button = button;
  e.shift = shift;
  return e;
}

}  // namespace

bool ParseKeyName(const std::string& name, Key& key) {
  for (const auto& k : kKeyNames) {
    if (name == k.name) {
      key = k.key;
      return true;
    }
  }
  return false;
}

const char* KeyName(Key key) {
  for (const auto& k : kKeyNames)
    if (k.key == key) return k.name;
  return "?";
}

const char* ActionKindName(ActionKind kind) {
  switch (kind) {
    case ActionKind::kClick:
      return "click";
    case ActionKind::kRightClick:
      return "right-click";
    case ActionKind::kDoubleClick:
      return "double-click";
    case ActionKind::kHover:
      return "hover";
    case ActionKind::kDrag:
      return "drag";
    case ActionKind::kWheel:
      return "wheel";
    case ActionKind::kKey:
      return "key";
    case ActionKind::kText:
      return "text";
  }
  return "?";
}

bool ParseAction(ActionKind kind, const std::string& text, Action& action, std::string& error) {
  action = Action{};
  action.kind = kind;
  bool ok = false;
  if (kind == ActionKind::kKey || kind == ActionKind::kText) {
    ok = ParseKeyboard(text, action);
  } else {
    std::string body = text;
    const std::string fine = "+fine";
    if (body.size() > fine.size() &&
        body.compare(body.size() - fine.size(), fine.size(), fine) == 0) {
      action.fine = true;
      body.resize(body.size() - fine.size());
    }
    const auto parts = Split(body, ':');
    const std::size_t wanted = kind == ActionKind::kDrag || kind == ActionKind::kWheel ? 3 : 2;
    ok = parts.size() == wanted && ParseTime(parts[0], action.time) &&
         ParsePoint(parts[1], action.x1, action.y1);
    if (ok && kind == ActionKind::kDrag) ok = ParsePoint(parts[2], action.x2, action.y2);
    if (ok && kind == ActionKind::kWheel) ok = ParseInt(parts[2], action.notches);
  }
  if (!ok) {
    error = std::string("--") + ActionKindName(kind) + " '" + text + "': expected " + Usage(kind);
    return false;
  }
  return true;
}

std::vector<InputEvent> ExpandAction(const Action& a) {
  std::vector<InputEvent> events;
  if (a.kind == ActionKind::kKey) {
    InputEvent e;
    e.kind = EventKind::kKey;
    ParseKeyName(a.text, e.key);
    events.push_back(e);
    return events;
  }
  if (a.kind == ActionKind::kText) {
    for (char c : a.text) {
      InputEvent e;
      e.kind = EventKind::kChar;
      e.ch = c;
      events.push_back(e);
    }
    return events;
  }
  const bool s = a.fine;
  events.push_back(Pointer(EventKind::kMove, a.x1, a.y1, Button::kNone, s));
  switch (a.kind) {
    case ActionKind::kClick:
    case ActionKind::kRightClick: {
      const Button b = a.kind == ActionKind::kClick ? Button::kLeft : Button::kRight;
      events.push_back(Pointer(EventKind::kPress, a.x1, a.y1, b, s));
      events.push_back(Pointer(EventKind::kRelease, a.x1, a.y1, b, s));
      break;
    }
    case ActionKind::kDoubleClick:
      events.push_back(Pointer(EventKind::kPress, a.x1, a.y1, Button::kLeft, s));
      events.push_back(Pointer(EventKind::kRelease, a.x1, a.y1, Button::kLeft, s));
      events.push_back(Pointer(EventKind::kSecondPress, a.x1, a.y1, Button::kLeft, s));
      events.push_back(Pointer(EventKind::kRelease, a.x1, a.y1, Button::kLeft, s));
      break;
    case ActionKind::kDrag: {
      events.push_back(Pointer(EventKind::kPress, a.x1, a.y1, Button::kLeft, s));
      const int dx = a.x2 - a.x1, dy = a.y2 - a.y1;
      const int steps =
          std::max(1, (std::max(std::abs(dx), std::abs(dy)) + kDragStep - 1) / kDragStep);
      for (int i = 1; i <= steps; ++i) {
        events.push_back(Pointer(EventKind::kMove, a.x1 + dx * i / steps, a.y1 + dy * i / steps,
                                 Button::kLeft, s));
      }
      events.push_back(Pointer(EventKind::kRelease, a.x2, a.y2, Button::kLeft, s));
      break;
    }
    case ActionKind::kWheel: {
      InputEvent e = Pointer(EventKind::kWheel, a.x1, a.y1, Button::kNone, s);
      e.wheelDelta = a.notches * 120;
      events.push_back(e);
      break;
    }
    default:
      break;
  }
  return events;
}

}  // namespace inputscript

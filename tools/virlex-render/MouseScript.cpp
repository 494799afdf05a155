#include "tools/virlex-render/MouseScript.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "graphics/platform/offscreen/IGraphicsOffscreen.h"

namespace render {

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

const char* Usage(MouseKind kind) {
  switch (kind) {
    case MouseKind::kDrag:
      return "T:X1,Y1:X2,Y2";
    case MouseKind::kWheel:
      return "T:X,Y:NOTCHES";
    default:
      return "T:X,Y";
  }
}

}  // namespace

const char* MouseKindName(MouseKind kind) {
  switch (kind) {
    case MouseKind::kClick:
      return "click";
    case MouseKind::kRightClick:
      return "right-click";
    case MouseKind::kDoubleClick:
      return "double-click";
    case MouseKind::kHover:
      return "hover";
    case MouseKind::kDrag:
      return "drag";
    case MouseKind::kWheel:
      return "wheel";
  }
  return "?";
}

bool ParseMouseAction(MouseKind kind, const std::string& text, MouseAction& action,
                      std::string& error) {
  action = MouseAction{};
  action.kind = kind;
  std::string body = text;
  // A trailing "+fine" holds shift, for the fine steps of drags and wheels.
  const std::string fine = "+fine";
  if (body.size() > fine.size() &&
      body.compare(body.size() - fine.size(), fine.size(), fine) == 0) {
    action.fine = true;
    body.resize(body.size() - fine.size());
  }
  const auto parts = Split(body, ':');
  const std::size_t wanted = kind == MouseKind::kDrag || kind == MouseKind::kWheel ? 3 : 2;
  bool ok = parts.size() == wanted && ParseTime(parts[0], action.time) &&
            ParsePoint(parts[1], action.x1, action.y1);
  if (ok && kind == MouseKind::kDrag) ok = ParsePoint(parts[2], action.x2, action.y2);
  if (ok && kind == MouseKind::kWheel) ok = ParseInt(parts[2], action.notches);
  if (!ok) {
    error = std::string("--") + MouseKindName(kind) + " '" + text + "': expected " + Usage(kind) +
            " (seconds, then editor pixels)";
    return false;
  }
  return true;
}

void PerformMouseAction(IGraphicsOffscreen& editor, const MouseAction& a) {
  IMouseFlags none;
  none.shift = a.fine;
  IMouseFlags left = none;
  left.left = true;
  IMouseFlags right = none;
  right.right = true;
  editor.Move(a.x1, a.y1, none);
  switch (a.kind) {
    case MouseKind::kHover:
      break;
    case MouseKind::kClick:
      editor.Press(a.x1, a.y1, left);
      editor.Release(a.x1, a.y1, left);
      break;
    case MouseKind::kRightClick:
      editor.Press(a.x1, a.y1, right);
      editor.Release(a.x1, a.y1, right);
      break;
    case MouseKind::kDoubleClick:
      // What a window receives: down, up, double click, up.
      editor.Press(a.x1, a.y1, left);
      editor.Release(a.x1, a.y1, left);
      editor.DoubleClick(a.x1, a.y1, left);
      editor.Release(a.x1, a.y1, left);
      break;
    case MouseKind::kDrag: {
      editor.Press(a.x1, a.y1, left);
      const int dx = a.x2 - a.x1, dy = a.y2 - a.y1;
      const int steps =
          std::max(1, (std::max(std::abs(dx), std::abs(dy)) + kDragStep - 1) / kDragStep);
      for (int s = 1; s <= steps; ++s)
        editor.Move(a.x1 + dx * s / steps, a.y1 + dy * s / steps, left);
      editor.Release(a.x2, a.y2, left);
      break;
    }
    case MouseKind::kWheel:
      editor.Wheel(a.x1, a.y1, none, a.notches * 120);
      break;
  }
}

}  // namespace render

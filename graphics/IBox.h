#pragma once
// Integer rectangle; right and bottom are exclusive. Empty means all four are zero
// (not a zero width or height), which is how "no rectangle" is passed around.
#include <algorithm>

struct IBox {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  int W() const { return right - left; }
  int H() const { return bottom - top; }
  bool Empty() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }
  bool Contains(int x, int y) const { return left <= x && x < right && top <= y && y < bottom; }
};

inline bool operator==(IBox a, IBox b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// Overlap test of the redraw cycle. Touching on the right/bottom edge of a
// counts (a.right >= b.left), so a dirty rectangle ending at a control's left
// edge still redraws it; one starting at its right edge does not.
inline bool IBoxIntersects(IBox a, IBox b) {
  return !a.Empty() && !b.Empty() && a.right >= b.left && a.left < b.right && a.bottom >= b.top &&
         a.top < b.bottom;
}

inline IBox IBoxIntersection(IBox a, IBox b) {
  if (!IBoxIntersects(a, b)) return IBox{};
  return IBox{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
              std::min(a.bottom, b.bottom)};
}

// Union; an empty box contributes nothing.
inline IBox IBoxUnion(IBox a, IBox b) {
  if (a.Empty()) return b;
  if (b.Empty()) return a;
  return IBox{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
              std::max(a.bottom, b.bottom)};
}

#include "plugin/display/HoldHandle.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "graphics/IGraphicsHost.h"
#include "plugin/display/ScopeViewMath.h"

namespace {
// "hold" runs from -30 to +3 dB: normalised v is 33 v - 30 dB.
constexpr double kDbMin = -30.0;
constexpr double kDbSpan = 33.0;
// Margin above and below the strip where the handles are not taken.
constexpr int kStripInset = 4;
}  // namespace

HoldHandle::HoldHandle(IPlugBase* plugin, IBox rect, int paramIdx, IImage handle,
                       const IFontSpec& font)
    : IWidget(plugin, rect, paramIdx),
      handle_(handle),
      font_(font),
      scale_(static_cast<float>(PlotHeight()) * 500.0f) {}

int HoldHandle::PlotHeight() const { return rect.H() - 2 * (handle_.width / 2); }

double HoldHandle::ToDb(double normalized) { return kDbSpan * normalized + kDbMin; }

int HoldHandle::MiddleRow() const {
  return static_cast<int>(std::trunc((rect.top + rect.bottom) * 0.5f));
}

void HoldHandle::SetYZoom(double yZoom) {
  scale_.store(static_cast<float>(PlotHeight()) * 0.5f / static_cast<float>(ZoomDivisor(yZoom)),
               std::memory_order_relaxed);
  SetDirty(false);
}

bool HoldHandle::HitTest(int x, int y) {
  return rect.right - handle_.width < x && x < rect.right && rect.top + kStripInset < y &&
         y < rect.bottom - kStripInset;
}

// The distance from the middle is a sample level; its dB value is the hold level.
// The middle line itself is -infinity dB, which lands on the minimum.
double HoldHandle::ValueAt(int y) const {
  const double d = std::abs(MiddleRow() - y);
  const double v = (20.0 * std::log10(d / Scale()) - kDbMin) / kDbSpan;
  if (!(v >= 0.0)) return 0.0;
  return std::min(v, 1.0);
}

void HoldHandle::MouseDown(int x, int y, IMouseFlags mod) {
  (void)x;
  if (mod.right) {
    PromptParamEdit();
    return;
  }
  value = ValueAt(y);
  SetDirty(true);
}

void HoldHandle::MouseDrag(int x, int y, int, int, IMouseFlags mod) { MouseDown(x, y, mod); }

double HoldHandle::LineOffset() const {
  const int half = rect.H() / 2;
  const int a = handle_.width / 2;
  const double o = std::pow(10.0, ToDb(value) / 20.0) * Scale();
  return std::clamp(o, 0.0, static_cast<double>(std::max(half - a, 0)));
}

void HoldHandle::LevelText(char* out, int size, bool withUnit) const {
  const auto n = static_cast<std::size_t>(size);
  if (value == 1.0) {
    std::snprintf(out, n, "off");
    return;
  }
  const double db = ToDb(value);
  if (withUnit) {
    std::snprintf(out, n, db < 0.0 ? "%.1f dB" : "+%.1f dB", db);
  } else {
    std::snprintf(out, n, db < 0.0 ? "%.1f" : "+%.1f", db);
  }
}

IBox HoldHandle::CaptionBox() const {
  const int cy = MiddleRow();
  return IBox{rect.right - 54, cy - 21, rect.right - 14, cy - 9};
}

IBox HoldHandle::LevelBox() const {
  const int cy = MiddleRow();
  return IBox{rect.right - 54, cy + 8, rect.right - 14, cy + 20};
}

bool HoldHandle::DrawLines(IGraphicsHost* graphics, double offset) {
  const IRgba red = font_.colour;
  const int a = handle_.width / 2;
  const int cy = MiddleRow();
  const int yUp = static_cast<int>(std::trunc(cy - offset));
  const int yDown = static_cast<int>(std::trunc(cy + offset));
  bool ok = graphics->DrawHLine(red, yDown, rect.left, rect.right - 1);
  ok &= graphics->DrawHLine(red, yUp, rect.left, rect.right - 1);
  ok &= graphics->DrawVLine(red, rect.right - a - 2, yUp + a, yDown - a);
  const int left = rect.right - 1 - 2 * a;
  ok &= graphics->PaintImageFrame(handle_, IBox{left, yUp - a, rect.right - 1, yUp + a}, 1, &blend);
  ok &= graphics->PaintImageFrame(handle_, IBox{left, yDown - a, rect.right - 1, yDown + a}, 1,
                                  &blend);
  return ok;
}

// With the trigger off the handles rest at the ends of the strip.
bool HoldHandle::DrawEndHandles(IGraphicsHost* graphics) {
  const int a = handle_.width / 2;
  const int left = rect.right - 1 - 2 * a;
  bool ok = graphics->PaintImageFrame(
      handle_, IBox{left, rect.top, rect.right - 1, rect.top + handle_.height}, 1, &blend);
  ok &= graphics->PaintImageFrame(
      handle_, IBox{left, rect.bottom - handle_.height, rect.right - 1, rect.bottom}, 1, &blend);
  return ok;
}

bool HoldHandle::Draw(IGraphicsHost* graphics) {
  const int a = handle_.width / 2;
  bool ok = graphics->DrawVLine(font_.colour, rect.right - a - 1, rect.top + a, rect.bottom - a);
  ok &= value != 1.0 ? DrawLines(graphics, LineOffset()) : DrawEndHandles(graphics);
  // The level stays inside its box, clear of the display's frame: where it
  // would not fit with its unit, it goes without.
  const IBox levelBox = LevelBox();
  char text[32];
  LevelText(text, sizeof(text));
  if (graphics->TextBounds(font_, text, levelBox).left < levelBox.left) {
    LevelText(text, sizeof(text), false);
  }
  ok &= graphics->PaintText(font_, "HOLD", CaptionBox());
  ok &= graphics->PaintText(font_, text, levelBox);
  return ok;
}

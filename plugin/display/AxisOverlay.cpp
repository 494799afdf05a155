#include "plugin/display/AxisOverlay.h"

#include <cmath>
#include <numbers>

#include "graphics/IGraphicsHost.h"

namespace {
constexpr int kLabelRows = 15;     // above a horizontal axis's plot
constexpr int kLabelColumns = 32;  // right of a vertical axis's plot
constexpr int kLabelGap = 5;
constexpr int kHalfLabel = 18;  // half the width of a label centred on its line
constexpr int kEndLabel = 36;
constexpr int kTickLength = 4;
constexpr int kLabelSpace = 2;      // kept free between two labels
constexpr int kLabelOverhang = 12;  // label rows above and below the rectangle

int Trunc(double v) { return static_cast<int>(std::trunc(v)); }
}  // namespace

AxisOverlay::AxisOverlay(IPlugBase* plugin, IBox rect, const IFontSpec& font)
    : IWidget(plugin, rect, -1), font_(font), plot_(rect) {}

bool AxisOverlay::HitTest(int, int) { return false; }

void AxisOverlay::SetMargin(double margin) {
  ILockGuard hold(lock_);
  scale_.margin = margin;
}

void AxisOverlay::SetPlot(int kind) {
  plot_ = rect;
  if (kind == kAxisAmplitude || kind == kAxisLevel) {
    plot_.right -= kLabelColumns;
  } else {
    plot_.top += kLabelRows;
  }
}

void AxisOverlay::ConfigureTimeAxis(double a, double b, double c) {
  ILockGuard hold(lock_);
  scale_.ConfigureTimeAxis(a, b, c);
  SetPlot(kAxisTime);
}

void AxisOverlay::ConfigureAmplitudeAxis(double top) {
  ILockGuard hold(lock_);
  scale_.ConfigureAmplitudeAxis(top);
  SetPlot(kAxisAmplitude);
}

void AxisOverlay::ConfigureFrequencyAxis(const FreqRange& range) {
  ILockGuard hold(lock_);
  scale_.ConfigureFrequencyAxis(range);
  SetPlot(kAxisFrequency);
}

void AxisOverlay::ConfigureLevelAxis(double top) {
  ILockGuard hold(lock_);
  scale_.ConfigureLevelAxis(top);
  SetPlot(kAxisLevel);
}

void AxisOverlay::ConfigurePhaseGrid(double top) {
  ILockGuard hold(lock_);
  scale_.ConfigurePhaseGrid(top);
  SetPlot(kAxisPhase);
}

AxisScale AxisOverlay::Scale() {
  ILockGuard hold(lock_);
  return scale_;
}

IBox AxisOverlay::Plot() {
  ILockGuard hold(lock_);
  return plot_;
}

void AxisOverlay::SetKeepOut(const std::vector<IBox>& boxes) {
  ILockGuard hold(lock_);
  keepOut_ = boxes;
}

IBox AxisOverlay::RedrawRect() {
  return IBox{rect.left, rect.top - kLabelOverhang, rect.right, rect.bottom + kLabelOverhang};
}

bool AxisOverlay::Text(IGraphicsHost* g, const char* text, int align, IBox box) {
  if (text == nullptr || text[0] == '\0') return true;
  font_.align = align;
  const IBox ink = g->TextBounds(font_, text, box);
  // A pixel of space between neighbours, so that digits never run together.
  const IBox spaced{ink.left - kLabelSpace, ink.top, ink.right + kLabelSpace, ink.bottom};
  auto touches = [&](const IBox& other) {
    return spaced.left < other.right && other.left < spaced.right && spaced.top < other.bottom &&
           other.top < spaced.bottom;
  };
  for (const IBox& other : placed_)
    if (touches(other)) return true;
  for (const IBox& other : keepOut_)
    if (touches(other)) return true;
  placed_.push_back(ink);
  return g->PaintText(font_, text, box);
}

bool AxisOverlay::DrawFrame(IGraphicsHost* g) {
  const IRgba c = font_.colour;
  bool ok = g->DrawHLine(c, plot_.top, plot_.left, plot_.right);
  ok &= g->DrawHLine(c, plot_.bottom, plot_.left, plot_.right);
  ok &= g->DrawVLine(c, plot_.left, plot_.top, plot_.bottom);
  ok &= g->DrawVLine(c, plot_.right, plot_.top, plot_.bottom);
  return ok;
}

// Time and frequency: end texts at the corners, each mark's label centred above
// its line, on a baseline just above the plot.
bool AxisOverlay::DrawHorizontal(IGraphicsHost* g) {
  const int y = plot_.top - kLabelGap;
  const int w = plot_.right - plot_.left;
  bool ok =
      Text(g, scale_.startText, IALIGN_LEFT, IBox{plot_.left, y - 10, plot_.left + kEndLabel, y});
  ok &=
      Text(g, scale_.endText, IALIGN_RIGHT, IBox{plot_.right - kEndLabel, y - 10, plot_.right, y});
  for (const GridMark& mark : scale_.marks) {
    const int x = plot_.left + Trunc(mark.position * w);
    ok &= Text(g, mark.label, IALIGN_CENTER, IBox{x - kHalfLabel, y - 10, x + kHalfLabel, y});
    ok &= g->DrawVLine(font_.colour, x, plot_.top, plot_.bottom);
  }
  return ok;
}

// Sample amplitude, symmetric about the middle: every mark is drawn above and
// below it; the top value stands at both ends.
bool AxisOverlay::DrawAmplitude(IGraphicsHost* g) {
  const int cy = Trunc((plot_.top + plot_.bottom) * 0.5f);
  const int half = (plot_.bottom - plot_.top) / 2;
  const int x0 = plot_.right + kLabelGap;
  const int x1 = plot_.right + kLabelColumns;
  bool ok = Text(g, scale_.startText, IALIGN_RIGHT, IBox{x0, cy - 7, x1, cy + 3});
  ok &= Text(g, scale_.endText, IALIGN_RIGHT, IBox{x0, plot_.top, x1, plot_.top + 6});
  ok &= Text(g, scale_.endText, IALIGN_RIGHT, IBox{x0, plot_.bottom - 12, x1, plot_.bottom});
  for (const GridMark& mark : scale_.marks) {
    const int o = Trunc(half * mark.position);
    for (const int y : {cy - o, cy + o}) {
      ok &= Text(g, mark.label, IALIGN_RIGHT, IBox{x0, y - 7, x1, y + 3});
      ok &= g->DrawHLine(font_.colour, y, plot_.left, plot_.right);
    }
  }
  return ok;
}

// Spectrum level, from the bottom up.
bool AxisOverlay::DrawLevel(IGraphicsHost* g) {
  const int x0 = plot_.right + kLabelGap;
  const int x1 = plot_.right + kLabelColumns;
  bool ok =
      Text(g, scale_.startText, IALIGN_RIGHT, IBox{x0, plot_.bottom - 5, x1, plot_.bottom + 5});
  ok &= Text(g, scale_.endText, IALIGN_RIGHT, IBox{x0, plot_.top - 5, x1, plot_.top + 5});
  const int h = plot_.bottom - plot_.top;
  for (const GridMark& mark : scale_.marks) {
    const int y = plot_.bottom - Trunc(mark.position * h);
    ok &= Text(g, mark.label, IALIGN_RIGHT, IBox{x0, y - 5, x1, y + 5});
    ok &= g->DrawHLine(font_.colour, y, plot_.left, plot_.right);
  }
  return ok;
}

// Phase: guide lines from the top corners to the origin at the middle of the
// bottom edge, and a half circle per level mark with its tick and label. The
// origin is the bottom row inside the frame, where the display puts it.
bool AxisOverlay::DrawPhase(IGraphicsHost* g) {
  const IRgba c = font_.colour;
  const IRgba half{c.a, c.r / 2, c.g / 2, c.b / 2};
  const float cx = (plot_.left + plot_.right) * 0.5f;
  const float left = static_cast<float>(plot_.left);
  const float right = static_cast<float>(plot_.right);
  const float top = static_cast<float>(plot_.top);
  const float bottom = static_cast<float>(plot_.bottom - 1);
  bool ok = g->DrawLine(c, left, top, cx, bottom, nullptr, true);
  ok &= g->DrawLine(c, right, top, cx, bottom, nullptr, true);
  ok &= g->DrawLine(half, left + cx * 0.5f, top, cx, bottom, nullptr, true);
  ok &= g->DrawLine(half, right - cx * 0.5f, top, cx, bottom, nullptr, true);
  const int x0 = plot_.right + kLabelGap;
  const int x1 = plot_.right + kLabelColumns;
  ok &= Text(g, scale_.endText, IALIGN_RIGHT, IBox{x0, plot_.top, x1, plot_.top + 10});
  const auto quarter = static_cast<float>(std::numbers::pi / 2);
  for (const GridMark& mark : scale_.marks) {
    const float r = mark.position * (plot_.bottom - plot_.top);
    const int row = plot_.bottom - 1 - Trunc(r);
    ok &= g->DrawArc(c, cx, bottom, r, -quarter, quarter, nullptr, true);
    ok &= g->DrawHLine(c, row + 2, plot_.right - kTickLength, plot_.right);
    ok &= Text(g, mark.label, IALIGN_RIGHT, IBox{x0, row - 5, x1, row + 5});
  }
  return ok;
}

bool AxisOverlay::Draw(IGraphicsHost* graphics) {
  ILockGuard hold(lock_);
  placed_.clear();
  switch (scale_.kind) {
    case kAxisTime:
    case kAxisFrequency: {
      const bool frame = DrawFrame(graphics);
      return DrawHorizontal(graphics) && frame;
    }
    case kAxisAmplitude:
      return DrawAmplitude(graphics);
    case kAxisLevel:
      return DrawLevel(graphics);
    case kAxisPhase: {
      const bool frame = DrawFrame(graphics);
      return DrawPhase(graphics) && frame;
    }
    default:
      return true;
  }
}

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
    : IWidget(plugin, rect, -1), font_(font), plot_(rect), shownPlot_(rect) {
  // Room for every mark up front: configuring runs on the host's threads and must
  // not allocate, and the redraw's copy then never does either.
  scale_.marks.reserve(AxisScale::kMaxMarks);
  shown_.marks.reserve(AxisScale::kMaxMarks);
}

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

void AxisOverlay::SetKeepOut(const KeepOut& keepOut) {
  ILockGuard hold(lock_);
  keepOut_ = keepOut;
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
  for (int i = 0; i < shownKeepOut_.count; ++i)
    if (touches(shownKeepOut_.boxes[i])) return true;
  placed_.push_back(ink);
  return g->PaintText(font_, text, box);
}

bool AxisOverlay::DrawFrame(IGraphicsHost* g) {
  const IRgba c = font_.colour;
  bool ok = g->DrawHLine(c, shownPlot_.top, shownPlot_.left, shownPlot_.right);
  ok &= g->DrawHLine(c, shownPlot_.bottom, shownPlot_.left, shownPlot_.right);
  ok &= g->DrawVLine(c, shownPlot_.left, shownPlot_.top, shownPlot_.bottom);
  ok &= g->DrawVLine(c, shownPlot_.right, shownPlot_.top, shownPlot_.bottom);
  return ok;
}

// Time and frequency: end texts at the corners, each mark's label centred above
// its line, on a baseline just above the plot.
bool AxisOverlay::DrawHorizontal(IGraphicsHost* g) {
  const int y = shownPlot_.top - kLabelGap;
  const int w = shownPlot_.right - shownPlot_.left;
  bool ok = Text(g, shown_.startText, IALIGN_LEFT,
                 IBox{shownPlot_.left, y - 10, shownPlot_.left + kEndLabel, y});
  ok &= Text(g, shown_.endText, IALIGN_RIGHT,
             IBox{shownPlot_.right - kEndLabel, y - 10, shownPlot_.right, y});
  for (const GridMark& mark : shown_.marks) {
    const int x = shownPlot_.left + Trunc(mark.position * w);
    ok &= Text(g, mark.label, IALIGN_CENTER, IBox{x - kHalfLabel, y - 10, x + kHalfLabel, y});
    ok &= g->DrawVLine(font_.colour, x, shownPlot_.top, shownPlot_.bottom);
  }
  return ok;
}

// Sample amplitude, symmetric about the middle: every mark is drawn above and
// below it; the top value stands at both ends.
bool AxisOverlay::DrawAmplitude(IGraphicsHost* g) {
  const int cy = Trunc((shownPlot_.top + shownPlot_.bottom) * 0.5f);
  const int half = (shownPlot_.bottom - shownPlot_.top) / 2;
  const int x0 = shownPlot_.right + kLabelGap;
  const int x1 = shownPlot_.right + kLabelColumns;
  bool ok = Text(g, shown_.startText, IALIGN_RIGHT, IBox{x0, cy - 7, x1, cy + 3});
  ok &= Text(g, shown_.endText, IALIGN_RIGHT, IBox{x0, shownPlot_.top, x1, shownPlot_.top + 6});
  ok &= Text(g, shown_.endText, IALIGN_RIGHT,
             IBox{x0, shownPlot_.bottom - 12, x1, shownPlot_.bottom});
  for (const GridMark& mark : shown_.marks) {
    const int o = Trunc(half * mark.position);
    for (const int y : {cy - o, cy + o}) {
      ok &= Text(g, mark.label, IALIGN_RIGHT, IBox{x0, y - 7, x1, y + 3});
      ok &= g->DrawHLine(font_.colour, y, shownPlot_.left, shownPlot_.right);
    }
  }
  return ok;
}

// Spectrum level, from the bottom up.
bool AxisOverlay::DrawLevel(IGraphicsHost* g) {
  const int x0 = shownPlot_.right + kLabelGap;
  const int x1 = shownPlot_.right + kLabelColumns;
  bool ok = Text(g, shown_.startText, IALIGN_RIGHT,
                 IBox{x0, shownPlot_.bottom - 5, x1, shownPlot_.bottom + 5});
  ok &= Text(g, shown_.endText, IALIGN_RIGHT, IBox{x0, shownPlot_.top - 5, x1, shownPlot_.top + 5});
  const int h = shownPlot_.bottom - shownPlot_.top;
  for (const GridMark& mark : shown_.marks) {
    const int y = shownPlot_.bottom - Trunc(mark.position * h);
    ok &= Text(g, mark.label, IALIGN_RIGHT, IBox{x0, y - 5, x1, y + 5});
    ok &= g->DrawHLine(font_.colour, y, shownPlot_.left, shownPlot_.right);
  }
  return ok;
}

// Phase: guide lines from the top corners to the origin at the middle of the
// bottom edge, and a half circle per level mark with its tick and label. The
// origin is the bottom row inside the frame, where the display puts it.
bool AxisOverlay::DrawPhase(IGraphicsHost* g) {
  const IRgba c = font_.colour;
  const IRgba half{c.a, c.r / 2, c.g / 2, c.b / 2};
  const float cx = (shownPlot_.left + shownPlot_.right) * 0.5f;
  const float left = static_cast<float>(shownPlot_.left);
  const float right = static_cast<float>(shownPlot_.right);
  const float top = static_cast<float>(shownPlot_.top);
  const float bottom = static_cast<float>(shownPlot_.bottom - 1);
  bool ok = g->DrawLine(c, left, top, cx, bottom, nullptr, true);
  ok &= g->DrawLine(c, right, top, cx, bottom, nullptr, true);
  ok &= g->DrawLine(half, left + cx * 0.5f, top, cx, bottom, nullptr, true);
  ok &= g->DrawLine(half, right - cx * 0.5f, top, cx, bottom, nullptr, true);
  const int x0 = shownPlot_.right + kLabelGap;
  const int x1 = shownPlot_.right + kLabelColumns;
  ok &= Text(g, shown_.endText, IALIGN_RIGHT, IBox{x0, shownPlot_.top, x1, shownPlot_.top + 10});
  const auto quarter = static_cast<float>(std::numbers::pi / 2);
  for (const GridMark& mark : shown_.marks) {
    const float r = mark.position * (shownPlot_.bottom - shownPlot_.top);
    const int row = shownPlot_.bottom - 1 - Trunc(r);
    ok &= g->DrawArc(c, cx, bottom, r, -quarter, quarter, nullptr, true);
    ok &= g->DrawHLine(c, row + 2, shownPlot_.right - kTickLength, shownPlot_.right);
    ok &= Text(g, mark.label, IALIGN_RIGHT, IBox{x0, row - 5, x1, row + 5});
  }
  return ok;
}

// The scale is copied under the lock and drawn from the copy: a host thread that
// configures the axis never waits for the text being drawn.
bool AxisOverlay::Draw(IGraphicsHost* graphics) {
  {
    ILockGuard hold(lock_);
    shown_ = scale_;
    shownPlot_ = plot_;
    shownKeepOut_ = keepOut_;
  }
  placed_.clear();
  switch (shown_.kind) {
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

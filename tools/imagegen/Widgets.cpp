#include "tools/imagegen/Widgets.h"

#include <cmath>

#include "plugin/display/PanelLayout.h"
#include "raster/RasterSurface.h"
#include "tools/imagegen/Paint.h"

namespace {

constexpr float kPi = 3.14159265f;
// Scale marks over the knobs' sweep, -135 to +135 degrees.
constexpr float kSweep = static_cast<float>(panel::kKnobSweep);

std::unique_ptr<MemBitmap> Transparent(int w, int h) {
  auto surface = std::make_unique<MemBitmap>(w, h);
  if (!surface->GetBits()) return nullptr;
  RasterClear(surface.get(), 0x00000000u);
  return surface;
}

// Soft shadow: a disc whose edge fades over `soft` pixels.
void SoftDisc(RasterBitmap* s, float cx, float cy, float r, float soft, RasterPixel colour) {
  const float reach = r + soft;
  FillShape(
      s,
      PaintBounds{int(cx - reach) - 1, int(cy - reach) - 1, int(cx + reach) + 2,
                  int(cy + reach) + 2},
      [=](float px, float py) { return DiscSdf(px, py, cx, cy, r) / soft; },
      [=](float, float) { return colour; });
}

void SoftBox(RasterBitmap* s, float l, float t, float r, float b, float radius, float soft,
             RasterPixel colour) {
  FillShape(
      s, PaintBounds{int(l - soft) - 1, int(t - soft) - 1, int(r + soft) + 2, int(b + soft) + 2},
      [=](float px, float py) { return RoundBoxSdf(px, py, l, t, r, b, radius) / soft; },
      [=](float, float) { return colour; });
}

void DrawTicks(RasterBitmap* s, float cx, float cy, float r, int count) {
  for (int i = 0; i < count; ++i) {
    const float a = count > 1 ? -kSweep + 2.0f * kSweep * float(i) / float(count - 1) : 0.0f;
    const bool major = i == 0 || i == count - 1 || 2 * i == count - 1;
    const float inner = r + 2.5f;
    const float outer = r + (major ? 5.0f : 4.3f);
    const float sx = std::sin(a), sy = -std::cos(a);
    DrawCapsule(s, cx + sx * inner, cy + sy * inner, cx + sx * outer, cy + sy * outer,
                major ? 0.7f : 0.55f, major ? 0xFFB4BAC4u : 0xFF7C838Cu);
  }
}

}  // namespace

void DrawKnobBody(RasterBitmap* s, float cx, float cy, float r, int tickCount) {
  if (tickCount > 0) DrawTicks(s, cx, cy, r, tickCount);
  SoftDisc(s, cx, cy + 1.5f, r + 0.5f, 2.5f, 0x8C000000u);  // drop shadow
  FillDisc(s, cx, cy, r + 0.6f, 0xFF101113u, 0xFF0A0A0Cu);  // dark outline
  FillDisc(s, cx, cy, r, 0xFF8A9099u, 0xFF24272Bu);         // rim, lit from above
  FillDisc(s, cx, cy, r - 1.8f, 0xFF3A3E44u, 0xFF5A5F67u);  // skirt, turned away from the light
  FillDisc(s, cx, cy, r - 3.2f, 0xFF545960u, 0xFF3B3F45u);  // cap
  FillShape(                                                // faint sheen on the cap's top
      s, PaintBounds{int(cx - r), int(cy - r), int(cx + r) + 1, int(cy + r) + 1},
      [=](float px, float py) { return RingSdf(px, py, cx, cy + 0.6f, r - 3.8f, 0.5f); },
      [=](float, float py) {
        return WithAlpha(0xFFFFFFFFu, int(std::clamp((cy - py) / r, 0.0f, 1.0f) * 60.0f));
      });
}

std::unique_ptr<MemBitmap> MakeKnobLine() {
  auto s = Transparent(panel::kKnobLine, panel::kKnobLine);
  if (!s) return nullptr;
  const float c = panel::kKnobLine * 0.5f;  // 15.5: the centre of pixel 15
  // A dark halo keeps the line readable over light and dark bodies alike.
  DrawCapsule(s.get(), c, c - 11.0f, c, c - 4.5f, 1.9f, 0x70000000u);
  DrawCapsule(s.get(), c, c - 11.0f, c, c - 4.5f, 1.15f, 0xFFF2F4F7u);
  BleedIntoTransparent(s.get());
  return s;
}

namespace {

std::unique_ptr<MemBitmap> MakeKnob(float r, int ticks) {
  auto s = Transparent(panel::kBigKnob, panel::kBigKnob);
  if (!s) return nullptr;
  DrawKnobBody(s.get(), kKnobBodyCentreX + 0.5f, kKnobBodyCentreY + 0.5f, r, ticks);
  BleedIntoTransparent(s.get());
  return s;
}

}  // namespace

std::unique_ptr<MemBitmap> MakeBigKnob() { return MakeKnob(14.0f, 11); }
std::unique_ptr<MemBitmap> MakeSmallKnob() { return MakeKnob(12.0f, 11); }

namespace {

void DrawSwitchFrame(RasterBitmap* s, float top, bool on) {
  SoftBox(s, 2.0f, top + 3.0f, 25.0f, top + 26.0f, 4.0f, 1.5f, 0x90000000u);
  FillRoundBox(s, 1.5f, top + 1.5f, 25.5f, top + 25.0f, 4.0f, 0xFF0E0F11u, 0xFF0E0F11u);
  FillRoundBox(s, 2.3f, top + 2.3f, 24.7f, top + 24.2f, 3.4f, 0xFF80868Fu, 0xFF2E3136u);
  FillRoundBox(s, 3.6f, top + 3.6f, 23.4f, top + 22.8f, 2.6f, 0xFF4E535Au, 0xFF3C4046u);
  const float cx = 13.5f, cy = top + 13.2f;
  FillDisc(s, cx, cy, 4.8f, 0xFF141517u, 0xFF2A2D31u);  // LED socket
  if (on) {
    SoftDisc(s, cx, cy, 3.5f, 4.0f, 0x66FFB030u);
    FillDisc(s, cx, cy, 3.6f, 0xFFFFE7A0u, 0xFFFF9C1Cu);
    FillDisc(s, cx - 1.0f, cy - 1.3f, 1.2f, 0xC0FFFFFFu, 0xC0FFFFFFu);
  } else {
    FillDisc(s, cx, cy, 3.6f, 0xFF4A3B26u, 0xFF2E251Au);
    FillDisc(s, cx - 1.0f, cy - 1.3f, 1.0f, 0x30FFFFFFu, 0x30FFFFFFu);
  }
}

}  // namespace

std::unique_ptr<MemBitmap> MakeSwitch() {
  auto s = Transparent(panel::kSwitch, 2 * panel::kSwitch);
  if (!s) return nullptr;
  DrawSwitchFrame(s.get(), 0.0f, false);
  DrawSwitchFrame(s.get(), float(panel::kSwitch), true);
  BleedIntoTransparent(s.get());
  return s;
}

std::unique_ptr<MemBitmap> MakeBarHandle() {
  auto s = Transparent(panel::kBarHandle, panel::kBarHandle);
  if (!s) return nullptr;
  SoftDisc(s.get(), 8.0f, 8.8f, 6.2f, 1.5f, 0x90000000u);
  FillDisc(s.get(), 8.0f, 8.0f, 6.9f, 0xFF121315u, 0xFF121315u);
  FillDisc(s.get(), 8.0f, 8.0f, 6.1f, 0xFFE4E7EBu, 0xFF8A9099u);
  FillDisc(s.get(), 8.0f, 8.0f, 4.4f, 0xFFA9AEB6u, 0xFFCDD1D6u);
  FillDisc(s.get(), 8.0f, 8.0f, 1.6f, 0xFF3A3E44u, 0xFF3A3E44u);
  BleedIntoTransparent(s.get());
  return s;
}

std::unique_ptr<MemBitmap> MakeHoldHandle() {
  auto s = Transparent(panel::kHoldHandle, panel::kHoldHandle);
  if (!s) return nullptr;
  // Triangle with its tip on the threshold line (row 7), pointing at the display.
  const float tipX = 1.2f, cy = 7.5f, backX = 13.6f, half = 6.0f;
  auto triangle = [=](float px, float py) {
    // Distance to a convex polygon: the largest signed distance to its edges.
    const float dBack = px - backX;
    const float ex = backX - tipX, ey = half, len = std::hypot(ex, ey);
    const float dUpper = ((tipX - px) * ey - (py - cy) * ex) / len;
    const float dLower = ((tipX - px) * ey + (py - cy) * ex) / len;
    return std::max(dBack, std::max(dUpper, dLower));
  };
  FillShape(
      s.get(), PaintBounds{0, 0, 15, 15},
      [=](float px, float py) { return triangle(px, py) - 0.6f; },
      [](float, float) { return 0xFF4A0808u; });
  FillShape(s.get(), PaintBounds{0, 0, 15, 15}, triangle,
            [=](float, float py) { return MixColour(0xFFFF7A6Eu, 0xFFB81818u, py / 15.0f); });
  BleedIntoTransparent(s.get());
  return s;
}

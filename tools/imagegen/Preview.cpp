#include "tools/imagegen/Preview.h"

#include <cmath>

#include "plugin/display/PanelLayout.h"
#include "raster/RasterBlit.h"
#include "raster/RasterLine.h"
#include "raster/RasterRotatedBlit.h"
#include "tools/imagegen/Paint.h"

using namespace panel;

namespace {

constexpr int kAlpha = BLIT_COPY | BLIT_USE_ALPHA;

// As the rotating knob draws: the image turned about its rectangle's centre.
void Knob(RasterBitmap* s, RasterBitmap* line, Point at, float value) {
  const Point c = KnobCentre(at.x, at.y);
  const float angle = -2.3561945f + 4.712389f * value;
  RasterRotatedBlit(s, line, c.x - kKnobLine / 2, c.y - kKnobLine / 2, kKnobLine, kKnobLine, 0, 0,
                    kKnobLine, kKnobLine, angle, false, 1.0f, kAlpha | BLIT_FILTER_BILINEAR, 0.0f,
                    0.0f);
}

void Text(RasterBitmap* s, TextPainter& text, const char* str, PaintBounds box, int align,
          RasterPixel colour) {
  TextStyle style;
  style.pixelSize = 12;  // a 14-pixel text cell
  style.colour = colour;
  const int w = text.Width(style, str);
  const float x = align == 0   ? float(box.left)
                  : align == 1 ? (box.left + box.right) * 0.5f
                               : float(box.right - w);
  text.Draw(s, style, str, x, box.top + 11, align == 1);
}

void Traces(RasterBitmap* s) {
  const float cy = (kDisplay.top + kDisplay.bottom) * 0.5f;
  for (int n = 0; n < 4; ++n) {
    float px = kDisplay.left, py = cy;
    for (int x = kDisplay.left; x < kDisplay.right; ++x) {
      const float y = cy - (60.0f + 20.0f * n) * std::sin(float(x) * (0.02f + 0.007f * n) + n);
      if (x > kDisplay.left)
        RasterLine(s, px, py, float(x), y, IRgbaToPixel(kInputColour[n]), 1.0f, BLIT_COPY, true);
      px = float(x), py = y;
    }
  }
  for (int x = kDisplay.left; x < kDisplay.right; x += 67)
    RasterLine(s, float(x), kDisplay.top, float(x), kDisplay.bottom - 1, 0xFF7F7F7Fu, 0.35f,
               BLIT_COPY, false);
}

}  // namespace

std::unique_ptr<MemBitmap> MakePreview(TextPainter& text, const PanelImages& im) {
  auto s = std::make_unique<MemBitmap>(kWidth, kHeight);
  if (!s->GetBits()) return nullptr;
  RasterBlit(s.get(), im.background, 0, 0, nullptr, 1.0f, BLIT_COPY);
  Traces(s.get());
  RasterBlit(s.get(), im.bigKnob, kFftBody.x, kFftBody.y, nullptr, 1.0f, kAlpha);
  RasterBlit(s.get(), im.bigKnob, kBlendBody.x, kBlendBody.y, nullptr, 1.0f, kAlpha);
  Knob(s.get(), im.knobLine, kDomainKnob, 0.5f);
  Knob(s.get(), im.knobLine, kFftKnob, 0.5f);
  Knob(s.get(), im.knobLine, kBlendKnob, 0.2f);
  Knob(s.get(), im.knobLine, kOpacityKnob, 1.0f);
  for (int n = 1; n <= 4; ++n) {
    Knob(s.get(), im.knobLine, DelayKnob(n), 0.25f * float(n - 1));
    const Point sw = InputSwitch(n);
    RasterBlitRegion(s.get(), im.switches, sw.x, sw.y, 0, n == 3 ? 0 : kSwitch, kSwitch, kSwitch,
                     1.0f, kAlpha);
    Text(s.get(), text, "2.0 ms", DelayText(n), 2, 0xFFFFFFFFu);
    Text(s.get(), text, "-6.1", LevelText(n), 2, 0xFFFFFFFFu);
  }
  // Zoom bar (low 0.2, high 0.8) and Y zoom (0.5) as their controls draw them.
  const int cy = (kZoomBar.top + kZoomBar.bottom) / 2;
  RasterFillRect(s.get(), kZoomBar.left, cy, kZoomBar.right - kZoomBar.left, 1, 0xFF7F7F7Fu, 1.0f,
                 BLIT_COPY);
  RasterFillRect(s.get(), kZoomBar.left + 8 + 104, cy - 1, 312, 1, 0xFFFFFFFFu, 1.0f, BLIT_COPY);
  for (float v : {0.2f, 0.8f})
    RasterBlit(s.get(), im.barHandle, kZoomBar.left + int(520 * v), kZoomBar.top, nullptr, 1.0f,
               kAlpha);
  const int cx = (kYZoomSlider.left + kYZoomSlider.right) / 2;
  RasterFillRect(s.get(), cx, kYZoomSlider.top, 1, 305, 0xFF7F7F7Fu, 1.0f, BLIT_COPY);
  RasterFillRect(s.get(), cx - 1, kYZoomSlider.top + 152, 1, 153, 0xFFFFFFFFu, 1.0f, BLIT_COPY);
  RasterBlit(s.get(), im.barHandle, kYZoomSlider.left, kYZoomSlider.top + 144, nullptr, 1.0f,
             kAlpha);
  // Hold lines at +-60 pixels and their handles.
  const int hy = (kHoldStrip.top + kHoldStrip.bottom) / 2;
  RasterFillRect(s.get(), kHoldStrip.right - 8, kDisplay.top, 1, kDisplay.bottom - kDisplay.top,
                 0xFFDD2020u, 1.0f, BLIT_COPY);
  for (int y : {hy - 60, hy + 60}) {
    RasterFillRect(s.get(), kHoldStrip.left, y, kHoldStrip.right - 1 - kHoldStrip.left, 1,
                   0xFFDD2020u, 1.0f, BLIT_COPY);
    RasterBlit(s.get(), im.holdHandle, kHoldStrip.right - 15, y - 7, nullptr, 1.0f, kAlpha);
  }
  Text(s.get(), text, "time", kDomainValue, 1, 0xFFFFFFFFu);
  Text(s.get(), text, "4096", kFftValue, 1, 0xFFFFFFFFu);
  Text(s.get(), text, "0.50", kBlendValue, 1, 0xFFFFFFFFu);
  Text(s.get(), text, "85%", kOpacityValue, 1, 0xFFFFFFFFu);
  Text(s.get(), text, "ZOOM", kZoomCaption, 1, 0xFF7F7F7Fu);
  Text(s.get(), text, "UNFREEZE", kFreeze, 2, 0xFF2080D8u);
  Text(s.get(), text, "v1.54", kVersion, 1, 0xFF000000u);
  Text(s.get(), text, "-6.0 dB", PaintBounds{620, 200, 660, 212}, 0, 0xFF7F7F7Fu);
  Text(s.get(), text, "10.0 ms", PaintBounds{300, 41, 380, 53}, 0, 0xFF7F7F7Fu);
  Text(s.get(), text, "21.3 ms 46.9 Hz", PaintBounds{300, 368, 430, 380}, 0, 0xFF7F7F7Fu);
  return s;
}

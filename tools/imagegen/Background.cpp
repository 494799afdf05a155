#include "tools/imagegen/Background.h"

#include "plugin/display/PanelLayout.h"
#include "raster/RasterBlit.h"
#include "raster/RasterSurface.h"
#include "tools/imagegen/Paint.h"
#include "tools/imagegen/Widgets.h"

using namespace panel;

namespace {

constexpr int kLowerTop = 403;  // where the control strip starts

constexpr RasterPixel kWell = 0xFF0A0B0Du;
constexpr RasterPixel kSlot = 0xFF101113u;
constexpr RasterPixel kEdgeDark = 0xFF141517u;
constexpr RasterPixel kEdgeLight = 0x1EFFFFFFu;
constexpr RasterPixel kLabel = 0xFF9AA1AAu;

void HLine(RasterBitmap* s, int x0, int x1, int y, RasterPixel c) {
  for (int x = x0; x < x1; ++x) BlendOver(s, x, y, c, 1.0f);
}

void VLine(RasterBitmap* s, int x, int y0, int y1, RasterPixel c) {
  for (int y = y0; y < y1; ++y) BlendOver(s, x, y, c, 1.0f);
}

// A recessed box: dark fill, a shadow along its top and a faint light edge
// along its bottom, as if pressed into the panel.
void Recess(RasterBitmap* s, float l, float t, float r, float b, float radius, RasterPixel fill) {
  FillRoundBox(s, l - 0.5f, t - 0.5f, r + 1.0f, b + 1.2f, radius + 0.5f, kEdgeLight, kEdgeLight);
  FillRoundBox(s, l - 0.5f, t - 0.5f, r + 0.5f, b + 0.5f, radius + 0.5f, kEdgeDark, kEdgeDark);
  FillRoundBox(s, l, t, r, b, radius, fill, fill);
}

void Panel(RasterBitmap* s) {
  FillVerticalGradient(s, 0, 0, kWidth, kLowerTop, 0xFF34383Eu, 0xFF26292Du);
  FillVerticalGradient(s, 0, kLowerTop, kWidth, kHeight - kLowerTop, 0xFF2E3237u, 0xFF1F2124u);
  AddGrain(s, 0, 0, kWidth, kHeight, 2, 7u);
  // The strip's upper edge: a groove with a lit lip below it.
  HLine(s, 0, kWidth, kLowerTop - 1, 0xFF141518u);
  HLine(s, 0, kWidth, kLowerTop, 0x26FFFFFFu);
  // Window edge: a light top lip and darker sides.
  HLine(s, 0, kWidth, 0, 0x22FFFFFFu);
  HLine(s, 0, kWidth, kHeight - 1, 0xFF0E0F10u);
  VLine(s, 0, 0, kHeight, 0x60000000u);
  VLine(s, kWidth - 1, 0, kHeight, 0x60000000u);
}

void DisplayWell(RasterBitmap* s) {
  const float l = float(kDisplay.left), t = float(kDisplay.top);
  const float r = float(kDisplay.right), b = float(kDisplay.bottom);
  FillRoundBox(s, l - 4.0f, t - 3.0f, r + 4.0f, b + 5.0f, 4.0f, kEdgeLight, kEdgeLight);
  FillRoundBox(s, l - 4.0f, t - 4.0f, r + 4.0f, b + 4.0f, 4.0f, 0xFF0C0D0Fu, 0xFF1A1C1Fu);
  // The inside stays one plain colour: the display paints over it.
  RasterFillRect(s, kDisplay.left, kDisplay.top, kDisplay.right - kDisplay.left,
                 kDisplay.bottom - kDisplay.top, kWell, 1.0f, BLIT_COPY);
}

void Slots(RasterBitmap* s) {
  const float sliderX = float(kYZoomSlider.left + kYZoomSlider.right) * 0.5f;
  Recess(s, sliderX - 4.0f, float(kYZoomSlider.top) + 2.0f, sliderX + 4.0f,
         float(kYZoomSlider.bottom) - 2.0f, 3.0f, kSlot);
  const float barY = float(kZoomBar.top + kZoomBar.bottom) * 0.5f;
  Recess(s, float(kZoomBar.left) + 2.0f, barY - 4.0f, float(kZoomBar.right) - 2.0f, barY + 4.0f,
         3.0f, kSlot);
  // The hold handles ride on a track right of the display.
  const float holdX = float(kHoldStrip.right - kHoldHandle / 2 - 1) + 0.5f;
  Recess(s, holdX - 3.0f, float(kDisplay.top), holdX + 3.0f, float(kDisplay.bottom), 2.5f, kSlot);
}

void Readout(RasterBitmap* s, int left, int right) {
  Recess(s, float(left), 406.0f, float(right), 425.0f, 3.0f, 0xFF0B0C0Eu);
}

void Readouts(RasterBitmap* s) {
  Readout(s, kDomainValue.left - 2, kDomainValue.right + 2);
  // The delay text is right-aligned in a narrow box and runs out to its left
  // ("9.9 ms"), so the readout reaches well past the box.
  for (int n = 1; n <= 4; ++n) Readout(s, DelayText(n).right - 45, LevelText(n).right + 3);
  Readout(s, kFftValue.left - 2, kFftValue.right + 2);
  Readout(s, kBlendValue.left - 2, kBlendValue.right + 2);
  Readout(s, kOpacityValue.left - 2, kOpacityValue.right + 2);
}

// Vertical grooves between the groups of the control strip.
void Dividers(RasterBitmap* s) {
  for (int x : {448, 602}) {
    VLine(s, x, kLowerTop + 8, kHeight - 10, 0xFF141518u);
    VLine(s, x + 1, kLowerTop + 8, kHeight - 10, 0x1CFFFFFFu);
  }
}

void PlaceKnob(RasterBitmap* s, RasterBitmap* knob, Point knobAt) {
  const Point c = KnobCentre(knobAt.x, knobAt.y);
  RasterBlit(s, knob, c.x - kKnobBodyCentreX, c.y - kKnobBodyCentreY, nullptr, 1.0f,
             BLIT_COPY | BLIT_USE_ALPHA);
}

void Knobs(RasterBitmap* s, RasterBitmap* bigKnob, RasterBitmap* smallKnob) {
  // The FFT and blend knobs get their bodies from bitmap controls; drawing
  // the same body here keeps the picture whole wherever those are absent.
  PlaceKnob(s, bigKnob, kFftKnob);
  PlaceKnob(s, bigKnob, kBlendKnob);
  PlaceKnob(s, bigKnob, kOpacityKnob);
  for (int n = 1; n <= 4; ++n) PlaceKnob(s, smallKnob, DelayKnob(n));
  // The domain knob only ever rests at three positions: mark those.
  const Point d = KnobCentre(kDomainKnob.x, kDomainKnob.y);
  DrawKnobBody(s, float(d.x) + 0.5f, float(d.y) + 0.5f, 12.0f, 3);
}

void Labels(RasterBitmap* s, TextPainter& text) {
  TextStyle label;
  label.bold = true;
  label.pixelSize = 9;
  label.tracking = 1;
  label.colour = kLabel;
  auto under = [&](Point knobAt, const char* name) {
    const Point c = KnobCentre(knobAt.x, knobAt.y);
    text.Draw(s, label, name, float(c.x) + 1.0f, 501);
  };
  under(kDomainKnob, "DOMAIN");
  under(kFftKnob, "FFT");
  under(kBlendKnob, "BLEND");
  under(kOpacityKnob, "OPACITY");
  TextStyle number = label;
  number.pixelSize = 12;
  number.tracking = 0;
  for (int n = 1; n <= 4; ++n) {
    under(DelayKnob(n), "DELAY");
    number.colour = IRgbaToPixel(kInputColour[n - 1]);
    const Point sw = InputSwitch(n);
    text.Draw(s, number, std::to_string(n), float(sw.x) + kSwitch * 0.5f, 503);
  }
}

// Small recessed screw heads in the corners.
void Screws(RasterBitmap* s) {
  for (float x : {9.5f, float(kWidth) - 9.5f}) {
    for (float y : {9.5f, float(kHeight) - 9.5f}) {
      FillDisc(s, x, y + 0.6f, 4.0f, 0x30FFFFFFu, 0x30FFFFFFu);
      FillDisc(s, x, y, 4.0f, 0xFF15161Au, 0xFF15161Au);
      FillDisc(s, x, y, 3.2f, 0xFF6C727Au, 0xFF363A40u);
      DrawCapsule(s, x - 2.0f, y + 1.2f, x + 2.0f, y - 1.2f, 0.55f, 0xFF1A1C1Fu);
    }
  }
}

void Logo(RasterBitmap* s, TextPainter& text) {
  const float l = float(kLogo.left), t = float(kLogo.top), r = float(kLogo.right),
              b = float(kLogo.bottom);
  FillRoundBox(s, l - 1.0f, t - 1.0f, r + 1.0f, b + 1.5f, 5.0f, 0x50000000u, 0x50000000u);
  FillRoundBox(s, l, t, r, b, 4.0f, 0xFFD9DCE0u, 0xFFA9AEB5u);
  FillRoundBox(s, l + 1.0f, t + 1.0f, r - 1.0f, t + 2.0f, 1.0f, 0x70FFFFFFu, 0x70FFFFFFu);
  AddGrain(s, kLogo.left + 2, kLogo.top + 2, kLogo.right - kLogo.left - 4,
           kLogo.bottom - kLogo.top - 4, 2, 11u);
  TextStyle name;
  name.bold = true;
  name.pixelSize = 22;
  name.colour = 0xFF1C1E22u;
  const float cx = (l + r) * 0.5f;
  text.Draw(s, name, "Virlex", cx, kLogo.top + 24);
  // One short bar per input, in its trace colour.
  const int barW = 14, gap = 4, total = 4 * barW + 3 * gap;
  for (int n = 0; n < 4; ++n) {
    const int x = int(cx) - total / 2 + n * (barW + gap);
    const RasterPixel c =
        n == 0 ? 0xFF5A5F66u : IRgbaToPixel(kInputColour[n]);  // white would vanish on the plate
    RasterFillRect(s, x, kLogo.top + 29, barW, 2, c, 1.0f, BLIT_COPY);
  }
  TextStyle maker;
  maker.pixelSize = 11;
  maker.colour = 0xFF3A3E44u;
  text.Draw(s, maker, "Orbek", float(kLogo.left) + 6.0f, kVersion.bottom - 3, false);
}

}  // namespace

std::unique_ptr<MemBitmap> MakeBackground(TextPainter& text, RasterBitmap* bigKnob,
                                          RasterBitmap* smallKnob) {
  auto s = std::make_unique<MemBitmap>(kWidth, kHeight);
  if (!s->GetBits() || !bigKnob || !smallKnob) return nullptr;
  Panel(s.get());
  Screws(s.get());
  DisplayWell(s.get());
  Slots(s.get());
  Readouts(s.get());
  Dividers(s.get());
  Knobs(s.get(), bigKnob, smallKnob);
  Labels(s.get(), text);
  Logo(s.get(), text);
  return s;
}

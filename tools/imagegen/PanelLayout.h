#pragma once
// Where the editor's controls sit (their rectangles as the plug-in places
// them), so the background is drawn around them. Boxes: left, top, right,
// bottom with right and bottom exclusive.

#include "tools/imagegen/Paint.h"

namespace panel {

constexpr int kWidth = 724;
constexpr int kHeight = 526;

constexpr PaintBounds kDisplay{80, 56, 618, 362};
constexpr PaintBounds kZoomBar{82, 383, 618, 399};
constexpr PaintBounds kYZoomSlider{52, 58, 68, 363};  // 16 wide, 305 long
constexpr PaintBounds kFreeze{625, 384, 681, 398};
constexpr PaintBounds kHoldStrip{80, 49, 679, 369};
constexpr PaintBounds kLogo{609, 442, 699, 499};
constexpr PaintBounds kVersion{656, 484, 690, 499};

// Image sizes.
constexpr int kKnobLine = 31;
constexpr int kBigKnob = 43;
constexpr int kSwitch = 27;
constexpr int kBarHandle = 16;
constexpr int kHoldHandle = 15;

// A rotating knob at (x, y) spins its 31 x 31 image about the pixel
// (x + 15, y + 15): its rectangle's integer centre.
struct Point {
  int x = 0;
  int y = 0;
};
constexpr Point KnobCentre(int x, int y) { return Point{x + kKnobLine / 2, y + kKnobLine / 2}; }

constexpr Point kDomainKnob{47, 452};
constexpr Point kFftKnob{460, 452};
constexpr Point kBlendKnob{508, 452};
constexpr Point kOpacityKnob{556, 452};
constexpr Point kFftBody{453, 448};  // big knob bitmaps drawn by controls
constexpr Point kBlendBody{501, 448};

// Input column n (1..4).
constexpr int ColumnC(int n) { return 170 + 89 * (n - 1); }
constexpr Point DelayKnob(int n) { return Point{ColumnC(n) - 68, 452}; }
constexpr Point InputSwitch(int n) { return Point{ColumnC(n) - 21, 463}; }
constexpr PaintBounds DelayText(int n) {
  return PaintBounds{ColumnC(n) - 65, 409, ColumnC(n) - 35, 421};
}
constexpr PaintBounds LevelText(int n) {
  return PaintBounds{ColumnC(n) - 30, 409, ColumnC(n), 421};
}

constexpr PaintBounds kDomainValue{43, 409, 83, 421};
constexpr PaintBounds kFftValue{456, 409, 496, 421};
constexpr PaintBounds kBlendValue{504, 409, 544, 421};
constexpr PaintBounds kOpacityValue{552, 409, 592, 421};

// Trace colours of the four inputs.
constexpr RasterPixel kInputColour[4] = {0xFFFFFFFFu, 0xFFDD2020u, 0xFF20B95Du, 0xFF2080D8u};

}  // namespace panel
